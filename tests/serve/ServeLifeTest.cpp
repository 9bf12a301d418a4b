// The service's life as a program: its command line, a stop by signal that
// lets the requests in flight finish, the access log, and the web page read
// from its folder and nowhere else.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "batch/program/BatchProgram.h"
#include "serve/HttpConnection.h"
#include "serve/Service.h"

namespace barwright::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using std::chrono::steady_clock;

const std::string kHost = " HTTP/1.1\r\nHost: 127.0.0.1\r\n";

struct BadStart {
    const char* name;
    std::vector<std::string> arguments;
    const char* epoch;  // SOURCE_DATE_EPOCH, or null
    int status;
    const char* message;
};

TEST(ServeLife, RefusesToStartWithoutServing) {
    const int taken = freePort();
    const BadStart kCases[] = {
        {"UnknownOption", {"--colour"}, nullptr, 64, "unknown option '--colour'"},
        {"Argument", {"extra"}, nullptr, 64, "unexpected argument 'extra'"},
        {"NoThreads", {"--threads", "0"}, nullptr, 64, "--threads takes a whole number"},
        {"TimeoutWord", {"--timeout", "ten"}, nullptr, 64, "--timeout takes a whole number"},
        {"CorsLine", {"--cors", "https://a.example\r\nX: y"}, nullptr, 64, "--cors takes"},
        {"QuietValue", {"--quiet=1"}, nullptr, 64, "'--quiet' takes no value"},
        {"BadEpoch", {}, "soon", 64, "SOURCE_DATE_EPOCH 'soon'"},
        {"NoPort", {"--listen", "127.0.0.1"}, nullptr, 69, "--listen takes ADDRESS:PORT"},
        {"BareIpv6", {"--listen", "::1:8417"}, nullptr, 69, "--listen takes ADDRESS:PORT"},
        {"NoSuchWebFolder", {"--web", "/nonexistent/page"}, nullptr, 69, "No such file"},
    };
    TemporaryDirectory folder;
    for (const BadStart& c : kCases) {
        SCOPED_TRACE(c.name);
        const EnvironmentSetting epoch("SOURCE_DATE_EPOCH", c.epoch);
        std::vector<std::string> arguments = {"--listen", "127.0.0.1:" + std::to_string(taken)};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const ProgramRun run = runProgram(BARWRIGHT_SERVE_EXE, arguments, folder.path());
        EXPECT_EQ(run.exitStatus, c.status);
        EXPECT_NE(run.standardError.find(c.message), std::string::npos) << run.standardError;
        EXPECT_EQ(run.standardError.rfind("barwright-serve: ", 0), 0u);
    }
    const ProgramRun help = runProgram(BARWRIGHT_SERVE_EXE, {"--help"}, folder.path());
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.standardOutput.find("--max-connections N"), std::string::npos);
}

// SIGTERM and SIGINT: no new connection is taken, the request in flight is
// answered (and told that the connection ends), and the program exits 0.
TEST(ServeLife, StopsAfterTheRequestsInFlight) {
    for (const int signalNumber : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signalNumber);
        Service service({"--quiet", "--timeout", "5"});
        ASSERT_TRUE(service.started());
        HttpConnection idle(service.port());
        HttpConnection busy(service.port());
        busy.send("POST /pdf417.txt" + kHost + "Content-Length: 6\r\n\r\nin ");
        std::this_thread::sleep_for(milliseconds(300));
        const auto stopped = steady_clock::now();
        service.sendSignal(signalNumber);
        std::this_thread::sleep_for(milliseconds(300));
        EXPECT_FALSE(HttpConnection(service.port()).connected());
        busy.send("fly");
        const HttpResponse response = busy.read();
        EXPECT_EQ(response.status, 200);
        EXPECT_EQ(response.header("connection"), "close");
        const ProgramRun run = service.finish();
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_LT(steady_clock::now() - stopped, seconds(2));
        EXPECT_TRUE(idle.closesWithin(seconds(1)));
    }
}

// A request that never completes holds the end back for --timeout at most.
TEST(ServeLife, StopWaitsNoLongerThanTheTimeout) {
    Service service({"--quiet", "--timeout", "2"});
    ASSERT_TRUE(service.started());
    HttpConnection stuck(service.port());
    stuck.send("POST /pdf417.txt" + kHost + "Content-Length: 6\r\n\r\nin");
    std::this_thread::sleep_for(milliseconds(200));
    const auto stopped = steady_clock::now();
    service.sendSignal(SIGTERM);
    EXPECT_EQ(service.finish().exitStatus, 0);
    EXPECT_LT(steady_clock::now() - stopped, milliseconds(3500));
}

TEST(ServeLife, AccessLogHasALinePerRequest) {
    Service service(std::vector<std::string>{});
    ASSERT_TRUE(service.started());
    const HttpResponse symbol = request(service.port(), "GET", "/pdf417.png?data=secret&col=4");
    request(service.port(), "GET", "/no\x01thing\xc3\xa9\\x41");
    request(service.port(), "POST", "/pdf417.txt", "", "posted");
    service.sendSignal(SIGTERM);
    const std::string log = service.finish().standardError;
    const std::string expectedStart =
        "GET /pdf417.png 200 " + std::to_string(symbol.body.size()) + " ";
    EXPECT_NE(log.find("\n" + expectedStart), std::string::npos) << log;
    // Escaped to ASCII, a backslash too, so that every \xhh is the log's.
    EXPECT_NE(log.find("\nGET /no\\x01thing\\xc3\\xa9\\x5cx41 400 "), std::string::npos) << log;
    EXPECT_NE(log.find("\nPOST /pdf417.txt 200 "), std::string::npos) << log;
    // The data stays out of the log.
    EXPECT_EQ(log.find("secret"), std::string::npos);
    EXPECT_EQ(log.find("posted"), std::string::npos);
}

// The page's files are read at the start, from the folder alone: no link
// is followed, no subfolder or hidden file served, no name a request makes up
// reaches the file system.
TEST(ServeLife, WebPageFromItsFolderOnly) {
    TemporaryDirectory page;
    writeFile(page.path() / "index.html", "<!doctype html><title>page</title>");
    writeFile(page.path() / "page.js", "export {};");
    writeFile(page.path() / ".hidden.js", "hidden");
    writeFile(page.path() / "notes", "no type");
    std::filesystem::create_directory(page.path() / "sub");
    writeFile(page.path() / "sub" / "deep.js", "deep");
    std::filesystem::create_symlink("/etc/hostname", page.path() / "host.txt");
    Service service({"--quiet", "--web", page.path().string()});
    ASSERT_TRUE(service.started());
    const HttpResponse index = request(service.port(), "GET", "/");
    EXPECT_EQ(index.status, 200);
    EXPECT_EQ(index.body, "<!doctype html><title>page</title>");
    EXPECT_EQ(index.header("content-type"), "text/html; charset=utf-8");
    EXPECT_EQ(index.header("cache-control"), "no-cache");
    EXPECT_EQ(request(service.port(), "GET", "/", "If-None-Match: " + index.header("etag") + "\r\n")
                  .status,
              304);
    const HttpResponse script = request(service.port(), "GET", "/page.js");
    EXPECT_EQ(script.body, "export {};");
    EXPECT_EQ(script.header("content-type"), "text/javascript; charset=utf-8");
    // Files written after the start are not seen: nothing is read per request.
    writeFile(page.path() / "late.js", "late");
    for (const char* target :
         {"/.hidden.js", "/notes", "/sub/deep.js", "/sub", "/host.txt", "/late.js",
          "/index.html/..", "/../index.html", "/%2e%2e/etc/hostname", "//etc/hostname"}) {
        SCOPED_TRACE(target);
        EXPECT_EQ(request(service.port(), "GET", target).status, 404);
    }
    EXPECT_EQ(request(service.port(), "GET", "/pdf417.txt?data=1").status, 200);
}

}  // namespace
}  // namespace barwright::test
