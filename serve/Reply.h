#pragma once

#include <string>
#include <string_view>

namespace barwright::serve {

// HTTP status codes the service answers with.
namespace http {
constexpr unsigned kOk = 200;
constexpr unsigned kNoContent = 204;
constexpr unsigned kNotModified = 304;
constexpr unsigned kBadRequest = 400;
constexpr unsigned kNotFound = 404;
constexpr unsigned kMethodNotAllowed = 405;
constexpr unsigned kPayloadTooLarge = 413;
constexpr unsigned kUriTooLong = 414;
constexpr unsigned kHeaderFieldsTooLarge = 431;
constexpr unsigned kInternalServerError = 500;
constexpr unsigned kServiceUnavailable = 503;
}  // namespace http

// What a request is answered with, before the HTTP library writes it.
struct Reply {
    unsigned status = http::kOk;
    const char* contentType = "text/plain; charset=utf-8";
    // The body: a view of the worker's scratch, a page's bytes or text.
    std::string_view body;
    std::string text;       // the body's storage for texts made per reply
    std::string entityTag;  // empty: no ETag
    const char* cacheControl = "no-store";
    const char* allow = nullptr;  // the Allow header of 405 and OPTIONS
    // A Content-Security-Policy for pages that could hold active content.
    const char* contentSecurityPolicy = nullptr;
    bool closeConnection = false;

    // A plain-text body made for this reply.
    void setText(unsigned httpStatus, std::string bodyText);
};

}  // namespace barwright::serve
