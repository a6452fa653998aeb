#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <unistd.h>

#include "io/child_process.h"

using orva::io::runInChildProcess;

namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A real invalid memory access, as a broken parser would make.
[[noreturn]] void writeThroughNull() {
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
    std::abort();
}

} // namespace

TEST(ChildProcess, HandsBackTheBytesOfTheWork) {
    std::string out, error;
    ASSERT_TRUE(runInChildProcess([] { return std::string("abc\0def", 7); }, out, &error)) << error;
    EXPECT_EQ(out, std::string("abc\0def", 7));

    // Larger than any pipe buffer, so the parent must read while the child writes.
    std::string big(size_t(30) << 20, 'x');
    big[12345] = 'y';
    ASSERT_TRUE(runInChildProcess([&] { return big; }, out, &error)) << error;
    EXPECT_TRUE(out == big);

    ASSERT_TRUE(runInChildProcess([] { return std::string(); }, out, &error)) << error;
    EXPECT_TRUE(out.empty());
}

// The child's state is its own: what it changes does not reach the parent.
TEST(ChildProcess, ChangesInTheChildStayThere) {
    int counter = 1;
    std::string out;
    ASSERT_TRUE(runInChildProcess(
        [&] {
            counter = 2;
            return std::to_string(counter);
        },
        out));
    EXPECT_EQ(out, "2");
    EXPECT_EQ(counter, 1);
}

TEST(ChildProcess, CrashesAndEarlyExitsAreReportedNotShared) {
    struct Case {
        const char* what;
        std::function<std::string()> work;
        const char* reason;
    } cases[] = {
        {"abort", []() -> std::string { std::abort(); }, "crashed (signal 6"},
        {"segfault", []() -> std::string { writeThroughNull(); }, "crashed (signal 11"},
        {"exit", []() -> std::string { ::_exit(3); }, "exited with status 3"},
        {"throw", []() -> std::string { throw std::runtime_error("no"); }, "unexpected internal error"},
    };
    for (const Case& c : cases) {
        std::string out = "stale", error;
        EXPECT_FALSE(runInChildProcess(c.work, out, &error)) << c.what;
        EXPECT_TRUE(contains(error, c.reason)) << c.what << ": " << error;
        EXPECT_TRUE(out.empty()) << c.what;
    }
}

TEST(ChildProcess, WorkThatTakesTooLongIsStopped) {
    std::string out, error;
    orva::io::ChildProcessLimits limits;
    limits.timeoutSeconds = 1;
    EXPECT_FALSE(runInChildProcess(
        [] {
            ::sleep(30);
            return std::string("late");
        },
        out, &error, limits));
    EXPECT_EQ(error, "was stopped after running for 1 seconds");
    EXPECT_TRUE(out.empty());
}
