#pragma once

#include <chrono>
#include <map>
#include <string>
#include <string_view>

namespace barwright::test {

// One response as a client reads it.
struct HttpResponse {
    int status = 0;                              // 0: none arrived (see closed)
    std::map<std::string, std::string> headers;  // names in lower case
    std::string body;
    bool closed = false;  // the server closed the connection before or after it

    std::string header(const std::string& lowerCaseName) const;
};

// A client connection to the service on 127.0.0.1, to send any bytes and
// read whole responses (Content-Length framed, as the service sends them).
class HttpConnection {
public:
    explicit HttpConnection(int port);
    ~HttpConnection();
    HttpConnection(const HttpConnection&) = delete;
    HttpConnection& operator=(const HttpConnection&) = delete;

    bool connected() const { return fd_ >= 0; }
    bool send(std::string_view bytes);
    // The next response; a HEAD's has no body. Waits at most timeout.
    HttpResponse read(std::chrono::milliseconds timeout = std::chrono::seconds(5),
                      bool head = false);
    // Whether the server closes the connection within timeout, reading
    // whatever it still sends.
    bool closesWithin(std::chrono::milliseconds timeout);

private:
    // Reads more into buffer_; false at the end or the timeout.
    bool fill(std::chrono::steady_clock::time_point deadline);

    int fd_ = -1;
    std::string buffer_;
    bool ended_ = false;
};

// A GET (or another method) of target with Connection: close.
HttpResponse request(int port, const std::string& method, const std::string& target,
                     const std::string& extraHeaders = "", const std::string& body = "");

// Percent-escapes every byte but letters, digits and "-._~".
std::string percentEncoded(std::string_view bytes);

}  // namespace barwright::test
