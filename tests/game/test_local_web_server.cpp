#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <filesystem>
#include <map>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "game/http.h"
#include "game/local_web_server.h"
#include "io/file_utils.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using orva::game::kMaxRequestHeaderBytes;
using orva::game::LocalWebServer;

// Every socket here is on 127.0.0.1. Other test processes may run at the same time and use ports
// of their own, 8080-8099 included, so each test either lets the system suggest a free port or
// occupies the ports its case needs itself.

namespace {

struct Response {
    bool answered = false; // the server sent anything at all
    int status = 0;
    std::map<std::string, std::string> headers;
    std::string body;
};

void setTimeouts(int fd, int seconds) {
    timeval timeout{};
    timeout.tv_sec = seconds;
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
}

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(uint16_t(port));
    return address;
}

// -1 when nothing accepts connections on the port.
int connectTo(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    // Longer than the server's 3-second time-out, so a server busy with a silent client is waited for.
    setTimeouts(fd, 10);
    const sockaddr_in address = loopback(port);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

std::string readToEnd(int fd) {
    std::string out;
    char chunk[65536];
    for (;;) {
        const ssize_t n = recv(fd, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return out;
        out.append(chunk, size_t(n));
    }
}

Response parseResponse(const std::string& raw) {
    Response response;
    response.answered = !raw.empty();
    const size_t headerEnd = raw.find("\r\n\r\n");
    if (headerEnd == std::string::npos)
        return response;
    response.body = raw.substr(headerEnd + 4);
    size_t lineStart = raw.find("\r\n") + 2;
    const std::string statusLine = raw.substr(0, lineStart - 2);
    if (statusLine.rfind("HTTP/1.1 ", 0) == 0)
        response.status = std::atoi(statusLine.c_str() + 9);
    while (lineStart < headerEnd) {
        const size_t lineEnd = raw.find("\r\n", lineStart);
        const std::string line = raw.substr(lineStart, lineEnd - lineStart);
        const size_t colon = line.find(": ");
        if (colon != std::string::npos)
            response.headers[line.substr(0, colon)] = line.substr(colon + 2);
        lineStart = lineEnd + 2;
    }
    return response;
}

// Sends the raw bytes and reads whatever the server answers. A request the server would wait on
// for more is half-closed, so that it sees the end at once. Complete ones are not: the server then
// closes first and the lingering TIME_WAIT stays on its own port, instead of on a fresh client
// port each time, which would soon crowd the range of ports that other tests bind.
Response exchange(int port, const std::string& request) {
    const int fd = connectTo(port);
    EXPECT_GE(fd, 0) << "nothing listens on port " << port;
    if (fd < 0)
        return {};
    size_t sent = 0;
    while (sent < request.size()) {
        const ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += size_t(n);
    }
    if (request.find("\r\n\r\n") == std::string::npos && request.size() <= kMaxRequestHeaderBytes)
        shutdown(fd, SHUT_WR);
    const std::string raw = readToEnd(fd);
    close(fd);
    return parseResponse(raw);
}

int portOf(const std::string& url) {
    const std::string prefix = "http://127.0.0.1:";
    if (url.rfind(prefix, 0) != 0 || url.back() != '/')
        return -1;
    return std::atoi(url.c_str() + prefix.size());
}

// Listening sockets that keep ports busy for the duration of a test.
class PortHolder {
public:
    ~PortHolder() { releaseAll(); }
    bool hold(int port) {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        int one = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        const sockaddr_in address = loopback(port);
        if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || listen(fd, 1) != 0) {
            close(fd);
            return false;
        }
        fds_.push_back(fd);
        return true;
    }
    void releaseAll() {
        for (int fd : fds_)
            close(fd);
        fds_.clear();
    }

private:
    std::vector<int> fds_;
};

// A port that was free a moment ago, chosen by the system (so away from 8080-8099).
int suggestedPort() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    int port = -1;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    return port;
}

bool portIsFree(int port) {
    PortHolder probe;
    return probe.hold(port);
}

size_t openDescriptorCount() {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

std::string binaryBytes(size_t size) {
    std::string bytes(size, '\0');
    uint32_t state = 12345;
    for (char& c : bytes) {
        state = state * 1664525u + 1013904223u;
        c = char(state >> 24);
    }
    return bytes;
}

// A small web build: the page, a manifest, a scene with zero bytes in it, a sub-folder with and
// one without an index page, a file whose name needs percent-encoding, and a secret beside (not
// inside) the served folder.
class LocalWebServerTest : public orva::test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        site = path("site");
        fs::create_directories(site + "/lib");
        fs::create_directories(site + "/empty");
        put(site + "/index.html", "<html>home</html>");
        put(site + "/game.json", "{\"title\":\"Game\"}");
        put(site + "/scene.glb", binaryBytes(3000));
        put(site + "/lib/index.html", "lib page");
        put(site + "/a b.txt", "spaced");
        put(site + "/big.bin", binaryBytes(3 * 1048576 + 17)); // more than one 1 MiB send
        put(path("secret"), "top secret");
    }
    void put(const std::string& file, const std::string& bytes) {
        ASSERT_TRUE(orva::io::writeFileAtomic(file, bytes.data(), bytes.size()));
    }
    // Starts on a port the system suggests; the test fails when none of its twenty can be had.
    int startServer(LocalWebServer& server, const std::string& root) {
        std::string error;
        EXPECT_TRUE(server.start(root, false, suggestedPort(), &error)) << error;
        return portOf(server.localUrl());
    }

    std::string site;
};

} // namespace

TEST_F(LocalWebServerTest, AnswersEachKindOfRequest) {
    const std::string home = "<html>home</html>", json = "{\"title\":\"Game\"}";
    const std::string html = "text/html; charset=utf-8", plain = "text/plain; charset=utf-8";
    // Exactly 16384 bytes with no blank line: one more than the limit, and nothing left unread.
    std::string oversized = "GET / HTTP/1.1\r\nX-Filler: ";
    oversized += std::string(16384 - oversized.size(), 'a');
    ASSERT_EQ(oversized.size(), 16384u);

    struct Case {
        const char* why;
        std::string request;
        int status;              // 0: no answer at all
        std::string contentType; // checked when not empty
        std::string body;        // the expected body
        size_t contentLength;    // the Content-Length header
    };
    const std::vector<Case> cases = {
        {"root serves index.html", "GET / HTTP/1.1\r\nHost: x\r\n\r\n", 200, html, home, home.size()},
        {"folder with an index page", "GET /lib/ HTTP/1.1\r\n\r\n", 200, html, "lib page", 8},
        {"folder without an index page", "GET /empty/ HTTP/1.1\r\n\r\n", 404, plain, "Not Found", 9},
        {"a folder named without its slash", "GET /lib HTTP/1.1\r\n\r\n", 404, plain, "Not Found", 9},
        {"missing file", "GET /missing.js HTTP/1.1\r\n\r\n", 404, plain, "Not Found", 9},
        {"parent step", "GET /../secret HTTP/1.1\r\n\r\n", 403, plain, "Forbidden", 9},
        {"encoded parent step", "GET /%2e%2e/secret HTTP/1.1\r\n\r\n", 403, plain, "Forbidden", 9},
        {"encoded slashes", "GET /lib/..%2F..%2fsecret HTTP/1.1\r\n\r\n", 403, plain, "Forbidden", 9},
        {"backslash", "GET /lib\\..\\..\\secret HTTP/1.1\r\n\r\n", 403, plain, "Forbidden", 9},
        {"encoded backslash", "GET /%5Csecret HTTP/1.1\r\n\r\n", 403, plain, "Forbidden", 9},
        {"absolute path after the slash", "GET //etc/hostname HTTP/1.1\r\n\r\n", 403, plain, "Forbidden", 9},
        {"target without a slash", "GET index.html HTTP/1.1\r\n\r\n", 403, plain, "Forbidden", 9},
        {"parent step that stays inside", "GET /lib/../game.json HTTP/1.1\r\n\r\n", 200, "application/json", json,
         json.size()},
        {"query string ignored", "GET /game.json?v=123 HTTP/1.1\r\n\r\n", 200, "application/json", json, json.size()},
        {"fragment ignored", "GET /game.json#top HTTP/1.1\r\n\r\n", 200, "application/json", json, json.size()},
        {"percent-encoded blank", "GET /a%20b.txt HTTP/1.1\r\n\r\n", 200, plain, "spaced", 6},
        {"NUL byte names no file", "GET /index.html%00.png HTTP/1.1\r\n\r\n", 404, plain, "Not Found", 9},
        {"HEAD: headers only", "HEAD /scene.glb HTTP/1.1\r\n\r\n", 200, "model/gltf-binary", "", 3000},
        {"HEAD of a missing file", "HEAD /nothing HTTP/1.1\r\n\r\n", 404, plain, "", 9},
        {"HEAD of a forbidden path", "HEAD /../secret HTTP/1.1\r\n\r\n", 403, plain, "", 9},
        {"POST", "POST / HTTP/1.1\r\nContent-Length: 0\r\n\r\n", 405, plain, "Method Not Allowed", 18},
        {"methods are case-sensitive", "get / HTTP/1.1\r\n\r\n", 405, plain, "Method Not Allowed", 18},
        {"request line with one blank", "GET /\r\n\r\n", 400, plain, "Bad Request", 11},
        {"400 keeps its body for HEAD", "HEAD\r\n\r\n", 400, plain, "Bad Request", 11},
        {"oversized header without a blank line", oversized, 200, html, home, home.size()},
        {"client gives up before the blank line", "GET / HTTP/1.1\r\nHost: x\r\n", 0, "", "", 0},
        {"nothing sent", "", 0, "", "", 0},
    };

    LocalWebServer server;
    const int port = startServer(server, site);
    ASSERT_GT(port, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Response r = exchange(port, c.request);
        if (c.status == 0) {
            EXPECT_FALSE(r.answered);
            continue;
        }
        EXPECT_EQ(r.status, c.status);
        if (!c.contentType.empty()) {
            EXPECT_EQ(r.headers["Content-Type"], c.contentType);
        }
        EXPECT_EQ(r.body, c.body);
        EXPECT_EQ(r.headers["Content-Length"], std::to_string(c.contentLength));
        EXPECT_EQ(r.headers["Cache-Control"], "no-store");
        EXPECT_EQ(r.headers["Connection"], "close");
    }

    // A body larger than one send piece arrives whole.
    Response big = exchange(port, "GET /big.bin HTTP/1.1\r\n\r\n");
    EXPECT_EQ(big.status, 200);
    EXPECT_EQ(big.headers["Content-Type"], "application/octet-stream");
    EXPECT_TRUE(big.body == binaryBytes(3 * 1048576 + 17)) << "received " << big.body.size() << " bytes";
}

TEST_F(LocalWebServerTest, StartingAgainKeepsThePortAndServesTheNewRoot) {
    const std::string other = path("other");
    fs::create_directories(other);
    put(other + "/index.html", "second build");

    LocalWebServer server;
    const int port = startServer(server, site);
    ASSERT_GT(port, 0);
    EXPECT_TRUE(server.running());
    EXPECT_EQ(server.root(), site);
    EXPECT_EQ(exchange(port, "GET / HTTP/1.1\r\n\r\n").body, "<html>home</html>");

    std::string error;
    ASSERT_TRUE(server.start(other, false, 8080, &error)) << error;
    EXPECT_EQ(portOf(server.localUrl()), port);
    EXPECT_EQ(server.root(), other);
    EXPECT_EQ(exchange(port, "GET / HTTP/1.1\r\n\r\n").body, "second build");
    EXPECT_EQ(server.lanUrl(), ""); // loopback only
}

TEST_F(LocalWebServerTest, StopClosesThePortAndARestartCanTakeItBack) {
    int port = 0;
    {
        LocalWebServer server;
        server.stop(); // not running: nothing to do
        port = startServer(server, site);
        ASSERT_GT(port, 0);
        EXPECT_EQ(exchange(port, "GET /game.json HTTP/1.1\r\n\r\n").status, 200);

        server.stop();
        EXPECT_FALSE(server.running());
        EXPECT_EQ(server.localUrl(), "");
        EXPECT_EQ(connectTo(port), -1);
        server.stop();

        // The served connection lingers in TIME_WAIT on this port; the new socket may still bind it.
        std::string error;
        ASSERT_TRUE(server.start(site, false, port, &error)) << error;
        EXPECT_EQ(portOf(server.localUrl()), port);
        EXPECT_EQ(exchange(port, "GET /game.json HTTP/1.1\r\n\r\n").status, 200);
    }
    // The destructor stopped it.
    EXPECT_EQ(connectTo(port), -1);
}

TEST_F(LocalWebServerTest, BusyFirstPortMovesToTheNextOne) {
    // Occupy 8080 ourselves when we can. Another process may already hold it (it is busy then
    // too) or hold 8081, so 8081 itself is only expected when it was free just before the start.
    PortHolder holder;
    const bool held8080 = holder.hold(8080);
    const bool free8081 = held8080 && portIsFree(8081);

    LocalWebServer server;
    std::string error;
    ASSERT_TRUE(server.start(site, false, 8080, &error)) << error;
    const int port = portOf(server.localUrl());
    EXPECT_GE(port, held8080 ? 8081 : 8080);
    EXPECT_LE(port, 8099);
    if (free8081) {
        EXPECT_EQ(server.localUrl(), "http://127.0.0.1:8081/");
    }
    EXPECT_EQ(exchange(port, "GET / HTTP/1.1\r\n\r\n").status, 200);
}

TEST_F(LocalWebServerTest, FailsWhenAllTwentyPortsAreBusy) {
    // Twenty ports held by this test alone: away from 8080-8099, so that other test programs can
    // start their servers meanwhile, and below the range the system takes client ports from.
    PortHolder holder;
    int first = -1;
    for (int attempt = 0; attempt < 50 && first < 0; ++attempt) {
        const int candidate = 20000 + int((unsigned(getpid()) * 97u + unsigned(attempt) * 631u) % 12000u);
        bool all = true;
        for (int port = candidate; port < candidate + 20 && all; ++port)
            all = holder.hold(port);
        if (all)
            first = candidate;
        else
            holder.releaseAll();
    }
    ASSERT_GT(first, 0) << "could not find twenty free ports in a row";

    LocalWebServer server;
    std::string error;
    EXPECT_FALSE(server.start(site, false, first, &error));
    EXPECT_EQ(error, "No free port between " + std::to_string(first) + " and " + std::to_string(first + 19) + ".");
    EXPECT_FALSE(server.running());
    EXPECT_EQ(server.localUrl(), "");
    EXPECT_EQ(server.root(), site); // the root is taken even when starting fails

    // One port freed: the same call now succeeds there.
    holder.releaseAll();
    ASSERT_TRUE(holder.hold(first) && holder.hold(first + 1));
    ASSERT_TRUE(server.start(site, false, first, &error)) << error;
    EXPECT_GE(portOf(server.localUrl()), first + 2);
}

TEST_F(LocalWebServerTest, SilentClientOnlyDelaysTheNextOne) {
    LocalWebServer server;
    const int port = startServer(server, site);
    ASSERT_GT(port, 0);

    // Connects and sends nothing: the server waits on it for its 3-second receive time-out.
    const int silent = connectTo(port);
    ASSERT_GE(silent, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // let the server accept it first

    const Response next = exchange(port, "GET /game.json HTTP/1.1\r\n\r\n");
    EXPECT_EQ(next.status, 200);
    EXPECT_EQ(readToEnd(silent), ""); // closed without an answer
    close(silent);
}

TEST_F(LocalWebServerTest, ThousandsOfRequestsLeakNoDescriptors) {
    const size_t before = openDescriptorCount();
    {
        LocalWebServer server;
        const int port = startServer(server, site);
        ASSERT_GT(port, 0);
        int requests = 0, answered = 0;
        for (int i = 0; i < 2000; ++i) {
            // Alternate a served file, a refusal and a client that resets the connection before it
            // says anything (the server gets an error instead of a request and must still close).
            const int kind = i % 3;
            if (kind == 2) {
                const int fd = connectTo(port);
                ASSERT_GE(fd, 0);
                const linger reset{1, 0};
                setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
                close(fd);
                continue;
            }
            ++requests;
            const Response r = exchange(port, kind == 0 ? "GET /scene.glb HTTP/1.1\r\n\r\n" : "PUT / HTTP/1.1\r\n\r\n");
            answered += r.status == (kind == 0 ? 200 : 405) ? 1 : 0;
        }
        EXPECT_EQ(answered, requests);
    }
    EXPECT_EQ(openDescriptorCount(), before);
}

// A peer that has gone away must not kill the program with SIGPIPE; the response just ends.
TEST(SendResponse, PeerThatClosedEndsTheResponseQuietly) {
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    close(pair[1]);
    EXPECT_FALSE(orva::game::sendResponse(pair[0], 200, "OK", "text/plain", "body", true));
    close(pair[0]);
}

TEST(SendResponse, HeadKeepsTheContentLengthOfTheBody) {
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    ASSERT_TRUE(orva::game::sendResponse(pair[0], 200, "OK", "image/png", std::string(1234, 'x'), false));
    close(pair[0]);
    EXPECT_EQ(readToEnd(pair[1]), "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nContent-Length: 1234\r\n"
                                  "Cache-Control: no-store\r\nConnection: close\r\n\r\n");
    close(pair[1]);
}
