#include "io/child_process.h"
#include "io/file_utils.h"

#include <cerrno>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace orva::io {

namespace {

// Exit statuses of the child; anything else (or a signal) means it did not get that far.
constexpr int kChildThrew = 70;
constexpr int kChildWriteFailed = 71;

// The child: run the work and send an 8-byte length followed by the bytes. Never returns.
[[noreturn]] void childMain(int writeFd, pid_t parent, const std::function<std::string()>& work) {
#ifdef __linux__
    // Do not outlive an editor that is killed while we read.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent)
        ::_exit(kChildWriteFailed);
#else
    (void)parent;
#endif
    std::string bytes;
    try {
        bytes = work();
    } catch (...) {
        ::_exit(kChildThrew);
    }
    const uint64_t size = bytes.size();
    char header[8];
    std::memcpy(header, &size, sizeof(header));
    if (!writeAll(writeFd, header, sizeof(header)) || !writeAll(writeFd, bytes.data(), bytes.size()))
        ::_exit(kChildWriteFailed);
    // The parent sees the end of the bytes now, not only after the kernel has torn down this
    // process's memory (which it does before closing descriptors on exit).
    ::close(writeFd);
    ::_exit(0);
}

// Children that handed over all of their bytes are reaped when they are done, without waiting:
// their exit status no longer matters, and tearing down a large address space takes a while.
std::mutex gFinishedMutex;
std::vector<pid_t> gFinished;

void reapFinishedChildren() {
    std::lock_guard<std::mutex> lock(gFinishedMutex);
    std::vector<pid_t> running;
    for (pid_t pid : gFinished) {
        int status = 0;
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == 0 || (r < 0 && errno == EINTR))
            running.push_back(pid);
    }
    gFinished.swap(running);
}

void reapLater(pid_t pid) {
    std::lock_guard<std::mutex> lock(gFinishedMutex);
    gFinished.push_back(pid);
}

std::string describeStatus(int status) {
    if (WIFSIGNALED(status)) {
        const int sig = WTERMSIG(status);
        const char* name = ::strsignal(sig);
        return "crashed (signal " + std::to_string(sig) + (name ? std::string(": ") + name : std::string()) + ")";
    }
    if (WIFEXITED(status)) {
        switch (WEXITSTATUS(status)) {
        case kChildThrew:
            return "failed with an unexpected internal error";
        case kChildWriteFailed:
            return "could not hand over its result";
        default:
            return "exited with status " + std::to_string(WEXITSTATUS(status));
        }
    }
    return "ended in an unknown way";
}

pid_t waitForChild(pid_t pid, int& status) {
    pid_t r;
    do {
        r = ::waitpid(pid, &status, 0);
    } while (r < 0 && errno == EINTR);
    return r;
}

} // namespace

bool runInChildProcess(const std::function<std::string()>& work, std::string& output, std::string* error,
                       const ChildProcessLimits& limits) {
    output.clear();
    reapFinishedChildren();
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        setError(error, std::string("could not be started: ") + std::strerror(errno));
        return false;
    }
#ifdef F_SETPIPE_SZ
    ::fcntl(fds[0], F_SETPIPE_SZ, 1 << 20); // fewer trips for large results; the default is fine too
#endif
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        const int err = errno;
        ::close(fds[0]);
        ::close(fds[1]);
        setError(error, std::string("could not be started: ") + std::strerror(err));
        return false;
    }
    if (pid == 0) {
        ::close(fds[0]);
        childMain(fds[1], parent, work);
    }
    ::close(fds[1]);

    // Read until the child closes its end (it exits right after writing), or time runs out.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(limits.timeoutSeconds);
    // The length comes first; the bytes after it are read straight into `output`.
    char header[8];
    size_t headerFill = 0, filled = 0;
    uint64_t expected = 0;
    bool timedOut = false, readFailed = false, overflow = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            timedOut = true;
            break;
        }
        pollfd p{fds[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, int(std::min<long long>(left, 60'000)));
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            readFailed = true;
            break;
        }
        if (ready == 0)
            continue;
        char* target;
        size_t room;
        char spare[4096];
        if (headerFill < sizeof(header)) {
            target = header + headerFill;
            room = sizeof(header) - headerFill;
        } else {
            // Room for the announced size at once (up to 256 MiB; beyond that it grows as bytes come).
            if (filled == output.size() && filled < expected)
                output.resize(size_t(std::min<uint64_t>(expected, std::max<uint64_t>(filled * 2, uint64_t(1) << 28))));
            target = filled < output.size() ? output.data() + filled : spare;
            room = filled < output.size() ? output.size() - filled : sizeof(spare);
        }
        const ssize_t n = ::read(fds[0], target, room);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            readFailed = true;
            break;
        }
        if (n == 0)
            break;
        if (headerFill < sizeof(header)) {
            headerFill += size_t(n);
            if (headerFill == sizeof(header))
                std::memcpy(&expected, header, sizeof(expected));
        } else if (target == spare) {
            overflow = true; // more than announced
        } else {
            filled += size_t(n);
        }
    }
    output.resize(filled);
    ::close(fds[0]);
    if (timedOut || readFailed)
        ::kill(pid, SIGKILL);

    const bool complete = headerFill == sizeof(header) && expected == filled && !overflow;
    if (complete && !timedOut && !readFailed) {
        reapLater(pid);
        reapFinishedChildren();
        return true;
    }
    int status = 0;
    if (waitForChild(pid, status) < 0) {
        output.clear();
        setError(error, std::string("could not be waited for: ") + std::strerror(errno));
        return false;
    }
    if (timedOut) {
        output.clear();
        setError(error, "was stopped after running for " + std::to_string(limits.timeoutSeconds) + " seconds");
        return false;
    }
    if (readFailed) {
        output.clear();
        setError(error, "could not hand over its result");
        return false;
    }
    output.clear();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        setError(error, describeStatus(status));
    else
        setError(error, "ended without handing over its whole result");
    return false;
}

} // namespace orva::io
