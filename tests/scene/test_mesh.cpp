#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>
#include <string>

#include "scene/mesh.h"

using namespace orva;

namespace {

using Tri = std::array<uint32_t, 3>;

std::string str(const glm::vec3& v) {
    std::ostringstream s;
    s << "(" << v.x << ", " << v.y << ", " << v.z << ")";
    return s.str();
}

std::string str(const std::vector<Tri>& tris) {
    std::ostringstream s;
    for (const Tri& t : tris)
        s << "(" << t[0] << "," << t[1] << "," << t[2] << ") ";
    return s.str();
}

// A unit cube of 8 shared vertices and 6 outward quads: every vertex joins three faces whose
// normals differ, so flat shading must split each vertex three ways and smooth shading must not.
Mesh makeBox(bool smooth) {
    Mesh m;
    for (int i = 0; i < 8; ++i)
        m.addVertex(glm::vec3(i & 1 ? 1.0f : -1.0f, i & 2 ? 1.0f : -1.0f, i & 4 ? 1.0f : -1.0f));
    for (const std::vector<uint32_t>& f :
         {std::vector<uint32_t>{4, 5, 7, 6}, {1, 0, 2, 3}, {5, 1, 3, 7}, {0, 4, 6, 2}, {6, 7, 3, 2}, {0, 1, 5, 4}})
        m.addFace(f, {}, smooth);
    return m;
}

Mesh polygonMesh(const std::vector<glm::vec3>& corners) {
    Mesh m;
    std::vector<uint32_t> indices;
    for (const glm::vec3& p : corners)
        indices.push_back(m.addVertex(p));
    m.addFace(indices);
    return m;
}

double signedArea2D(const glm::vec2& a, const glm::vec2& b, const glm::vec2& c) {
    return 0.5 * ((double(b.x) - a.x) * (double(c.y) - a.y) - (double(b.y) - a.y) * (double(c.x) - a.x));
}

double polygonArea2D(const std::vector<glm::vec2>& poly) {
    double a = 0.0;
    for (size_t i = 0; i < poly.size(); ++i) {
        const glm::vec2 &p = poly[i], &q = poly[(i + 1) % poly.size()];
        a += double(p.x) * q.y - double(q.x) * p.y;
    }
    return 0.5 * a;
}

bool insidePolygon2D(const glm::vec2& p, const std::vector<glm::vec2>& poly) {
    bool inside = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        if ((poly[i].y > p.y) != (poly[j].y > p.y) &&
            p.x < (poly[j].x - poly[i].x) * (p.y - poly[i].y) / (poly[j].y - poly[i].y) + poly[i].x)
            inside = !inside;
    }
    return inside;
}

} // namespace

// [SECTION] Identity and change tracking

TEST(Mesh, ConstructionGivesFreshUidsAndFirstRevision) {
    Mesh a;
    Mesh b;
    EXPECT_EQ(a.revision, 1u);
    EXPECT_EQ(b.uid, a.uid + 1);

    a.addVertex({1, 2, 3});
    a.addFace({0, 0, 0});
    const Mesh copy(a);
    EXPECT_GT(copy.uid, b.uid);
    EXPECT_EQ(copy.revision, 1u);
    EXPECT_EQ(copy.vertices.size(), 1u);
    EXPECT_EQ(copy.faces.size(), 1u);

    a.setSmooth(true); // revision 2: a move must carry it
    const uint64_t aUid = a.uid;
    Mesh moved(std::move(a));
    EXPECT_EQ(moved.uid, aUid);
    EXPECT_EQ(moved.revision, 2u);
    EXPECT_EQ(moved.vertices.size(), 1u);
    EXPECT_TRUE(a.vertices.empty());
    EXPECT_TRUE(a.faces.empty());
    EXPECT_NE(a.uid, aUid) << "the emptied source must not share the cache key of the moved mesh";
    EXPECT_GT(a.uid, copy.uid);
    EXPECT_EQ(a.revision, 2u);
}

// Every in-place change keeps the uid and raises the revision, so the renderer re-uploads; the
// builders that only serve fresh meshes leave the revision alone.
TEST(Mesh, InPlaceChangesKeepUidAndRaiseRevision) {
    struct Case {
        const char* what;
        std::function<void(Mesh& target, Mesh& source)> change;
        uint64_t revisionDelta;
        size_t verticesAfter;
    };
    const Case cases[] = {
        {"clear", [](Mesh& t, Mesh&) { t.clear(); }, 1, 0},
        {"setSmooth", [](Mesh& t, Mesh&) { t.setSmooth(true); }, 1, 2},
        {"copy assignment", [](Mesh& t, Mesh& s) { t = s; }, 1, 3},
        {"move assignment", [](Mesh& t, Mesh& s) { t = std::move(s); }, 1, 3},
        {"self copy assignment",
         [](Mesh& t, Mesh&) {
             Mesh& alias = t;
             t = alias;
         },
         0, 2},
        {"self move assignment",
         [](Mesh& t, Mesh&) {
             Mesh& alias = t;
             t = std::move(alias);
         },
         0, 2},
        {"addVertex",
         [](Mesh& t, Mesh&) {
             t.addVertex({0, 0, 0});
         },
         0, 3},
        {"addFace",
         [](Mesh& t, Mesh&) {
             t.addFace({0, 1, 1});
         },
         0, 2},
    };
    for (const Case& c : cases) {
        Mesh target;
        target.addVertex({0, 0, 0});
        target.addVertex({1, 0, 0});
        target.revision = 5;
        Mesh source;
        for (int i = 0; i < 3; ++i)
            source.addVertex({float(i), 1, 0});
        source.addFace({0, 1, 2});
        const uint64_t targetUid = target.uid, sourceUid = source.uid;

        c.change(target, source);
        EXPECT_EQ(target.uid, targetUid) << c.what;
        EXPECT_EQ(target.revision, 5 + c.revisionDelta) << c.what;
        EXPECT_EQ(target.vertices.size(), c.verticesAfter) << c.what;
        EXPECT_EQ(source.uid, sourceUid) << c.what;
    }
}

TEST(Mesh, MoveAssignmentEmptiesSourceAndMarksItChanged) {
    Mesh target, source;
    source.addVertex({1, 1, 1});
    source.addFace({0, 0, 0});
    const uint64_t sourceUid = source.uid;
    target = std::move(source);
    EXPECT_EQ(target.vertices.size(), 1u);
    EXPECT_EQ(target.faces.size(), 1u);
    EXPECT_TRUE(source.vertices.empty());
    EXPECT_TRUE(source.faces.empty());
    EXPECT_EQ(source.uid, sourceUid);
    // The source keeps its uid but not its content: a GPU copy made of it must be seen as stale.
    EXPECT_EQ(source.revision, 2u);
}

// [SECTION] Building and simple queries

TEST(Mesh, AddFaceKeepsUVsOnlyWhenOnePerCorner) {
    struct Case {
        size_t uvCount;
        bool kept;
    };
    for (const Case c : {Case{3, false}, Case{4, true}, Case{0, false}, Case{5, false}, Case{1, false}}) {
        Mesh m;
        for (int i = 0; i < 4; ++i)
            m.addVertex({float(i), 0, 0});
        const uint32_t f = m.addFace({0, 1, 2, 3}, std::vector<glm::vec2>(c.uvCount, glm::vec2(0.5f)), true);
        EXPECT_EQ(f, 0u);
        EXPECT_EQ(m.faces[0].uvs.size(), c.kept ? 4u : 0u) << c.uvCount << " UVs";
        EXPECT_EQ(m.faces[0].indices.size(), 4u);
        EXPECT_TRUE(m.faces[0].smooth);
        EXPECT_EQ(m.hasUVs(), c.kept) << c.uvCount << " UVs";
        EXPECT_TRUE(m.validate()) << c.uvCount << " UVs";
    }
    // One face with UVs among several without is enough.
    Mesh m;
    for (int i = 0; i < 3; ++i)
        m.addVertex({float(i), float(i * i), 0});
    m.addFace({0, 1, 2});
    EXPECT_FALSE(m.hasUVs());
    EXPECT_EQ(m.addFace({2, 1, 0}, {{0, 0}, {1, 0}, {1, 1}}), 1u);
    EXPECT_TRUE(m.hasUVs());
}

TEST(Mesh, EdgesInOrderOfFirstAppearance) {
    Mesh quad;
    for (int i = 0; i < 4; ++i)
        quad.addVertex({float(i), 0, 0});
    quad.addFace({0, 1, 2, 3});
    EXPECT_EQ(quad.edges(), (std::vector<Edge>{{0, 1}, {1, 2}, {2, 3}, {0, 3}}));

    // A repeated consecutive corner contributes no side; the second face repeats edges reversed.
    Mesh m;
    for (int i = 0; i < 5; ++i)
        m.addVertex({float(i), 0, 0});
    m.addFace({3, 1, 1, 2});
    m.addFace({2, 1, 4});
    EXPECT_EQ(m.edges(), (std::vector<Edge>{{1, 3}, {1, 2}, {2, 3}, {1, 4}, {2, 4}}));

    const std::vector<Edge> cubeEdges = makeBox(false).edges();
    EXPECT_EQ(cubeEdges.size(), 12u);
    for (const Edge& e : cubeEdges) {
        EXPECT_LT(e.a, e.b);
        const uint32_t differingBits = e.a ^ e.b; // cube edges join vertices differing on one axis
        EXPECT_TRUE(differingBits == 1 || differingBits == 2 || differingBits == 4) << e.a << "-" << e.b;
    }

    EXPECT_TRUE(Mesh().edges().empty());
}

TEST(Mesh, EdgeHashPacksBothIndices) {
    EXPECT_EQ(EdgeHash()(Edge{1, 2}), size_t((uint64_t(1) << 32) | 2));
    EXPECT_EQ(Edge::make(9, 4), (Edge{4, 9}));
    EXPECT_NE((Edge{4, 9}), (Edge{9, 4}));
}

TEST(Mesh, BoundsIncludeLooseVerticesAndEmptyIsInverted) {
    const AABB empty = Mesh().bounds();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(empty.min[i], 1e30f);
        EXPECT_EQ(empty.max[i], -1e30f);
    }
    Mesh m;
    m.addVertex({1, -2, 3});
    m.addVertex({-4, 5, 0.5f});
    m.addVertex({0, 0, 9}); // used by no face
    m.addFace({0, 1, 1});
    const AABB box = m.bounds();
    EXPECT_EQ(box.min, glm::vec3(-4, -2, 0.5f));
    EXPECT_EQ(box.max, glm::vec3(1, 5, 9));
}

// [SECTION] Normals

TEST(Mesh, FaceNormalsAndCentres) {
    const Mesh square = polygonMesh({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    EXPECT_EQ(square.faceNormalWeighted(0), glm::vec3(0, 0, 2));
    EXPECT_EQ(square.faceNormal(0), glm::vec3(0, 0, 1));
    EXPECT_EQ(square.faceCenter(0), glm::vec3(0.5f, 0.5f, 0));

    // Clockwise seen from +Y: the front is below.
    const Mesh below = polygonMesh({{0, 0, 0}, {3, 0, 0}, {3, 0, 2}, {0, 0, 2}});
    EXPECT_EQ(below.faceNormal(0), glm::vec3(0, -1, 0));
    EXPECT_EQ(below.faceNormalWeighted(0), glm::vec3(0, -12, 0));

    const Mesh line = polygonMesh({{0, 0, 0}, {1, 1, 1}, {2, 2, 2}});
    EXPECT_EQ(line.faceNormal(0), glm::vec3(0, 1, 0));

    // A vertex used twice counts twice in the centre.
    Mesh twice;
    twice.addVertex({0, 0, 0});
    twice.addVertex({3, 0, 0});
    twice.addVertex({0, 3, 0});
    twice.addFace({0, 1, 2, 1});
    EXPECT_EQ(twice.faceCenter(0), glm::vec3(1.5f, 0.75f, 0));
}

TEST(Mesh, SmoothVertexNormalsAreAreaWeighted) {
    for (const glm::vec3& n : makeBox(false).smoothVertexNormals())
        EXPECT_EQ(n, glm::vec3(0, 1, 0)) << "flat faces give no smooth normal";

    const std::vector<glm::vec3> cube = makeBox(true).smoothVertexNormals();
    ASSERT_EQ(cube.size(), 8u);
    for (uint32_t i = 0; i < 8; ++i) {
        const glm::vec3 expected =
            glm::normalize(glm::vec3(i & 1 ? 1.0f : -1.0f, i & 2 ? 1.0f : -1.0f, i & 4 ? 1.0f : -1.0f));
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(cube[i][k], expected[k], 1e-6f) << "vertex " << i << " " << str(cube[i]);
    }

    // Two faces meeting at a right angle along x: the floor is 4 times larger than the wall, so the
    // shared vertices lean 4 : 1 towards +Y. Vertex 6 is loose.
    Mesh m;
    m.addVertex({0, 0, 0});
    m.addVertex({1, 0, 0});
    m.addVertex({1, 0, -4});
    m.addVertex({0, 0, -4});
    m.addVertex({1, 1, 0});
    m.addVertex({0, 1, 0});
    m.addVertex({7, 7, 7});
    m.addFace({0, 1, 2, 3}, {}, true); // floor, +Y, area 4
    m.addFace({0, 5, 4, 1}, {}, true); // wall at z = 0, area 1, facing -Z
    const glm::vec3 wall = m.faceNormal(1);
    const std::vector<glm::vec3> n = m.smoothVertexNormals();
    ASSERT_EQ(wall, glm::vec3(0, 0, -1));
    const glm::vec3 expected = glm::normalize(glm::vec3(0, 4, -1));
    for (uint32_t v : {0u, 1u})
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(n[v][k], expected[k], 1e-6f) << "vertex " << v << " " << str(n[v]);
    EXPECT_EQ(n[2], glm::vec3(0, 1, 0));
    EXPECT_EQ(n[4], wall);
    EXPECT_EQ(n[6], glm::vec3(0, 1, 0)) << "a loose vertex gets the default";
}

// [SECTION] Ear clipping

TEST(Mesh, TriangulateFaceOfConvexPolygonsInFixedOrder) {
    const Mesh tri = polygonMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    EXPECT_EQ(tri.triangulateFace(0), (std::vector<Tri>{{0, 1, 2}}));

    const Mesh quad = polygonMesh({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    EXPECT_EQ(quad.triangulateFace(0), (std::vector<Tri>{{3, 0, 1}, {1, 2, 3}})) << str(quad.triangulateFace(0));

    std::vector<glm::vec3> pentagon;
    for (int i = 0; i < 5; ++i)
        pentagon.push_back({std::cos(i * 1.2566371f), 0.3f, -std::sin(i * 1.2566371f)}); // XZ plane, facing +Y
    const Mesh penta = polygonMesh(pentagon);
    EXPECT_EQ(penta.triangulateFace(0), (std::vector<Tri>{{4, 0, 1}, {4, 1, 2}, {2, 3, 4}}))
        << str(penta.triangulateFace(0));

    Mesh twoCorners;
    twoCorners.addVertex({0, 0, 0});
    twoCorners.addVertex({1, 0, 0});
    twoCorners.addFace({0, 1});
    EXPECT_TRUE(twoCorners.triangulateFace(0).empty());
}

// Concave outlines in every plane and both windings: n - 2 triangles, each with the polygon's own
// orientation, whose areas add up to the polygon's and whose centres lie inside it (so no triangle
// covers a notch). Convex-only clipping would emit a triangle across the notch of the L.
TEST(Mesh, TriangulateFaceOfConcavePolygonsStaysInside) {
    struct Shape {
        const char* name;
        std::vector<glm::vec2> outline;
    };
    std::vector<glm::vec2> star;
    for (int i = 0; i < 10; ++i) {
        const float r = i % 2 ? 0.4f : 1.0f, a = float(i) * 0.62831853f;
        star.push_back({r * std::cos(a), r * std::sin(a)});
    }
    const Shape shapes[] = {
        {"L hexagon", {{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}}},
        {"U octagon", {{0, 0}, {3, 0}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}}},
        {"star", star},
        {"square with a collinear corner", {{0, 0}, {1, 0}, {2, 0}, {2, 2}, {0, 2}}},
    };
    struct Embedding {
        const char* name;
        std::function<glm::vec3(glm::vec2)> place;
        bool reverse;
    };
    const Embedding embeddings[] = {
        {"XY", [](glm::vec2 p) { return glm::vec3(p.x, p.y, 0.5f); }, false},
        {"XY reversed", [](glm::vec2 p) { return glm::vec3(p.x, p.y, 0.5f); }, true},
        {"YZ", [](glm::vec2 p) { return glm::vec3(-1.0f, p.x, p.y); }, false},
        {"XZ", [](glm::vec2 p) { return glm::vec3(p.x, 2.0f, p.y); }, false},
        {"XZ reversed", [](glm::vec2 p) { return glm::vec3(p.x, 2.0f, p.y); }, true},
        {"tilted", [](glm::vec2 p) { return glm::vec3(p.x, 0.3f * p.x + 0.2f * p.y, p.y); }, true},
    };
    for (const Shape& shape : shapes) {
        for (const Embedding& e : embeddings) {
            std::vector<glm::vec2> outline = shape.outline;
            if (e.reverse)
                std::reverse(outline.begin(), outline.end());
            std::vector<glm::vec3> corners;
            for (const glm::vec2& p : outline)
                corners.push_back(e.place(p));
            const Mesh m = polygonMesh(corners);
            const std::vector<Tri> tris = m.triangulateFace(0);
            const std::string what = std::string(shape.name) + " in " + e.name + ": " + str(tris);

            ASSERT_EQ(tris.size(), outline.size() - 2) << what;
            const double polygonArea = polygonArea2D(outline);
            double sum = 0.0;
            for (const Tri& t : tris) {
                const double area = signedArea2D(outline[t[0]], outline[t[1]], outline[t[2]]);
                EXPECT_GT(area * polygonArea, 0.0) << what;
                sum += area;
                const glm::vec2 centre = (outline[t[0]] + outline[t[1]] + outline[t[2]]) / 3.0f;
                EXPECT_TRUE(insidePolygon2D(centre, outline)) << what;
            }
            EXPECT_NEAR(sum, polygonArea, 1e-5) << what;
        }
    }
}

// No corner of a polygon on one line is convex by more than the tolerance: the fallback fan.
TEST(Mesh, TriangulateFaceOfCollinearPolygonIsAFan) {
    const Mesh line = polygonMesh({{0, 0, 0}, {1, 1, 0}, {2, 2, 0}, {3, 3, 0}, {4, 4, 0}});
    EXPECT_EQ(line.triangulateFace(0), (std::vector<Tri>{{0, 1, 2}, {0, 2, 3}, {0, 3, 4}}))
        << str(line.triangulateFace(0));
    const Mesh point = polygonMesh({{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}});
    EXPECT_EQ(point.triangulateFace(0), (std::vector<Tri>{{0, 1, 2}, {0, 2, 3}}));
}

// [SECTION] Triangulation of the whole mesh

namespace {

// Every output triangle must carry the positions of its face's corners in triangulateFace's order.
void expectConsistentTriangulation(const Mesh& m, const TriangleMesh& t, const std::string& what) {
    ASSERT_EQ(t.positions.size(), t.normals.size()) << what;
    ASSERT_EQ(t.positions.size(), t.uvs.size()) << what;
    size_t at = 0;
    for (uint32_t f = 0; f < m.faces.size(); ++f) {
        for (const Tri& tri : m.triangulateFace(f)) {
            ASSERT_LT(at + 2, t.indices.size()) << what;
            for (int k = 0; k < 3; ++k) {
                const uint32_t out = t.indices[at + k];
                ASSERT_LT(out, t.positions.size()) << what;
                EXPECT_EQ(t.positions[out], m.vertices[m.faces[f].indices[tri[k]]].position) << what << " face " << f;
                if (m.faces[f].hasUVs()) {
                    EXPECT_EQ(t.uvs[out], m.faces[f].uvs[tri[k]]) << what << " face " << f;
                }
                if (!m.faces[f].smooth) {
                    EXPECT_EQ(t.normals[out], m.faceNormal(f)) << what << " face " << f;
                }
            }
            at += 3;
        }
    }
    EXPECT_EQ(at, t.indices.size()) << what;
}

} // namespace

TEST(Mesh, TriangulateSharesCornersOnlyWhenVertexNormalAndUvMatch) {
    struct Case {
        const char* what;
        Mesh mesh;
        size_t outputVertices;
    };
    Mesh flatUV = makeBox(false);
    for (Face& f : flatUV.faces)
        f.uvs = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    // Two coplanar triangles of a square: the shared corners merge, also where one UV is -0.
    Mesh square;
    square.addVertex({0, 0, 0});
    square.addVertex({1, 0, 0});
    square.addVertex({1, 1, 0});
    square.addVertex({0, 1, 0});
    square.addFace({0, 1, 2}, {{-0.0f, 0}, {1, 0}, {1, 1}});
    square.addFace({0, 2, 3}, {{0, -0.0f}, {1, 1}, {0, 1}});
    // The same square with a UV seam along the diagonal splits the two shared vertices.
    Mesh seam = square;
    seam.faces[1].uvs = {{0.5f, 0}, {1, 1.5f}, {0, 1}};

    // A fan of 40 flat faces, each listed twice: the centre vertex carries 40 distinct corners (more
    // than a vertex's short list of corners holds), and every corner is met twice.
    Mesh fan;
    fan.addVertex({0, 1, 0});
    for (int i = 0; i < 40; ++i)
        fan.addVertex({std::sin(float(i) * 0.15707963f), 0, std::cos(float(i) * 0.15707963f)});
    for (int pass = 0; pass < 2; ++pass)
        for (uint32_t i = 0; i < 40; ++i)
            fan.addFace({0, 1 + i, 1 + (i + 1) % 40});
    Mesh smoothFan = fan;
    smoothFan.setSmooth(true);

    const Case cases[] = {
        {"flat cube", makeBox(false), 24},
        {"flat fan", fan, 120},
        {"smooth fan", smoothFan, 41},
        {"smooth cube", makeBox(true), 8},
        {"flat cube with per-face UVs", flatUV, 24},
        {"square with signed zero UVs", square, 4},
        {"square with a UV seam", seam, 6},
    };
    for (const Case& c : cases) {
        const TriangleMesh t = c.mesh.triangulate();
        EXPECT_EQ(t.positions.size(), c.outputVertices) << c.what;
        size_t triangles = 0;
        for (const Face& f : c.mesh.faces)
            triangles += f.indices.size() - 2;
        EXPECT_EQ(t.indices.size(), triangles * 3) << c.what;
        for (const glm::vec3& n : t.normals)
            EXPECT_NEAR(glm::length(n), 1.0f, 1e-6f) << c.what;
        expectConsistentTriangulation(c.mesh, t, c.what);
    }
}

TEST(Mesh, TriangulateSkipsFacesItCannotDraw) {
    Mesh m;
    for (int i = 0; i < 4; ++i)
        m.addVertex({float(i & 1), float(i >> 1), 0});
    m.addFace({0, 1}, {}, true);    // two corners: nothing to draw
    m.addFace({0, 1, 3});           // the only drawable face
    m.addFace({1, 9, 3}, {}, true); // names a vertex that does not exist: skipped, not a crash
    m.addFace({}, {});
    const TriangleMesh t = m.triangulate();
    EXPECT_EQ(t.positions.size(), 3u);
    EXPECT_EQ(t.indices, (std::vector<uint32_t>{0, 1, 2}));
    EXPECT_EQ(t.normals[0], glm::vec3(0, 0, 1));
    EXPECT_EQ(t.uvs[0], glm::vec2(0, 0));

    const TriangleMesh empty = Mesh().triangulate();
    EXPECT_TRUE(empty.positions.empty());
    EXPECT_TRUE(empty.indices.empty());
}

TEST(Mesh, TriangulateOfConcaveFaceUsesItsEars) {
    const Mesh l = polygonMesh({{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}});
    const TriangleMesh t = l.triangulate();
    EXPECT_EQ(t.positions.size(), 6u);
    EXPECT_EQ(t.indices.size(), 12u);
    expectConsistentTriangulation(l, t, "L hexagon");
}

// [SECTION] Validation

TEST(Mesh, ValidateReportsTheFirstFault) {
    struct Case {
        const char* what;
        std::function<void(Mesh&)> damage;
        const char* message; // nullptr: valid
    };
    const Case cases[] = {
        {"intact", [](Mesh&) {}, nullptr},
        {"no faces, loose vertices", [](Mesh& m) { m.faces.clear(); }, nullptr},
        {"missing vertex", [](Mesh& m) { m.faces[2].indices[1] = 9; }, "face 2 references missing vertex 9"},
        {"index equal to the count", [](Mesh& m) { m.faces[5].indices[3] = 8; }, "face 5 references missing vertex 8"},
        {"two corners", [](Mesh& m) { m.faces[3].indices.resize(2); }, "face 3 has fewer than 3 vertices"},
        {"no corners", [](Mesh& m) { m.faces[1].indices.clear(); }, "face 1 has fewer than 3 vertices"},
        {"short UV list", [](Mesh& m) { m.faces[4].uvs.resize(3); }, "face 4 has mismatched UV count"},
        {"long UV list", [](Mesh& m) { m.faces[0].uvs.resize(5); }, "face 0 has mismatched UV count"},
        {"several faults, first one wins",
         [](Mesh& m) {
             m.faces[0].indices.resize(2);
             m.faces[1].uvs.resize(1);
             m.faces[2].indices[0] = 100;
         },
         "face 0 has fewer than 3 vertices"},
        {"UV fault before index fault in one face",
         [](Mesh& m) {
             m.faces[1].uvs.resize(2);
             m.faces[1].indices[0] = 100;
         },
         "face 1 has mismatched UV count"},
    };
    for (const Case& c : cases) {
        Mesh m = makeBox(false);
        for (Face& f : m.faces)
            f.uvs = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        c.damage(m);
        std::string error = "untouched";
        EXPECT_EQ(m.validate(&error), c.message == nullptr) << c.what;
        EXPECT_EQ(error, c.message ? c.message : "untouched") << c.what;
        EXPECT_EQ(m.validate(), c.message == nullptr) << c.what << " (without a message)";
    }
}
