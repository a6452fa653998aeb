// Scene files and undo checkpoints of a large scene: one smooth 500 x 500 quad grid with UVs
// (250 k quads, 1 M corners, 251 k vertices). Targets: save and load at most 2 s each, a
// checkpoint at most 100 ms.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "document/document.h"
#include "grid_mesh.h"
#include "io/file_utils.h"
#include "io/scene_file.h"

namespace {

constexpr uint32_t kGrid = 500;

const orva::Scene& gridScene() {
    static const orva::Scene scene = [] {
        orva::Scene s;
        s.defaultMaterialIndex();
        orva::SceneObject* object = s.createObject(orva::ObjectType::Mesh, "Grid");
        *object->mesh = orva::bench::makeGridMesh(kGrid, 0.037f);
        object->material = 0;
        s.createObject(orva::ObjectType::Camera, "Camera");
        s.createObject(orva::ObjectType::Light, "Light");
        return s;
    }();
    return scene;
}

std::string benchFile() {
    return (std::filesystem::temp_directory_path() / ("orva_bench_scene_" + std::to_string(::getpid()) + ".orva"))
        .string();
}

void setCorners(benchmark::State& state) { state.SetItemsProcessed(state.iterations() * int64_t(kGrid) * kGrid * 4); }

void BM_SaveSceneFile(benchmark::State& state) {
    const orva::Scene& scene = gridScene();
    const std::string file = benchFile();
    for (auto _ : state) {
        std::string error;
        if (!orva::io::saveOrvaProject(file, scene, {}, &error))
            state.SkipWithError(error.c_str());
    }
    state.counters["file_MB"] = double(std::filesystem::file_size(file)) / 1e6;
    std::filesystem::remove(file);
    setCorners(state);
}
BENCHMARK(BM_SaveSceneFile)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly();

void BM_LoadSceneFile(benchmark::State& state) {
    const std::string file = benchFile();
    if (!orva::io::saveOrvaProject(file, gridScene(), {}))
        state.SkipWithError("could not write the scene file");
    for (auto _ : state) {
        orva::io::ProjectData data;
        std::string error;
        if (!orva::io::loadOrvaProject(file, data, &error))
            state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(data.scene.objects.data());
        state.PauseTiming(); // the loaded scene's destruction is not part of loading
        data = {};
        state.ResumeTiming();
    }
    std::filesystem::remove(file);
    setCorners(state);
}
BENCHMARK(BM_LoadSceneFile)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly();

// The text alone, without the disk.
void BM_SerializeSceneFile(benchmark::State& state) {
    const orva::Scene& scene = gridScene();
    for (auto _ : state) {
        std::string text = orva::io::serializeOrvaProject(scene, {});
        benchmark::DoNotOptimize(text.data());
    }
    setCorners(state);
}
BENCHMARK(BM_SerializeSceneFile)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly();

void BM_DeserializeSceneFile(benchmark::State& state) {
    const std::string text = orva::io::serializeOrvaProject(gridScene(), {});
    for (auto _ : state) {
        orva::io::ProjectData data;
        if (!orva::io::deserializeOrvaProject(text, data))
            state.SkipWithError("could not read the scene text");
        benchmark::DoNotOptimize(data.scene.objects.data());
        state.PauseTiming();
        data = {};
        state.ResumeTiming();
    }
    setCorners(state);
}
BENCHMARK(BM_DeserializeSceneFile)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// One undo step of the document: a full copy of the state pushed onto the history. The history
// is emptied outside the timing, so memory stays at one snapshot.
void BM_DocumentCheckpoint(benchmark::State& state) {
    orva::Document doc;
    doc.state.scene = gridScene();
    for (auto _ : state) {
        doc.checkpoint("Edit");
        state.PauseTiming();
        doc.undoStack.clear();
        state.ResumeTiming();
    }
    setCorners(state);
}
BENCHMARK(BM_DocumentCheckpoint)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(5)->ReportAggregatesOnly();

} // namespace
