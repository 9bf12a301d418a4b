#include "serve/Service.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "serve/HttpConnection.h"

namespace barwright::test {

int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), size) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        port = ntohs(address.sin_port);
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return port;
}

Service::Service(const std::vector<std::string>& options) {
    // The port is free when chosen but not held: another program may take
    // it first, and then the start is tried again on another.
    for (int attempt = 0; attempt < 5 && port_ == 0; ++attempt) {
        const int port = freePort();
        std::vector<std::string> arguments = {"--listen", "127.0.0.1:" + std::to_string(port)};
        arguments.insert(arguments.end(), options.begin(), options.end());
        program_ = std::make_unique<RunningProgram>(BARWRIGHT_SERVE_EXE, arguments, folder());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!program_->hasEnded() && std::chrono::steady_clock::now() < deadline) {
            if (HttpConnection(port).connected()) {
                port_ = port;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    if (port_ == 0) {
        ADD_FAILURE() << "barwright-serve did not start: " << program_->finish().standardError;
    }
}

}  // namespace barwright::test
