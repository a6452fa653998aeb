// What an undo checkpoint costs: a full copy of a scene holding one smooth 1000 x 1000 quad grid
// with UVs (1 M faces, 4 M corners, about 1 M vertices). Target: at most 100 ms.
#include <benchmark/benchmark.h>

#include <cmath>
#include <optional>

#include "grid_mesh.h"
#include "scene/scene.h"

namespace {

// Built once; the mesh is moved into the scene's object.
const orva::Scene& gridScene() {
    static const orva::Scene scene = [] {
        orva::Mesh m = orva::bench::makeGridMesh(1000);
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
