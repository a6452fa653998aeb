// Building the Edit Mode overlay lists (face tint, edges, dots) happens on every frame in Edit
// Mode; target: at most 20 ms for a 100 k-vertex mesh.
#include <benchmark/benchmark.h>

#include <cmath>

#include "render/edit_overlay.h"
#include "scene/mesh.h"

namespace {

using namespace orva;

// A 316 x 316 quad grid: 100 489 vertices, 99 856 faces, about 200 k edges.
const Mesh& grid() {
    static const Mesh mesh = [] {
        constexpr uint32_t n = 316;
        Mesh m;
        m.vertices.reserve(size_t(n + 1) * (n + 1));
        m.faces.reserve(size_t(n) * n);
        for (uint32_t z = 0; z <= n; ++z)
            for (uint32_t x = 0; x <= n; ++x)
                m.addVertex({float(x) * 0.1f, 0.3f * std::sin(float(x) * 0.2f), float(z) * 0.1f});
        for (uint32_t z = 0; z < n; ++z)
            for (uint32_t x = 0; x < n; ++x) {
                const uint32_t a = z * (n + 1) + x;
                m.addFace({a, a + n + 1, a + n + 2, a + 1});
            }
        return m;
    }();
    return mesh;
}

// range(0): the component mode; range(1): 0 = nothing selected, 1 = every vertex selected (the
// most work: every face tinted).
void BM_BuildEditOverlay100k(benchmark::State& state) {
    const Mesh& m = grid();
    const auto mode = ComponentType(state.range(0));
    const std::vector<uint8_t> selection(m.vertices.size(), uint8_t(state.range(1)));
    EditOverlayLists lists;
    for (auto _ : state) {
        buildEditOverlay(m, &selection, mode, lists);
        benchmark::DoNotOptimize(lists.edges.data());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(m.vertices.size()));
}
BENCHMARK(BM_BuildEditOverlay100k)
    ->ArgNames({"mode", "all"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({2, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace
