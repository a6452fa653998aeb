// Importing a large OBJ: a 500 x 500 quad grid with UVs and normals (250 000 quads, 251 001
// positions, about 25 MB), written once into a temporary folder. Target: importModel takes at
// most 1.5 times as long as the library's own ReadFile with the same settings, measured side by
// side (the import adds the child process, the welding, the hand-over and the scene objects).
#include <benchmark/benchmark.h>

#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "io/model_import.h"

namespace {

constexpr int kGrid = 500;

const std::string& gridObj() {
    static const std::string path = [] {
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path() / ("orva_bench_import_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        const std::string file = (folder / "grid.obj").string();
        std::FILE* f = std::fopen(file.c_str(), "wb");
        if (!f)
            return std::string();
        std::fprintf(f, "o Grid\n");
        for (int z = 0; z <= kGrid; ++z)
            for (int x = 0; x <= kGrid; ++x)
                std::fprintf(f, "v %.4f %.4f %.4f\n", x * 0.01, 0.1 * ((x * 7 + z * 3) % 11) / 11.0, -z * 0.01);
        for (int z = 0; z <= kGrid; ++z)
            for (int x = 0; x <= kGrid; ++x)
                std::fprintf(f, "vt %.5f %.5f\n", double(x) / kGrid, double(z) / kGrid);
        std::fprintf(f, "vn 0 1 0\n");
        for (int z = 0; z < kGrid; ++z) {
            for (int x = 0; x < kGrid; ++x) {
                const int a = z * (kGrid + 1) + x + 1, b = a + 1, c = a + kGrid + 2, d = a + kGrid + 1;
                std::fprintf(f, "f %d/%d/1 %d/%d/1 %d/%d/1 %d/%d/1\n", a, a, b, b, c, c, d, d);
            }
        }
        std::fclose(f);
        std::atexit([] { std::filesystem::remove_all(std::filesystem::path(gridObj()).parent_path()); });
        return file;
    }();
    return path;
}

using Clock = std::chrono::steady_clock;

// The library alone, with the settings the import uses; freeing its scene is not timed.
void BM_AssimpReadFile(benchmark::State& state) {
    const std::string& path = gridObj();
    for (auto _ : state) {
        Assimp::Importer importer;
        importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_PRESERVE_PIVOTS, true);
        const auto start = Clock::now();
        const aiScene* scene = importer.ReadFile(path, aiProcess_ValidateDataStructure);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        if (!scene || scene->mNumMeshes != 1) {
            state.SkipWithError("ReadFile failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kGrid * kGrid);
}
BENCHMARK(BM_AssimpReadFile)->Unit(benchmark::kMillisecond)->UseManualTime()->Repetitions(5)->ReportAggregatesOnly();

// The whole import into an empty scene; freeing the scene is not timed.
void BM_ImportModel(benchmark::State& state) {
    const std::string& path = gridObj();
    for (auto _ : state) {
        orva::Scene scene;
        orva::io::ImportResult result;
        std::string error;
        const auto start = Clock::now();
        const bool ok = orva::io::importModel(scene, path, &result, &error);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        if (!ok || result.faceCount != uint64_t(kGrid) * kGrid) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kGrid * kGrid);
}
BENCHMARK(BM_ImportModel)->Unit(benchmark::kMillisecond)->UseManualTime()->Repetitions(5)->ReportAggregatesOnly();

// Both in turn in every iteration, so that a busy machine slows them alike: the time is the
// import's; "assimp_ms" is the library's ReadFile and "ratio" the import's time over it.
void BM_ImportModelVersusReadFile(benchmark::State& state) {
    const std::string& path = gridObj();
    double importSeconds = 0.0, readSeconds = 0.0;
    for (auto _ : state) {
        double read = 0.0;
        {
            Assimp::Importer importer;
            importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_PRESERVE_PIVOTS, true);
            const auto start = Clock::now();
            const aiScene* scene = importer.ReadFile(path, aiProcess_ValidateDataStructure);
            read = std::chrono::duration<double>(Clock::now() - start).count();
            benchmark::DoNotOptimize(scene);
        }
        orva::Scene scene;
        std::string error;
        const auto start = Clock::now();
        const bool ok = orva::io::importModel(scene, path, nullptr, &error);
        const double import = std::chrono::duration<double>(Clock::now() - start).count();
        if (!ok) {
            state.SkipWithError(error.c_str());
            break;
        }
        state.SetIterationTime(import);
        importSeconds += import;
        readSeconds += read;
    }
    state.counters["assimp_ms"] = benchmark::Counter(readSeconds * 1e3 / double(state.iterations()));
    state.counters["ratio"] = benchmark::Counter(readSeconds > 0 ? importSeconds / readSeconds : 0.0);
}
BENCHMARK(BM_ImportModelVersusReadFile)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(4)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

} // namespace
