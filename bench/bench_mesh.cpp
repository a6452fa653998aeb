// Mesh queries the renderer and the exporters run on every changed mesh: triangulation (with corner
// de-duplication) and edge extraction, on a smooth 1000 x 1000 quad grid with UVs (1 M faces,
// 4 M corners, about 1 M distinct corners and 2 M edges).
#include <benchmark/benchmark.h>

#include <cmath>

#include "scene/mesh.h"

namespace {

// Built once; gentle hills so that the smooth normals differ from vertex to vertex.
const orva::Mesh& grid() {
    static const orva::Mesh mesh = [] {
        constexpr uint32_t n = 1000;
        orva::Mesh m;
        m.vertices.reserve(size_t(n + 1) * (n + 1));
        m.faces.reserve(size_t(n) * n);
        for (uint32_t z = 0; z <= n; ++z)
            for (uint32_t x = 0; x <= n; ++x)
                m.addVertex({float(x) * 0.01f, 0.2f * std::sin(float(x) * 0.05f) * std::cos(float(z) * 0.07f),
                             -float(z) * 0.01f});
        for (uint32_t z = 0; z < n; ++z) {
            for (uint32_t x = 0; x < n; ++x) {
                const uint32_t a = z * (n + 1) + x;
                const float u0 = float(x) / n, u1 = float(x + 1) / n, v0 = float(z) / n, v1 = float(z + 1) / n;
                m.addFace({a, a + 1, a + n + 2, a + n + 1}, {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}}, true);
            }
        }
        return m;
    }();
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
