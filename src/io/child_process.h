#pragma once

#include <functional>
#include <string>

// Running untrusted work (a third-party parser on a file the user picked) where its crashes
// cannot reach the editor: in a forked copy of this process that hands back one block of bytes.
namespace orva::io {

struct ChildProcessLimits {
    // Work still running after this long is killed and counts as a failure.
    int timeoutSeconds = 600;
};

// Runs `work` in a child process and moves the bytes it returned into `output`.
// Returns false and fills `error` (when given) with a short predicate for a sentence about the
// child, without a full stop ("crashed (signal 11: Segmentation fault)", "exited with status 3",
// "was stopped after running for 600 seconds"), when the child could not be started,
// crashed, exited before handing over all of its bytes, or ran out of time; `output` is then
// empty. The child ends with _exit: it runs no destructors or exit handlers and flushes no
// stdio buffers, so nothing the parent owns (files, windows, GL contexts) is touched twice.
// Exceptions thrown by `work` count as a failure. Only the calling thread exists in the child,
// so `work` must not wait for locks that other threads of this process may hold.
// A child that handed over all of its bytes is not waited for: it is reaped once it has exited,
// by this or a later call.
bool runInChildProcess(const std::function<std::string()>& work, std::string& output, std::string* error = nullptr,
                       const ChildProcessLimits& limits = {});

} // namespace orva::io
