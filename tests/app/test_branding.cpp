// The branding table compiled into the program, the window-icon surface and BrandImage::fit.
// No display and no GL needed.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <SDL3/SDL.h>

#include "app/branding.h"
#include "io/file_utils.h"
#include "io/image.h"

using orva::BrandImage;
using orva::Branding;

namespace {

struct Expected {
    const char* name;
    int width, height;
};
constexpr Expected kExpected[] = {
    {"icon_256.png", 256, 256},
    {"wordmark.png", 512, 152},
    {"logo_with_text.png", 441, 512},
};

} // namespace

// The table holds the three images in order, byte for byte as committed, each an RGBA PNG of the
// size the menu bar, the About box and the splash are laid out for.
TEST(Branding, TableHoldsTheThreeImages) {
    size_t count = 0;
    const orva::BrandingFile* files = orva::brandingFiles(&count);
    ASSERT_EQ(count, 3u);
    ASSERT_NE(files, nullptr);
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(kExpected[i].name);
        EXPECT_STREQ(files[i].name, kExpected[i].name);

        std::string onDisk;
        ASSERT_TRUE(orva::io::readFile(std::string(ORVA_BRANDING_DIR) + "/" + files[i].name, onDisk));
        ASSERT_EQ(files[i].size, onDisk.size());
        EXPECT_EQ(std::memcmp(files[i].data, onDisk.data(), onDisk.size()), 0) << "embedded bytes differ";

        // Colour type 6 in the header: 8-bit RGBA, not a palette or grey image widened on decode.
        ASSERT_GT(files[i].size, 26u);
        EXPECT_EQ(files[i].data[24], 8) << "bit depth";
        EXPECT_EQ(files[i].data[25], 6) << "colour type";

        orva::io::RgbaImage image;
        ASSERT_TRUE(orva::io::decodeImage(files[i].data, files[i].size, image));
        EXPECT_EQ(image.width, kExpected[i].width);
        EXPECT_EQ(image.height, kExpected[i].height);
    }
}

// The icon's surface carries the decoded pixels with bytes R, G, B, A in memory order: its corner is
// outside the rounded tile (transparent) and its centre is the opaque cube.
TEST(Branding, LoadSurfaceGivesRgbaPixels) {
    for (const Expected& e : kExpected) {
        SCOPED_TRACE(e.name);
        SDL_Surface* surface = Branding::loadSurface(e.name);
        ASSERT_NE(surface, nullptr) << SDL_GetError();
        EXPECT_EQ(surface->w, e.width);
        EXPECT_EQ(surface->h, e.height);
        EXPECT_EQ(surface->format, SDL_PIXELFORMAT_RGBA32);
        SDL_DestroySurface(surface);
    }

    SDL_Surface* icon = Branding::loadSurface("icon_256.png");
    ASSERT_NE(icon, nullptr);
    auto pixel = [icon](int x, int y) {
        return static_cast<const unsigned char*>(icon->pixels) + size_t(y) * size_t(icon->pitch) + size_t(x) * 4;
    };
    EXPECT_EQ(pixel(0, 0)[3], 0) << "the corner outside the tile is transparent";
    const unsigned char* centre = pixel(128, 140);
    EXPECT_EQ(centre[3], 255);
    EXPECT_GT(centre[2], centre[0]) << "the cube is blue: B above R in memory order R, G, B, A";
    SDL_DestroySurface(icon);
}

TEST(Branding, LoadSurfaceMatchesNamesExactly) {
    for (const char* name : {"", "icon_256", "ICON_256.PNG", "icon_256.png ", "branding/icon_256.png", "missing.png"})
        EXPECT_EQ(Branding::loadSurface(name), nullptr) << "'" << name << "'";
}

TEST(Branding, FitKeepsTheAspectRatio) {
    struct Case {
        const char* what;
        int width, height;
        float maxW, maxH;
        float w, h;
    };
    const Case cases[] = {
        {"splash in a square: height bound", 441, 512, 100, 100, 86.133f, 100},
        {"wordmark in a tall box: width bound", 512, 152, 256, 400, 256, 76},
        {"enlarged beyond the image", 256, 256, 600, 512, 512, 512},
        {"exact size", 441, 512, 441, 512, 441, 512},
        {"unloaded image", 0, 0, 100, 100, 0, 0},
        {"zero width only", 0, 10, 100, 100, 0, 0},
        {"empty box", 256, 256, 0, 100, 0, 0},
        {"negative box gives nothing", 256, 256, -50, 100, 0, 0},
    };
    for (const Case& c : cases) {
        BrandImage image;
        image.width = c.width;
        image.height = c.height;
        const ImVec2 size = image.fit(c.maxW, c.maxH);
        EXPECT_NEAR(size.x, c.w, 0.01f) << c.what;
        EXPECT_NEAR(size.y, c.h, 0.01f) << c.what;
    }
}
