#include "serve/HttpServer.h"

#include <strings.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <new>
#include <string_view>

#include "serve/AccessLog.h"

namespace barwright::serve {

namespace {

// libmicrohttpd keeps a request's line, header fields and read buffer in one
// pool per connection: room for the limits above and the library's own
// bookkeeping. Its pages are touched only as far as a request fills them.
constexpr std::size_t kConnectionMemory = 64 * 1024;
// A chunked body that outgrows the data limit is read on (and dropped) this
// far, so that the client can be told 413; past it the connection is cut.
constexpr std::size_t kMaxDroppedBytes = 64 * 1024;

std::int64_t nowMicroseconds() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Owns a response until it is queued (libmicrohttpd keeps its own
// reference).
struct ResponseHolder {
    MHD_Response* response;
    ~ResponseHolder() {
        if (response != nullptr) {
            MHD_destroy_response(response);
        }
    }
};

// What the header fields of a request hold, as far as the checks go.
struct HeaderSurvey {
    std::size_t bytes = 0;
    bool nul = false;  // a NUL byte, which the library's C strings would hide
    int contentLengths = 0;
    bool transferEncoding = false;
};

bool namedAs(const char* key, std::size_t size, std::string_view name) {
    return size == name.size() && ::strncasecmp(key, name.data(), size) == 0;
}

MHD_Result surveyHeader(void* cls, MHD_ValueKind, const char* key, std::size_t keySize,
                        const char* value, std::size_t valueSize) {
    auto& survey = *static_cast<HeaderSurvey*>(cls);
    survey.bytes += keySize + valueSize;
    survey.nul = survey.nul || std::memchr(key, '\0', keySize) != nullptr ||
                 (value != nullptr && std::memchr(value, '\0', valueSize) != nullptr);
    survey.contentLengths += namedAs(key, keySize, MHD_HTTP_HEADER_CONTENT_LENGTH) ? 1 : 0;
    survey.transferEncoding =
        survey.transferEncoding || namedAs(key, keySize, MHD_HTTP_HEADER_TRANSFER_ENCODING);
    return MHD_YES;
}

// A Content-Length above the data limit (digits only; libmicrohttpd has
// refused malformed ones already).
bool announcesTooMuch(const char* contentLength) {
    if (contentLength == nullptr) {
        return false;
    }
    std::size_t length = 0;
    for (const char* c = contentLength; *c >= '0' && *c <= '9'; ++c) {
        length = length * 10 + static_cast<std::size_t>(*c - '0');
        if (length > kMaxDataBytes) {
            return true;
        }
    }
    return false;
}

}  // namespace

// What a connection's current request has brought so far. One per
// connection, made when it opens, so that a request allocates nothing of it.
struct HttpServer::ConnectionState {
    std::string method;
    std::string target;
    const char* rawTarget = nullptr;  // the library's own copy, in its buffer
    std::string body;
    std::size_t droppedBytes = 0;
    bool inRequest = false;  // counted in inFlight_
    bool headersRead = false;
    bool takesBody = false;  // a POST of a symbol
    bool bodyTooLarge = false;
    unsigned status = 0;  // of the reply queued; 0 while none is
    std::size_t replyBytes = 0;
    std::int64_t startMicroseconds = 0;

    void begin(const char* uri) {
        method.clear();
        target.assign(uri);
        rawTarget = uri;
        body.clear();
        droppedBytes = 0;
        headersRead = false;
        takesBody = false;
        bodyTooLarge = false;
        status = 0;
        replyBytes = 0;
        startMicroseconds = nowMicroseconds();
    }
};

HttpServer::HttpServer(const RequestHandler& handler, const ServerSettings& settings)
    : handler_(handler), settings_(settings) {}

HttpServer::~HttpServer() { stop(); }

std::int32_t HttpServer::connectionCeiling(std::int32_t maxConnections) {
    // An eighth more, at least 16: enough to answer a burst with 503, few
    // enough that the reserve cannot be what exhausts the machine.
    constexpr std::int32_t kMinReserve = 16;
    const std::int32_t reserve =
        maxConnections / 8 > kMinReserve ? maxConnections / 8 : kMinReserve;
    return maxConnections + reserve;
}

bool HttpServer::start(int listenFd, bool ipv6, std::string& message) {
    listenFd_ = listenFd;
    unsigned flags = MHD_USE_EPOLL_INTERNAL_THREAD | MHD_USE_ITC;
    if (ipv6) {
        flags |= MHD_USE_IPv6;
    }
    // Not the library's strict mode: in 0.9.75 it answers a request without
    // Host with its header block twice. The checks are made here instead
    // (Host) and by the handler (spaces and other bytes in the target).
    const auto threads = static_cast<unsigned>(settings_.threads);
    MHD_Daemon* daemon = MHD_start_daemon(
        flags, 0, nullptr, nullptr, &HttpServer::onRequest, this, MHD_OPTION_LISTEN_SOCKET,
        listenFd, MHD_OPTION_THREAD_POOL_SIZE, threads > 1 ? threads : 0U,
        MHD_OPTION_CONNECTION_LIMIT,
        static_cast<unsigned>(connectionCeiling(settings_.maxConnections)),
        MHD_OPTION_CONNECTION_TIMEOUT, static_cast<unsigned>(settings_.timeoutSeconds),
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, kConnectionMemory, MHD_OPTION_NOTIFY_CONNECTION,
        &HttpServer::onConnection, this, MHD_OPTION_URI_LOG_CALLBACK, &HttpServer::onRequestLine,
        this, MHD_OPTION_NOTIFY_COMPLETED, &HttpServer::onCompleted, this,
        MHD_OPTION_STRICT_FOR_CLIENT, 0, MHD_OPTION_SIGPIPE_HANDLED_BY_APP, 1, MHD_OPTION_END);
    if (daemon == nullptr) {
        ::close(listenFd_);
        listenFd_ = -1;
        message = "libmicrohttpd could not start its workers";
        return false;
    }
    daemon_.reset(daemon);
    return true;
}

void HttpServer::stopAccepting() {
    stopping_ = true;
    if (daemon_ && listenFd_ >= 0) {
        // The library gives the socket back; closing it turns new clients
        // away at once rather than leaving them in the backlog.
        const MHD_socket fd = MHD_quiesce_daemon(daemon_.get());
        if (fd != MHD_INVALID_SOCKET) {
            ::close(fd);
            listenFd_ = -1;
        }
    }
}

void HttpServer::stop() {
    stopping_ = true;
    daemon_.reset();
}

void HttpServer::onConnection(void* cls, MHD_Connection*, void** socketContext,
                              MHD_ConnectionNotificationCode code) {
    auto& server = *static_cast<HttpServer*>(cls);
    if (code == MHD_CONNECTION_NOTIFY_STARTED) {
        *socketContext = new (std::nothrow) ConnectionState();
        ++server.openConnections_;
        return;
    }
    auto* state = static_cast<ConnectionState*>(*socketContext);
    if (state != nullptr && state->inRequest) {
        --server.inFlight_;
    }
    delete state;
    *socketContext = nullptr;
    --server.openConnections_;
}

void* HttpServer::onRequestLine(void* cls, const char* uri, MHD_Connection* connection) {
    auto& server = *static_cast<HttpServer*>(cls);
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
    auto* state = info != nullptr ? static_cast<ConnectionState*>(info->socket_context) : nullptr;
    if (state == nullptr) {
        return nullptr;
    }
    try {
        state->begin(uri);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (!state->inRequest) {
        state->inRequest = true;
        ++server.inFlight_;
    }
    return state;
}

void HttpServer::onCompleted(void* cls, MHD_Connection*, void** requestContext,
                             MHD_RequestTerminationCode) {
    auto& server = *static_cast<HttpServer*>(cls);
    auto* state = static_cast<ConnectionState*>(*requestContext);
    *requestContext = nullptr;
    if (state == nullptr || !state->inRequest) {
        return;
    }
    if (!server.settings_.quiet && state->status != 0) {
        try {
            writeAccessLine(accessLine(state->method, state->target, state->status,
                                       state->replyBytes,
                                       nowMicroseconds() - state->startMicroseconds));
        } catch (const std::bad_alloc&) {
            // A line lost to a full memory is not worth the request.
        }
    }
    state->inRequest = false;
    --server.inFlight_;
}

MHD_Result HttpServer::onRequest(void* cls, MHD_Connection* connection, const char*,
                                 const char* method, const char* version, const char* uploadData,
                                 std::size_t* uploadSize, void** requestContext) {
    auto& server = *static_cast<HttpServer*>(cls);
    auto* state = static_cast<ConnectionState*>(*requestContext);
    if (state == nullptr) {
        return MHD_NO;
    }
    try {
        if (!state->headersRead) {
            state->headersRead = true;
            state->method = method;
            return server.onHeaders(connection, *state, version);
        }
        if (*uploadSize > 0) {
            const std::size_t size = *uploadSize;
            *uploadSize = 0;
            return server.takeBody(*state, uploadData, size) ? MHD_YES : MHD_NO;
        }
        return server.answer(connection, *state);
    } catch (const std::bad_alloc&) {
        return MHD_NO;
    }
}

MHD_Result HttpServer::onHeaders(MHD_Connection* connection, ConnectionState& state,
                                 const char* version) {
    // libmicrohttpd 0.9.75 hands the request target over as a C string,
    // which a NUL byte in the request line would cut short, and the rest of
    // the data would be lost without a word. The target lies in the line
    // just before the version, the space between them made its terminator:
    // a target that ends earlier held a NUL. (Should a later version keep
    // them apart, every request fails here, loudly, rather than some being
    // cut.)
    if (state.rawTarget + state.target.size() + 1 != version) {
        return sendText(connection, state, http::kBadRequest,
                        "the request line holds a NUL byte\n");
    }
    if (std::strcmp(version, MHD_HTTP_VERSION_1_1) == 0 &&
        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_HOST) == nullptr) {
        return sendText(connection, state, http::kBadRequest,
                        "an HTTP/1.1 request needs a Host header field\n");
    }
    if (state.target.size() > kMaxTargetBytes) {
        return sendText(connection, state, http::kUriTooLong,
                        "the URL is longer than 8192 bytes\n");
    }
    HeaderSurvey survey;
    MHD_get_connection_values_n(connection, MHD_HEADER_KIND, &surveyHeader, &survey);
    if (survey.bytes > kMaxHeaderBytes) {
        return sendText(connection, state, http::kHeaderFieldsTooLarge,
                        "the header fields hold more than 16384 bytes\n");
    }
    // Framing two ways, or a byte no field may hold, is how requests are
    // smuggled past a proxy that reads them otherwise: refused, not guessed.
    if (survey.nul || survey.contentLengths > 1 ||
        (survey.contentLengths > 0 && survey.transferEncoding)) {
        return sendText(connection, state, http::kBadRequest,
                        "the header fields hold a NUL byte, or frame the body twice\n");
    }
    if (openConnections_.load() > settings_.maxConnections) {
        return sendText(connection, state, http::kServiceUnavailable,
                        "too many connections: try again\n");
    }
    state.takesBody = RequestHandler::takesBody(state.method, state.target);
    if (state.takesBody && announcesTooMuch(MHD_lookup_connection_value(
                               connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH))) {
        return sendText(connection, state, http::kPayloadTooLarge,
                        "the body is longer than any symbol's data\n");
    }
    // Answered once the request is whole: answering earlier would make the
    // library close the connection, which a client means to use again.
    return MHD_YES;
}

bool HttpServer::takeBody(ConnectionState& state, const char* data, std::size_t size) {
    if (state.takesBody && !state.bodyTooLarge && state.body.size() + size <= kMaxDataBytes) {
        state.body.append(data, size);
        return true;
    }
    // Too much for any symbol, or a body no reply reads (a GET's): dropped,
    // up to a point.
    state.bodyTooLarge = state.takesBody;
    state.droppedBytes += size;
    return state.droppedBytes <= kMaxDroppedBytes;
}

MHD_Result HttpServer::answer(MHD_Connection* connection, ConnectionState& state) {
    if (state.bodyTooLarge) {
        return sendText(connection, state, http::kPayloadTooLarge,
                        "the body is longer than any symbol's data\n");
    }
    HttpRequest request;
    request.method = state.method;
    request.target = state.target;
    request.body = state.takesBody ? &state.body : nullptr;
    const char* ifNoneMatch =
        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_IF_NONE_MATCH);
    request.ifNoneMatch = ifNoneMatch != nullptr ? ifNoneMatch : "";
    // Each worker keeps its buffers from one request to the next.
    thread_local SymbolScratch scratch;
    Reply reply;
    handler_.handle(request, scratch, reply);
    const MHD_Result result = send(connection, state, reply);
    scratch.file.trim();
    return result;
}

MHD_Result HttpServer::sendText(MHD_Connection* connection, ConnectionState& state, unsigned status,
                                const char* text) {
    Reply reply;
    reply.status = status;
    reply.body = text;
    // A refused request may still be sending; the connection ends with it.
    reply.closeConnection = true;
    return send(connection, state, reply);
}

MHD_Result HttpServer::send(MHD_Connection* connection, ConnectionState& state,
                            const Reply& reply) {
    ResponseHolder holder{MHD_create_response_from_buffer(
        reply.body.size(), const_cast<char*>(reply.body.data()), MHD_RESPMEM_MUST_COPY)};
    MHD_Response* response = holder.response;
    if (response == nullptr) {
        return MHD_NO;
    }
    const auto header = [response](const char* name, const char* value) {
        if (value != nullptr) {
            MHD_add_response_header(response, name, value);
        }
    };
    if (reply.status != http::kNotModified && reply.status != http::kNoContent) {
        header(MHD_HTTP_HEADER_CONTENT_TYPE, reply.contentType);
    }
    header(MHD_HTTP_HEADER_CACHE_CONTROL, reply.cacheControl);
    header(MHD_HTTP_HEADER_ETAG, reply.entityTag.empty() ? nullptr : reply.entityTag.c_str());
    header(MHD_HTTP_HEADER_ALLOW, reply.allow);
    header("Content-Security-Policy", reply.contentSecurityPolicy);
    header("X-Content-Type-Options", "nosniff");
    if (!settings_.corsOrigin.empty()) {
        header(MHD_HTTP_HEADER_ACCESS_CONTROL_ALLOW_ORIGIN, settings_.corsOrigin.c_str());
        if (state.method == MHD_HTTP_METHOD_OPTIONS) {
            header("Access-Control-Allow-Methods", reply.allow);
            header("Access-Control-Allow-Headers", "Content-Type");
            header("Access-Control-Max-Age", "86400");
        }
    }
    if (reply.status == http::kServiceUnavailable) {
        header(MHD_HTTP_HEADER_RETRY_AFTER, "1");
    }
    if (reply.closeConnection || stopping_.load()) {
        header(MHD_HTTP_HEADER_CONNECTION, "close");
    }
    state.status = reply.status;
    state.replyBytes = state.method == MHD_HTTP_METHOD_HEAD ? 0 : reply.body.size();
    return MHD_queue_response(connection, reply.status, response);
}

}  // namespace barwright::serve
