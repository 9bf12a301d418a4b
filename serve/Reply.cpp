#include "serve/Reply.h"

namespace barwright::serve {

void Reply::setText(unsigned httpStatus, std::string bodyText) {
    status = httpStatus;
    contentType = "text/plain; charset=utf-8";
    text = std::move(bodyText);
    body = text;
    cacheControl = "no-store";
}

}  // namespace barwright::serve
