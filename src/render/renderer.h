#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "render/dynamic_batch.h"
#include "render/edit_overlay.h"
#include "render/framebuffer.h"
#include "render/gpu_mesh.h"
#include "render/shader.h"
#include "render/viewport_render_params.h"

namespace orva {

// Draws one view of a scene into an offscreen colour texture: shaded meshes, an optional
// wireframe, the ground grid, helper markers, the Edit Mode overlay, a multisample resolve and
// the selection outline. Keeps GPU copies of meshes (keyed by Mesh::uid, re-uploaded when the
// revision changes) and textures (keyed by TextureData::id); entries unused for three renders
// are dropped. Main thread, with the GL context current.
class Renderer {
public:
    struct CachedMesh {
        GpuMesh gpu;
        uint64_t revision = 0; // the mesh revision last uploaded; 0 before the first upload
        uint64_t lastUsed = 0; // frameCounter at the last use
    };
    struct CachedTexture {
        uint32_t texture = 0; // 0 when decoding failed
        bool attempted = false;
        uint64_t lastUsed = 0;
    };

    Renderer() = default;
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Compiles the five programs and picks the sample count. False with the failing program's
    // message in `error` (when given).
    bool initialize(std::string* error = nullptr);
    // Releases every GL object; safe to call twice, and before a successful initialize.
    void shutdown();

    // Draws one frame into mainTarget. Does nothing (and counts no frame) unless initialised
    // with a scene and a size of at least 1 x 1.
    void render(const ViewportRenderParams& params);
    // Creates or resizes the targets; false when the main or mask target cannot be made.
    bool ensureTargets(int width, int height);

    // The cached GPU copy of `mesh`, uploaded when its revision is new, marked used this frame.
    // A mesh of revision 0 is never uploaded (its copy draws nothing).
    GpuMesh& gpuMeshFor(const Mesh& mesh);
    // The GL texture of an encoded image, decoded once per TextureData; 0 for null or an
    // undecodable image. Every call counts as a use.
    uint32_t textureHandle(const std::shared_ptr<const TextureData>& data);
    // Sets the material uniforms of meshShader (bound by the caller); an index out of range
    // gives the default material, a texture index out of range no texture.
    void bindMaterial(const Scene& scene, int materialIndex);
    // Drops the cache entries that three renders have not used.
    void purgeUnusedMeshes();
    static bool isSelected(const ViewportRenderParams& params, uint32_t id) { return isObjectSelected(params, id); }

    // What the viewport panel shows (rows bottom-up: display it with V flipped).
    uint32_t colorTexture() const { return mainTarget.colorTexture; }

    Shader meshShader;
    Shader colorShader;
    Shader gridShader;
    Shader maskShader;
    Shader outlineShader;
    Framebuffer msaaTarget;
    Framebuffer mainTarget;
    Framebuffer maskTarget;
    int msaaSamples = 1; // 1..4; falls back to 1 for good when a multisampled target fails
    uint32_t emptyVao = 0;
    DynamicBatch batch;
    std::unordered_map<uint64_t, CachedMesh> meshes;      // by Mesh::uid
    std::unordered_map<uint64_t, CachedTexture> textures; // by TextureData::id
    uint64_t frameCounter = 0;                            // drawn renders; the clock of cache ageing
    uint64_t uploadCount = 0; // GpuMesh uploads made by the cache (for tests and benchmarks)
    bool initialized = false;

private:
    void drawMeshes(const ViewportRenderParams& params, const SceneObject*& edited);
    void drawWireframe(const ViewportRenderParams& params, const SceneObject* edited);
    void drawGrid(const ViewportRenderParams& params);
    void drawHelpers(const ViewportRenderParams& params);
    void drawEditOverlay(const ViewportRenderParams& params, const SceneObject& object);
    void drawOutline(const ViewportRenderParams& params);

    // Per-frame lists kept between renders so that an idle frame does not allocate.
    std::vector<ColorVertex> helperLines;
    EditOverlayLists overlayLists;
};

// The grid's line spacing for a camera at height `cameraHeight` (either side of the ground):
// 1 up to 60 m, then 10, 100, ... by factors of 10 at 600, 6000, 60000 and 600000 m.
float gridScale(float cameraHeight);
// Half the side of the grid square: 12 times the height, at least 60.
float gridExtent(float cameraHeight);
// The matrix taking object normals to view space: the inverse transpose of the upper-left 3 x 3
// of `modelView`, falling back to its cofactor matrix when it is singular (a zero scale).
glm::mat3 normalMatrix(const glm::mat4& modelView);

} // namespace orva
