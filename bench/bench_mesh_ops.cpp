// Edit Mode operations on a large mesh: extruding 10 k faces and splitting 10 k edges of a
// 1000 x 1000 quad grid with UVs (1 M faces). Every operation walks the whole mesh once (selection
// queries, clean-up), so these measure the per-face cost as much as the work on the selection.
// Each iteration edits a fresh copy of the grid; the copy is not timed.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "document/mesh_ops.h"

namespace {

constexpr uint32_t kN = 1000; // quads per side
constexpr uint32_t kRow = kN + 1;

// Built once, deterministically: a flat grid in XZ facing +Y, UVs spanning the unit square.
const orva::Mesh& grid() {
    static const orva::Mesh mesh = [] {
        orva::Mesh m;
        m.vertices.reserve(size_t(kRow) * kRow);
        m.faces.reserve(size_t(kN) * kN);
        for (uint32_t z = 0; z <= kN; ++z)
            for (uint32_t x = 0; x <= kN; ++x)
                m.addVertex({float(x) * 0.01f, 0.0f, -float(z) * 0.01f});
        for (uint32_t z = 0; z < kN; ++z)
            for (uint32_t x = 0; x < kN; ++x) {
                const uint32_t a = z * kRow + x;
                const float u0 = float(x) / kN, u1 = float(x + 1) / kN, v0 = float(z) / kN, v1 = float(z + 1) / kN;
                m.addFace({a, a + 1, a + kRow + 1, a + kRow}, {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}});
            }
        return m;
    }();
    return mesh;
}

void selectFace(std::vector<uint8_t>& sel, uint32_t x, uint32_t z) {
    const uint32_t a = z * kRow + x;
    sel[a] = sel[a + 1] = sel[a + kRow] = sel[a + kRow + 1] = 1;
}

// A 100 x 100 block of faces in the middle: one region, 400 boundary edges.
std::vector<uint8_t> blockOfFaces() {
    std::vector<uint8_t> sel(grid().vertices.size(), 0);
    for (uint32_t z = 450; z < 550; ++z)
        for (uint32_t x = 450; x < 550; ++x)
            selectFace(sel, x, z);
    return sel;
}

// Every tenth face in both directions: 10 k separate regions, 40 k walls.
std::vector<uint8_t> scatteredFaces() {
    std::vector<uint8_t> sel(grid().vertices.size(), 0);
    for (uint32_t z = 0; z < kN; z += 10)
        for (uint32_t x = 0; x < kN; x += 10)
            selectFace(sel, x, z);
    return sel;
}

// Ten full grid lines of vertices, 100 apart: 10 x 1000 edges, each on two faces.
std::vector<uint8_t> tenGridLines() {
    std::vector<uint8_t> sel(grid().vertices.size(), 0);
    for (uint32_t z = 50; z < kN; z += 100)
        for (uint32_t x = 0; x <= kN; ++x)
            sel[z * kRow + x] = 1;
    return sel;
}

// 10 k isolated edges spread over the grid.
std::vector<uint8_t> scatteredEdges() {
    std::vector<uint8_t> sel(grid().vertices.size(), 0);
    for (uint32_t z = 5; z < kN; z += 10)
        for (uint32_t x = 0; x < kN; x += 10)
            sel[z * kRow + x] = sel[z * kRow + x + 1] = 1;
    return sel;
}

template <typename Op>
void runOnCopies(benchmark::State& state, const std::vector<uint8_t>& selection, int64_t items, Op op) {
    orva::Mesh work;
    std::vector<uint8_t> sel;
    for (auto _ : state) {
        state.PauseTiming();
        work = grid();
        sel = selection;
        state.ResumeTiming();
        if (!op(work, sel))
            state.SkipWithError("the operation changed nothing");
        benchmark::DoNotOptimize(work.faces.data());
    }
    state.SetItemsProcessed(state.iterations() * items);
}

void BM_ExtrudeFaceBlock(benchmark::State& state) {
    runOnCopies(state, blockOfFaces(), 10000,
                [](orva::Mesh& m, std::vector<uint8_t>& s) { return orva::meshops::extrude(m, s, 0.05f); });
}
BENCHMARK(BM_ExtrudeFaceBlock)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_ExtrudeScatteredFaces(benchmark::State& state) {
    runOnCopies(state, scatteredFaces(), 10000,
                [](orva::Mesh& m, std::vector<uint8_t>& s) { return orva::meshops::extrude(m, s, 0.05f); });
}
BENCHMARK(BM_ExtrudeScatteredFaces)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_SplitGridLines(benchmark::State& state) {
    runOnCopies(state, tenGridLines(), 10000,
                [](orva::Mesh& m, std::vector<uint8_t>& s) { return orva::meshops::splitEdges(m, s) == 10000; });
}
BENCHMARK(BM_SplitGridLines)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_SplitScatteredEdges(benchmark::State& state) {
    runOnCopies(state, scatteredEdges(), 10000,
                [](orva::Mesh& m, std::vector<uint8_t>& s) { return orva::meshops::splitEdges(m, s) == 10000; });
}
BENCHMARK(BM_SplitScatteredEdges)->Unit(benchmark::kMillisecond)->Repetitions(5);

} // namespace
