#include <gtest/gtest.h>

#include <glm/glm.hpp>

#include "gl_test_context.h"
#include "render/gl_functions.h"
#include "render/shader.h"

namespace gl = orva::gl;

namespace {

const char* kVertex = R"(#version 330 core
layout(location = 0) in vec3 aPos;
uniform mat4 uMvp;
out vec3 vColor;
void main() { vColor = aPos; gl_Position = uMvp * vec4(aPos, 1.0); }
)";

const char* kFragment = R"(#version 330 core
in vec3 vColor;
uniform vec4 uTint;
out vec4 fragColor;
void main() { fragColor = vec4(vColor, 1.0) * uTint; }
)";

class ShaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(orva::test::ensureGlContext(&error)) << error;
    }
};

int lookups = 0;
PFNGLGETUNIFORMLOCATIONPROC realGetUniformLocation = nullptr;
GLint APIENTRY countingGetUniformLocation(GLuint program, const GLchar* name) {
    ++lookups;
    return realGetUniformLocation(program, name);
}

} // namespace

TEST_F(ShaderTest, CompilesLinksAndBinds) {
    orva::Shader shader;
    std::string error;
    ASSERT_TRUE(shader.create("mesh", kVertex, kFragment, &error)) << error;
    EXPECT_NE(shader.program, 0u);
    shader.bind();
    shader.set("uTint", glm::vec4(1.0f));
    shader.set("uMvp", glm::mat4(1.0f));
    EXPECT_EQ(gl::glGetError(), GLenum(GL_NO_ERROR));
    shader.destroy();
    EXPECT_EQ(shader.program, 0u);
    EXPECT_TRUE(shader.locations.empty());
}

// Each failing stage names the label and the stage, and leaves the shader empty even when it
// held a working program before.
TEST_F(ShaderTest, ErrorsNameTheLabelAndStage) {
    const char* brokenVertex = "#version 330 core\nvoid main() { gl_Position = vec4(1.0) }\n";
    const char* brokenFragment = "#version 330 core\nout vec4 c;\nvoid main() { c = undefinedThing; }\n";
    // A stage without main() compiles on its own but cannot be linked.
    const char* fragmentWithoutMain = "#version 330 core\nout vec4 c;\nvoid helper() { c = vec4(1.0); }\n";
    struct Case {
        const char* vs;
        const char* fs;
        const char* prefix;
    } cases[] = {
        {brokenVertex, kFragment, "grid (vertex): "},
        {kVertex, brokenFragment, "grid (fragment): "},
        {"#version 330 core\nvoid main() { gl_Position = vec4(0.0); }\n", fragmentWithoutMain, "grid (link): "},
    };
    for (const Case& c : cases) {
        orva::Shader shader;
        ASSERT_TRUE(shader.create("mesh", kVertex, kFragment));
        shader.location("uTint");
        std::string error = "stale";
        EXPECT_FALSE(shader.create("grid", c.vs, c.fs, &error));
        EXPECT_EQ(error.rfind(c.prefix, 0), 0u) << error;
        EXPECT_GT(error.size(), std::string(c.prefix).size()) << "the driver's log is missing";
        EXPECT_EQ(shader.program, 0u);
        EXPECT_TRUE(shader.locations.empty());
        EXPECT_FALSE(shader.create("grid", c.vs, c.fs)); // without an error string
    }
}

TEST_F(ShaderTest, UniformLocationsAreQueriedOncePerName) {
    orva::Shader shader;
    ASSERT_TRUE(shader.create("mesh", kVertex, kFragment));
    realGetUniformLocation = gl::glGetUniformLocation;
    gl::glGetUniformLocation = countingGetUniformLocation;
    lookups = 0;
    EXPECT_EQ(shader.location("uAbsent"), -1);
    EXPECT_EQ(shader.location("uAbsent"), -1);
    EXPECT_EQ(lookups, 1);
    const int tint = shader.location("uTint");
    EXPECT_GE(tint, 0);
    EXPECT_EQ(shader.location("uTint"), tint);
    shader.bind();
    shader.set("uTint", glm::vec4(0.5f));
    shader.set("uAbsent", 1.0f); // location -1: GL ignores it
    EXPECT_EQ(lookups, 2);
    gl::glGetUniformLocation = realGetUniformLocation;
    EXPECT_EQ(gl::glGetError(), GLenum(GL_NO_ERROR));
}
