// Runs the real orva executable as a user would, in screenshot mode, and checks what it wrote.
// Needs a display (the test script provides Xvfb with Mesa's software GL).
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "io/file_utils.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

struct RunResult {
    int exitCode = -1;
    std::string out, err;
};

class ProgramRun : public orva::test::TempDirTest {
protected:
    // Runs orva with `args` (already shell-quoted where needed), behind `prefix` (for example
    // an env command); the preference folder goes to the test's own folder so no layout.ini
    // lands in the user's home.
    RunResult run(const std::string& args, const std::string& prefix = "") {
        const std::string outFile = (dir / "stdout.txt").string(), errFile = (dir / "stderr.txt").string();
        const std::string cmd = prefix + "XDG_DATA_HOME='" + (dir / "data").string() + "' '" ORVA_EXE "' " + args +
                                " >'" + outFile + "' 2>'" + errFile + "' </dev/null";
        RunResult r;
        const int status = std::system(cmd.c_str());
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        orva::io::readFile(outFile, r.out);
        orva::io::readFile(errFile, r.err);
        return r;
    }
};

uint32_t read32(const std::string& b, size_t at) {
    auto u = [&](size_t i) { return uint32_t(uint8_t(b[at + i])); };
    return u(0) | u(1) << 8 | u(2) << 16 | u(3) << 24;
}

// Checks the header against the window size and returns the number of distinct colours.
size_t checkBmp(const std::string& bmp, uint32_t width, uint32_t height) {
    const size_t pixelBytes = size_t(width) * height * 4;
    EXPECT_EQ(bmp.size(), 54 + pixelBytes);
    if (bmp.size() != 54 + pixelBytes)
        return 0;
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(read32(bmp, 2), 54 + pixelBytes);
    EXPECT_EQ(read32(bmp, 10), 54u);
    EXPECT_EQ(read32(bmp, 14), 40u);
    EXPECT_EQ(read32(bmp, 18), width);
    EXPECT_EQ(read32(bmp, 22), height);
    EXPECT_EQ(uint8_t(bmp[28]), 32);
    EXPECT_EQ(read32(bmp, 30), 0u);
    EXPECT_EQ(read32(bmp, 34), pixelBytes);
    std::set<uint32_t> colours;
    size_t translucent = 0;
    for (size_t i = 54; i < bmp.size(); i += 4) {
        colours.insert(read32(bmp, i) & 0xffffff);
        translucent += uint8_t(bmp[i + 3]) != 255;
    }
    EXPECT_EQ(translucent, 0u) << "every pixel is written opaque";
    return colours.size();
}

} // namespace

// The window opens at 1440 x 900 (content scale 1 under Xvfb); the third frame is captured,
// interface included, and a .png name still receives BMP content.
TEST_F(ProgramRun, ScreenshotOfTheThirdFrame) {
    const std::string shot = (dir / "shot.png").string();
    const RunResult r = run("--screenshot '" + shot + "' --frames 3");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.rfind("ORVA 3D Studio 0.1.0\nOpenGL ", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("Screenshot written to " + shot + "\n"), std::string::npos) << r.out;
    std::string bmp;
    ASSERT_TRUE(orva::io::readFile(shot, bmp));
    EXPECT_GT(checkBmp(bmp, 1440, 900), 2u) << "the capture shows no interface";
    EXPECT_FALSE(fs::exists(shot + ".tmp"));
}

// --frames 0 must mean the first frame: were it taken literally, no frame would ever match
// and the run would never end (ctest's timeout catches that).
TEST_F(ProgramRun, FramesZeroCapturesTheFirstFrame) {
    const std::string shot = (dir / "first.bmp").string();
    const RunResult r = run("--frames 0 --screenshot '" + shot + "' 'ignored positional.orva'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string bmp;
    ASSERT_TRUE(orva::io::readFile(shot, bmp));
    checkBmp(bmp, 1440, 900);
}

// A screenshot that cannot be written is reported on standard error; the run still ends
// normally with status 0.
TEST_F(ProgramRun, UnwritableScreenshotIsReportedButNotFatal) {
    const std::string shot = (dir / "missing-folder" / "shot.bmp").string();
    const RunResult r = run("--screenshot '" + shot + "' --frames 1");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("Screenshot failed: Cannot open file for writing: " + shot + "\n"), std::string::npos)
        << r.err;
    EXPECT_EQ(r.out.find("Screenshot written"), std::string::npos) << r.out;
}

// A quit request from outside (SDL turns SIGTERM into a quit event) goes through the editor,
// which quits at once with nothing unsaved: the run ends with status 0 and ImGui has saved its
// layout in the preference folder.
TEST_F(ProgramRun, QuitRequestEndsTheInteractiveRunAndKeepsTheLayout) {
    const std::string outFile = (dir / "stdout.txt").string();
    const std::string data = (dir / "data").string();
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv("XDG_DATA_HOME", data.c_str(), 1);
        const int fd = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, 1);
        // --frames without --screenshot is the normal interactive run.
        execl(ORVA_EXE, ORVA_EXE, "--frames", "2", static_cast<char*>(nullptr));
        _exit(127);
    }
    // Wait for the start-up banner, then a few frames more.
    std::string out;
    for (int i = 0; i < 300 && out.find("OpenGL") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        orva::io::readFile(outFile, out);
    }
    ASSERT_NE(out.find("OpenGL"), std::string::npos) << "no banner: " << out;
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, WNOHANG), 0) << "the interactive run ended by itself";
    kill(pid, SIGTERM);
    pid_t done = 0;
    for (int i = 0; i < 200 && done == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        done = waitpid(pid, &status, WNOHANG);
    }
    if (done == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        FAIL() << "the program did not quit on request";
    }
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(fs::exists(dir / "data" / "ORVA" / "ORVA 3D Studio" / "layout.ini"));
}

// Without a display start-up fails: one line on standard error and status 1, nothing written.
TEST_F(ProgramRun, StartUpFailureIsReportedWithStatusOne) {
    const std::string shot = path("never.bmp");
    const RunResult r = run("--screenshot '" + shot + "'", "env -u DISPLAY -u WAYLAND_DISPLAY ");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("ORVA 3D Studio: SDL_Init failed: ", 0), 0u) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(fs::exists(shot));
}
