#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

// The built-in static-file server that lets a browser (or a phone on the same network) play a web
// build: HTTP/1.1 on one background thread, one connection at a time, one response per connection.
namespace orva::game {

// Owned by the editor; all members are called from one thread (the editor's), while the server
// thread reads only the root, under its mutex.
class LocalWebServer {
public:
    LocalWebServer() = default;
    // Stops a running server, waiting for its current request.
    ~LocalWebServer();
    LocalWebServer(const LocalWebServer&) = delete;
    LocalWebServer& operator=(const LocalWebServer&) = delete;

    // Serves the files below `root` (a UTF-8 folder path) on the first port of `firstPort` ..
    // `firstPort` + 19 that can be bound, on 127.0.0.1, or on every IPv4 interface when `allowLan`.
    // A running server with the same `allowLan` keeps its socket and port and serves the new root
    // from its next request on; with the other `allowLan` it is restarted (the port may change).
    // Returns false with one sentence in `error` when no socket or no port could be had; the root
    // is replaced either way.
    bool start(const std::string& root, bool allowLan, int firstPort, std::string* error = nullptr);
    // Stops serving; blocks until the current request has finished (at most its 3-second socket
    // time-outs plus 0.2 s). Safe when not running.
    void stop();

    // A listening socket and a serving thread exist.
    bool running() const { return running_.load(); }
    std::string root() const;
    // "http://127.0.0.1:<port>/" while running, else empty.
    std::string localUrl() const;
    // "http://<LAN address>:<port>/" while running on all interfaces and this machine's address on
    // the local network is known, else empty.
    std::string lanUrl() const;

private:
    void serve();
    void handleClient(int socket);

    std::atomic<bool> running_{false};
    std::atomic<bool> stopRequested_{false};
    int listenFd_ = -1;
    std::thread thread_;
    // Written only while no server thread runs.
    int port_ = 0;
    bool lanMode_ = false;
    std::string lanAddress_; // empty when unknown or not in LAN mode

    mutable std::mutex rootMutex_;
    std::string root_;
};

// Receives a request header from a connected socket: reads until the blank line that ends the
// header, or until more than kMaxRequestHeaderBytes have arrived (a longer header is answered from
// its request line). False when the peer closed, the receive timed out or failed before that:
// such a connection gets no answer.
bool receiveRequest(int socket, std::string& request);

// Writes one response: the header block (Content-Length is `body.size()` even when the body is not
// sent), then the body when `sendBody` is set, in pieces of at most 1 MiB, never raising SIGPIPE.
// False when a send failed or sent nothing; the rest of the response is then dropped.
bool sendResponse(int socket, int status, const std::string& reason, const std::string& contentType,
                  const std::string& body, bool sendBody);

} // namespace orva::game
