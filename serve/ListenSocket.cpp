#include "serve/ListenSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace barwright::serve {

namespace {

struct AddressListFreer {
    void operator()(addrinfo* list) const { ::freeaddrinfo(list); }
};

// "host:port" or "[v6]:port" into its parts; false when it is neither.
bool splitAddress(const std::string& address, std::string& host, std::string& port) {
    const std::size_t colon = address.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == address.size()) {
        return false;
    }
    host = address.substr(0, colon);
    port = address.substr(colon + 1);
    if (host.front() == '[') {
        if (host.size() < 3 || host.back() != ']') {
            return false;
        }
        host = host.substr(1, host.size() - 2);
    } else if (host.find(':') != std::string::npos) {
        return false;  // an IPv6 address needs its brackets
    }
    if (port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(port) > 65535) {
        return false;
    }
    return true;
}

// "http://ADDR:PORT/" of the bound socket.
std::string boundUrl(int fd) {
    sockaddr_storage bound{};
    socklen_t size = sizeof bound;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &size) != 0) {
        return "http://?/";
    }
    char host[INET6_ADDRSTRLEN] = {};
    unsigned port = 0;
    if (bound.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(bound);
        ::inet_ntop(AF_INET6, &v6.sin6_addr, host, sizeof host);
        port = ntohs(v6.sin6_port);
        return "http://[" + std::string(host) + "]:" + std::to_string(port) + "/";
    }
    const auto& v4 = reinterpret_cast<const sockaddr_in&>(bound);
    ::inet_ntop(AF_INET, &v4.sin_addr, host, sizeof host);
    port = ntohs(v4.sin_port);
    return "http://" + std::string(host) + ":" + std::to_string(port) + "/";
}

}  // namespace

bool openListenSocket(const std::string& address, ListenSocket& socket, std::string& message) {
    std::string host;
    std::string port;
    if (!splitAddress(address, host, port)) {
        message = "--listen takes ADDRESS:PORT (127.0.0.1:8417, [::1]:8417), not '" + address + "'";
        return false;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const int lookup = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found);
    std::unique_ptr<addrinfo, AddressListFreer> list(found);
    if (lookup != 0 || found == nullptr) {
        message = "--listen " + address + ": " + ::gai_strerror(lookup);
        return false;
    }
    socket.fd.reset(::socket(found->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    // A restart may bind while the last run's connections wait out TIME_WAIT.
    const int on = 1;
    if (!socket.fd.valid() ||
        ::setsockopt(socket.fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        ::bind(socket.fd.get(), found->ai_addr, found->ai_addrlen) != 0 ||
        ::listen(socket.fd.get(), SOMAXCONN) != 0) {
        message = "--listen " + address + ": " + std::strerror(errno);
        socket.fd.reset();
        return false;
    }
    socket.url = boundUrl(socket.fd.get());
    return true;
}

}  // namespace barwright::serve
