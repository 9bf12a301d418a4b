#include "serve/HttpConnection.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

namespace barwright::test {

std::string HttpResponse::header(const std::string& lowerCaseName) const {
    const auto found = headers.find(lowerCaseName);
    return found == headers.end() ? std::string() : found->second;
}

HttpConnection::HttpConnection(int port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd_ >= 0 &&
        ::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

HttpConnection::~HttpConnection() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool HttpConnection::send(std::string_view bytes) {
    while (!bytes.empty() && fd_ >= 0) {
        const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return fd_ >= 0;
}

bool HttpConnection::fill(std::chrono::steady_clock::time_point deadline) {
    if (ended_ || fd_ < 0) {
        return false;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd wanted{fd_, POLLIN, 0};
    if (left.count() <= 0 || ::poll(&wanted, 1, static_cast<int>(left.count())) <= 0) {
        return false;
    }
    char chunk[65536];
    const ssize_t got = ::recv(fd_, chunk, sizeof chunk, 0);
    if (got <= 0) {
        ended_ = true;
        return false;
    }
    buffer_.append(chunk, static_cast<std::size_t>(got));
    return true;
}

HttpResponse HttpConnection::read(std::chrono::milliseconds timeout, bool head) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    HttpResponse response;
    std::size_t end = 0;
    while ((end = buffer_.find("\r\n\r\n")) == std::string::npos) {
        if (!fill(deadline)) {
            response.closed = ended_;
            return response;
        }
    }
    const std::string headText = buffer_.substr(0, end);
    buffer_.erase(0, end + 4);
    std::size_t lineEnd = headText.find("\r\n");
    const std::string statusLine = headText.substr(0, lineEnd);
    if (statusLine.size() >= 12) {
        response.status = std::atoi(statusLine.c_str() + 9);
    }
    while (lineEnd != std::string::npos) {
        const std::size_t start = lineEnd + 2;
        lineEnd = headText.find("\r\n", start);
        const std::string line = headText.substr(start, lineEnd - start);
        const std::size_t colon = line.find(':');
        std::string name = line.substr(0, colon);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        std::string value = colon == std::string::npos ? "" : line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        response.headers[name] = value;
    }
    const bool bodiless = head || response.status == 204 || response.status == 304;
    const std::size_t length =
        bodiless ? 0
                 : static_cast<std::size_t>(std::atoll(response.header("content-length").c_str()));
    while (buffer_.size() < length && fill(deadline)) {
    }
    response.body = buffer_.substr(0, std::min(length, buffer_.size()));
    buffer_.erase(0, response.body.size());
    response.closed = ended_;
    return response;
}

bool HttpConnection::closesWithin(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (fill(deadline)) {
    }
    return ended_;
}

HttpResponse request(int port, const std::string& method, const std::string& target,
                     const std::string& extraHeaders, const std::string& body) {
    HttpConnection connection(port);
    std::string text = method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extraHeaders +
                       "Connection: close\r\n";
    if (method == "POST") {
        text += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    }
    text += "\r\n" + body;
    connection.send(text);
    return connection.read(std::chrono::seconds(10), method == "HEAD");
}

std::string percentEncoded(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
    return out;
}

}  // namespace barwright::test
