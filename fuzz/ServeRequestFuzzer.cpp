// barwright-serve's request handler, from the request target and body to the
// reply, without a socket: the path from a query's keys to settings and
// bytes that strangers reach. The input is a method byte, the target up to
// the first line feed, and the body after it. Every reply must be one of the
// service's statuses, with a body for a symbol, and a refusal must be short
// printable text that echoes no byte of the request unescaped.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "serve/RequestHandler.h"

namespace {

using namespace barwright;
using namespace barwright::serve;

// Small pictures only: a large one takes long to draw and finds nothing new.
constexpr std::int64_t kFuzzedRasterPixels = 256 * 1024;

const RequestHandler& handler() {
    static const WebPage page;
    static const RequestHandler instance(page, bindingDefaults(), kFuzzedRasterPixels);
    return instance;
}

bool isPrintableText(std::string_view text) {
    for (const char c : text) {
        if ((c < ' ' || c > '~') && c != '\n') {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char* const kMethods[] = {"GET", "POST", "HEAD", "OPTIONS", "PUT"};
    if (size == 0) {
        return 0;
    }
    const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t lineEnd = input.find('\n');
    const std::string target = input.substr(0, lineEnd);
    const std::string body = lineEnd == std::string::npos ? "" : input.substr(lineEnd + 1);
    const char* method = kMethods[data[0] % 5];

    static SymbolScratch scratch;
    Reply reply;
    const bool posted = RequestHandler::takesBody(method, target);
    handler().handle(HttpRequest{method, target, posted ? &body : nullptr, ""}, scratch, reply);
    switch (reply.status) {
        case http::kOk:
        case http::kNoContent:
            break;
        case http::kBadRequest:
        case http::kNotFound:
        case http::kMethodNotAllowed:
        case http::kInternalServerError:
            if (!isPrintableText(reply.body) || reply.body.size() > 512) {
                std::abort();
            }
            break;
        default:
            std::abort();
    }
    if (reply.status == http::kOk && reply.body.empty()) {
        std::abort();
    }
    if (!reply.entityTag.empty() && reply.entityTag.size() != 34) {
        std::abort();
    }
    scratch.file.trim();
    return 0;
}
