// Hostile and broken clients over real sockets: malformed requests, limits,
// pipelining, crowds of idle and byte-a-second connections, connections
// shared by the workers, the connection limit, and a mixed load from several clients at once (which the thread
// sanitizer stage runs too).
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "serve/HttpConnection.h"
#include "serve/Service.h"

namespace barwright::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using std::chrono::steady_clock;

// Any 4xx, or the connection closed without a reply.
constexpr int kRefused = -1;

struct Malformed {
    const char* name;
    std::string bytes;
    int status;  // or kRefused
};

std::string repeated(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

std::string headerLines(int count, std::size_t valueBytes) {
    std::string lines;
    for (int i = 0; i < count; ++i) {
        lines += "X-Filler-" + std::to_string(i) + ": " + std::string(valueBytes, 'v') + "\r\n";
    }
    return lines;
}

const std::string kHost = " HTTP/1.1\r\nHost: 127.0.0.1\r\n";

std::vector<Malformed> malformedRequests() {
    const std::string chunk = "1000\r\n" + std::string(4096, 'a') + "\r\n";
    const std::string bigChunk = "10000\r\n" + std::string(65536, 'a') + "\r\n";
    return {
        {"NotARequestLine", "GARBAGE\r\n\r\n", kRefused},
        {"NoVersion", "GET /health\r\n\r\n", kRefused},
        {"Http2Preface", "PRI * HTTP/2.0\r\n\r\nSM\r\n\r\n", 505},
        {"HeaderWithoutColon", "GET /health" + kHost + "Broken\r\n\r\n", kRefused},
        {"NulInRequestLine", std::string("GET /pdf417.txt?data=a\0b", 24) + kHost + "\r\n", 400},
        {"RawUtf8InUrl", "GET /pdf417.txt?data=\xc3\xa9" + kHost + "\r\n", 400},
        {"RawSpaceInUrl", "GET /pdf417.txt?data=a b" + kHost + "\r\n", 400},
        {"BadPercentEscape", "GET /pdf417.txt?data=%zz" + kHost + "\r\n", 400},
        {"NoHost", "GET /health HTTP/1.1\r\n\r\n", 400},
        {"LongUrl", "GET /pdf417.png?data=" + std::string(9000, 'a') + kHost + "\r\n", 414},
        {"HugeUrl", "GET /pdf417.png?data=" + std::string(70000, 'a') + kHost + "\r\n", 414},
        {"LargeHeaders", "GET /health" + kHost + headerLines(20, 1000) + "\r\n", 431},
        {"HugeHeaders", "GET /health" + kHost + headerLines(90, 1000) + "\r\n", 431},
        {"TwoLengths",
         "POST /pdf417.txt" + kHost + "Content-Length: 1\r\nContent-Length: 2\r\n\r\nab", 400},
        {"LengthAndChunks",
         "POST /pdf417.txt" + kHost +
             "Content-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n1\r\na\r\n0\r\n\r\n",
         400},
        {"LengthNoNumber", "POST /pdf417.txt" + kHost + "Content-Length: abc\r\n\r\n", kRefused},
        {"BodyAnnouncedTooLong", "POST /pdf417.txt" + kHost + "Content-Length: 100000\r\n\r\nabc",
         413},
        {"ChunksTooLong",
         "POST /pdf417.txt" + kHost + "Transfer-Encoding: chunked\r\n\r\n" + repeated(chunk, 3) +
             "0\r\n\r\n",
         413},
        {"ChunksEndless",
         "POST /pdf417.txt" + kHost + "Transfer-Encoding: chunked\r\n\r\n" + repeated(bigChunk, 4),
         kRefused},
        {"BodyShorterThanItsLength", "POST /pdf417.txt" + kHost + "Content-Length: 10\r\n\r\nabc",
         kRefused},
    };
}

TEST(ServeHostile, MalformedRequestsAreRefused) {
    // A short idle limit, so that the body that never comes ends soon.
    Service service({"--quiet", "--timeout", "1"});
    ASSERT_TRUE(service.started());
    for (const Malformed& malformed : malformedRequests()) {
        SCOPED_TRACE(malformed.name);
        HttpConnection connection(service.port());
        connection.send(malformed.bytes);
        const HttpResponse response = connection.read(seconds(5));
        if (malformed.status == kRefused) {
            EXPECT_TRUE(response.status == 0 ? response.closed
                                             : response.status >= 400 && response.status < 500)
                << response.status;
        } else {
            EXPECT_EQ(response.status, malformed.status) << response.body;
        }
        // Refused requests end their connection; the service serves on.
        if (response.status != 0 && malformed.status != 400) {
            EXPECT_TRUE(connection.closesWithin(seconds(5)));
        }
        EXPECT_EQ(request(service.port(), "GET", "/health").status, 200);
    }
    EXPECT_TRUE(TemporaryDirectory::entriesOf(service.folder()).empty());
}

TEST(ServeHostile, PipelinedRequestsAreAnsweredInOrder) {
    Service service;
    ASSERT_TRUE(service.started());
    HttpConnection connection(service.port());
    connection.send("GET /pdf417.txt?data=1" + kHost + "\r\n" + "GET /pdf417.txt?data=%zz" + kHost +
                    "\r\n" + "POST /pdf417.txt" + kHost + "Content-Length: 1\r\n\r\n1" +
                    "GET /health" + kHost + "Connection: close\r\n\r\n");
    const HttpResponse first = connection.read();
    const HttpResponse second = connection.read();
    const HttpResponse third = connection.read();
    const HttpResponse fourth = connection.read();
    EXPECT_EQ(first.status, 200);
    EXPECT_EQ(second.status, 400);
    EXPECT_EQ(third.status, 200);
    EXPECT_EQ(third.body, first.body);
    EXPECT_EQ(fourth.body, "ok\n");
    EXPECT_TRUE(connection.closesWithin(seconds(5)));
}

// Connections go to the workers in turn: the next connection's request is
// answered while the one before's large symbol is still being drawn.
TEST(ServeHostile, ConnectionsShareTheWorkers) {
    Service service({"--quiet", "--threads", "2"});
    ASSERT_TRUE(service.started());
    // 4180 x 3000 pixels: a tenth of a second or more of zlib's work.
    const std::string large = "GET /pdf417.png?data=" + repeated("1234567890", 150) +
                              "&col=8&xdim=20&y2x=2" + kHost + "\r\n";
    for (int round = 0; round < 2; ++round) {
        HttpConnection slow(service.port());
        HttpConnection quick(service.port());
        ASSERT_TRUE(slow.send(large));
        // Its worker busy with it, rather than about to read both requests.
        std::this_thread::sleep_for(milliseconds(30));
        ASSERT_TRUE(quick.send("GET /pdf417.txt?data=1" + kHost + "\r\n"));
        EXPECT_EQ(quick.read().status, 200);
        EXPECT_EQ(slow.read(milliseconds(0)).status, 0) << "round " << round;
        EXPECT_EQ(slow.read().status, 200);
    }
}

// Lets this process hold the connections of the crowd.
void raiseOpenFileLimit() {
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    limit.rlim_cur = limit.rlim_max;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &limit), 0);
    ASSERT_GE(limit.rlim_cur, 1100u) << "the test needs 1100 open files";
}

TEST(ServeHostile, IdleAndSlowCrowdsDelayNoOne) {
    raiseOpenFileLimit();
    Service service;
    ASSERT_TRUE(service.started());
    constexpr int kCrowd = 500;
    std::vector<std::unique_ptr<HttpConnection>> idle;
    std::vector<std::unique_ptr<HttpConnection>> slow;
    for (int i = 0; i < kCrowd; ++i) {
        idle.push_back(std::make_unique<HttpConnection>(service.port()));
        slow.push_back(std::make_unique<HttpConnection>(service.port()));
        ASSERT_TRUE(idle.back()->connected() && slow.back()->connected());
    }
    // Each slow client sends its request a byte a second.
    const std::string trickle = "GET /pdf417.png?data=1234567" + kHost + "\r\n";
    std::atomic<bool> done{false};
    std::thread feeder([&] {
        for (std::size_t byte = 0; byte < trickle.size() && !done; ++byte) {
            for (auto& connection : slow) {
                connection->send(trickle.substr(byte, 1));
            }
            std::this_thread::sleep_for(seconds(1));
        }
    });
    for (int i = 0; i < 15; ++i) {
        const auto start = steady_clock::now();
        const HttpResponse response =
            request(service.port(), "GET", "/pdf417.png?data=" + std::to_string(7654321 + i));
        const auto took = steady_clock::now() - start;
        EXPECT_EQ(response.status, 200);
        EXPECT_LT(took, seconds(1));
        std::this_thread::sleep_for(milliseconds(200));
    }
    done = true;
    feeder.join();
}

TEST(ServeHostile, BeyondTheConnectionLimitComes503) {
    Service service({"--quiet", "--max-connections", "8"});
    ASSERT_TRUE(service.started());
    std::vector<std::unique_ptr<HttpConnection>> held;
    for (int i = 0; i < 8; ++i) {
        held.push_back(std::make_unique<HttpConnection>(service.port()));
    }
    std::this_thread::sleep_for(milliseconds(200));
    const HttpResponse refused = request(service.port(), "GET", "/health");
    EXPECT_EQ(refused.status, 503);
    EXPECT_EQ(refused.header("retry-after"), "1");
    held.pop_back();
    std::this_thread::sleep_for(milliseconds(200));
    EXPECT_EQ(request(service.port(), "GET", "/health").status, 200);
}

// Several clients at once, each a keep-alive connection with a mix of every
// kind of request; every answer must be the one its request alone gets.
TEST(ServeHostile, MixedLoadFromSeveralClients) {
    Service service;
    ASSERT_TRUE(service.started());
    struct Ask {
        std::string bytes;
        int status;
    };
    const Ask asks[] = {
        {"GET /pdf417.png?data=mixed%20load&col=4" + kHost + "\r\n", 200},
        {"GET /pdf417.png1?data=1234567&xdim=3" + kHost + "\r\n", 200},
        {"GET /pdf417.svg?data=svg&dpi=300" + kHost + "\r\n", 200},
        {"HEAD /pdf417.eps?data=eps" + kHost + "\r\n", 200},
        {"GET /pdf417.pdf?data=pdf&eci=26&time=0" + kHost + "\r\n", 200},
        {"POST /pdf417.txt?shortest=1" + kHost + "Content-Length: 5\r\n\r\n" +
             std::string("ab\0cd", 5),
         200},
        {"GET /pdf417.png?data=1&col=99" + kHost + "\r\n", 400},
        {"GET /pdf417.png?data=%" + kHost + "\r\n", 400},
        {"GET /nothing" + kHost + "\r\n", 404},
        {"GET /health" + kHost + "\r\n", 200},
        {"GET /" + kHost + "\r\n", 200},
    };
    // Each request's answer alone, to compare with.
    std::vector<HttpResponse> alone;
    for (const Ask& ask : asks) {
        HttpConnection connection(service.port());
        connection.send(ask.bytes);
        alone.push_back(connection.read(seconds(10), ask.bytes[0] == 'H'));
        ASSERT_EQ(alone.back().status, ask.status) << ask.bytes;
    }
    std::atomic<int> wrong{0};
    std::vector<std::thread> clients;
    for (int client = 0; client < 4; ++client) {
        clients.emplace_back([&, client] {
            HttpConnection connection(service.port());
            for (int i = 0; i < 150; ++i) {
                const std::size_t which = (i * 7 + client * 3) % std::size(asks);
                connection.send(asks[which].bytes);
                const HttpResponse response =
                    connection.read(seconds(10), asks[which].bytes[0] == 'H');
                if (response.status != alone[which].status || response.body != alone[which].body) {
                    ++wrong;
                }
            }
        });
    }
    for (std::thread& client : clients) {
        client.join();
    }
    EXPECT_EQ(wrong, 0);
    service.sendSignal(SIGTERM);
    const ProgramRun run = service.finish();
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardError.find("WARNING"), std::string::npos) << run.standardError;
}

}  // namespace
}  // namespace barwright::test
