#pragma once

#include <string>

#include "serve/FileDescriptor.h"

namespace barwright::serve {

// The socket the service listens on.
struct ListenSocket {
    FileDescriptor fd;
    std::string url;  // "http://127.0.0.1:8417/", the port as bound
};

// Binds and listens on ADDR:PORT: an IPv4 address, a bracketed IPv6 one
// ("[::1]:8417") or a host name, and a port (0: one the system picks).
// Nothing binds every interface unless its address (0.0.0.0, [::]) says
// so. False with a message.
[[nodiscard]] bool openListenSocket(const std::string& address, ListenSocket& socket,
                                    std::string& message);

}  // namespace barwright::serve
