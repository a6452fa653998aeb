// The viewport renderer on a real GL driver (Mesa llvmpipe under Xvfb): frames are drawn into the
// offscreen target and read back, and the tests check what a user would see.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gl_test_context.h"
#include "io/file_utils.h"
#include "io/image.h"
#include "render/gl_functions.h"
#include "render/overlay_colors.h"
#include "render/renderer.h"
#include "scene/orbit_camera.h"
#include "test_meshes.h"

using namespace orva;

namespace {

// The clear colour as 8-bit values.
const glm::ivec3 kBackground(48, 48, 50);

glm::ivec3 to8bit(const glm::vec4& c) { return glm::ivec3(glm::round(glm::vec3(c) * 255.0f)); }

bool close(const glm::ivec3& a, const glm::ivec3& b, int tolerance) {
    const glm::ivec3 d = glm::abs(a - b);
    return d.x <= tolerance && d.y <= tolerance && d.z <= tolerance;
}

// A read-back frame; row 0 is the bottom row, as GL stores it.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;

    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    glm::ivec3 at(int x, int y) const {
        const uint8_t* p = &rgba[(size_t(y) * width + x) * 4];
        return {p[0], p[1], p[2]};
    }
    glm::ivec3 at(const glm::ivec2& p) const { return at(p.x, p.y); }
    bool isBackground(int x, int y) const { return close(at(x, y), kBackground, 1); }
    // The darkest pixel of the 3 x 3 block around p (one-pixel lines may fall beside a projected point).
    int darkestAround(const glm::ivec2& p) const {
        int darkest = 1000;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (inside(p.x + dx, p.y + dy)) {
                    const glm::ivec3 c = at(p.x + dx, p.y + dy);
                    darkest = std::min(darkest, c.x + c.y + c.z);
                }
        return darkest;
    }
};

std::string describe(const glm::ivec3& c) {
    return "(" + std::to_string(c.x) + ", " + std::to_string(c.y) + ", " + std::to_string(c.z) + ")";
}

class RendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(test::ensureGlContext(&error)) << error;
        ASSERT_TRUE(renderer.initialize(&error)) << error;
        camera.target = {0, 1, 0};
        camera.distance = 9;
        camera.setView(30, 20);
    }

    SceneObject* addCube(const glm::vec3& position, const char* name = "Cube") {
        SceneObject* object = scene.createObject(ObjectType::Mesh, name);
        object->mesh = std::make_unique<Mesh>(test::makeCube());
        object->transform.position = position;
        return object;
    }

    // Object Mode, no grid, 160 x 120 unless changed.
    ViewportRenderParams params(int width = 160, int height = 120) const {
        ViewportRenderParams p;
        p.scene = &scene;
        p.width = width;
        p.height = height;
        p.view = camera.view();
        p.proj = camera.projection(float(width) / float(height));
        p.cameraPos = camera.position();
        p.showGrid = false;
        return p;
    }

    Frame draw(const ViewportRenderParams& p) {
        renderer.render(p);
        return readBack(renderer.mainTarget.fbo, p.width, p.height, GL_RGBA);
    }

    // The selection mask of the last frame, one byte per pixel.
    std::vector<uint8_t> mask(int width, int height) {
        Frame f = readBack(renderer.maskTarget.fbo, width, height, GL_RED);
        return f.rgba;
    }

    static Frame readBack(uint32_t fbo, int width, int height, GLenum format) {
        Frame f;
        f.width = width;
        f.height = height;
        f.rgba.assign(size_t(width) * height * (format == GL_RED ? 1 : 4), 0);
        gl::glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        gl::glPixelStorei(GL_PACK_ALIGNMENT, 1);
        gl::glReadPixels(0, 0, width, height, format, GL_UNSIGNED_BYTE, f.rgba.data());
        gl::glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return f;
    }

    static glm::ivec2 toPixel(const ViewportRenderParams& p, const glm::vec3& world) {
        glm::vec4 clip = p.proj * p.view * glm::vec4(world, 1.0f);
        clip /= clip.w;
        return {int(std::floor((clip.x * 0.5f + 0.5f) * float(p.width))),
                int(std::floor((clip.y * 0.5f + 0.5f) * float(p.height)))};
    }

    Renderer renderer;
    Scene scene;
    OrbitCamera camera;
};

// Writes a frame as a PNG (top row first) for a person to look at; returns the path.
std::string saveFrame(const Frame& frame, const std::string& name) {
    io::RgbaImage image;
    image.width = frame.width;
    image.height = frame.height;
    image.pixels.resize(frame.rgba.size());
    const size_t row = size_t(frame.width) * 4;
    for (int y = 0; y < frame.height; ++y)
        std::copy_n(&frame.rgba[size_t(frame.height - 1 - y) * row], row, &image.pixels[size_t(y) * row]);
    std::vector<uint8_t> png;
    const std::string path = std::string(ORVA_TEST_ARTIFACT_DIR) + "/" + name;
    if (!io::encodePng(image, png) || !io::writeFileAtomic(path, png.data(), png.size()))
        return {};
    return path;
}

} // namespace

// [SECTION] What the default scene looks like

TEST_F(RendererTest, CubeOverGridIsLitAndTheGridShowsItsAxes) {
    addCube({0, 1, 0});
    ViewportRenderParams p = params();
    const Frame bare = draw(p);
    p.showGrid = true;
    const Frame withGrid = draw(p);

    const glm::ivec3 centre = withGrid.at(toPixel(p, {0, 1, 0}));
    EXPECT_FALSE(close(centre, kBackground, 8)) << describe(centre);
    EXPECT_GT(centre.x + centre.y + centre.z, 3 * 90) << "lit, not black: " << describe(centre);
    EXPECT_LT(centre.x + centre.y + centre.z, 3 * 250) << "tone-mapped, not blown out: " << describe(centre);
    // The key light comes from above: the top face is brighter than the ground-facing ambient alone.
    const glm::ivec3 top = withGrid.at(toPixel(p, {0, 2, 0}) + glm::ivec2(0, -2));
    EXPECT_GT(top.x, 100) << describe(top);

    const glm::ivec3 xAxis = withGrid.at(toPixel(p, {4, 0, 0}));
    EXPECT_GT(xAxis.x, xAxis.y + 40) << "X axis line is red: " << describe(xAxis);
    const glm::ivec3 zAxis = withGrid.at(toPixel(p, {0, 0, 3.5f}));
    EXPECT_GT(zAxis.z, zAxis.x + 40) << "Z axis line is blue: " << describe(zAxis);

    // Cube interior: the pixel and its eight neighbours all clearly differ from the background.
    auto interior = [&](int x, int y) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (!bare.inside(x + dx, y + dy) || close(bare.at(x + dx, y + dy), kBackground, 30))
                    return false;
        return true;
    };
    int gridPixels = 0, cubeChanged = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const bool changed = !close(bare.at(x, y), withGrid.at(x, y), 2);
            if (bare.isBackground(x, y))
                gridPixels += changed;
            else if (interior(x, y))
                cubeChanged += changed;
        }
    EXPECT_GT(gridPixels, p.width * p.height / 20) << "grid lines over the background";
    EXPECT_EQ(cubeChanged, 0) << "the grid never draws over the cube in front of it";
}

// The lights are fixed to the view: whichever face looks at the camera is lit the same, and a
// surface seen from its back is lit like its front.
TEST_F(RendererTest, LightsFollowTheViewAndLightBothSides) {
    SceneObject* cube = addCube({0, 1, 0});
    int first = -1;
    for (float yaw : {0.0f, 90.0f, 200.0f}) {
        camera.setView(yaw, 0);
        const ViewportRenderParams p = params();
        const glm::ivec3 c = draw(p).at(p.width / 2, p.height / 2);
        if (first < 0)
            first = c.x;
        EXPECT_NEAR(c.x, first, 3) << "face towards the camera at yaw " << yaw << ": " << describe(c);
    }

    // Seen from below, a quad facing up looks exactly like the same quad facing down.
    Mesh quad;
    for (int i = 0; i < 4; ++i)
        quad.addVertex({float(i & 1) * 2 - 1, 0, float(i >> 1) * 2 - 1});
    quad.addFace({0, 2, 3, 1}); // front towards +Y
    *cube->mesh = quad;
    camera.setView(30, -40);
    const ViewportRenderParams p = params();
    const glm::ivec3 back = draw(p).at(toPixel(p, {0, 1, 0}));
    quad.faces[0].indices = {0, 1, 3, 2}; // front towards -Y
    *cube->mesh = quad;
    const glm::ivec3 front = draw(p).at(toPixel(p, {0, 1, 0}));
    EXPECT_TRUE(close(back, front, 2)) << "seen from the back " << describe(back) << ", from the front "
                                       << describe(front);
    EXPECT_GT(front.x, kBackground.x + 20) << describe(front);
}

// [SECTION] Selection outline

// Two selected cubes, the left one active: a band just outside each silhouette, in the active
// colour around the active cube, nothing inside either silhouette.
TEST_F(RendererTest, SelectionOutlineHugsTheSilhouetteOutside) {
    const uint32_t left = addCube({-1.7f, 1, 0}, "Left")->id;
    const uint32_t right = addCube({1.7f, 1, 0}, "Right")->id;
    ViewportRenderParams p = params();
    const Frame plain = draw(p);
    const std::vector<uint32_t> selection{right, left};
    p.selection = &selection;
    p.activeObject = left;
    const Frame outlined = draw(p);
    const std::vector<uint8_t> m = mask(p.width, p.height);

    auto maskAt = [&](int x, int y) {
        return x < 0 || y < 0 || x >= p.width || y >= p.height ? 0 : m[size_t(y) * p.width + x];
    };
    const glm::ivec3 active = to8bit(kActiveOrange), selected = to8bit(kSelectedOrange);
    int activeBand = 0, selectedBand = 0, insideChanged = 0, stray = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const bool changed = !close(plain.at(x, y), outlined.at(x, y), 1);
            if (maskAt(x, y) > 0) {
                insideChanged += changed;
                continue;
            }
            if (!changed)
                continue;
            int nearest = 0; // the largest mask value within the band radius (2 px at pixel ratio 1)
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx)
                    nearest = std::max(nearest, maskAt(x + dx, y + dy));
            const glm::ivec3 c = outlined.at(x, y);
            if (nearest == 0)
                ++stray;
            else if (close(c, active, 2))
                ++activeBand;
            else if (close(c, selected, 2))
                ++selectedBand;
            else
                ADD_FAILURE() << "band pixel (" << x << ", " << y << ") is " << describe(c);
        }
    EXPECT_EQ(insideChanged, 0) << "no outline inside a selected silhouette";
    EXPECT_EQ(stray, 0) << "no outline away from the silhouettes";
    EXPECT_GT(activeBand, 60);
    EXPECT_GT(selectedBand, 60);

    // Left of the left cube's silhouette is active colour, right of the right one is not.
    const glm::ivec2 leftEdge = toPixel(p, {-2.7f, 1, 0}), rightEdge = toPixel(p, {2.7f, 1, 0});
    int leftmost = 0, rightmost = p.width - 1;
    while (leftmost < p.width && maskAt(leftmost, leftEdge.y) == 0)
        ++leftmost;
    while (rightmost >= 0 && maskAt(rightmost, rightEdge.y) == 0)
        --rightmost;
    EXPECT_TRUE(close(outlined.at(leftmost - 1, leftEdge.y), active, 2))
        << describe(outlined.at(leftmost - 1, leftEdge.y));
    EXPECT_TRUE(close(outlined.at(rightmost + 1, rightEdge.y), selected, 2))
        << describe(outlined.at(rightmost + 1, rightEdge.y));
}

// Only meshes enter the mask, and never the object open in Edit Mode.
TEST_F(RendererTest, OnlyMeshesOutsideEditModeGetAnOutline) {
    const uint32_t cube = addCube({0, 1, 0})->id;
    SceneObject* cam = scene.createObject(ObjectType::Camera, "Camera");
    cam->transform.position = {-4.5f, 1, 0};
    ViewportRenderParams p = params();

    // The cube's screen rectangle, widened by more than the band.
    glm::ivec2 low(p.width, p.height), high(0, 0);
    for (const Vertex& v : scene.find(cube)->mesh->vertices) {
        const glm::ivec2 px = toPixel(p, v.position + glm::vec3(0, 1, 0));
        low = glm::min(low, px - 4);
        high = glm::max(high, px + 4);
    }
    auto orangeish = [](const glm::ivec3& c) { return c.x > 120 && c.x > c.z + 60 && c.y > c.z; };
    auto count = [&](const Frame& f, bool nearCube) {
        int n = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                const bool inRect = x >= low.x && x <= high.x && y >= low.y && y <= high.y;
                n += inRect == nearCube && orangeish(f.at(x, y));
            }
        return n;
    };

    const std::vector<uint32_t> onlyCamera{cam->id};
    p.selection = &onlyCamera;
    p.activeObject = cam->id;
    const Frame cameraSelected = draw(p);
    EXPECT_GT(count(cameraSelected, false), 10) << "the camera helper turns orange";
    EXPECT_EQ(count(cameraSelected, true), 0) << "but gets no outline";

    const std::vector<uint32_t> onlyCube{cube};
    p.selection = &onlyCube;
    p.activeObject = cube;
    const Frame cubeSelected = draw(p);
    EXPECT_GT(count(cubeSelected, true), 40) << "a selected mesh does";

    const std::vector<uint8_t> none(8, 0);
    p.editObject = cube;
    p.editSelection = &none;
    const Frame editing = draw(p);
    EXPECT_EQ(count(editing, true) + count(editing, false), 0) << "no outline around the edited mesh";
}

// [SECTION] Caches

TEST_F(RendererTest, HiddenObjectIsDroppedAfterThreeRendersAndUploadedAgain) {
    SceneObject* cube = addCube({0, 1, 0});
    const uint64_t uid = cube->mesh->uid;
    const ViewportRenderParams p = params();
    draw(p);
    EXPECT_EQ(renderer.uploadCount, 1u);
    draw(p);
    EXPECT_EQ(renderer.uploadCount, 1u) << "an unchanged mesh is not uploaded again";

    cube->visible = false;
    draw(p);
    draw(p);
    EXPECT_EQ(renderer.meshes.count(uid), 1u) << "kept for two hidden renders";
    const Frame hidden = draw(p);
    EXPECT_EQ(renderer.meshes.count(uid), 0u) << "dropped on the third";
    EXPECT_TRUE(hidden.isBackground(toPixel(p, {0, 1, 0}).x, toPixel(p, {0, 1, 0}).y));

    cube->visible = true;
    const Frame shown = draw(p);
    EXPECT_EQ(renderer.uploadCount, 2u);
    EXPECT_FALSE(shown.isBackground(toPixel(p, {0, 1, 0}).x, toPixel(p, {0, 1, 0}).y));

    cube->mesh->vertices[0].position.x -= 0.5f;
    ++cube->mesh->revision;
    draw(p);
    EXPECT_EQ(renderer.uploadCount, 3u) << "a new revision is uploaded";
}

TEST_F(RendererTest, MeshOfRevisionZeroDrawsNothing) {
    SceneObject* cube = addCube({0, 1, 0});
    cube->mesh->revision = 0;
    const ViewportRenderParams p = params();
    const Frame frame = draw(p);
    EXPECT_EQ(renderer.uploadCount, 0u);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            ASSERT_TRUE(frame.isBackground(x, y)) << "pixel (" << x << ", " << y << ")";
}

TEST_F(RendererTest, ZeroSizeRendersNothingAndCountsNoFrame) {
    addCube({0, 1, 0});
    for (const glm::ivec2 size : {glm::ivec2(0, 120), glm::ivec2(160, 0), glm::ivec2(-3, -3)}) {
        renderer.render(params(size.x, size.y));
        EXPECT_EQ(renderer.frameCounter, 0u) << size.x << " x " << size.y;
        EXPECT_EQ(renderer.mainTarget.fbo, 0u);
        EXPECT_EQ(renderer.uploadCount, 0u);
    }
    ViewportRenderParams noScene = params();
    noScene.scene = nullptr;
    renderer.render(noScene);
    EXPECT_EQ(renderer.frameCounter, 0u);
    renderer.render(params());
    EXPECT_EQ(renderer.frameCounter, 1u);
}

// A texture is decoded once per image; an undecodable one leaves the material untextured and is
// not decoded again.
TEST_F(RendererTest, TexturesAreDecodedOnceAndBadImagesFallBack) {
    SceneObject* cube = addCube({0, 1, 0});
    io::RgbaImage red;
    red.width = red.height = 4;
    red.pixels.assign(4 * 4 * 4, 0);
    for (size_t i = 0; i < red.pixels.size(); i += 4)
        red.pixels[i] = red.pixels[i + 3] = 255;
    std::vector<uint8_t> png;
    ASSERT_TRUE(io::encodePng(red, png));
    scene.textures.push_back({"red", makeTextureData("image/png", png, 4, 4), ""});
    scene.textures.push_back({"broken", makeTextureData("image/png", {1, 2, 3}, 4, 4), ""});
    scene.materials.emplace_back();
    scene.materials.back().baseColor = {1, 1, 1, 1};
    scene.materials.back().baseColorTexture = 0;
    cube->material = 0;

    const ViewportRenderParams p = params();
    const glm::ivec3 textured = draw(p).at(toPixel(p, {0, 1, 0}));
    EXPECT_GT(textured.x, textured.y + 60) << describe(textured);
    const uint32_t handle = renderer.textureHandle(scene.textures[0].data);
    EXPECT_NE(handle, 0u);
    draw(p);
    EXPECT_EQ(renderer.textureHandle(scene.textures[0].data), handle);

    scene.materials.back().baseColorTexture = 1;
    const glm::ivec3 broken = draw(p).at(toPixel(p, {0, 1, 0}));
    EXPECT_LT(std::abs(broken.x - broken.y), 6) << "untextured white: " << describe(broken);
    const auto& entry = renderer.textures.at(scene.textures[1].data->id);
    EXPECT_TRUE(entry.attempted);
    EXPECT_EQ(entry.texture, 0u);
    EXPECT_EQ(renderer.textureHandle(scene.textures[1].data), 0u);
    EXPECT_EQ(renderer.textureHandle(nullptr), 0u);

    scene.materials.back().baseColorTexture = 7; // out of range: no texture, no crash
    cube->material = 3;                          // out of range: the default material
    const glm::ivec3 fallback = draw(p).at(toPixel(p, {0, 1, 0}));
    EXPECT_LT(std::abs(fallback.x - fallback.y), 6) << describe(fallback);
}

// [SECTION] Multisampling

namespace {
PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC realStorageMultisample = nullptr;
void APIENTRY refuseStorageMultisample(GLenum, GLsizei, GLenum, GLsizei, GLsizei) {} // leaves the target incomplete
} // namespace

TEST_F(RendererTest, FailedMultisampleTargetFallsBackToSingleSamplingForGood) {
    if (renderer.msaaSamples < 2)
        GTEST_SKIP() << "this driver has no multisampling";
    EXPECT_LE(renderer.msaaSamples, 4);
    addCube({0, 1, 0});
    realStorageMultisample = gl::glRenderbufferStorageMultisample;
    gl::glRenderbufferStorageMultisample = refuseStorageMultisample;
    ViewportRenderParams p = params();
    const Frame frame = draw(p);
    gl::glRenderbufferStorageMultisample = realStorageMultisample;
    EXPECT_EQ(renderer.msaaSamples, 1);
    EXPECT_EQ(renderer.msaaTarget.fbo, 0u);
    EXPECT_FALSE(frame.isBackground(toPixel(p, {0, 1, 0}).x, toPixel(p, {0, 1, 0}).y)) << "still drawn";

    p = params(200, 150); // a resize does not bring multisampling back
    draw(p);
    EXPECT_EQ(renderer.msaaSamples, 1);
    EXPECT_EQ(renderer.msaaTarget.fbo, 0u);
}

// [SECTION] Grid

TEST_F(RendererTest, GridScaleStepsAtSixtyMetres) {
    struct Case {
        float height, scale, extent;
    } cases[] = {{0, 1, 60},      {4, 1, 60},       {60, 1, 720},          {61, 10, 732},         {-61, 10, 732},
                 {600, 10, 7200}, {601, 100, 7212}, {6e5f, 10000, 7.2e6f}, {1e7f, 100000, 1.2e8f}};
    for (const Case& c : cases) {
        EXPECT_EQ(gridScale(c.height), c.scale) << c.height;
        EXPECT_FLOAT_EQ(gridExtent(c.height), c.extent) << c.height;
    }

    // Looking down from 60 m the metre lines fill the view; from 61 m only the 10 m lines remain.
    auto linePixels = [&](float height) {
        camera.target = {0, 0, 0};
        camera.setView(0, 80);
        camera.distance = height / std::sin(80.0f * kDegToRad);
        ViewportRenderParams p = params();
        p.showGrid = true;
        p.cameraPos.y = height; // exactly, whatever the float rounding of the orbit
        const Frame frame = draw(p);
        int count = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                count += !close(frame.at(x, y), kBackground, 3);
        return count;
    };
    const int at60 = linePixels(60.0f), at61 = linePixels(61.0f);
    EXPECT_GT(at60, 2 * at61) << at60 << " line pixels at 60 m, " << at61 << " at 61 m";
    EXPECT_GT(at61, 0);
}

// [SECTION] Helpers and Edit Mode

TEST_F(RendererTest, SpotLightHelperDrawsItsCone) {
    SceneObject* spot = scene.createObject(ObjectType::Light, "Spot");
    spot->lightType = LightType::Spot;
    spot->outerConeDeg = 45.0f;
    spot->transform.position = {0, 3, 0};
    spot->transform.rotationEulerDeg = {-90, 0, 0}; // pointing down
    camera.target = {0, 2, 0};
    camera.setView(0, 0); // from the side
    camera.distance = 7;
    const ViewportRenderParams p = params();
    const Frame frame = draw(p);
    const int helperDark = 3 * 40;
    for (const glm::vec3 point :
         {glm::vec3(1.5f, 1.5f, 0), glm::vec3(-1.5f, 1.5f, 0), glm::vec3(0.75f, 2.25f, 0), glm::vec3(0, 2.2f, 0)})
        EXPECT_LT(frame.darkestAround(toPixel(p, point)), helperDark)
            << "cone line near (" << point.x << ", " << point.y << ", " << point.z << ")";
    EXPECT_TRUE(frame.isBackground(toPixel(p, {2.5f, 1, 0}).x, toPixel(p, {2.5f, 1, 0}).y)) << "outside the cone";
}

// The bottom edge at the back of the cube is hidden by the front faces; X-ray shows it, and the
// red box behind the cube shows through the surface.
TEST_F(RendererTest, XrayShowsTheFarSideEdges) {
    SceneObject* cube = addCube({0, 1, 0});
    SceneObject* behind = addCube({-1.5f, 1, -5}, "Behind");
    behind->transform.scale = glm::vec3(2.0f);
    scene.materials.emplace_back();
    scene.materials.back().baseColor = {0.9f, 0.05f, 0.05f, 1};
    behind->material = 0;
    camera.setView(20, 25);
    ViewportRenderParams p = params();
    const std::vector<uint8_t> none(8, 0);
    p.editObject = cube->id;
    p.activeObject = cube->id;
    p.editSelection = &none;
    p.componentMode = ComponentType::Edge;
    const glm::ivec2 farEdge = toPixel(p, {0, 0, -1});
    const glm::ivec2 throughCube = toPixel(p, {-0.5f, 1.5f, 1});

    const Frame solid = draw(p);
    EXPECT_GT(solid.darkestAround(farEdge), 3 * 70) << "hidden behind the lit front faces";
    const glm::ivec3 opaque = solid.at(throughCube);
    EXPECT_NEAR(opaque.x, opaque.y, 6) << "grey cube in front: " << describe(opaque);
    p.xray = true;
    const Frame xray = draw(p);
    EXPECT_LT(xray.darkestAround(farEdge), 3 * 40) << "visible through the surface";
    const glm::ivec3 seeThrough = xray.at(throughCube);
    EXPECT_GT(seeThrough.x, seeThrough.y + 25) << "the red box shows through: " << describe(seeThrough);
}

TEST_F(RendererTest, EditModeMarksTheSelectedFace) {
    SceneObject* cube = addCube({0, 1, 0});
    camera.setView(20, 35);
    ViewportRenderParams p = params();
    std::vector<uint8_t> topSelected(8, 0);
    for (uint32_t v : {3u, 7u, 6u, 2u})
        topSelected[v] = 1;
    p.editObject = cube->id;
    p.editSelection = &topSelected;
    p.componentMode = ComponentType::Face;
    const Frame frame = draw(p);
    const glm::ivec3 dot = frame.at(toPixel(p, {0, 2, 0}));
    EXPECT_TRUE(close(dot, to8bit(kEditSelected), 3)) << "orange face dot: " << describe(dot);
    const glm::ivec3 tinted = frame.at(toPixel(p, {0.5f, 2, 0.5f}));
    const glm::ivec3 side = frame.at(toPixel(p, {0.5f, 1, 1}));
    EXPECT_GT(tinted.x - tinted.z, side.x - side.z + 30)
        << "tinted top " << describe(tinted) << ", side " << describe(side);
    const glm::ivec3 sideDot = frame.at(toPixel(p, {0, 1, 1}));
    EXPECT_LT(sideDot.x + sideDot.y + sideDot.z, 3 * 20) << "dark dot on an unselected face: " << describe(sideDot);
}

TEST_F(RendererTest, WireframeDrawsEdgesInTranslucentBlack) {
    addCube({0, 1, 0});
    ViewportRenderParams p = params();
    const glm::ivec2 frontEdge = toPixel(p, {0, 2, 1}); // top edge of the front face
    const int plain = draw(p).darkestAround(frontEdge);
    p.showWireframe = true;
    const int wired = draw(p).darkestAround(frontEdge);
    EXPECT_LT(wired, plain * 3 / 4) << "plain " << plain << ", wireframe " << wired;
}

// [SECTION] A frame to look at

TEST_F(RendererTest, SavesAFrameToLookAt) {
    const uint32_t cube = addCube({0, 1, 0})->id;
    SceneObject* other = addCube({3.2f, 1.5f, -1.5f}, "Box");
    other->transform.scale = glm::vec3(1.5f);
    other->transform.rotationEulerDeg = {0, 25, 0};
    scene.materials.emplace_back();
    scene.materials.back().baseColor = {0.85f, 0.35f, 0.2f, 1};
    scene.materials.back().roughness = 0.3f;
    other->material = 0;
    SceneObject* spot = scene.createObject(ObjectType::Light, "Spot");
    spot->lightType = LightType::Spot;
    spot->transform.position = {-3, 4, 1};
    spot->transform.rotationEulerDeg = {-70, -20, 0};
    SceneObject* cam = scene.createObject(ObjectType::Camera, "Camera");
    cam->transform.position = {2, 2.5f, 5};
    cam->transform.rotationEulerDeg = {-15, 20, 0};
    scene.createObject(ObjectType::SpawnPoint, "Spawn")->transform.position = {-2.5f, 0, 3};

    camera.target = {0, 1, 0};
    camera.distance = 13;
    camera.setView(35, 24);
    ViewportRenderParams p = params(640, 400);
    p.showGrid = true;
    const std::vector<uint32_t> selection{other->id, cube};
    p.selection = &selection;
    p.activeObject = cube;
    const std::string path = saveFrame(draw(p), "renderer_object_mode.png");
    ASSERT_FALSE(path.empty());
    std::printf("rendered frame: %s\n", path.c_str());

    std::vector<uint8_t> some(8, 0);
    for (uint32_t v : {3u, 7u, 6u, 2u, 5u})
        some[v] = 1;
    p.selection = nullptr;
    p.editObject = cube;
    p.editSelection = &some;
    p.xray = true;
    const std::string editPath = saveFrame(draw(p), "renderer_edit_mode_xray.png");
    ASSERT_FALSE(editPath.empty());
    std::printf("rendered frame: %s\n", editPath.c_str());
}
