#include "serve/ServeRun.h"

#include <signal.h>
#include <sys/resource.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "options/CpuCount.h"
#include "options/SourceDateEpoch.h"
#include "options/SymbolOptions.h"
#include "serve/CommandLine.h"
#include "serve/HttpServer.h"
#include "serve/ListenSocket.h"
#include "serve/RequestHandler.h"
#include "serve/WebPage.h"

#ifndef BARWRIGHT_WEB_FOLDER
#error "BARWRIGHT_WEB_FOLDER must be defined (the installed web page's folder, from CMake)"
#endif

namespace barwright::serve {

namespace {

// Descriptors beside the connections: the listening socket, each worker's
// epoll set and wake-up pipe, standard streams and the page's files while
// they are read.
constexpr rlim_t kSpareDescriptors = 64;

// Raises the soft limit on open files as far as the connections need: the
// usual 1024 would stop the service long before --max-connections. Where
// the hard limit allows fewer, the default limit of connections shrinks to
// fit; one that was asked for is refused.
bool raiseDescriptorLimit(std::int32_t& maxConnections, bool given, std::string& message) {
    const auto needed = [](std::int32_t connections) {
        return static_cast<rlim_t>(HttpServer::connectionCeiling(connections)) + kSpareDescriptors;
    };
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= needed(maxConnections)) {
        return true;
    }
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < needed(maxConnections)) {
        if (given) {
            message = "--max-connections " + std::to_string(maxConnections) + " needs " +
                      std::to_string(needed(maxConnections)) + " open files, and the limit is " +
                      std::to_string(limit.rlim_max) + " (ulimit -Hn)";
            return false;
        }
        while (maxConnections > 1 && needed(maxConnections) > limit.rlim_max) {
            maxConnections -= maxConnections / 16 + 1;
        }
    }
    limit.rlim_cur = needed(maxConnections);
    if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) {
        message = "cannot raise the limit on open files to " + std::to_string(limit.rlim_cur);
        return false;
    }
    return true;
}

// What every request starts from: the hallway's binding defaults (no
// escapes, files that record no time), and SOURCE_DATE_EPOCH's time when it
// is set, so that a symbol's bytes depend on its request alone. A malformed
// value is refused, as the reproducible-builds convention asks.
bool requestDefaults(SymbolOptions& defaults, std::string& message) {
    defaults = bindingDefaults();
    const SourceDateEpoch epoch = SourceDateEpoch::fromEnvironment();
    if (epoch.given && !epoch.valid) {
        message = epoch.problem();
        return false;
    }
    if (epoch.valid) {
        epoch.applyTo(defaults.output);
    }
    return true;
}

// Waits for SIGTERM or SIGINT (blocked in every thread, so that only this
// wait sees them), then lets the requests in flight finish: at most timeout
// seconds, or until a second signal.
void serveUntilStopped(HttpServer& server, const sigset_t& stopSignals, std::int32_t timeout) {
    int received = 0;
    (void)::sigwait(&stopSignals, &received);
    server.stopAccepting();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout);
    const timespec pause{0, 10 * 1000 * 1000};
    while (server.requestsInFlight() > 0 && std::chrono::steady_clock::now() < deadline) {
        if (::sigtimedwait(&stopSignals, nullptr, &pause) > 0) {
            break;
        }
    }
    server.stop();
}

int refuse(int status, const std::string& message) {
    std::fprintf(stderr, "barwright-serve: %s\n", message.c_str());
    return status;
}

}  // namespace

int runServe(int argc, char* argv[]) {
    ServeSettings settings;
    settings.server.threads = availableCpuCount(kMaxThreads);
    settings.webFolder = BARWRIGHT_WEB_FOLDER;
    const ServeSettings defaults = settings;
    std::string message;
    switch (readCommandLine(argc, argv, settings, message)) {
        case CommandLineResult::kHelp:
            printUsage(stdout, defaults);
            return std::fflush(stdout) == 0 ? 0 : 1;
        case CommandLineResult::kVersion:
            std::puts(versionText());
            return std::fflush(stdout) == 0 ? 0 : 1;
        case CommandLineResult::kUsageError:
            return refuse(kUsageStatus, message + "\nTry 'barwright-serve --help'.");
        case CommandLineResult::kRun:
            break;
    }
    SymbolOptions requestOptions;
    if (!requestDefaults(requestOptions, message)) {
        return refuse(kUsageStatus, message);
    }
    WebPage page;
    ListenSocket socket;
    if (!raiseDescriptorLimit(settings.server.maxConnections, settings.maxConnectionsGiven,
                              message) ||
        !page.load(settings.webFolder, settings.webGiven, message) ||
        !openListenSocket(settings.listen, socket, message)) {
        return refuse(kUnavailableStatus, message);
    }

    // Blocked before the workers start, so that they inherit the mask; a
    // write to a closed connection fails instead of ending the process.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    ::pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    const RequestHandler handler(page, requestOptions);
    HttpServer server(handler, settings.server);
    if (!server.start(socket.fd.release(), message)) {
        return refuse(kUnavailableStatus, message);
    }
    std::fprintf(stderr, "barwright-serve: serving on %s%s\n", socket.url.c_str(),
                 page.hasPage() ? "" : " (no web page installed: / shows the formats)");
    std::fflush(stderr);
    serveUntilStopped(server, stopSignals, settings.server.timeoutSeconds);
    return 0;
}

}  // namespace barwright::serve
