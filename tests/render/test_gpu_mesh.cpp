#include <gtest/gtest.h>

#include "gl_test_context.h"
#include "render/dynamic_batch.h"
#include "render/gl_functions.h"
#include "render/gpu_mesh.h"
#include "test_meshes.h"

using namespace orva;

namespace {

class GpuMeshTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(test::ensureGlContext(&error)) << error;
    }
};

} // namespace

TEST_F(GpuMeshTest, CubeUploadsTrianglesAndEdgesAndReusesItsNames) {
    GpuMesh gpu;
    const Mesh cube = test::makeCube();
    gpu.upload(cube);
    EXPECT_EQ(gpu.indexCount, 36u);
    EXPECT_EQ(gpu.wireIndexCount, 24u);
    const uint32_t names[6] = {gpu.vao, gpu.vbo, gpu.ebo, gpu.wireVao, gpu.wireVbo, gpu.wireEbo};
    for (uint32_t name : names)
        EXPECT_NE(name, 0u);

    Mesh quad;
    for (int i = 0; i < 4; ++i)
        quad.addVertex({float(i & 1), float(i >> 1), 0});
    quad.addFace({0, 1, 3, 2});
    gpu.upload(quad);
    EXPECT_EQ(gpu.indexCount, 6u);
    EXPECT_EQ(gpu.wireIndexCount, 8u);
    const uint32_t again[6] = {gpu.vao, gpu.vbo, gpu.ebo, gpu.wireVao, gpu.wireVbo, gpu.wireEbo};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(again[i], names[i]) << "name " << i;
    EXPECT_EQ(gl::glGetError(), GLenum(GL_NO_ERROR));

    gpu.destroy();
    EXPECT_EQ(gpu.vao, 0u);
    EXPECT_EQ(gpu.wireEbo, 0u);
}

// A mesh without faces has nothing to draw in either version; drawing it must not touch GL state
// that a later draw depends on.
TEST_F(GpuMeshTest, EmptyMeshDrawsNothing) {
    GpuMesh gpu;
    Mesh loose;
    loose.addVertex({0, 0, 0});
    gpu.upload(loose);
    EXPECT_EQ(gpu.indexCount, 0u);
    EXPECT_EQ(gpu.wireIndexCount, 0u);
    gpu.drawSolid();
    gpu.drawWire();
    EXPECT_EQ(gl::glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GpuMeshTest, EmptyBatchMakesNoGlObjects) {
    DynamicBatch batch;
    batch.draw({}, GL_LINES);
    EXPECT_EQ(batch.vao, 0u);
    EXPECT_EQ(batch.vbo, 0u);
}
