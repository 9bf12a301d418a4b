#pragma once

#include <microhttpd.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "serve/FileDescriptor.h"
#include "serve/RequestHandler.h"

namespace barwright::serve {

// How the HTTP side behaves.
struct ServerSettings {
    std::int32_t threads = 1;            // workers, each with its own epoll set
    std::int32_t maxConnections = 4096;  // served at once; the next get 503
    std::int32_t timeoutSeconds = 10;    // idle limit of a connection
    std::string corsOrigin;              // Access-Control-Allow-Origin; empty: none
    bool quiet = false;                  // no access log
};

// The limits of a request, checked before the handler sees it.
constexpr std::size_t kMaxTargetBytes = 8192;   // 414 above: 3 x the largest escaped data
constexpr std::size_t kMaxHeaderBytes = 16384;  // 431 above: the header fields together

// The HTTP server: libmicrohttpd's workers, each with an epoll set of its
// connections, read and answer in their own thread; the handler runs in
// that thread too, since a symbol takes less time than a hand-over would. A
// slow or idle client costs a socket and a small buffer, never a thread.
// One thread of the server's own accepts and hands the connections to the
// workers in turn: workers that all wait on the listening socket share it
// by chance, and the first awake takes a burst of connections whole (a
// proxy's or a load generator's handful of kept-alive connections), leaving
// the other cores idle for as long as they stay open. Connections beyond
// maxConnections are still accepted, up to a reserve, to be told 503 rather
// than left unanswered; beyond the reserve they wait in the system's queue
// of the listening socket until one closes.
class HttpServer {
public:
    HttpServer(const RequestHandler& handler, const ServerSettings& settings);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Serves on listenFd (bound and listening; the server owns it from now
    // on). False with a message when the library or a thread cannot start.
    [[nodiscard]] bool start(int listenFd, std::string& message);

    // Takes no new connection; requests on open ones are still answered,
    // each with "Connection: close".
    void stopAccepting();
    // Requests whose request line has arrived and whose reply is not yet
    // sent.
    std::int32_t requestsInFlight() const { return inFlight_.load(); }
    // Closes every connection and ends the workers.
    void stop();

    // The connections the library takes: maxConnections and the reserve
    // for those that are told 503.
    static std::int32_t connectionCeiling(std::int32_t maxConnections);

private:
    struct DaemonStopper {
        void operator()(MHD_Daemon* daemon) const { MHD_stop_daemon(daemon); }
    };
    struct ConnectionState;

    static MHD_Result onRequest(void* cls, MHD_Connection* connection, const char* url,
                                const char* method, const char* version, const char* uploadData,
                                std::size_t* uploadSize, void** requestContext);
    static void* onRequestLine(void* cls, const char* uri, MHD_Connection* connection);
    static void onCompleted(void* cls, MHD_Connection* connection, void** requestContext,
                            MHD_RequestTerminationCode code);
    static void onConnection(void* cls, MHD_Connection* connection, void** socketContext,
                             MHD_ConnectionNotificationCode code);

    // The accepting thread: until stopAccepting, each new connection to the
    // next worker, while fewer than the ceiling are open.
    void acceptConnections();

    MHD_Result onHeaders(MHD_Connection* connection, ConnectionState& state, const char* version);
    // Keeps a piece of a body; false when the connection must be cut.
    bool takeBody(ConnectionState& state, const char* data, std::size_t size);
    MHD_Result answer(MHD_Connection* connection, ConnectionState& state);
    MHD_Result send(MHD_Connection* connection, ConnectionState& state, const Reply& reply);
    MHD_Result sendText(MHD_Connection* connection, ConnectionState& state, unsigned status,
                        const char* text);

    const RequestHandler& handler_;
    ServerSettings settings_;
    std::vector<std::unique_ptr<MHD_Daemon, DaemonStopper>> workers_;
    FileDescriptor listenFd_;
    FileDescriptor wakeFd_;  // an eventfd: written to end the accepting thread
    std::thread acceptor_;
    std::atomic<std::int32_t> openConnections_{0};
    std::atomic<std::int32_t> inFlight_{0};
    std::atomic<bool> stopping_{false};
};

}  // namespace barwright::serve
