#include "serve/HttpServer.h"

#include <poll.h>
#include <strings.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <new>
#include <string_view>
#include <system_error>

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

bool HttpServer::start(int listenFd, std::string& message) {
    listenFd_.reset(listenFd);
    wakeFd_.reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!wakeFd_.valid()) {
        message = std::string("cannot make an event descriptor: ") + std::strerror(errno);
        return false;
    }
    // Not the library's strict mode: in 0.9.75 it answers a request without
    // Host with its header block twice. The checks are made here instead
    // (Host) and by the handler (spaces and other bytes in the target). The
    // workers have no listening socket: connections come from
    // acceptConnections, which holds the ceiling for all of them together.
    const unsigned flags = MHD_USE_EPOLL_INTERNAL_THREAD | MHD_USE_ITC | MHD_USE_NO_LISTEN_SOCKET;
    const auto ceiling = static_cast<unsigned>(connectionCeiling(settings_.maxConnections));
    const std::int32_t workerCount = settings_.threads > 1 ? settings_.threads : 1;
    for (std::int32_t i = 0; i < workerCount; ++i) {
        MHD_Daemon* daemon = MHD_start_daemon(
            flags, 0, nullptr, nullptr, &HttpServer::onRequest, this, MHD_OPTION_CONNECTION_LIMIT,
            ceiling, MHD_OPTION_CONNECTION_TIMEOUT,
            static_cast<unsigned>(settings_.timeoutSeconds), MHD_OPTION_CONNECTION_MEMORY_LIMIT,
            kConnectionMemory, MHD_OPTION_NOTIFY_CONNECTION, &HttpServer::onConnection, this,
            MHD_OPTION_URI_LOG_CALLBACK, &HttpServer::onRequestLine, this,
            MHD_OPTION_NOTIFY_COMPLETED, &HttpServer::onCompleted, this,
            MHD_OPTION_STRICT_FOR_CLIENT, 0, MHD_OPTION_SIGPIPE_HANDLED_BY_APP, 1, MHD_OPTION_END);
        if (daemon == nullptr) {
            stop();
            message = "libmicrohttpd could not start its workers";
            return false;
        }
        workers_.emplace_back(daemon);
    }
    try {
        acceptor_ = std::thread(&HttpServer::acceptConnections, this);
    } catch (const std::system_error& error) {
        stop();
        message = std::string("cannot start the accepting thread: ") + error.what();
        return false;
    }
    return true;
}

void HttpServer::acceptConnections() {
    // While the ceiling is reached, the listening socket is looked at again
    // this often, so that a connection that closes makes room soon.
    constexpr int kFullPauseMs = 20;
    // After the system runs out of descriptors: a pause, not a busy loop.
    constexpr int kNoDescriptorPauseMs = 100;
    const std::int32_t ceiling = connectionCeiling(settings_.maxConnections);
    std::size_t next = 0;
    for (;;) {
        const bool full = openConnections_.load() >= ceiling;
        pollfd watched[2] = {{wakeFd_.get(), POLLIN, 0}, {listenFd_.get(), POLLIN, 0}};
        if (::poll(watched, full ? 1 : 2, full ? kFullPauseMs : -1) < 0 && errno != EINTR) {
            return;
        }
        if (watched[0].revents != 0) {
            return;
        }
        if (full || (watched[1].revents & POLLIN) == 0) {
            continue;
        }
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        const int fd = ::accept4(listenFd_.get(), reinterpret_cast<sockaddr*>(&address), &length,
                                 SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                ::poll(watched, 1, kNoDescriptorPauseMs);
            }
            continue;  // EAGAIN, a client gone before it was taken, ...
        }
        // Counted here rather than on the library's start notice, which may
        // come later from the worker: a burst cannot pass the ceiling before
        // the workers have taken its connections.
        ++openConnections_;
        // On failure the library has closed the socket.
        if (MHD_add_connection(workers_[next].get(), fd, reinterpret_cast<sockaddr*>(&address),
                               length) != MHD_YES) {
            --openConnections_;
        }
        next = (next + 1) % workers_.size();
    }
}

void HttpServer::stopAccepting() {
    stopping_ = true;
    if (acceptor_.joinable()) {
        const std::uint64_t one = 1;
        if (::write(wakeFd_.get(), &one, sizeof one) < 0) {
            // An eventfd write fails only at its counter's limit, which one
            // write cannot reach; nothing to do but go on.
        }
        acceptor_.join();
    }
    // Closing the socket turns new clients away at once rather than leaving
    // them in the backlog.
    listenFd_.reset();
}

void HttpServer::stop() {
    stopAccepting();
    workers_.clear();
}

void HttpServer::onConnection(void* cls, MHD_Connection*, void** socketContext,
                              MHD_ConnectionNotificationCode code) {
    auto& server = *static_cast<HttpServer*>(cls);
    if (code == MHD_CONNECTION_NOTIFY_STARTED) {
        // Counted already by acceptConnections, which brings every one.
        *socketContext = new (std::nothrow) ConnectionState();
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
