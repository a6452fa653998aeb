#include "document/mesh_ops.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scene/primitives.h"

namespace orva {
namespace {

using Selection = std::vector<uint8_t>;

const std::vector<glm::vec2> kQuadUvs{{0, 0}, {1, 0}, {1, 1}, {0, 1}};

// The editor's default cube (size 2): every vertex is shared by three faces whose UVs are split at
// every edge, so both topology and per-corner data are exercised.
Mesh cube() { return primitives::makeCube(2.0f); }
constexpr uint32_t kTopFace = 4; // [7, 6, 2, 3], y = +1

// An n x n grid of quads in the XZ plane facing +Y, with UVs.
Mesh grid(int n) {
    Mesh m;
    for (int z = 0; z <= n; ++z)
        for (int x = 0; x <= n; ++x)
            m.addVertex({float(x), 0.0f, float(-z)});
    for (int z = 0; z < n; ++z)
        for (int x = 0; x < n; ++x) {
            const uint32_t a = uint32_t(z * (n + 1) + x);
            m.addFace({a, a + 1, a + 1 + uint32_t(n + 1), a + uint32_t(n + 1)}, kQuadUvs);
        }
    return m;
}

Selection select(const Mesh& m, std::initializer_list<uint32_t> vertices) {
    Selection s(m.vertices.size(), 0);
    for (uint32_t v : vertices)
        s[v] = 1;
    return s;
}

std::vector<uint32_t> selectedList(const Selection& s) {
    std::vector<uint32_t> out;
    for (size_t v = 0; v < s.size(); ++v)
        if (s[v])
            out.push_back(uint32_t(v));
    return out;
}

void expectValid(const Mesh& m) {
    std::string error;
    EXPECT_TRUE(m.validate(&error)) << error;
}

// Every undirected edge is used by at most one face in each direction: the faces agree on winding.
void expectConsistentWinding(const Mesh& m) {
    std::vector<std::pair<uint32_t, uint32_t>> sides;
    for (const Face& f : m.faces)
        for (size_t i = 0; i < f.indices.size(); ++i)
            sides.emplace_back(f.indices[i], f.indices[(i + 1) % f.indices.size()]);
    std::sort(sides.begin(), sides.end());
    EXPECT_EQ(std::adjacent_find(sides.begin(), sides.end()), sides.end()) << "two faces run along a side the same way";
}

// ---------------------------------------------------------------------------------------------
// Selection queries

TEST(MeshOps, SelectedFacesAndEdgesReadShortSelectionsAsUnselected) {
    const Mesh m = cube();
    // Only 7 entries: vertex 7 (a corner of the top face) counts as unselected.
    const Selection shortSel{0, 0, 1, 1, 0, 0, 1};
    EXPECT_TRUE(meshops::selectedFaces(m, shortSel).empty());
    const std::vector<Edge> edges = meshops::selectedEdges(m, shortSel);
    ASSERT_EQ(edges.size(), 2u);
    // First-appearance order of Mesh::edges(): (2,3) from face 1 comes before (2,6) from face 2.
    EXPECT_EQ(edges[0], Edge::make(2, 3));
    EXPECT_EQ(edges[1], Edge::make(2, 6));

    Selection full = select(m, {2, 3, 6, 7});
    EXPECT_EQ(meshops::selectedFaces(m, full), std::vector<uint32_t>{kTopFace});
    EXPECT_EQ(meshops::countSelected(full), 4u);
}

TEST(MeshOps, SelectedEdgesKeepTheOrderOfMeshEdges) {
    const Mesh m = grid(3);
    Selection all(m.vertices.size(), 1);
    all[5] = 0;
    std::vector<Edge> expected;
    for (const Edge& e : m.edges())
        if (all[e.a] && all[e.b])
            expected.push_back(e);
    const std::vector<Edge> got = meshops::selectedEdges(m, all);
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i)
        EXPECT_EQ(got[i], expected[i]) << "edge " << i;
}

// ---------------------------------------------------------------------------------------------
// Clean-up

TEST(MeshOps, CleanUpCollapsesRunsAndDropsDegenerateFacesAndLooseVertices) {
    struct Case {
        const char* what;
        std::vector<uint32_t> face;
        std::vector<uint32_t> want; // empty: the face goes
        std::vector<glm::vec2> wantUvs;
    };
    const std::vector<glm::vec2> uvs4{{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    const Case cases[] = {
        {"leading run collapses to its last corner", {5, 5, 6, 7}, {5, 6, 7}, {{1, 0}, {1, 1}, {0, 1}}},
        {"run across the wrap keeps corner 0", {5, 6, 7, 5}, {5, 6, 7}, {{0, 0}, {1, 0}, {1, 1}}},
        {"two distinct vertices left", {5, 5, 6}, {}, {}},
        {"no equal neighbours, three distinct", {5, 6, 5, 7}, {5, 6, 5, 7}, uvs4},
        {"back and forth", {5, 6, 6, 5}, {}, {}},
    };
    for (const Case& c : cases) {
        Mesh m;
        for (int i = 0; i < 8; ++i)
            m.addVertex({float(i), float(i * i), 0});
        std::vector<glm::vec2> uvs(c.face.size());
        for (size_t i = 0; i < uvs.size(); ++i)
            uvs[i] = uvs4[i % 4];
        m.addFace(c.face, uvs);
        Selection sel(8, 0);
        sel[7] = 1;
        sel[6] = 1;
        meshops::removeDegenerateAndLoose(m, sel);
        if (c.want.empty()) {
            EXPECT_TRUE(m.faces.empty()) << c.what;
            EXPECT_TRUE(m.vertices.empty()) << c.what;
            EXPECT_TRUE(sel.empty()) << c.what;
            continue;
        }
        ASSERT_EQ(m.faces.size(), 1u) << c.what;
        // Vertices 5, 6, 7 survive as 0, 1, 2 (vertices 0-4 are loose); flags travel with them.
        std::vector<uint32_t> want = c.want;
        for (uint32_t& v : want)
            v -= 5;
        EXPECT_EQ(m.faces[0].indices, want) << c.what;
        EXPECT_EQ(m.faces[0].uvs, c.wantUvs) << c.what;
        EXPECT_EQ(m.vertices.size(), 3u) << c.what;
        EXPECT_EQ(m.vertices[0].position, glm::vec3(5, 25, 0)) << c.what;
        EXPECT_EQ(sel, (Selection{0, 1, 1})) << c.what;
        expectValid(m);
    }
}

TEST(MeshOps, CleanUpOfACleanMeshChangesNothing) {
    Mesh m = cube();
    const uint64_t revision = m.revision;
    Selection sel{1, 1}; // short: fitted, not a change
    meshops::removeDegenerateAndLoose(m, sel);
    EXPECT_EQ(m.revision, revision);
    EXPECT_EQ(sel.size(), 8u);
    EXPECT_EQ(m.faces.size(), 6u);
}

TEST(MeshOps, MeshNamingAMissingVertexIsRefusedUntouched) {
    Mesh m = cube();
    m.faces[3].indices[2] = 99;
    const std::vector<Face> before = m.faces;
    const uint64_t revision = m.revision;
    Selection all(8, 1);
    meshops::removeDegenerateAndLoose(m, all);
    EXPECT_FALSE(meshops::deleteVertices(m, all));
    EXPECT_FALSE(meshops::deleteEdges(m, all));
    EXPECT_FALSE(meshops::mergeAtCenter(m, all));
    EXPECT_EQ(meshops::mergeByDistance(m, all, 10.0f), 0u);
    Selection top = select(m, {2, 3, 6, 7});
    EXPECT_FALSE(meshops::extrude(m, top, 0.5f));
    EXPECT_EQ(meshops::splitEdges(m, top), 0u);
    EXPECT_EQ(m.revision, revision);
    EXPECT_EQ(m.vertices.size(), 8u);
    ASSERT_EQ(m.faces.size(), before.size());
    for (size_t f = 0; f < before.size(); ++f)
        EXPECT_EQ(m.faces[f].indices, before[f].indices);
}

// ---------------------------------------------------------------------------------------------
// Deleting

TEST(MeshOps, DeleteOnTheCube) {
    enum class Op { Vertices, Edges, Faces };
    struct Case {
        const char* what;
        Op op;
        std::vector<uint32_t> selected;
        size_t wantVertices, wantFaces;
    };
    const Case cases[] = {
        {"one vertex takes its three faces", Op::Vertices, {6}, 7, 3},
        {"one edge takes its two faces, every vertex stays", Op::Edges, {6, 7}, 8, 4},
        {"the top face alone", Op::Faces, {2, 3, 6, 7}, 8, 5},
        {"top and +Z faces: every vertex keeps a user", Op::Faces, {2, 3, 4, 5, 6, 7}, 8, 4},
        {"every face: nothing is left", Op::Faces, {0, 1, 2, 3, 4, 5, 6, 7}, 0, 0},
        {"a vertex-only selection selects no edge", Op::Edges, {0, 6}, 8, 6},
        {"an edge selects no face", Op::Faces, {6, 7}, 8, 6},
    };
    for (const Case& c : cases) {
        Mesh m = cube();
        const uint64_t revision = m.revision;
        Selection sel(8, 0);
        for (uint32_t v : c.selected)
            sel[v] = 1;
        bool changed = false;
        switch (c.op) {
        case Op::Vertices:
            changed = meshops::deleteVertices(m, sel);
            break;
        case Op::Edges:
            changed = meshops::deleteEdges(m, sel);
            break;
        case Op::Faces:
            changed = meshops::deleteFaces(m, sel);
            break;
        }
        const bool expectChange = c.wantFaces != 6;
        EXPECT_EQ(changed, expectChange) << c.what;
        EXPECT_EQ(m.vertices.size(), c.wantVertices) << c.what;
        EXPECT_EQ(m.faces.size(), c.wantFaces) << c.what;
        EXPECT_EQ(m.revision, revision + (expectChange ? 1 : 0)) << c.what;
        EXPECT_EQ(sel.size(), m.vertices.size()) << c.what;
        if (expectChange) {
            EXPECT_EQ(meshops::countSelected(sel), 0u) << c.what;
        }
        expectValid(m);
    }
}

TEST(MeshOps, DeletingFacesRemovesTheVerticesOnlyTheyUsed) {
    Mesh m = grid(2); // 9 vertices, 4 quads
    Selection sel = select(m, {0, 1, 3, 4});
    ASSERT_TRUE(meshops::deleteFaces(m, sel));
    EXPECT_EQ(m.faces.size(), 3u);
    EXPECT_EQ(m.vertices.size(), 8u); // vertex 0 belonged to the deleted quad alone
    EXPECT_EQ(m.vertices[0].position, glm::vec3(1, 0, 0));
    expectValid(m);
}

TEST(MeshOps, DeleteVerticesWithNothingSelectedChangesNothing) {
    Mesh m = cube();
    Selection sel;
    EXPECT_FALSE(meshops::deleteVertices(m, sel));
    EXPECT_EQ(sel.size(), 8u);
    EXPECT_EQ(m.revision, 1u);
}

// ---------------------------------------------------------------------------------------------
// Merging

TEST(MeshOps, MergeAtCenterOfTheTopFourMakesAnApex) {
    Mesh m = cube();
    Selection sel = select(m, {2, 3, 6, 7});
    ASSERT_TRUE(meshops::mergeAtCenter(m, sel));
    EXPECT_EQ(m.vertices.size(), 5u);
    EXPECT_EQ(m.faces.size(), 5u);
    EXPECT_EQ(m.revision, 2u);
    // Vertex 2 (the lowest selected) survives as index 2 and holds the centre of the top face.
    EXPECT_EQ(selectedList(sel), std::vector<uint32_t>{2});
    EXPECT_EQ(m.vertices[2].position, glm::vec3(0, 1, 0));
    size_t triangles = 0;
    for (const Face& f : m.faces) {
        triangles += f.indices.size() == 3;
        EXPECT_TRUE(f.hasUVs());
    }
    EXPECT_EQ(triangles, 4u);
    expectValid(m);
}

TEST(MeshOps, MergeAtCenterNeedsTwoVertices) {
    Mesh m = cube();
    Selection sel = select(m, {3});
    EXPECT_FALSE(meshops::mergeAtCenter(m, sel));
    EXPECT_EQ(m.revision, 1u);
    EXPECT_EQ(m.vertices[3].position, glm::vec3(-1, 1, -1));
}

// Two triangles, [0 1 2] and [3 4 5]; vertex 3 sits `gap` to the right of vertex 1.
Mesh twoTriangles(float gap) {
    Mesh m;
    for (glm::vec3 p : {glm::vec3(0, 0, 0), {1, 0, 0}, {0, 1, 0}, {1 + gap, 0, 0}, {2, 0, 0}, {2, 1, 0}})
        m.addVertex(p);
    m.addFace({0, 1, 2});
    m.addFace({3, 4, 5});
    return m;
}

TEST(MeshOps, MergeByDistanceThresholds) {
    struct Case {
        const char* what;
        float gap, threshold;
        std::initializer_list<uint32_t> selected;
        uint32_t want;
    };
    const Case cases[] = {
        {"coincident and selected", 0.0f, 0.001f, {1, 3}, 1},
        {"0.002 apart", 0.002f, 0.001f, {1, 3}, 0},
        {"just inside", 0.0009f, 0.001f, {1, 3}, 1},
        {"coincident but one unselected", 0.0f, 0.001f, {1}, 0},
        {"zero threshold, coincident", 0.0f, 0.0f, {1, 3}, 1},
        {"zero threshold, apart", 0.0001f, 0.0f, {1, 3}, 0},
        {"negative threshold counts as zero", 0.0001f, -1.0f, {1, 3}, 0},
        {"negative threshold, coincident", 0.0f, -1.0f, {0, 1, 3}, 1},
    };
    for (const Case& c : cases) {
        Mesh m = twoTriangles(c.gap);
        Selection sel = select(m, c.selected);
        const uint32_t merged = meshops::mergeByDistance(m, sel, c.threshold);
        EXPECT_EQ(merged, c.want) << c.what;
        EXPECT_EQ(m.vertices.size(), 6u - c.want) << c.what;
        EXPECT_EQ(m.revision, c.want ? 2u : 1u) << c.what;
        if (c.want) {
            // The survivor keeps its own position and selection; the second triangle now uses it.
            EXPECT_EQ(m.vertices[1].position, glm::vec3(1, 0, 0)) << c.what;
            EXPECT_EQ(m.faces[1].indices[0], 1u) << c.what;
            EXPECT_TRUE(sel[1]) << c.what;
        }
        expectValid(m);
    }
}

TEST(MeshOps, MergeByDistanceComparesWithTheSurvivorNotTheChain) {
    // 0 - 0.0008 - 0.0016 along x: the middle one merges into the first, the last stays.
    Mesh m;
    for (float x : {0.0f, 0.0008f, 0.0016f, 5.0f})
        m.addVertex({x, 0, 0});
    m.addFace({0, 3, 1});
    m.addFace({1, 3, 2});
    m.addVertex({5, 1, 0});
    m.addFace({2, 3, 4});
    Selection sel = select(m, {0, 1, 2});
    EXPECT_EQ(meshops::mergeByDistance(m, sel, 0.001f), 1u);
    EXPECT_EQ(m.vertices.size(), 4u);
    expectValid(m);
}

// The grid search must agree with comparing every pair in list order, including pairs that straddle
// cell borders and sit at exactly the threshold.
TEST(MeshOps, MergeByDistanceMatchesPairwiseComparison) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> cell(0, 6);
    std::uniform_int_distribution<int> jitter(-3, 3);
    for (float threshold : {0.0f, 0.05f, 0.1f, 0.25f}) {
        Mesh m;
        for (int i = 0; i < 600; ++i)
            m.addVertex({cell(rng) * 0.1f + jitter(rng) * 0.02f, cell(rng) * 0.1f, cell(rng) * 0.05f});
        for (uint32_t i = 0; i + 2 < 600; i += 3)
            m.addFace({i, i + 1, i + 2});
        Selection sel(600, 0);
        for (size_t v = 0; v < sel.size(); ++v)
            sel[v] = (v % 5) != 0;

        // The reference: every later candidate against every surviving earlier one.
        std::vector<uint32_t> target(600);
        uint32_t wantCount = 0;
        for (uint32_t v = 0; v < 600; ++v)
            target[v] = v;
        for (uint32_t d = 0; d < 600; ++d) {
            if (!sel[d] || target[d] != d)
                continue;
            for (uint32_t e = d + 1; e < 600; ++e) {
                if (!sel[e] || target[e] != e)
                    continue;
                const glm::vec3 diff = m.vertices[d].position - m.vertices[e].position;
                if (glm::dot(diff, diff) <= threshold * threshold) {
                    target[e] = d;
                    ++wantCount;
                }
            }
        }
        Mesh want = m;
        for (Face& f : want.faces)
            for (uint32_t& v : f.indices)
                v = target[v];
        Selection wantSel = sel;
        meshops::removeDegenerateAndLoose(want, wantSel);

        EXPECT_EQ(meshops::mergeByDistance(m, sel, threshold), wantCount) << "threshold " << threshold;
        ASSERT_EQ(m.vertices.size(), want.vertices.size()) << "threshold " << threshold;
        ASSERT_EQ(m.faces.size(), want.faces.size()) << "threshold " << threshold;
        for (size_t f = 0; f < m.faces.size(); ++f)
            EXPECT_EQ(m.faces[f].indices, want.faces[f].indices) << "threshold " << threshold << " face " << f;
        EXPECT_EQ(sel, wantSel);
        expectValid(m);
    }
}

// ---------------------------------------------------------------------------------------------
// Extruding

TEST(MeshOps, ExtrudeTheCubeTopFace) {
    Mesh m = cube();
    Selection sel = select(m, {2, 3, 6, 7});
    ASSERT_TRUE(meshops::extrude(m, sel, 0.5f));
    EXPECT_EQ(m.vertices.size(), 12u);
    EXPECT_EQ(m.faces.size(), 10u);
    EXPECT_EQ(m.revision, 2u);
    EXPECT_EQ(selectedList(sel), (std::vector<uint32_t>{8, 9, 10, 11}));
    // The moved face keeps its place, UVs and winding; every corner is a new vertex at y = 1.5.
    EXPECT_EQ(m.faces[kTopFace].indices, (std::vector<uint32_t>{8, 9, 10, 11}));
    EXPECT_EQ(m.faces[kTopFace].uvs, kQuadUvs);
    for (uint32_t v : m.faces[kTopFace].indices)
        EXPECT_FLOAT_EQ(m.vertices[v].position.y, 1.5f);
    // The four walls come last and face outwards (horizontally, away from the axis).
    for (uint32_t f = 6; f < 10; ++f) {
        const glm::vec3 n = m.faceNormal(f);
        const glm::vec3 c = m.faceCenter(f);
        EXPECT_NEAR(n.y, 0.0f, 1e-6f) << "wall " << f;
        EXPECT_GT(glm::dot(n, glm::vec3(c.x, 0, c.z)), 0.0f) << "wall " << f;
        EXPECT_EQ(m.faces[f].uvs, kQuadUvs);
    }
    expectConsistentWinding(m);
    expectValid(m);
}

TEST(MeshOps, ExtrudeOfAClosedSelectionIsRefused) {
    Mesh m = cube();
    Selection sel(8, 1);
    EXPECT_FALSE(meshops::extrude(m, sel, 0.5f));
    EXPECT_EQ(m.vertices.size(), 8u);
    EXPECT_EQ(m.faces.size(), 6u);
    EXPECT_EQ(m.revision, 1u);
    EXPECT_EQ(meshops::countSelected(sel), 8u);
}

TEST(MeshOps, ExtrudeRejectsANonFiniteDistance) {
    Mesh m = cube();
    Selection sel = select(m, {2, 3, 6, 7});
    EXPECT_FALSE(meshops::extrude(m, sel, std::numeric_limits<float>::quiet_NaN()));
    EXPECT_FALSE(meshops::extrude(m, sel, std::numeric_limits<float>::infinity()));
    EXPECT_EQ(m.vertices.size(), 8u);
    EXPECT_EQ(m.revision, 1u);
}

TEST(MeshOps, ExtrudingARegionDropsItsInteriorVertices) {
    Mesh m = grid(3); // 16 vertices, 9 quads; 4 interior vertices
    Selection sel(16, 1);
    ASSERT_TRUE(meshops::extrude(m, sel, 1.0f));
    // 16 copies + 12 boundary originals; 9 moved quads + 12 walls.
    EXPECT_EQ(m.vertices.size(), 28u);
    EXPECT_EQ(m.faces.size(), 21u);
    EXPECT_EQ(meshops::countSelected(sel), 16u);
    for (size_t v = 0; v < m.vertices.size(); ++v)
        EXPECT_EQ(sel[v] != 0, m.vertices[v].position.y == 1.0f) << "vertex " << v;
    expectConsistentWinding(m);
    expectValid(m);
}

TEST(MeshOps, ExtrudeABoundaryEdgeContinuesThePlane) {
    // The unit plane [0 1 2 3] facing +Y; its side 0 -> 1 runs along +X at z = +1.
    Mesh m;
    for (glm::vec3 p : {glm::vec3(-1, 0, 1), {1, 0, 1}, {1, 0, -1}, {-1, 0, -1}})
        m.addVertex(p);
    m.addFace({0, 1, 2, 3}, kQuadUvs);
    Selection sel = select(m, {0, 1});
    ASSERT_TRUE(meshops::extrude(m, sel, 0.5f));
    EXPECT_EQ(m.vertices.size(), 6u);
    ASSERT_EQ(m.faces.size(), 2u);
    EXPECT_EQ(m.faces[1].indices, (std::vector<uint32_t>{1, 0, 4, 5}));
    EXPECT_EQ(m.faces[1].uvs, kQuadUvs);
    EXPECT_FALSE(m.faces[1].smooth);
    EXPECT_EQ(m.vertices[4].position, glm::vec3(-1, 0.5f, 1));
    EXPECT_EQ(m.vertices[5].position, glm::vec3(1, 0.5f, 1));
    EXPECT_EQ(selectedList(sel), (std::vector<uint32_t>{4, 5}));
    expectConsistentWinding(m);
    expectValid(m);
}

TEST(MeshOps, ExtrudeWithNothingSelectedChangesNothing) {
    Mesh m = cube();
    Selection sel = select(m, {0, 6}); // no edge between them
    EXPECT_FALSE(meshops::extrude(m, sel, 0.5f));
    EXPECT_EQ(m.revision, 1u);
    EXPECT_EQ(m.vertices.size(), 8u);
}

// ---------------------------------------------------------------------------------------------
// Splitting and flipping

TEST(MeshOps, SplitACubeEdgeAveragesTheUvsOnEachFace) {
    Mesh m = cube();
    Selection sel = select(m, {6, 7}); // edge 6-7: side 6 -> 7 of +Z, side 7 -> 6 of +Y
    ASSERT_EQ(meshops::splitEdges(m, sel), 1u);
    ASSERT_EQ(m.vertices.size(), 9u);
    EXPECT_EQ(m.vertices[8].position, glm::vec3(0, 1, 1));
    EXPECT_EQ(m.faces[0].indices, (std::vector<uint32_t>{4, 5, 6, 8, 7}));
    EXPECT_EQ(m.faces[0].uvs[3], glm::vec2(0.5f, 1.0f));
    EXPECT_EQ(m.faces[kTopFace].indices, (std::vector<uint32_t>{7, 8, 6, 2, 3}));
    EXPECT_EQ(m.faces[kTopFace].uvs[1], glm::vec2(0.5f, 0.0f));
    for (uint32_t f : {1u, 2u, 3u, 5u})
        EXPECT_EQ(m.faces[f].indices.size(), 4u);
    EXPECT_EQ(selectedList(sel), (std::vector<uint32_t>{6, 7, 8}));
    EXPECT_EQ(m.revision, 2u);
    expectConsistentWinding(m);
    expectValid(m);
}

TEST(MeshOps, SplitEveryEdgeOfTheTopFace) {
    Mesh m = cube();
    Selection sel = select(m, {2, 3, 6, 7});
    ASSERT_EQ(meshops::splitEdges(m, sel), 4u);
    EXPECT_EQ(m.vertices.size(), 12u);
    EXPECT_EQ(m.faces[kTopFace].indices.size(), 8u);
    EXPECT_EQ(meshops::countSelected(sel), 8u);
    expectConsistentWinding(m);
    expectValid(m);
}

TEST(MeshOps, FlipTwiceRestoresTheFace) {
    Mesh m = cube();
    const Selection sel = select(m, {2, 3, 6, 7});
    ASSERT_TRUE(meshops::flipFaces(m, sel));
    EXPECT_EQ(m.faces[kTopFace].indices, (std::vector<uint32_t>{3, 2, 6, 7}));
    EXPECT_EQ(m.faces[kTopFace].uvs, (std::vector<glm::vec2>{{0, 1}, {1, 1}, {1, 0}, {0, 0}}));
    EXPECT_LT(m.faceNormal(kTopFace).y, 0.0f);
    ASSERT_TRUE(meshops::flipFaces(m, sel));
    EXPECT_EQ(m.faces[kTopFace].indices, (std::vector<uint32_t>{7, 6, 2, 3}));
    EXPECT_EQ(m.faces[kTopFace].uvs, kQuadUvs);
    EXPECT_EQ(m.revision, 3u);

    EXPECT_FALSE(meshops::flipFaces(m, Selection{1, 1, 1})); // short selection: no face complete
    EXPECT_EQ(m.revision, 3u);
}

} // namespace
} // namespace orva
