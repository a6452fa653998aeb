// The viewport renderer on the GL driver at hand (Mesa llvmpipe in CI): uploading a 1 M-face mesh
// and drawing frames of a scene holding it. Needs a display (run under xvfb-run); the program
// makes its own hidden SDL window and GL 3.3 core context.
#include <benchmark/benchmark.h>

#include <SDL3/SDL.h>

#include <cmath>
#include <cstdio>
#include <memory>

#include "render/gl_functions.h"
#include "render/gpu_mesh.h"
#include "render/renderer.h"
#include "scene/orbit_camera.h"
#include "scene/scene.h"

namespace {

using namespace orva;

// A smooth 1000 x 1000 quad grid with UVs and gentle hills: 1 M faces, about 1 M distinct corners.
Mesh makeMillionFaces() {
    constexpr uint32_t n = 1000;
    Mesh m;
    m.vertices.reserve(size_t(n + 1) * (n + 1));
    m.faces.reserve(size_t(n) * n);
    for (uint32_t z = 0; z <= n; ++z)
        for (uint32_t x = 0; x <= n; ++x)
            m.addVertex({float(x) * 0.01f - 5.0f, 0.2f * std::sin(float(x) * 0.05f) * std::cos(float(z) * 0.07f),
                         5.0f - float(z) * 0.01f});
    for (uint32_t z = 0; z < n; ++z)
        for (uint32_t x = 0; x < n; ++x) {
            const uint32_t a = z * (n + 1) + x;
            const float u0 = float(x) / n, u1 = float(x + 1) / n, v0 = float(z) / n, v1 = float(z + 1) / n;
            m.addFace({a, a + 1, a + n + 2, a + n + 1}, {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}}, true);
        }
    return m;
}

struct Fixture {
    Scene scene;
    SceneObject* object = nullptr;
    Renderer renderer;
    ViewportRenderParams params;
    std::vector<uint32_t> selection;
};
std::unique_ptr<Fixture> fixture;

Fixture& get() {
    if (!fixture) {
        fixture = std::make_unique<Fixture>();
        Fixture& f = *fixture;
        std::string error;
        if (!f.renderer.initialize(&error))
            std::fprintf(stderr, "renderer: %s\n", error.c_str());
        f.object = f.scene.createObject(ObjectType::Mesh, "Terrain");
        f.object->mesh = std::make_unique<Mesh>(makeMillionFaces());
        OrbitCamera camera;
        camera.distance = 14;
        camera.setView(30, 35);
        f.params.scene = &f.scene;
        f.params.width = 1280;
        f.params.height = 720;
        f.params.view = camera.view();
        f.params.proj = camera.projection(1280.0f / 720.0f);
        f.params.cameraPos = camera.position();
        f.selection = {f.object->id};
        f.params.selection = &f.selection;
        f.params.activeObject = f.object->id;
    }
    return *fixture;
}

// Waits until the GL has done everything queued: reading a pixel back cannot finish earlier.
void finishGl() {
    uint8_t pixel[4];
    gl::glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
}

// Triangulation, interleaving and the buffer uploads of both versions.
void BM_GpuMeshUpload1M(benchmark::State& state) {
    const Mesh& mesh = *get().object->mesh;
    GpuMesh gpu;
    for (auto _ : state) {
        gpu.upload(mesh);
        finishGl();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(mesh.faces.size()));
}
BENCHMARK(BM_GpuMeshUpload1M)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A frame after an edit: the mesh's revision is new, so the frame uploads it, then draws it
// (shaded, outlined as selected, over the grid) at 1280 x 720 and waits for the result.
void BM_RenderChangedMesh1M(benchmark::State& state) {
    Fixture& f = get();
    for (auto _ : state) {
        ++f.object->mesh->revision;
        f.renderer.render(f.params);
        gl::glBindFramebuffer(GL_FRAMEBUFFER, f.renderer.mainTarget.fbo);
        finishGl();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(f.object->mesh->faces.size()));
}
BENCHMARK(BM_RenderChangedMesh1M)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A frame of the unchanged scene, including the driver's rasterisation (read back at the end).
void BM_RenderUnchanged1M(benchmark::State& state) {
    Fixture& f = get();
    f.renderer.render(f.params); // uploads when needed
    const uint64_t uploads = f.renderer.uploadCount;
    for (auto _ : state) {
        f.renderer.render(f.params);
        gl::glBindFramebuffer(GL_FRAMEBUFFER, f.renderer.mainTarget.fbo);
        finishGl();
    }
    if (f.renderer.uploadCount != uploads)
        state.SkipWithError("an unchanged mesh was uploaded again");
}
BENCHMARK(BM_RenderUnchanged1M)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Only the CPU side of render for the unchanged scene: the driver's work is waited for outside
// the timed region. It must neither triangulate nor upload anything.
void BM_RenderUnchanged1MCpuOnly(benchmark::State& state) {
    Fixture& f = get();
    f.renderer.render(f.params);
    const uint64_t uploads = f.renderer.uploadCount;
    for (auto _ : state) {
        f.renderer.render(f.params);
        state.PauseTiming();
        gl::glBindFramebuffer(GL_FRAMEBUFFER, f.renderer.mainTarget.fbo);
        finishGl();
        state.ResumeTiming();
    }
    if (f.renderer.uploadCount != uploads)
        state.SkipWithError("an unchanged mesh was uploaded again");
}
BENCHMARK(BM_RenderUnchanged1MCpuOnly)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void* getProc(const char* name) { return reinterpret_cast<void*>(SDL_GL_GetProcAddress(name)); }

} // namespace

int main(int argc, char** argv) {
    if (!SDL_Init(SDL_INIT_VIDEO)) {
        std::fprintf(stderr, "SDL_Init failed: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, SDL_GL_CONTEXT_FORWARD_COMPATIBLE_FLAG);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_Window* window = SDL_CreateWindow("orva gl bench", 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    const char* missing = nullptr;
    if (!context || !orva::gl::loadFunctions(getProc, &missing)) {
        std::fprintf(stderr, "no GL 3.3 core context: %s\n", missing ? missing : SDL_GetError());
        return 1;
    }
    std::printf("GL: %s\n", reinterpret_cast<const char*>(orva::gl::glGetString(GL_RENDERER)));

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    fixture.reset(); // GL objects go while the context is current
    SDL_GL_DestroyContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
