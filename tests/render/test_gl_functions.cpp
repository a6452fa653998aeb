#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "render/framebuffer.h"
#include "render/gl_functions.h"
#include "render/shader.h"

namespace gl = orva::gl;

namespace {

std::vector<std::string> requested;
const char* refuse = nullptr; // the one name the fake driver lacks

// Any non-null address will do: nothing is called through it.
void* fakeLoader(const char* name) {
    requested.emplace_back(name);
    static char dummy;
    return refuse && std::strcmp(name, refuse) == 0 ? nullptr : &dummy;
}

} // namespace

TEST(GlFunctions, LoadsAllSeventyThreeInOrder) {
    requested.clear();
    refuse = nullptr;
    const char* missing = "untouched";
    ASSERT_TRUE(gl::loadFunctions(fakeLoader, &missing));
    EXPECT_STREQ(missing, "untouched");
    EXPECT_EQ(gl::functionCount(), 73);
    ASSERT_EQ(requested.size(), 73u);
    EXPECT_EQ(requested[0], "glGetError");
    EXPECT_EQ(requested[18], "glReadPixels");
    EXPECT_EQ(requested[19], "glGenVertexArrays");
    EXPECT_EQ(requested[32], "glCreateShader");
    EXPECT_EQ(requested[54], "glGenTextures");
    EXPECT_EQ(requested[61], "glGenFramebuffers");
    EXPECT_EQ(requested[72], "glRenderbufferStorageMultisample");
}

// The driver lacks the 20th function: the 19 before it stay loaded, the rest stay null, and
// objects can still be destroyed safely afterwards.
TEST(GlFunctions, MissingFunctionIsReportedAndStopsTheLoad) {
    requested.clear();
    refuse = nullptr;
    ASSERT_TRUE(gl::loadFunctions(fakeLoader)); // fill everything first...
    // ...then a fresh load must reset nothing before the gap, and the gap and after must be
    // null, not the previous values: so start from a null table.
#define ORVA_GL_RESET(type, name) gl::name = nullptr;
    ORVA_GL_FUNCTIONS(ORVA_GL_RESET)
#undef ORVA_GL_RESET
    requested.clear();
    refuse = "glGenVertexArrays";
    const char* missing = nullptr;
    EXPECT_FALSE(gl::loadFunctions(fakeLoader, &missing));
    EXPECT_STREQ(missing, "glGenVertexArrays");
    EXPECT_EQ(requested.size(), 20u) << "loading must stop at the first missing name";
    EXPECT_NE(gl::glGetError, nullptr);
    EXPECT_NE(gl::glReadPixels, nullptr);
    EXPECT_EQ(gl::glGenVertexArrays, nullptr);
    EXPECT_EQ(gl::glDeleteProgram, nullptr);
    EXPECT_EQ(gl::glDeleteFramebuffers, nullptr);
    EXPECT_FALSE(gl::loadFunctions(fakeLoader)); // no out-parameter: just false

    // Destruction after a failed start-up must not call through null pointers.
    {
        orva::Shader shader;
        shader.program = 7;
        orva::Framebuffer fb;
        fb.fbo = 3;
        fb.colorTexture = 4;
    }
    refuse = nullptr;
}
