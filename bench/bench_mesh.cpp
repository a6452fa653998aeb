// Mesh queries the renderer and the exporters run on every changed mesh: triangulation (with corner
// de-duplication) and edge extraction, on a smooth 1000 x 1000 quad grid with UVs (1 M faces,
// 4 M corners, about 1 M distinct corners and 2 M edges).
#include <benchmark/benchmark.h>

#include <cmath>

#include "grid_mesh.h"
#include "scene/mesh.h"

namespace {

// Built once.
const orva::Mesh& grid() {
    static const orva::Mesh mesh = orva::bench::makeGridMesh(1000);
    return mesh;
}

int64_t cornerCount(const orva::Mesh& m) {
    int64_t corners = 0;
    for (const orva::Face& f : m.faces)
        corners += int64_t(f.indices.size());
    return corners;
}

void BM_MeshTriangulate(benchmark::State& state) {
    const orva::Mesh& m = grid();
    for (auto _ : state) {
        orva::TriangleMesh t = m.triangulate();
        benchmark::DoNotOptimize(t.indices.data());
    }
    state.SetItemsProcessed(state.iterations() * cornerCount(m));
}
BENCHMARK(BM_MeshTriangulate)->Unit(benchmark::kMillisecond);

void BM_MeshEdges(benchmark::State& state) {
    const orva::Mesh& m = grid();
    for (auto _ : state) {
        std::vector<orva::Edge> edges = m.edges();
        benchmark::DoNotOptimize(edges.data());
    }
    state.SetItemsProcessed(state.iterations() * cornerCount(m));
}
BENCHMARK(BM_MeshEdges)->Unit(benchmark::kMillisecond);

} // namespace
