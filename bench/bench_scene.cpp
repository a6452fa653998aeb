// What an undo checkpoint costs: a full copy of a scene holding one smooth 1000 x 1000 quad grid
// with UVs (1 M faces, 4 M corners, about 1 M vertices). Target: at most 100 ms.
#include <benchmark/benchmark.h>

#include <cmath>
#include <optional>

#include "scene/scene.h"

namespace {

// Built once; the mesh is moved into the scene's object.
const orva::Scene& gridScene() {
    static const orva::Scene scene = [] {
        constexpr uint32_t n = 1000;
        orva::Mesh m;
        m.vertices.reserve(size_t(n + 1) * (n + 1));
        m.faces.reserve(size_t(n) * n);
        for (uint32_t z = 0; z <= n; ++z)
            for (uint32_t x = 0; x <= n; ++x)
                m.addVertex({float(x) * 0.01f, 0.2f * std::sin(float(x) * 0.05f), -float(z) * 0.01f});
        for (uint32_t z = 0; z < n; ++z) {
            for (uint32_t x = 0; x < n; ++x) {
                const uint32_t a = z * (n + 1) + x;
                const float u0 = float(x) / n, u1 = float(x + 1) / n, v0 = float(z) / n, v1 = float(z + 1) / n;
                m.addFace({a, a + 1, a + n + 2, a + n + 1}, {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}}, true);
            }
        }
        orva::Scene s;
        s.defaultMaterialIndex();
        orva::SceneObject* object = s.createObject(orva::ObjectType::Mesh, "Grid");
        *object->mesh = std::move(m);
        object->material = 0;
        s.createObject(orva::ObjectType::Camera, "Camera");
        s.createObject(orva::ObjectType::Light, "Light");
        return s;
    }();
    return scene;
}

// The copy alone; freeing it (when the undo stack drops the entry) is not timed.
void BM_SceneCopy(benchmark::State& state) {
    const orva::Scene& source = gridScene();
    std::optional<orva::Scene> copy;
    for (auto _ : state) {
        copy.emplace(source);
        benchmark::DoNotOptimize(copy->objects.data());
        state.PauseTiming();
        copy.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(source.objects[0]->mesh->faces.size()));
}
BENCHMARK(BM_SceneCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
