#include "game/local_web_server.h"
#include "io/file_utils.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "game/http.h"

#ifndef MSG_NOSIGNAL
#define MSG_NOSIGNAL 0 // systems without it have SO_NOSIGPIPE on the socket instead
#endif

namespace orva::game {

using io::setError;

namespace {

constexpr int kPortCount = 20;
constexpr int kListenBacklog = 16;
constexpr int kAcceptWaitMs = 200;       // how soon a stop request is noticed
constexpr int kSocketTimeoutSeconds = 3; // per receive and per send on a client connection
constexpr size_t kSendPiece = 1048576;

// Whatever the platform's socket library needs once per process; nothing on POSIX systems.
void ensureNetwork() {
    static const bool ready = [] { return true; }();
    (void)ready;
}

// This machine's IPv4 address on the local network: "connecting" a UDP socket sends nothing but
// makes the system choose the interface it would route through. The destination is a
// documentation address (TEST-NET-1) that never belongs to a real host. Empty when unknown.
std::string findLanAddress() {
    const int udp = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (udp < 0)
        return {};
    std::string address;
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(53);
    if (::inet_pton(AF_INET, "192.0.2.1", &remote.sin_addr) == 1 &&
        ::connect(udp, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) == 0) {
        sockaddr_in local{};
        socklen_t length = sizeof local;
        char text[INET_ADDRSTRLEN] = {};
        if (::getsockname(udp, reinterpret_cast<sockaddr*>(&local), &length) == 0 &&
            ::inet_ntop(AF_INET, &local.sin_addr, text, sizeof text) && std::strcmp(text, "0.0.0.0") != 0)
            address = text;
    }
    ::close(udp);
    return address;
}

// Accepts one pending connection as a blocking, close-on-exec socket (the listening socket itself
// is non-blocking, so a connection that vanished before accept never stalls the loop).
int acceptClient(int listenFd) {
#ifdef __linux__
    return ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
#else
    const int fd = ::accept(listenFd, nullptr, nullptr);
    if (fd >= 0) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    }
    return fd;
#endif
}

// A client that stops reading or writing costs the server at most this long per call, and a
// peer that has gone away never raises SIGPIPE.
void configureClient(int fd) {
#ifdef SO_NOSIGPIPE
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_NOSIGPIPE, &one, sizeof one);
#endif
    timeval timeout{};
    timeout.tv_sec = kSocketTimeoutSeconds;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
}

bool sendAll(int socket, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::send(socket, data, std::min(size, kSendPiece), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

} // namespace

LocalWebServer::~LocalWebServer() { stop(); }

bool LocalWebServer::start(const std::string& root, bool allowLan, int firstPort, std::string* error) {
    {
        std::lock_guard<std::mutex> lock(rootMutex_);
        root_ = root;
    }
    if (running_.load()) {
        if (lanMode_ == allowLan)
            return true;
        stop();
    }
    ensureNetwork();

    // Close-on-exec: a browser started from the editor must not inherit the listening socket and
    // keep the port busy after the editor has stopped serving.
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        setError(error, "Could not create a network socket.");
        return false;
    }
    int one = 1;
    // Lets a restarted server take its port back while old connections linger in TIME_WAIT.
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);

    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(allowLan ? INADDR_ANY : INADDR_LOOPBACK);
    int bound = -1;
    for (long long port = firstPort; port < (long long)firstPort + kPortCount; ++port) {
        if (port < 1 || port > 65535) // port 0 would let the system pick any port
            continue;
        address.sin_port = htons(uint16_t(port));
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            bound = int(port);
            break;
        }
    }
    if (bound < 0 || ::listen(fd, kListenBacklog) != 0 ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) != 0) {
        ::close(fd);
        setError(error, "No free port between " + std::to_string(firstPort) + " and " +
                            std::to_string((long long)firstPort + kPortCount - 1) + ".");
        return false;
    }

    listenFd_ = fd;
    port_ = bound;
    lanMode_ = allowLan;
    lanAddress_ = allowLan ? findLanAddress() : std::string();
    stopRequested_.exchange(false);
    running_.exchange(true);
    try {
        thread_ = std::thread(&LocalWebServer::serve, this);
    } catch (const std::system_error&) {
        running_.exchange(false);
        ::close(listenFd_);
        listenFd_ = -1;
        setError(error, "Could not start the web server thread.");
        return false;
    }
    return true;
}

void LocalWebServer::stop() {
    if (!running_.load())
        return;
    stopRequested_.exchange(true);
    if (thread_.joinable())
        thread_.join();
    ::close(listenFd_);
    listenFd_ = -1;
    running_.exchange(false);
}

std::string LocalWebServer::root() const {
    std::lock_guard<std::mutex> lock(rootMutex_);
    return root_;
}

std::string LocalWebServer::localUrl() const {
    if (!running_.load())
        return {};
    return "http://127.0.0.1:" + std::to_string(port_) + "/";
}

std::string LocalWebServer::lanUrl() const {
    if (!running_.load() || !lanMode_ || lanAddress_.empty())
        return {};
    return "http://" + lanAddress_ + ":" + std::to_string(port_) + "/";
}

void LocalWebServer::serve() {
    while (!stopRequested_.load()) {
        pollfd waiting{};
        waiting.fd = listenFd_;
        waiting.events = POLLIN;
        if (::poll(&waiting, 1, kAcceptWaitMs) <= 0)
            continue; // timed out (look at the stop flag again) or interrupted
        const int client = acceptClient(listenFd_);
        if (client < 0) {
            // Out of descriptors or memory: the connection stays queued, so wait instead of spinning.
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
                std::this_thread::sleep_for(std::chrono::milliseconds(kAcceptWaitMs));
            continue;
        }
        configureClient(client);
        handleClient(client);
        ::close(client);
    }
}

void LocalWebServer::handleClient(int socket) {
    std::string request;
    if (!receiveRequest(socket, request))
        return;
    const HttpResponse response = answerRequest(request, root());
    sendResponse(socket, response.status, response.reason, response.contentType, response.body, response.sendBody);
}

bool receiveRequest(int socket, std::string& request) {
    request.clear();
    char chunk[4096];
    size_t searchFrom = 0; // the terminator cannot start before this
    for (;;) {
        if (request.find("\r\n\r\n", searchFrom) != std::string::npos)
            return true;
        if (request.size() > kMaxRequestHeaderBytes)
            return true;
        searchFrom = request.size() >= 3 ? request.size() - 3 : 0;
        const ssize_t n = ::recv(socket, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        request.append(chunk, size_t(n));
    }
}

bool sendResponse(int socket, int status, const std::string& reason, const std::string& contentType,
                  const std::string& body, bool sendBody) {
    const std::string header = responseHeader(status, reason, contentType, body.size());
    if (!sendAll(socket, header.data(), header.size()))
        return false;
    if (sendBody && !body.empty())
        return sendAll(socket, body.data(), body.size());
    return true;
}

} // namespace orva::game
