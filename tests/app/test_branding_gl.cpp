// Branding textures on a real GL context (Mesa under Xvfb).
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include <SDL3/SDL.h>

#include "app/branding.h"
#include "render/gl_functions.h"
#include "render/gl_test_context.h"

namespace gl = orva::gl;
using orva::Branding;

namespace {

class BrandingGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(orva::test::ensureGlContext(&error)) << error;
    }
};

int deletedTextures = 0;
PFNGLDELETETEXTURESPROC realDeleteTextures = nullptr;
void APIENTRY countingDeleteTextures(GLsizei n, const GLuint* textures) {
    deletedTextures += n;
    realDeleteTextures(n, textures);
}

// Reads the texture's level 0 back through a framebuffer; row 0 of the result is the texture's first row.
std::vector<unsigned char> readTexture(GLuint texture, int width, int height) {
    std::vector<unsigned char> pixels(size_t(width) * size_t(height) * 4, 0);
    GLuint fbo = 0;
    gl::glGenFramebuffers(1, &fbo);
    gl::glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    gl::glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    gl::glPixelStorei(GL_PACK_ALIGNMENT, 1);
    gl::glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    gl::glBindFramebuffer(GL_FRAMEBUFFER, 0);
    gl::glDeleteFramebuffers(1, &fbo);
    return pixels;
}

} // namespace

// All three images become textures of their own size holding the pixels top row first, exactly as
// decoded (the splash is 441 pixels wide, so a padded row copy would shear it).
TEST_F(BrandingGlTest, LoadUploadsTheThreeImagesUpright) {
    Branding branding;
    EXPECT_TRUE(branding.load());
    struct Case {
        const char* name;
        const orva::BrandImage& image;
    };
    const Case cases[] = {
        {"icon_256.png", branding.icon}, {"wordmark.png", branding.wordmark}, {"logo_with_text.png", branding.splash}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(c.image.texture, 0u);
        SDL_Surface* surface = Branding::loadSurface(c.name);
        ASSERT_NE(surface, nullptr);
        EXPECT_EQ(c.image.width, surface->w);
        EXPECT_EQ(c.image.height, surface->h);

        const std::vector<unsigned char> pixels = readTexture(c.image.texture, c.image.width, c.image.height);
        const size_t row = size_t(surface->w) * 4;
        size_t differingRows = 0;
        for (int y = 0; y < surface->h; ++y) {
            const auto* expected =
                static_cast<const unsigned char*>(surface->pixels) + size_t(y) * size_t(surface->pitch);
            differingRows += std::memcmp(pixels.data() + size_t(y) * row, expected, row) != 0;
        }
        EXPECT_EQ(differingRows, 0u);
        SDL_DestroySurface(surface);
    }

    GLint bound = -1, alignment = 0;
    gl::glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    gl::glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(bound, 0) << "load leaves no texture bound";
    EXPECT_EQ(alignment, 4) << "the unpack alignment is restored for other uploads";
    EXPECT_EQ(gl::glGetError(), GLenum(GL_NO_ERROR));
}

// unload deletes each texture once; a second unload and a reload release nothing twice, and loading
// again first releases the earlier textures instead of leaking them.
TEST_F(BrandingGlTest, UnloadDeletesOnce) {
    realDeleteTextures = gl::glDeleteTextures;
    gl::glDeleteTextures = countingDeleteTextures;
    {
        Branding branding;
        ASSERT_TRUE(branding.load());
        deletedTextures = 0;
        ASSERT_TRUE(branding.load());
        EXPECT_EQ(deletedTextures, 3) << "a second load releases the first textures";

        deletedTextures = 0;
        branding.unload();
        EXPECT_EQ(deletedTextures, 3);
        EXPECT_EQ(branding.icon.texture, 0u);
        EXPECT_EQ(branding.splash.width, 0);
        EXPECT_EQ(branding.wordmark.height, 0);
        branding.unload();
        EXPECT_EQ(deletedTextures, 3) << "nothing left to delete";

        ASSERT_TRUE(branding.load());
        deletedTextures = 0;
    } // the destructor unloads
    EXPECT_EQ(deletedTextures, 3);
    gl::glDeleteTextures = realDeleteTextures;
}

// Without the GL table (after a failed start-up) unload still empties the images and touches no GL,
// and load uploads nothing.
TEST_F(BrandingGlTest, WithoutGlFunctions) {
    Branding branding;
    ASSERT_TRUE(branding.load());
    const GLuint textures[] = {branding.icon.texture, branding.wordmark.texture, branding.splash.texture};

    const PFNGLDELETETEXTURESPROC realDelete = gl::glDeleteTextures;
    const PFNGLGENTEXTURESPROC realGen = gl::glGenTextures;
    gl::glDeleteTextures = nullptr;
    gl::glGenTextures = nullptr;
    branding.unload();
    EXPECT_EQ(branding.icon.texture, 0u);
    EXPECT_EQ(branding.splash.height, 0);
    EXPECT_FALSE(branding.load());
    EXPECT_EQ(branding.wordmark.texture, 0u);
    gl::glDeleteTextures = realDelete;
    gl::glGenTextures = realGen;
    gl::glDeleteTextures(3, textures);
}
