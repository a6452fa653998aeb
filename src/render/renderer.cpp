#include "render/renderer.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/matrix_inverse.hpp>

#include "io/image.h"
#include "render/gl_functions.h"
#include "render/helper_markers.h"
#include "render/overlay_colors.h"
#include "render/renderer_shaders.h"
#include "scene/mesh.h"

// [SECTION] Set-up and shut-down
// [SECTION] Caches
// [SECTION] Frame
// [SECTION] Passes

namespace orva {

using namespace gl;

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kMaxSamples = 4;
constexpr uint64_t kCacheFrames = 3; // entries unused for this many renders are dropped

} // namespace

float gridScale(float cameraHeight) {
    const float a = std::fabs(cameraHeight);
    float scale = 1.0f;
    for (float limit = 60.0f; scale < 100000.0f && a > limit; limit *= 10.0f)
        scale *= 10.0f;
    return scale;
}

float gridExtent(float cameraHeight) { return std::max(12.0f * std::fabs(cameraHeight), 60.0f); }

glm::mat3 normalMatrix(const glm::mat4& modelView) {
    const glm::mat3 m(modelView);
    const float det = glm::determinant(m);
    if (std::fabs(det) > 1e-20f)
        return glm::inverseTranspose(m);
    // Cofactors: det x inverse transpose where that exists, and still finite for a flattened
    // object, whose remaining face normals then keep their direction.
    glm::mat3 cofactor;
    cofactor[0] = glm::cross(m[1], m[2]);
    cofactor[1] = glm::cross(m[2], m[0]);
    cofactor[2] = glm::cross(m[0], m[1]);
    return cofactor;
}

// [SECTION] Set-up and shut-down

Renderer::~Renderer() { shutdown(); }

bool Renderer::initialize(std::string* error) {
    if (!meshShader.create("mesh", kMeshVertexSource, kMeshFragmentSource, error) ||
        !colorShader.create("color", kColorVertexSource, kColorFragmentSource, error) ||
        !gridShader.create("grid", kGridVertexSource, kGridFragmentSource, error) ||
        !maskShader.create("mask", kMaskVertexSource, kMaskFragmentSource, error) ||
        !outlineShader.create("outline", kOutlineVertexSource, kOutlineFragmentSource, error)) {
        meshShader.destroy();
        colorShader.destroy();
        gridShader.destroy();
        maskShader.destroy();
        outlineShader.destroy();
        return false;
    }
    GLint maxSamples = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
    msaaSamples = std::min(int(maxSamples), kMaxSamples);
    if (msaaSamples < 2)
        msaaSamples = 1;
    glGenVertexArrays(1, &emptyVao);
    initialized = true;
    return true;
}

void Renderer::shutdown() {
    if (!initialized)
        return;
    meshes.clear(); // each GpuMesh releases its buffers
    if (glDeleteTextures) {
        for (auto& [id, entry] : textures) {
            if (entry.texture)
                glDeleteTextures(1, &entry.texture);
        }
    }
    textures.clear();
    batch.destroy();
    msaaTarget.destroy();
    mainTarget.destroy();
    maskTarget.destroy();
    meshShader.destroy();
    colorShader.destroy();
    gridShader.destroy();
    maskShader.destroy();
    outlineShader.destroy();
    if (emptyVao && glDeleteVertexArrays)
        glDeleteVertexArrays(1, &emptyVao);
    emptyVao = 0;
    initialized = false;
}

bool Renderer::ensureTargets(int width, int height) {
    // The mask target counts too: a frame must never draw its mask into whatever happens to be bound.
    if (mainTarget.fbo && maskTarget.fbo && mainTarget.desc.width == width && mainTarget.desc.height == height)
        return true;
    if (!mainTarget.create({width, height, 1, true, GL_RGBA8}))
        return false;
    if (!maskTarget.create({width, height, 1, false, GL_R8}))
        return false;
    if (msaaSamples > 1 && !msaaTarget.create({width, height, msaaSamples, true, GL_RGBA8}))
        msaaSamples = 1; // for the rest of the run
    return true;
}

// [SECTION] Caches

GpuMesh& Renderer::gpuMeshFor(const Mesh& mesh) {
    CachedMesh& entry = meshes[mesh.uid];
    if (entry.revision != mesh.revision) {
        entry.gpu.upload(mesh);
        entry.revision = mesh.revision;
        ++uploadCount;
    }
    entry.lastUsed = frameCounter;
    return entry.gpu;
}

uint32_t Renderer::textureHandle(const std::shared_ptr<const TextureData>& data) {
    if (!data)
        return 0;
    CachedTexture& entry = textures[data->id];
    entry.lastUsed = frameCounter;
    if (entry.attempted)
        return entry.texture;
    entry.attempted = true;

    io::RgbaImage image;
    if (!io::decodeImage(data->bytes.data(), data->bytes.size(), image) || image.width < 1 || image.height < 1 ||
        image.pixels.size() < size_t(image.width) * size_t(image.height) * 4)
        return 0; // drawn untextured; not retried while the entry lives
    glGenTextures(1, &entry.texture);
    glBindTexture(GL_TEXTURE_2D, entry.texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // sRGB storage: sampling returns linear values for the lighting.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_SRGB8_ALPHA8, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 image.pixels.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glBindTexture(GL_TEXTURE_2D, 0);
    return entry.texture;
}

void Renderer::purgeUnusedMeshes() {
    for (auto it = textures.begin(); it != textures.end();) {
        if (frameCounter - it->second.lastUsed >= kCacheFrames) {
            if (it->second.texture)
                glDeleteTextures(1, &it->second.texture);
            it = textures.erase(it);
        } else {
            ++it;
        }
    }
    std::erase_if(meshes, [this](const auto& item) { return frameCounter - item.second.lastUsed >= kCacheFrames; });
}

void Renderer::bindMaterial(const Scene& scene, int materialIndex) {
    static const Material kDefaultMaterial;
    const Material& material = materialIndex >= 0 && size_t(materialIndex) < scene.materials.size()
                                   ? scene.materials[size_t(materialIndex)]
                                   : kDefaultMaterial;
    meshShader.set("uBaseColor", material.baseColor);
    meshShader.set("uMetallic", material.metallic);
    meshShader.set("uRoughness", material.roughness);
    uint32_t texture = 0;
    if (material.baseColorTexture >= 0 && size_t(material.baseColorTexture) < scene.textures.size())
        texture = textureHandle(scene.textures[size_t(material.baseColorTexture)].data);
    meshShader.set("uHasTexture", texture != 0 ? 1 : 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    meshShader.set("uBaseColorTexture", 0);
    meshShader.set("uUvScale", material.uvScale);
    meshShader.set("uUvOffset", material.uvOffset);
    meshShader.set("uUvRotation", material.uvRotationDeg * kPi / 180.0f);
}

// [SECTION] Frame

void Renderer::render(const ViewportRenderParams& params) {
    if (!initialized || !params.scene || params.width < 1 || params.height < 1)
        return;
    ++frameCounter;
    if (!ensureTargets(params.width, params.height))
        return;

    if (msaaSamples > 1)
        msaaTarget.bind();
    else
        mainTarget.bind();

    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_PROGRAM_POINT_SIZE);
    glClearColor(0.188f, 0.188f, 0.196f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    const SceneObject* edited = nullptr;
    drawMeshes(params, edited);

    colorShader.bind();
    colorShader.set("uRoundPoints", 0);
    colorShader.set("uPointSize", 1.0f);
    if (params.showWireframe)
        drawWireframe(params, edited);
    glDisable(GL_POLYGON_OFFSET_FILL);

    if (params.showGrid)
        drawGrid(params);
    drawHelpers(params);
    if (edited)
        drawEditOverlay(params, *edited);

    glBindVertexArray(0);
    if (msaaSamples > 1)
        msaaTarget.blitTo(mainTarget);

    drawOutline(params);

    glUseProgram(0);
    glBindVertexArray(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDisable(GL_DEPTH_TEST);
    purgeUnusedMeshes();
}

// [SECTION] Passes

void Renderer::drawMeshes(const ViewportRenderParams& params, const SceneObject*& edited) {
    const Scene& scene = *params.scene;
    meshShader.bind();
    meshShader.set("uView", params.view);
    meshShader.set("uProj", params.proj);
    meshShader.set("uOrtho", params.orthographic ? 1 : 0);
    // Lines and points drawn later win the depth test against the surfaces they lie on.
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 1.0f);
    for (const auto& object : scene.objects) {
        if (object->type != ObjectType::Mesh || !object->mesh || !object->visible)
            continue;
        if (object->id == params.editObject && params.editObject != kInvalidObject) {
            edited = object.get();
            if (params.xray)
                continue; // drawn see-through by the Edit Mode overlay
        }
        const glm::mat4 world = scene.worldMatrix(object->id);
        meshShader.set("uModel", world);
        meshShader.set("uNormalView", normalMatrix(params.view * world));
        bindMaterial(scene, object->material);
        meshShader.set("uAlpha", 1.0f);
        gpuMeshFor(*object->mesh).drawSolid();
    }
}

void Renderer::drawWireframe(const ViewportRenderParams& params, const SceneObject* edited) {
    const Scene& scene = *params.scene;
    colorShader.set("uDepthBias", 0.0f);
    // The wireframe vertex arrays have no colour attribute: GL uses this constant instead.
    glVertexAttrib4f(1, 0.0f, 0.0f, 0.0f, 0.45f);
    const glm::mat4 viewProj = params.proj * params.view;
    for (const auto& object : scene.objects) {
        if (object->type != ObjectType::Mesh || !object->mesh || !object->visible || object.get() == edited)
            continue;
        colorShader.set("uMVP", viewProj * scene.worldMatrix(object->id));
        gpuMeshFor(*object->mesh).drawWire();
    }
}

void Renderer::drawGrid(const ViewportRenderParams& params) {
    const float extent = gridExtent(params.cameraPos.y);
    gridShader.bind();
    gridShader.set("uViewProj", params.proj * params.view);
    gridShader.set("uCenter", glm::vec3(params.cameraPos.x, 0.0f, params.cameraPos.z));
    gridShader.set("uExtent", extent);
    gridShader.set("uCameraPos", params.cameraPos);
    gridShader.set("uFadeDistance", extent);
    gridShader.set("uScale", gridScale(params.cameraPos.y));
    glDepthMask(GL_FALSE);
    glBindVertexArray(emptyVao);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glDepthMask(GL_TRUE);
}

void Renderer::drawHelpers(const ViewportRenderParams& params) {
    buildHelperLines(params, helperLines);
    if (helperLines.empty())
        return;
    colorShader.bind();
    colorShader.set("uMVP", params.proj * params.view);
    colorShader.set("uDepthBias", 0.0f);
    colorShader.set("uRoundPoints", 0);
    batch.draw(helperLines, GL_LINES);
}

void Renderer::drawEditOverlay(const ViewportRenderParams& params, const SceneObject& object) {
    const Scene& scene = *params.scene;
    const glm::mat4 world = scene.worldMatrix(object.id);
    const Mesh& mesh = *object.mesh;

    if (params.xray) {
        meshShader.bind();
        meshShader.set("uModel", world);
        meshShader.set("uNormalView", normalMatrix(params.view * world));
        bindMaterial(scene, object.material);
        meshShader.set("uAlpha", 0.35f);
        glDepthMask(GL_FALSE);
        gpuMeshFor(mesh).drawSolid();
        glDepthMask(GL_TRUE);
    }

    colorShader.bind();
    colorShader.set("uMVP", params.proj * params.view * world);
    if (params.xray)
        glDisable(GL_DEPTH_TEST);

    buildEditOverlay(mesh, params.editSelection, params.componentMode, overlayLists);
    // Rising depth biases keep dots over edges over face tint over the surface itself.
    colorShader.set("uDepthBias", 5e-5f);
    colorShader.set("uRoundPoints", 0);
    batch.draw(overlayLists.faceTint, GL_TRIANGLES);
    colorShader.set("uDepthBias", 2e-4f);
    batch.draw(overlayLists.edges, GL_LINES);
    colorShader.set("uDepthBias", 4e-4f);
    colorShader.set("uRoundPoints", 1);
    colorShader.set("uPointSize", params.pixelRatio * (params.componentMode == ComponentType::Vertex ? 6.0f : 4.0f));
    batch.draw(overlayLists.dots, GL_POINTS);

    colorShader.set("uRoundPoints", 0);
    colorShader.set("uPointSize", 1.0f);
    glEnable(GL_DEPTH_TEST);
}

void Renderer::drawOutline(const ViewportRenderParams& params) {
    if (!params.selection || params.selection->empty())
        return;
    const Scene& scene = *params.scene;

    maskTarget.bind();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    maskShader.bind();
    const glm::mat4 viewProj = params.proj * params.view;
    bool drawn = false;
    for (uint32_t id : *params.selection) {
        const SceneObject* object = scene.find(id);
        if (!object || object->type != ObjectType::Mesh || !object->mesh || !object->visible ||
            (params.editObject != kInvalidObject && id == params.editObject))
            continue;
        maskShader.set("uMVP", viewProj * scene.worldMatrix(id));
        maskShader.set("uValue", id == params.activeObject ? 1.0f : 0.6f);
        GpuMesh& gpu = gpuMeshFor(*object->mesh);
        drawn = drawn || gpu.indexCount > 0;
        gpu.drawSolid();
    }
    glEnable(GL_BLEND);
    if (!drawn)
        return;

    mainTarget.bind();
    outlineShader.bind();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, maskTarget.colorTexture);
    outlineShader.set("uMask", 0);
    outlineShader.set("uTexel", glm::vec2(1.0f / float(params.width), 1.0f / float(params.height)));
    outlineShader.set("uRadius", std::max(std::round(params.pixelRatio * 1.5f), 1.0f));
    outlineShader.set("uSelectedColor", kSelectedOrange);
    outlineShader.set("uActiveColor", kActiveOrange);
    glBindVertexArray(emptyVao);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glBindTexture(GL_TEXTURE_2D, 0);
}

} // namespace orva
