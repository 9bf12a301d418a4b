#include "serve/RequestHandler.h"

#include <vector>

#include "barwright/Status.h"
#include "barwright/Version.h"
#include "serve/EntityTag.h"
#include "serve/QueryString.h"

namespace barwright::serve {

namespace {

constexpr std::string_view kSymbolPrefix = "/pdf417.";
constexpr std::string_view kHealthPath = "/health";
// A symbol is a pure function of its request, so caches may keep it a day.
constexpr const char* kSymbolCaching = "public, max-age=86400";
// A page may change with an upgrade: kept, but checked by its tag each time.
constexpr const char* kPageCaching = "no-cache";
// An SVG opened on its own is a document of this origin; ours holds no
// script or link, and this makes sure none would run.
constexpr const char* kSvgPolicy = "default-src 'none'; style-src 'unsafe-inline'";
constexpr const char* kSymbolMethods = "GET, HEAD, POST, OPTIONS";
constexpr const char* kOtherMethods = "GET, HEAD, OPTIONS";

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The format of a symbol path ("/pdf417.png"), if it is one: every format
// the hallway makes.
std::optional<OutputFormat> symbolFormat(std::string_view path) {
    if (!startsWith(path, kSymbolPrefix)) {
        return std::nullopt;
    }
    return formatNamed(path.substr(kSymbolPrefix.size()), kAllFormats);
}

// A request target is printable ASCII without spaces; anything else (raw
// UTF-8 too) must come percent-escaped.
bool isPrintableTarget(std::string_view target) {
    for (const char c : target) {
        if (c <= ' ' || c >= 0x7F) {
            return false;
        }
    }
    return !target.empty();
}

bool isMethod(std::string_view method, std::string_view name) { return method == name; }

// "status N: message" and the reason, the body of a refused request.
std::string statusText(Status status, const std::string& problem) {
    std::string text = "status " + std::to_string(status) + ": " + statusMessage(status) + "\n";
    if (!problem.empty()) {
        text += problem + "\n";
    }
    return text;
}

void refuseMethod(const char* allowed, Reply& reply) {
    reply.setText(http::kMethodNotAllowed, "method not allowed\n");
    reply.allow = allowed;
}

}  // namespace

void splitTarget(std::string_view target, std::string_view& path, std::string_view& query) {
    const std::size_t scheme = target.find("://");
    if (scheme != std::string_view::npos && target.front() != '/') {
        const std::size_t pathStart = target.find_first_of("/?", scheme + 3);
        target =
            pathStart == std::string_view::npos ? std::string_view("/") : target.substr(pathStart);
    }
    const std::size_t mark = target.find('?');
    path = target.substr(0, mark);
    query = mark == std::string_view::npos ? std::string_view() : target.substr(mark + 1);
    if (path.empty()) {
        path = "/";
    }
}

RequestHandler::RequestHandler(const WebPage& page, const SymbolOptions& defaults,
                               std::int64_t maxRasterPixels)
    : page_(page), defaults_(defaults), maxRasterPixels_(maxRasterPixels) {
    tagSalt_ = std::string("barwright-serve ") + version();
    switch (defaults.output.timeSource) {
        case FileTime::kNone:
            tagSalt_ += " no time";
            break;
        case FileTime::kClock:
            tagSalt_ += " clock";
            break;
        case FileTime::kGiven:
            tagSalt_ += " time " + std::to_string(defaults.output.time);
            break;
    }
}

bool RequestHandler::takesBody(std::string_view method, std::string_view target) {
    std::string_view path;
    std::string_view query;
    splitTarget(target, path, query);
    return isMethod(method, "POST") && symbolFormat(path).has_value();
}

void RequestHandler::handle(const HttpRequest& request, SymbolScratch& scratch,
                            Reply& reply) const {
    if (!isPrintableTarget(request.target)) {
        reply.setText(http::kBadRequest,
                      statusText(status::kInvalidArgument,
                                 "the URL holds a space, a control character or a byte above "
                                 "127: each must be percent-escaped"));
        return;
    }
    std::string_view path;
    std::string_view query;
    splitTarget(request.target, path, query);
    const std::string_view method = request.method;
    const bool read = isMethod(method, "GET") || isMethod(method, "HEAD");
    if (const std::optional<OutputFormat> format = symbolFormat(path)) {
        if (read || isMethod(method, "POST")) {
            answerSymbol(request, *format, path, query, scratch, reply);
        } else if (isMethod(method, "OPTIONS")) {
            reply.setText(http::kNoContent, "");
            reply.allow = kSymbolMethods;
        } else {
            refuseMethod(kSymbolMethods, reply);
        }
        return;
    }
    const PageFile* file = page_.find(path);
    if (file == nullptr && path != kHealthPath) {
        reply.setText(http::kNotFound, "not found: symbols are at /pdf417.FORMAT, FORMAT " +
                                           formatNames(kAllFormats, " or ") + "\n");
        return;
    }
    if (isMethod(method, "OPTIONS")) {
        reply.setText(http::kNoContent, "");
        reply.allow = kOtherMethods;
    } else if (!read) {
        refuseMethod(kOtherMethods, reply);
    } else if (file == nullptr) {
        reply.setText(http::kOk, "ok\n");
    } else if (ifNoneMatchNames(request.ifNoneMatch, file->entityTag)) {
        reply.status = http::kNotModified;
        reply.entityTag = file->entityTag;
        reply.cacheControl = kPageCaching;
    } else {
        reply.status = http::kOk;
        reply.contentType = file->contentType;
        reply.body = file->bytes;
        reply.entityTag = file->entityTag;
        reply.cacheControl = kPageCaching;
    }
}

void RequestHandler::answerSymbol(const HttpRequest& request, OutputFormat format,
                                  std::string_view path, std::string_view query,
                                  SymbolScratch& scratch, Reply& reply) const {
    std::vector<QueryPair> pairs;
    SymbolRequest symbol;
    std::string problem;
    const std::string* body = isMethod(request.method, "POST") ? request.body : nullptr;
    static const std::string kNoBody;
    if (isMethod(request.method, "POST") && body == nullptr) {
        body = &kNoBody;
    }
    if (!decodeQuery(query, pairs, problem) ||
        readSymbolRequest(format, pairs, body, defaults_, symbol, problem) != status::kOk) {
        reply.setText(http::kBadRequest, statusText(status::kInvalidArgument, problem));
        return;
    }
    EntityTag tag;
    tag.add(tagSalt_);
    tag.add(path);
    for (const QueryPair& pair : pairs) {
        tag.add(pair.key);
        tag.add(pair.value);
    }
    tag.add(body != nullptr ? "body" : "no body");
    tag.add(body != nullptr ? std::string_view(*body) : std::string_view());
    reply.entityTag = tag.text();
    reply.cacheControl = kSymbolCaching;
    if (ifNoneMatchNames(request.ifNoneMatch, reply.entityTag)) {
        reply.status = http::kNotModified;
        return;
    }
    std::string_view bytes;
    const Status status = makeSymbolBytes(symbol, maxRasterPixels_, scratch, bytes, problem);
    if (status != status::kOk) {
        reply.entityTag.clear();
        reply.setText(status == status::kFail ? http::kInternalServerError : http::kBadRequest,
                      statusText(status, problem));
        return;
    }
    reply.status = http::kOk;
    reply.contentType = mediaType(format);
    reply.body = bytes;
    if (format == OutputFormat::kSvg) {
        reply.contentSecurityPolicy = kSvgPolicy;
    }
}

}  // namespace barwright::serve
