// The real orva program used through its window as a person would: xdotool moves the X pointer,
// clicks and presses keys, xwd takes pictures of the window, and the window title is read back.
// Needs the display of the test script (Xvfb) and the xdotool and x11-apps packages.
//
// Where to click comes from the editor harness: the same editor, theme and font at the same window
// size lay the menus out at the same pixels. The harness also renders the expected status bar.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "editor/editor_harness.h"
#include "io/file_utils.h"
#include "io/image.h"
#include "support/shell.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using orva::io::RgbaImage;

// Runs a shell command; its standard output without the trailing newline.
std::string capture(const std::string& command) {
    std::string out;
    orva::test::runShell(command, &out);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

bool haveTool(const char* name) { return capture(std::string("command -v ") + name + " 2>/dev/null") != ""; }

// Reads an X window dump (xwd's format: a big-endian header, a colour map, then ZPixmap rows of
// 24- or 32-bit pixels) into RGBA.
bool decodeXwd(const std::string& bytes, RgbaImage* image, std::string* error) {
    auto be32 = [&](size_t at) {
        auto u = [&](size_t i) { return uint32_t(uint8_t(bytes[at + i])); };
        return u(0) << 24 | u(1) << 16 | u(2) << 8 | u(3);
    };
    if (bytes.size() < 100) {
        *error = "xwd file too short";
        return false;
    }
    const uint32_t headerSize = be32(0), format = be32(8), width = be32(16), height = be32(20);
    const uint32_t byteOrder = be32(28), bitsPerPixel = be32(44), bytesPerLine = be32(48);
    const uint32_t redMask = be32(56), greenMask = be32(60), blueMask = be32(64), colours = be32(76);
    const size_t pixelsAt = size_t(headerSize) + size_t(colours) * 12;
    if (format != 2 || (bitsPerPixel != 32 && bitsPerPixel != 24) ||
        bytes.size() < pixelsAt + size_t(bytesPerLine) * height) {
        *error = "unexpected xwd layout";
        return false;
    }
    auto shiftOf = [](uint32_t mask) {
        int shift = 0;
        while (mask && !(mask & 1u)) {
            mask >>= 1;
            ++shift;
        }
        return shift;
    };
    const int redShift = shiftOf(redMask), greenShift = shiftOf(greenMask), blueShift = shiftOf(blueMask);
    image->width = int32_t(width);
    image->height = int32_t(height);
    image->pixels.resize(size_t(width) * height * 4);
    const size_t step = bitsPerPixel / 8;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const size_t at = pixelsAt + size_t(y) * bytesPerLine + x * step;
            uint32_t v = 0;
            for (size_t i = 0; i < step; ++i) {
                const uint32_t b = uint8_t(bytes[at + i]);
                v |= byteOrder == 0 ? b << (8 * i) : b << (8 * (step - 1 - i));
            }
            uint8_t* p = &image->pixels[(size_t(y) * width + x) * 4];
            p[0] = uint8_t((v & redMask) >> redShift);
            p[1] = uint8_t((v & greenMask) >> greenShift);
            p[2] = uint8_t((v & blueMask) >> blueShift);
            p[3] = 255;
        }
    return true;
}

// Pixels that differ between two images over the rows [top, bottom).
size_t differingPixels(const RgbaImage& a, const RgbaImage& b, int top, int bottom) {
    if (a.width != b.width || a.height != b.height)
        return size_t(-1);
    size_t count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < a.width; ++x) {
            const size_t at = (size_t(y) * a.width + x) * 4;
            for (int c = 0; c < 3; ++c)
                if (std::abs(int(a.pixels[at + c]) - int(b.pixels[at + c])) > 8) {
                    ++count;
                    break;
                }
        }
    return count;
}

bool savePng(const RgbaImage& image, const std::string& path) {
    std::vector<uint8_t> png;
    return orva::io::encodePng(image, png) && orva::io::writeFileAtomic(path, png.data(), png.size());
}

// What the harness tells the program test: where things are, and how the status bar must look.
struct Expected {
    std::map<std::string, ImVec2> at; // centres of items, window pixels
    ImVec2 viewport;
    float statusBarHeight = 0.0f;
    RgbaImage afterDuplicate;
};

// Runs the scenario in the harness first, recording where each click lands.
bool expectedFromHarness(Expected* e, std::string* error) {
    orva::test::EditorHarness h;
    if (!h.ok()) {
        *error = h.error();
        return false;
    }
    h.frame(2);
    e->statusBarHeight = ImGui::GetFrameHeight();
    if (!h.openMenu({"Object", "Add", "Mesh"})) {
        *error = "could not open Object > Add > Mesh";
        return false;
    }
    const orva::test::UiItem* items[] = {h.findIn("##MainMenuBar", "Object"), h.find("Add"), h.find("Mesh")};
    for (const orva::test::UiItem* item : items) {
        if (!item) {
            *error = "a menu of Object > Add > Mesh is missing";
            return false;
        }
        e->at[item->label] = item->rect.GetCenter();
    }
    const orva::test::UiItem* cube = h.find("Cube");
    if (!cube) {
        *error = "no Cube item";
        return false;
    }
    e->at["Cube"] = cube->rect.GetCenter();
    h.click(cube->rect.GetCenter());
    e->viewport = h.windowCentre(orva::ui::kViewportWindow);
    h.moveMouse(e->viewport);
    h.press(ImGuiMod_Shift | ImGuiKey_D);
    h.readPixels(&e->afterDuplicate);
    h.press(ImGuiMod_Ctrl | ImGuiKey_Q);
    const orva::test::UiItem* dontSave = h.find("Don't Save");
    if (!dontSave) {
        *error = "no Don't Save button";
        return false;
    }
    e->at["Don't Save"] = dontSave->rect.GetCenter();
    return true;
}

class ProgramUi : public orva::test::TempDirTest {
protected:
    void TearDown() override {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        orva::test::TempDirTest::TearDown();
    }

    void start() {
        const std::string data = path("data"), out = path("stdout.txt");
        pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            setenv("XDG_DATA_HOME", data.c_str(), 1);
            const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(fd, 1);
            dup2(fd, 2);
            execl(ORVA_EXE, ORVA_EXE, static_cast<char*>(nullptr));
            _exit(127);
        }
    }

    // The program's window: the visible one of our child process.
    std::string waitForWindow() {
        for (int i = 0; i < 300; ++i) {
            const std::string id =
                capture("xdotool search --onlyvisible --pid " + std::to_string(pid) + " 2>/dev/null | tail -n 1");
            if (!id.empty())
                return id;
            std::this_thread::sleep_for(100ms);
        }
        return {};
    }

    std::string title() { return capture("xdotool getwindowname " + window); }

    bool waitForTitle(const std::string& expected) {
        for (int i = 0; i < 100; ++i) {
            if (title() == expected)
                return true;
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }

    // Moves the pointer there, lets the program see it hover, then clicks.
    void clickAt(ImVec2 p) {
        moveTo(p);
        std::system("xdotool click 1");
        std::this_thread::sleep_for(400ms);
    }
    void moveTo(ImVec2 p) {
        // Without --sync: it waits for a motion event, and there is none when the pointer is already there.
        const std::string cmd =
            "xdotool mousemove " + std::to_string(int(originX + p.x)) + " " + std::to_string(int(originY + p.y));
        std::system(cmd.c_str());
        std::this_thread::sleep_for(300ms);
    }
    // Holds the chord for a tenth of a second, as a hand does: a press and release sent back to back
    // can be taken apart differently by the window system.
    void key(const char* chord) {
        std::system((std::string("xdotool keydown ") + chord).c_str());
        std::this_thread::sleep_for(100ms);
        std::system((std::string("xdotool keyup ") + chord).c_str());
        std::this_thread::sleep_for(400ms);
    }

    bool snapshot(const std::string& name, RgbaImage* image, std::string* error) {
        const std::string xwd = path(name + ".xwd");
        if (std::system(("xwd -silent -id " + window + " -out '" + xwd + "'").c_str()) != 0) {
            *error = "xwd failed";
            return false;
        }
        std::string bytes;
        if (!orva::io::readFile(xwd, bytes, error) || !decodeXwd(bytes, image, error))
            return false;
        // Kept beside the other test pictures for a person to look at.
        savePng(*image, std::string(ORVA_TEST_ARTIFACT_DIR) + "/program_ui_" + name + ".png");
        return true;
    }

    bool exited(int* status, std::chrono::milliseconds within) {
        const auto end = std::chrono::steady_clock::now() + within;
        while (std::chrono::steady_clock::now() < end) {
            if (waitpid(pid, status, WNOHANG) == pid) {
                pid = -1;
                return true;
            }
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }

    pid_t pid = -1;
    std::string window;
    int originX = 0, originY = 0;
};

TEST_F(ProgramUi, AddACubeThroughTheMenusThenQuitPastThePrompt) {
    ASSERT_TRUE(haveTool("xdotool") && haveTool("xwd")) << "install xdotool and x11-apps (tools/setup.sh does)";
    Expected e;
    std::string error;
    ASSERT_TRUE(expectedFromHarness(&e, &error)) << error;

    start();
    window = waitForWindow();
    ASSERT_FALSE(window.empty()) << "no window appeared";
    // "X=0\nY=0\nWIDTH=1440\n..." into a map.
    std::map<std::string, int> geometry;
    const std::string lines = capture("xdotool getwindowgeometry --shell " + window) + "\n";
    for (size_t at = 0, end = 0; (end = lines.find('\n', at)) != std::string::npos; at = end + 1) {
        const std::string entry = lines.substr(at, end - at);
        const size_t eq = entry.find('=');
        if (eq != std::string::npos)
            geometry[entry.substr(0, eq)] = std::atoi(entry.c_str() + eq + 1);
    }
    originX = geometry["X"];
    originY = geometry["Y"];
    ASSERT_EQ(geometry["WIDTH"], 1440);
    ASSERT_EQ(geometry["HEIGHT"], 900);
    EXPECT_TRUE(waitForTitle("ORVA 3D Studio - Untitled")) << title();
    std::system(("xdotool windowfocus --sync " + window).c_str());
    // The start-up splash covers the window for 2.1 s and takes the first click: wait it out.
    std::this_thread::sleep_for(2500ms);

    // Object > Add > Mesh, a picture with the menus open, then Cube.
    clickAt(e.at["Object"]);
    clickAt(e.at["Add"]);
    clickAt(e.at["Mesh"]);
    moveTo(e.at["Cube"]);
    RgbaImage menus;
    ASSERT_TRUE(snapshot("menus", &menus, &error)) << error;
    clickAt(e.at["Cube"]);
    EXPECT_TRUE(waitForTitle("ORVA 3D Studio - Untitled *")) << title();

    // Shift+D over the viewport: the status bar then reads as the harness drew it (the mode,
    // "Duplicated 1 object(s)" and the statistics of seven objects).
    // The program draws the change on one of its next frames: on a loaded machine that can take a
    // while, so the picture is taken again until it matches or five seconds have passed.
    moveTo(e.viewport);
    key("shift+d");
    RgbaImage after;
    size_t differing = 0;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    do {
        ASSERT_TRUE(snapshot("after", &after, &error)) << error;
        differing = differingPixels(after, e.afterDuplicate, after.height - int(e.statusBarHeight), after.height);
        if (differing < 20u)
            break;
        std::this_thread::sleep_for(100ms);
    } while (std::chrono::steady_clock::now() < deadline);
    savePng(e.afterDuplicate, std::string(ORVA_TEST_ARTIFACT_DIR) + "/program_ui_expected.png");
    EXPECT_LT(differing, 20u)
        << "the status bar differs from the harness's (see program_ui_after.png and program_ui_expected.png)";

    // Ctrl+Q with unsaved changes asks first; "Don't Save" quits.
    key("ctrl+q");
    int status = 0;
    EXPECT_FALSE(exited(&status, 1000ms)) << "quit without asking";
    RgbaImage prompt;
    ASSERT_TRUE(snapshot("prompt", &prompt, &error)) << error;
    clickAt(e.at["Don't Save"]);
    ASSERT_TRUE(exited(&status, 10000ms)) << "still running after Don't Save";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
