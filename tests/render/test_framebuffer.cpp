#include <gtest/gtest.h>

#include <vector>

#include "gl_test_context.h"
#include "render/framebuffer.h"
#include "render/gl_functions.h"

namespace gl = orva::gl;
using orva::Framebuffer;

namespace {

class FramebufferTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(orva::test::ensureGlContext(&error)) << error;
    }
};

// Records what the framebuffer asks of glTexImage2D, then passes the call on.
struct TexImageCall {
    GLint internalFormat = 0;
    GLenum format = 0;
    GLsizei width = 0, height = 0;
};
TexImageCall lastTexImage;
PFNGLTEXIMAGE2DPROC realTexImage2D = nullptr;
void APIENTRY recordingTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                                  GLint border, GLenum format, GLenum type, const void* pixels) {
    lastTexImage = {internalFormat, format, width, height};
    realTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
}

int framebufferGens = 0;
PFNGLGENFRAMEBUFFERSPROC realGenFramebuffers = nullptr;
void APIENTRY countingGenFramebuffers(GLsizei n, GLuint* ids) {
    ++framebufferGens;
    realGenFramebuffers(n, ids);
}

} // namespace

TEST_F(FramebufferTest, SizesBelowOneBecomeOne) {
    Framebuffer fb;
    Framebuffer::Desc desc;
    desc.width = 0;
    desc.height = -5;
    ASSERT_TRUE(fb.create(desc));
    EXPECT_EQ(fb.desc.width, 1);
    EXPECT_EQ(fb.desc.height, 1);
    EXPECT_NE(fb.fbo, 0u);
    EXPECT_NE(fb.colorTexture, 0u);
    EXPECT_EQ(fb.colorRenderbuffer, 0u);
    EXPECT_NE(fb.depthRenderbuffer, 0u);
}

TEST_F(FramebufferTest, SingleChannelTargetHasARedTexture) {
    realTexImage2D = gl::glTexImage2D;
    gl::glTexImage2D = recordingTexImage2D;
    Framebuffer mask, color;
    Framebuffer::Desc desc;
    desc.width = 32;
    desc.height = 16;
    desc.depth = false;
    desc.colorFormat = GL_R8;
    EXPECT_TRUE(mask.create(desc));
    EXPECT_EQ(lastTexImage.internalFormat, GL_R8);
    EXPECT_EQ(lastTexImage.format, GLenum(GL_RED));
    EXPECT_EQ(mask.depthRenderbuffer, 0u);
    desc.colorFormat = GL_RGBA8;
    EXPECT_TRUE(color.create(desc));
    EXPECT_EQ(lastTexImage.internalFormat, GL_RGBA8);
    EXPECT_EQ(lastTexImage.format, GLenum(GL_RGBA));
    gl::glTexImage2D = realTexImage2D;
}

// Clear a 4x multisampled target, resolve it into a texture target and read the result back:
// catches a blit with the wrong buffers bound or the wrong rectangle.
TEST_F(FramebufferTest, MultisampledTargetResolvesIntoTexture) {
    Framebuffer ms, resolved;
    Framebuffer::Desc desc;
    desc.width = 40;
    desc.height = 30;
    desc.samples = 4;
    ASSERT_TRUE(ms.create(desc));
    EXPECT_EQ(ms.colorTexture, 0u);
    EXPECT_NE(ms.colorRenderbuffer, 0u);
    EXPECT_NE(ms.depthRenderbuffer, 0u);
    desc.samples = 1;
    desc.depth = false;
    ASSERT_TRUE(resolved.create(desc));

    ms.bind();
    gl::glClearColor(1.0f, 0.5f, 0.0f, 1.0f);
    gl::glClear(GL_COLOR_BUFFER_BIT);
    ms.blitTo(resolved);

    GLint bound = -1;
    gl::glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0) << "blitTo leaves framebuffer 0 bound";

    std::vector<unsigned char> pixels(40 * 30 * 4, 0);
    resolved.bind();
    gl::glPixelStorei(GL_PACK_ALIGNMENT, 1);
    gl::glReadPixels(0, 0, 40, 30, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    gl::glBindFramebuffer(GL_FRAMEBUFFER, 0);
    for (size_t i : {size_t(0), pixels.size() / 2, pixels.size() - 4}) {
        EXPECT_EQ(pixels[i + 0], 255) << "pixel byte " << i;
        EXPECT_NEAR(pixels[i + 1], 128, 1) << "pixel byte " << i;
        EXPECT_EQ(pixels[i + 2], 0) << "pixel byte " << i;
    }
    EXPECT_EQ(gl::glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(FramebufferTest, EnsureSizeRebuildsOnlyOnChange) {
    realGenFramebuffers = gl::glGenFramebuffers;
    gl::glGenFramebuffers = countingGenFramebuffers;
    Framebuffer fb;
    framebufferGens = 0;
    EXPECT_TRUE(fb.ensureSize(64, 48)); // nothing exists yet: creates
    EXPECT_EQ(framebufferGens, 1);
    EXPECT_TRUE(fb.ensureSize(64, 48));
    EXPECT_EQ(framebufferGens, 1) << "same size must not touch GL";
    EXPECT_TRUE(fb.ensureSize(65, 48));
    EXPECT_EQ(framebufferGens, 2);
    EXPECT_EQ(fb.desc.width, 65);
    // A zero size is clamped to 1 x 1 when stored, so asking for zero again rebuilds.
    EXPECT_TRUE(fb.ensureSize(0, 0));
    EXPECT_TRUE(fb.ensureSize(0, 0));
    EXPECT_EQ(framebufferGens, 4);
    gl::glGenFramebuffers = realGenFramebuffers;
}

// More samples than any driver offers leaves the attachment without storage: the target is
// incomplete, comes back empty, and the next ensureSize tries again instead of trusting it.
TEST_F(FramebufferTest, FailedCreationLeavesNothingAndIsRetried) {
    GLint maxSamples = 0;
    gl::glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
    Framebuffer fb;
    Framebuffer::Desc desc;
    desc.width = 16;
    desc.height = 16;
    desc.samples = maxSamples + 1;
    EXPECT_FALSE(fb.create(desc));
    while (gl::glGetError() != GL_NO_ERROR) {
    }
    EXPECT_EQ(fb.fbo, 0u);
    EXPECT_EQ(fb.colorTexture, 0u);
    EXPECT_EQ(fb.colorRenderbuffer, 0u);
    EXPECT_EQ(fb.depthRenderbuffer, 0u);

    realGenFramebuffers = gl::glGenFramebuffers;
    gl::glGenFramebuffers = countingGenFramebuffers;
    framebufferGens = 0;
    EXPECT_FALSE(fb.ensureSize(16, 16));
    EXPECT_EQ(framebufferGens, 1);
    gl::glGenFramebuffers = realGenFramebuffers;
    while (gl::glGetError() != GL_NO_ERROR) {
    }
}
