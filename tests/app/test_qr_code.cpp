// QR codes of the game's network address: the modules libqrencode gives, the terminal text, and the
// code as the editor draws it, read back by a real QR reader.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <imgui.h>
#include <unistd.h>

#include "app/qr_code.h"
#include "editor/gl_imgui_harness.h"
#include "render/framebuffer.h"
#include "support/qr_read.h"

namespace orva::test {
namespace {

// The 7 x 7 finder pattern with its light separator, whose top-left module is (x, y).
bool hasFinderPattern(const QrCode& code, int x, int y) {
    for (int dy = -1; dy <= 7; ++dy)
        for (int dx = -1; dx <= 7; ++dx) {
            const int ring = std::max(std::abs(2 * dx - 6), std::abs(2 * dy - 6)) / 2; // 0 centre .. 4 separator
            const bool dark = ring != 2 && ring != 4;
            const int mx = x + dx, my = y + dy;
            // The separator only exists inside the symbol.
            if (mx < 0 || my < 0 || mx >= code.size || my >= code.size)
                continue;
            if (code.isDark(mx, my) != dark)
                return false;
        }
    return true;
}

TEST(QrCode, SizeFollowsTheLengthOfTheText) {
    struct Case {
        size_t bytes;
        int size; // 0: no code
    };
    // Level M: version 1 holds 14 bytes, version 2 26, version 40 2331.
    const Case cases[] = {{0, 0}, {1, 21}, {14, 21}, {15, 25}, {26, 25}, {2331, 177}, {2332, 0}, {100000, 0}};
    for (const Case& c : cases) {
        const QrCode code = encodeQrCode(std::string(c.bytes, 'a'));
        EXPECT_EQ(code.size, c.size) << c.bytes << " bytes";
        EXPECT_EQ(code.dark.size(), size_t(c.size) * size_t(c.size));
    }
}

TEST(QrCode, ModulesHaveTheThreeFinderPatternsAndALightQuietZone) {
    const QrCode code = encodeQrCode("http://192.168.1.23:8080/");
    ASSERT_EQ(code.size, 25);
    EXPECT_TRUE(hasFinderPattern(code, 0, 0));
    EXPECT_TRUE(hasFinderPattern(code, code.size - 7, 0));
    EXPECT_TRUE(hasFinderPattern(code, 0, code.size - 7));
    EXPECT_FALSE(hasFinderPattern(code, code.size - 7, code.size - 7));
    for (int i = -kQrQuietZone; i < code.size + kQrQuietZone; ++i) {
        EXPECT_FALSE(code.isDark(i, -1));
        EXPECT_FALSE(code.isDark(-1, i));
        EXPECT_FALSE(code.isDark(i, code.size));
        EXPECT_FALSE(code.isDark(code.size, i));
    }
    for (uint8_t module : code.dark)
        EXPECT_LE(module, 1);
}

TEST(QrCode, ModulePixelsFitTheWidthWithinTheLimits) {
    struct Case {
        int size;
        float width;
        int minPixels, maxPixels;
        int expected;
    };
    const Case cases[] = {
        {25, 198.0f, 2, 6, 6},  // 33 modules with the quiet zone: exactly 6 each
        {25, 197.0f, 2, 6, 5},  // one pixel short
        {25, 1000.0f, 2, 6, 6}, // never larger than the maximum
        {25, 40.0f, 2, 6, 2},   // never smaller than the minimum, even when it overflows
        {25, 0.0f, 2, 6, 2},
        {25, -5.0f, 2, 6, 2},
        {21, 290.0f, 2, 10, 10},
        {21, 100.0f, 3, 1, 3}, // a maximum below the minimum gives the minimum
    };
    for (const Case& c : cases)
        EXPECT_EQ(qrModulePixels(c.size, c.width, c.minPixels, c.maxPixels), c.expected)
            << c.size << " modules in " << c.width << " px";
    EXPECT_EQ(qrCodeSide(encodeQrCode("x"), 3), 3.0f * (21 + 8));
    EXPECT_EQ(qrCodeSide(QrCode{}, 3), 0.0f);
}

// Reads the text of qrCodeText back into modules: rows of the quiet-zone-included square, each
// line holding two of them.
std::vector<std::vector<bool>> parseQrText(const std::string& text, bool ansi) {
    std::vector<std::vector<bool>> rows;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (ansi) {
            const std::string start = "\x1b[30;47m", end = "\x1b[0m";
            EXPECT_EQ(line.rfind(start, 0), 0u);
            EXPECT_EQ(line.substr(line.size() - end.size()), end);
            line = line.substr(start.size(), line.size() - start.size() - end.size());
        }
        std::vector<bool> top, bottom;
        for (size_t i = 0; i < line.size();) {
            bool t = false, b = false;
            if (line[i] == ' ') {
                i += 1;
            } else {
                const std::string glyph = line.substr(i, 3);
                t = glyph == "\xE2\x96\x88" || glyph == "\xE2\x96\x80";
                b = glyph == "\xE2\x96\x88" || glyph == "\xE2\x96\x84";
                EXPECT_TRUE(t || b) << "unexpected character in the code";
                i += 3;
            }
            // Blocks are ink: dark modules with the colours set, light ones without.
            top.push_back(ansi ? t : !t);
            bottom.push_back(ansi ? b : !b);
        }
        rows.push_back(top);
        rows.push_back(bottom);
    }
    return rows;
}

TEST(QrCode, TerminalTextHoldsEveryModuleWithTheQuietZone) {
    const QrCode code = encodeQrCode("http://10.0.0.7:8099/");
    ASSERT_FALSE(code.empty());
    const int side = code.size + 2 * kQrQuietZone;
    for (bool ansi : {false, true}) {
        const std::vector<std::vector<bool>> rows = parseQrText(qrCodeText(code, ansi), ansi);
        ASSERT_EQ(rows.size(), size_t(side + 1)) << "an odd number of rows ends with a light half line";
        for (int y = 0; y <= side; ++y) {
            ASSERT_EQ(rows[size_t(y)].size(), size_t(side));
            for (int x = 0; x < side; ++x)
                EXPECT_EQ(rows[size_t(y)][size_t(x)], code.isDark(x - kQrQuietZone, y - kQrQuietZone))
                    << "ansi " << ansi << " at " << x << ", " << y;
        }
    }
    EXPECT_EQ(qrCodeText(QrCode{}, true), "");
}

// The code drawn with the ImGui draw list by the OpenGL backend, then read from the picture by zbar.
TEST(QrCode, DrawnCodeReadsBackAsTheAddress) {
    GlImguiHarness ui;
    std::string error;
    ASSERT_TRUE(ui.start(glm::vec2(480, 360), &error)) << error;
    const std::filesystem::path picture =
        std::filesystem::temp_directory_path() / ("orva_qr_" + std::to_string(::getpid()) + ".bmp");

    struct Case {
        std::string url;
        int modulePixels;
    };
    // The smallest modules the editor draws, the Tools panel's and the phone window's; a longer
    // address needs a larger version.
    const Case cases[] = {{"http://192.168.1.23:8080/", 2},
                          {"http://192.168.1.23:8080/", 6},
                          {"http://172.31.255.254:8099/", 10},
                          {"http://192.168.100.200:8080/index.html?level=arena&touch=1", 3}};
    for (const Case& c : cases) {
        const QrCode code = encodeQrCode(c.url);
        ui.body = [&] {
            // A dark theme background around the code, as in the editor.
            ImGui::SetNextWindowPos(ImVec2(0, 0));
            ImGui::SetNextWindowSize(ImVec2(480, 360));
            ImGui::Begin("qr", nullptr, ImGuiWindowFlags_NoDecoration);
            qrCodeImage("##code", code, c.modulePixels);
            ImGui::End();
        };
        ui.frame(2);
        ASSERT_TRUE(ui.saveBmp(picture.string()));
        const std::vector<std::string> texts = readQrCodes(picture.string(), &error);
        ASSERT_TRUE(error.empty()) << error;
        EXPECT_EQ(texts, std::vector<std::string>{c.url}) << c.modulePixels << " px a module";
    }
    std::filesystem::remove(picture);
}

} // namespace
} // namespace orva::test
