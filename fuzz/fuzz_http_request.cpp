// HTTP requests as the local web server receives them from the network: every input is answered
// directly (request line, percent-decoding, path checks, file lookup), then once more through the
// socket functions the server thread uses (receive, answer, send) over a socket pair.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include "game/http.h"
#include "game/local_web_server.h"
#include "io/file_utils.h"

namespace fs = std::filesystem;
using namespace orva::game;

namespace {

void check(bool condition) {
    if (!condition)
        __builtin_trap();
}

// A served folder with a few files of distinct contents, and a secret file beside it that no
// answer may ever carry. Removed when the process ends normally.
struct Site {
    Site() {
        base = fs::temp_directory_path() / ("orva_fuzz_http_" + std::to_string(::getpid()));
        fs::create_directories(base / "site" / "lib");
        root = (base / "site").string();
        put("site/index.html", "<html>home</html>");
        put("site/game.json", "{\"title\":\"Game\"}");
        put("site/scene.glb", std::string("glTF\x02\0\0\0 binary", 16));
        put("site/lib/index.html", "lib page");
        put("site/a b.txt", "spaced name");
        secret = "SECRET OUTSIDE THE ROOT";
        put("secret", secret);
        put("site.txt", secret); // shares the root's name as a prefix
    }
    ~Site() {
        std::error_code ec;
        fs::remove_all(base, ec);
    }
    void put(const std::string& relative, const std::string& bytes) {
        check(orva::io::writeFileAtomic((base / relative).string(), bytes.data(), bytes.size()));
        if (bytes != secret)
            servable.push_back(bytes);
    }

    fs::path base;
    std::string root, secret;
    std::vector<std::string> servable;
};

const Site& site() {
    static const Site instance;
    return instance;
}

void checkAnswer(const HttpResponse& response) {
    check(!response.reason.empty() && !response.contentType.empty());
    switch (response.status) {
    case 200: {
        bool known = false;
        for (const std::string& bytes : site().servable)
            known = known || response.body == bytes;
        check(known);
        check(response.body != site().secret);
        break;
    }
    case 400:
    case 405:
        check(response.sendBody);
        check(response.body == response.reason);
        break;
    case 403:
    case 404:
        check(response.body == response.reason);
        break;
    default:
        check(false);
    }
}

void setTimeouts(int fd) {
    timeval timeout{};
    timeout.tv_sec = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
}

std::string readAll(int fd) {
    std::string out;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0)
            return out;
        out.append(chunk, size_t(n));
    }
}

// What a client sends, what the server thread's functions make of it, what the client reads back.
void throughSocketPair(std::string_view input) {
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0)
        return;
    const int client = pair[0], server = pair[1];
    setTimeouts(client);
    setTimeouts(server);

    // Whatever fits into the socket buffer at once (all of it for inputs of fuzzing size).
    size_t written = 0;
    while (written < input.size()) {
        const ssize_t n = ::send(client, input.data() + written, input.size() - written, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n <= 0)
            break;
        written += size_t(n);
    }
    ::shutdown(client, SHUT_WR);
    const std::string_view sent = input.substr(0, written);

    std::string request;
    const bool received = receiveRequest(server, request);
    // A request is taken once its header is complete or too long; a peer that stops before either
    // gets no answer.
    check(received == (sent.find("\r\n\r\n") != std::string_view::npos || sent.size() > kMaxRequestHeaderBytes));
    if (received) {
        check(sent.substr(0, request.size()) == request);
        const HttpResponse response = answerRequest(request, site().root);
        checkAnswer(response);
        check(sendResponse(server, response.status, response.reason, response.contentType, response.body,
                           response.sendBody));
        ::close(server);
        const std::string expected =
            responseHeader(response.status, response.reason, response.contentType, response.body.size()) +
            (response.sendBody ? response.body : std::string());
        check(readAll(client) == expected);
    } else {
        ::close(server);
    }
    ::close(client);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    checkAnswer(answerRequest(input, site().root));
    throughSocketPair(input);
    return 0;
}
