#pragma once

#include <string>
#include <string_view>

#include "options/OutputFormat.h"
#include "options/SymbolOptions.h"
#include "serve/Reply.h"
#include "serve/SymbolRequest.h"
#include "serve/WebPage.h"

namespace barwright::serve {

// A request as the HTTP library hands it over, framing already checked.
struct HttpRequest {
    std::string_view method;
    // The request target as sent: the path and the query, still escaped.
    std::string_view target;
    const std::string* body = nullptr;  // a POST's body
    std::string_view ifNoneMatch;       // the header's value, empty when absent
};

// Answers requests: the symbols, /health and the web page. Knows nothing of
// sockets, so that tests and the fuzzer call it directly. Safe to use from
// every worker at once: it changes nothing of its own.
class RequestHandler {
public:
    // defaults: what a request's keys start from (the hallway's binding
    // defaults, and the time files record: SOURCE_DATE_EPOCH's, or none);
    // maxRasterPixels: the largest PNG served.
    RequestHandler(const WebPage& page, const SymbolOptions& defaults,
                   std::int64_t maxRasterPixels = kMaxRasterPixels);

    void handle(const HttpRequest& request, SymbolScratch& scratch, Reply& reply) const;

    // Whether the request's body is its data (a POST of a symbol), to be
    // read before handle; every other request is answered without its body.
    static bool takesBody(std::string_view method, std::string_view target);

private:
    void answerSymbol(const HttpRequest& request, OutputFormat format, std::string_view path,
                      std::string_view query, SymbolScratch& scratch, Reply& reply) const;

    const WebPage& page_;
    SymbolOptions defaults_;
    std::int64_t maxRasterPixels_;
    // What besides the request decides the bytes: the version and the time.
    std::string tagSalt_;
};

// The path and query of a request target: the origin form ("/a?b") or the
// absolute form ("http://host/a?b"), which servers must accept too.
void splitTarget(std::string_view target, std::string_view& path, std::string_view& query);

}  // namespace barwright::serve
