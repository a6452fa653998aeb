#include "document/uv_ops.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "scene/primitives.h"

namespace orva {
namespace {

using uv::Corner;
using Corners = std::vector<Corner>;

const std::vector<glm::vec2> kQuadUvs{{0, 0}, {1, 0}, {1, 1}, {0, 1}};

// The editor's default cube (size 2).
Mesh cube() { return primitives::makeCube(2.0f); }

// Three quads in a row sharing vertices (bottom 0-3, top 4-7), u = x / 3, v = y. With `seam`, quad 2's
// UVs move right by 0.1, so the shared edge 2-6 is split in UV space.
Mesh strip(bool seam) {
    Mesh m;
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < 4; ++x)
            m.addVertex({float(x), float(row), 0});
    for (uint32_t k = 0; k < 3; ++k) {
        std::vector<uint32_t> idx{k, k + 1, k + 5, k + 4};
        std::vector<glm::vec2> uvs;
        for (uint32_t v : idx) {
            const glm::vec3& p = m.vertices[v].position;
            uvs.push_back({p.x / 3.0f + (seam && k == 2 ? 0.1f : 0.0f), p.y});
        }
        m.addFace(idx, uvs);
    }
    return m;
}

// Quads with their own vertices and the given UV corners (one UV polygon per face).
Mesh uvQuads(const std::vector<std::vector<glm::vec2>>& polygons) {
    Mesh m;
    for (const std::vector<glm::vec2>& uvs : polygons) {
        std::vector<uint32_t> idx;
        for (const glm::vec2& uv : uvs)
            idx.push_back(m.addVertex({uv.x, uv.y, 0}));
        m.addFace(idx, uvs);
    }
    return m;
}

glm::vec2 span(const Face& face) {
    glm::vec2 lo(1e30f), hi(-1e30f);
    for (const glm::vec2& uv : face.uvs) {
        lo = glm::min(lo, uv);
        hi = glm::max(hi, uv);
    }
    return hi - lo;
}

float signedArea(const std::vector<glm::vec2>& uv) {
    float twice = 0;
    for (size_t i = 0; i < uv.size(); ++i)
        twice += uv[i].x * uv[(i + 1) % uv.size()].y - uv[(i + 1) % uv.size()].x * uv[i].y;
    return twice * 0.5f;
}

void expectUv(const glm::vec2& got, const glm::vec2& want, const char* what) {
    EXPECT_NEAR(got.x, want.x, 1e-5f) << what;
    EXPECT_NEAR(got.y, want.y, 1e-5f) << what;
}

// ---------------------------------------------------------------------------------------------
// Projections

TEST(UvOps, BoxProjectionKeepsTexelSizeOnScaledObjects) {
    struct Case {
        glm::vec3 scale;
        float tile;
        float wantUX, wantUOther, wantV; // u span of the +-X faces, of the other faces; v span of all
    };
    const Case cases[] = {
        {{1, 1, 1}, 2.0f, 1.0f, 1.0f, 1.0f},
        {{2, 1, 1}, 2.0f, 1.0f, 2.0f, 1.0f},
        {{1, 1, 1}, 0.0f, 2e6f, 2e6f, 2e6f}, // tile 0 behaves as 1e-6
    };
    for (const Case& c : cases) {
        Mesh m = cube();
        uv::projectBox(m, {}, c.tile, c.scale);
        EXPECT_EQ(m.revision, 2u);
        for (uint32_t f = 0; f < 6; ++f) {
            const bool xFace = f == 2 || f == 3;
            const glm::vec2 s = span(m.faces[f]);
            const float wantU = xFace ? c.wantUX : c.wantUOther;
            EXPECT_NEAR(s.x, wantU, wantU * 1e-6f) << "face " << f << " tile " << c.tile;
            EXPECT_NEAR(s.y, c.wantV, c.wantV * 1e-6f) << "face " << f << " tile " << c.tile;
        }
    }
}

TEST(UvOps, BoxProjectionReadsTheSameFromOutsideOnMirroredObjects) {
    // Unmirrored, every face's UVs run counter-clockwise like its corners. A mirror reverses the
    // corners' winding as seen from outside, so readable UVs must then run clockwise.
    for (glm::vec3 scale : {glm::vec3(1, 1, 1), {-1, 1, 1}, {1, -1, 1}, {2, 1, -1}, {-1, -1, 1}}) {
        Mesh m = cube();
        uv::projectBox(m, {}, 1.0f, scale);
        const float mirror = scale.x * scale.y * scale.z > 0 ? 1.0f : -1.0f;
        for (uint32_t f = 0; f < 6; ++f)
            EXPECT_GT(signedArea(m.faces[f].uvs) * mirror, 0.0f)
                << "face " << f << " scale " << scale.x << " " << scale.y << " " << scale.z;
    }
}

TEST(UvOps, PlanarProjection) {
    struct Case {
        uv::Axis axis;
        float tile;
        glm::vec3 scale;
        glm::vec2 want; // of the vertex (1, 5, 2)
    };
    const Case cases[] = {
        {uv::Axis::X, 1, {1, 1, 1}, {-2, 5}},
        {uv::Axis::Y, 1, {1, 1, 1}, {1, -2}},
        {uv::Axis::Z, 1, {1, 1, 1}, {1, 5}},
        {uv::Axis::Y, 2, {2, 1, 1}, {1, -1}},
    };
    for (const Case& c : cases) {
        Mesh m;
        m.addVertex({1, 5, 2});
        m.addVertex({0, 0, 0});
        m.addVertex({0, 1, 0});
        m.addFace({0, 1, 2}); // no UVs yet: the projection gives it some
        uv::projectPlanar(m, {}, c.axis, c.tile, c.scale);
        ASSERT_TRUE(m.faces[0].hasUVs());
        expectUv(m.faces[0].uvs[0], c.want, "planar");
    }
}

TEST(UvOps, CylinderAndSphereContinuePastTheBackSeam) {
    // A band around the vertical axis: a back quad straddling the seam (u 0.97 and 0.03) and a front
    // quad, so the bounds are centred on the origin.
    const float a = 0.47f * 6.28318530718f;
    const float s = std::sin(a), c = std::cos(a);
    Mesh m;
    for (glm::vec3 p :
         {glm::vec3(s, -1, c), {-s, -1, c}, {-s, 1, c}, {s, 1, c}, {-s, -1, -c}, {s, -1, -c}, {s, 1, -c}, {-s, 1, -c}})
        m.addVertex(p);
    m.addFace({0, 1, 2, 3});
    m.addFace({4, 5, 6, 7});

    Mesh cylinder = m;
    uv::projectCylinder(cylinder, {});
    const std::vector<glm::vec2> wantCylinder{{0.97f, 0}, {1.03f, 0}, {1.03f, 1}, {0.97f, 1}};
    for (int i = 0; i < 4; ++i)
        expectUv(cylinder.faces[0].uvs[i], wantCylinder[i], "cylinder back");
    EXPECT_LT(span(cylinder.faces[1]).x, 0.1f) << "the front quad needs no fix";

    Mesh sphere = m;
    uv::projectSphere(sphere, {});
    const std::vector<glm::vec2> wantSphere{{0.97f, 0.25f}, {1.03f, 0.25f}, {1.03f, 0.75f}, {0.97f, 0.75f}};
    for (int i = 0; i < 4; ++i)
        expectUv(sphere.faces[0].uvs[i], wantSphere[i], "sphere back");
}

TEST(UvOps, ResetPerFace) {
    Mesh m;
    for (glm::vec3 p : {glm::vec3(0, 0, 0),
                        {1, 0, 0},
                        {0, 1, 0},
                        {0, 0, 1},
                        {3, 0, 1},
                        {5, 2, 1},
                        {-1, 4, 1},
                        {0, 0, 2},
                        {4, 0, 2},
                        {0, 2, 2}})
        m.addVertex(p);
    m.addFace({0, 1, 2});                           // unit right triangle in XY
    m.addFace({3, 4, 5, 6});                        // an irregular quad
    m.addFace({7, 8, 9}, {{9, 9}, {9, 9}, {9, 9}}); // 4 x 2: fitted without distortion
    uv::resetPerFace(m, {});
    EXPECT_EQ(m.faces[0].uvs, (std::vector<glm::vec2>{{0, 0}, {1, 0}, {0, 1}}));
    EXPECT_EQ(m.faces[1].uvs, kQuadUvs);
    EXPECT_EQ(m.faces[2].uvs, (std::vector<glm::vec2>{{0, 0}, {1, 0}, {0, 0.5f}}));
}

TEST(UvOps, FitToUnitStretchesTheSetTogether) {
    Mesh m = uvQuads({{{2, 0}, {4, 0}, {4, 1}, {2, 1}}, {{3, 0}, {3.5f, 0}, {3.5f, 0.5f}, {3, 0.5f}}});
    uv::fitToUnit(m, {});
    EXPECT_EQ(m.faces[0].uvs, kQuadUvs);
    EXPECT_EQ(m.faces[1].uvs, (std::vector<glm::vec2>{{0.5f, 0}, {0.75f, 0}, {0.75f, 0.5f}, {0.5f, 0.5f}}));
}

TEST(UvOps, TransformAboutTheCentreOfTheBounds) {
    Mesh m = uvQuads({{{0, 0}, {2, 0}, {2, 1}, {0, 1}}});
    const std::vector<glm::vec2> before = m.faces[0].uvs;

    uv::transform(m, {}, {0, 0}, {-1, 1}, 0); // Flip U
    EXPECT_EQ(m.faces[0].uvs, (std::vector<glm::vec2>{{2, 0}, {0, 0}, {0, 1}, {2, 1}}));
    uv::transform(m, {}, {0, 0}, {-1, 1}, 0);
    EXPECT_EQ(m.faces[0].uvs, before);

    uv::transform(m, {}, {0, 0}, {1, 1}, 90); // counter-clockwise about (1, 0.5)
    expectUv(m.faces[0].uvs[0], {1.5f, -0.5f}, "rotate 90");
    expectUv(m.faces[0].uvs[1], {1.5f, 1.5f}, "rotate 90");

    // A face listed twice still moves once.
    Mesh twice = uvQuads({{{0, 0}, {1, 0}, {1, 1}, {0, 1}}});
    uv::transform(twice, {0, 0, 7}, {1, 0}, {1, 1}, 0);
    EXPECT_EQ(twice.faces[0].uvs[0], glm::vec2(1, 0));
    EXPECT_EQ(twice.revision, 2u);
}

// ---------------------------------------------------------------------------------------------
// Corner lists

TEST(UvOps, CombineSetOperations) {
    static_assert(int(uv::SetOp::Remove) == 2 && int(uv::SetOp::Toggle) == 3);
    struct Case {
        const char* what;
        uv::SetOp op;
        Corners corners;
        Corners want;
    };
    const Case cases[] = {
        {"replace", uv::SetOp::Replace, {{1, 0}, {1, 0}}, {{1, 0}}},
        {"add", uv::SetOp::Add, {{1, 0}, {0, 1}}, {{0, 0}, {0, 1}, {1, 0}}},
        {"remove", uv::SetOp::Remove, {{0, 1}, {2, 2}}, {{0, 0}}},
        {"toggle, all selected: removed", uv::SetOp::Toggle, {{0, 1}, {0, 0}, {0, 1}}, {}},
        {"toggle, one unselected: union", uv::SetOp::Toggle, {{1, 0}, {0, 1}}, {{0, 0}, {0, 1}, {1, 0}}},
        {"toggle nothing", uv::SetOp::Toggle, {}, {{0, 0}, {0, 1}}},
        {"unknown op", uv::SetOp(9), {{5, 5}}, {{0, 0}, {0, 1}}},
    };
    for (const Case& c : cases) {
        Corners selection{{0, 0}, {0, 1}};
        uv::combine(selection, c.corners, c.op);
        EXPECT_EQ(selection, c.want) << c.what;
    }
}

TEST(UvOps, DropInvalidAndVisibleFaces) {
    Mesh m = strip(false);
    m.faces[1].uvs.pop_back(); // mismatched: not visible
    Corners corners{{2, 3}, {9, 0}, {1, 0}, {0, 4}, {0, 0}};
    uv::dropInvalid(m, corners);
    EXPECT_EQ(corners, (Corners{{2, 3}, {0, 0}}));
    EXPECT_EQ(uv::visibleFaces(m, {}), (std::vector<uint32_t>{0, 2}));
    EXPECT_EQ(uv::visibleFaces(m, {2, 9, 1, 0}), (std::vector<uint32_t>{2, 0}));
    EXPECT_EQ(uv::cornersOfFaces(m, {2}), uv::faceCorners(m, 2));
    EXPECT_TRUE(uv::faceCorners(m, 3).empty());
}

TEST(UvOps, FullySelectedFaces) {
    const Mesh m = strip(false);
    EXPECT_EQ(
        uv::fullySelectedFaces(m, {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {2, 3}, {7, 0}}),
        (std::vector<uint32_t>{0, 2}));
    // An unsorted list with a repeat is read as the set it names: face 1 is not complete.
    EXPECT_EQ(uv::fullySelectedFaces(m, {{1, 3}, {1, 0}, {1, 0}, {1, 1}}), std::vector<uint32_t>{});
}

TEST(UvOps, SharedPointStopsAtASeam) {
    struct Case {
        const char* what;
        bool seam;
        std::vector<uint32_t> visible;
        Corner picked;
        Corners want;
    };
    const Case cases[] = {
        {"continuous vertex 1", false, {}, {0, 1}, {{0, 1}, {1, 0}}},
        {"continuous vertex 2", false, {}, {1, 1}, {{1, 1}, {2, 0}}},
        {"vertex 2 across the seam", true, {}, {1, 1}, {{1, 1}}},
        {"the other side of the seam", true, {}, {2, 0}, {{2, 0}}},
        {"face not visible: just the corner", false, {0}, {1, 1}, {{1, 1}}},
        {"corner that does not exist", false, {}, {1, 7}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(uv::sharedPoint(strip(c.seam), c.visible, c.picked), c.want) << c.what;
}

TEST(UvOps, IslandFloodsAcrossContinuousEdgesOnly) {
    struct Case {
        const char* what;
        bool seam;
        std::vector<uint32_t> faces;
        uint32_t start;
        std::vector<uint32_t> want;
    };
    const Case cases[] = {
        {"whole strip", false, {}, 2, {0, 1, 2}}, {"stops at the seam", true, {}, 0, {0, 1}},
        {"the far side alone", true, {}, 2, {2}}, {"a hidden face breaks the chain", false, {0, 2}, 0, {0}},
        {"start out of range", false, {}, 3, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(uv::island(strip(c.seam), c.faces, c.start), c.want) << c.what;

    Mesh noUvs = strip(false);
    noUvs.faces[1].uvs.clear();
    EXPECT_TRUE(uv::island(noUvs, {}, 1).empty());
}

// ---------------------------------------------------------------------------------------------
// Picking

TEST(UvOps, PickCorner) {
    const Mesh m = uvQuads({{{0, 0}, {2, 0}, {2, 2}, {0, 2}}});
    struct Case {
        glm::vec2 p;
        float radius;
        bool hit;
        uint32_t corner;
    };
    const Case cases[] = {
        {{1, 0}, 1.0f, true, 1},    // equally far from corners 0 and 1: the later wins; radius inclusive
        {{1, 0}, 0.999f, false, 0}, // out of reach
        {{2, 2}, 0.0f, true, 2},    // radius 0: an exact hit counts
        {{2, 2.001f}, 0.0f, false, 0}, {{0.1f, 1.9f}, 5.0f, true, 3},
    };
    for (const Case& c : cases) {
        Corner got{99, 99};
        EXPECT_EQ(uv::pickCorner(m, {}, c.p, c.radius, got), c.hit) << c.p.x << ", " << c.p.y;
        if (c.hit) {
            EXPECT_EQ(got, (Corner{0, c.corner})) << c.p.x << ", " << c.p.y;
        }
    }
    // Coincident corners of neighbouring faces: the later face wins.
    Corner got;
    ASSERT_TRUE(uv::pickCorner(strip(false), {}, {1.0f / 3.0f, 0}, 0.01f, got));
    EXPECT_EQ(got, (Corner{1, 0}));
}

TEST(UvOps, PickEdge) {
    Mesh m = uvQuads({{{0, 0}, {2, 0}, {2, 2}, {0, 2}}});
    Corner a, b;
    ASSERT_TRUE(uv::pickEdge(m, {}, {1, 0.1f}, 0.2f, a, b));
    EXPECT_EQ(a, (Corner{0, 0}));
    EXPECT_EQ(b, (Corner{0, 1}));
    ASSERT_TRUE(uv::pickEdge(m, {}, {0.1f, 1}, 0.2f, a, b)); // the closing side 3 -> 0
    EXPECT_EQ(a, (Corner{0, 3}));
    EXPECT_EQ(b, (Corner{0, 0}));
    EXPECT_FALSE(uv::pickEdge(m, {}, {1, 1}, 0.5f, a, b));
}

TEST(UvOps, PickFacePrefersTheSmallestContainingFace) {
    const std::vector<glm::vec2> big{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    const std::vector<glm::vec2> small{{4, 4}, {6, 4}, {6, 6}, {4, 6}};
    const std::vector<glm::vec2> concave{{20, 0}, {30, 0}, {30, 10}, {25, 2}, {20, 10}}; // notch at the top
    const Mesh bigFirst = uvQuads({big, small, concave});
    const Mesh smallFirst = uvQuads({small, big});
    EXPECT_EQ(uv::pickFace(bigFirst, {}, {5, 5}), 1);
    EXPECT_EQ(uv::pickFace(smallFirst, {}, {5, 5}), 0);
    EXPECT_EQ(uv::pickFace(bigFirst, {}, {1, 1}), 0);
    EXPECT_EQ(uv::pickFace(bigFirst, {}, {11, 5}), -1);
    EXPECT_EQ(uv::pickFace(bigFirst, {}, {25, 8}), -1); // inside the notch
    EXPECT_EQ(uv::pickFace(bigFirst, {}, {22, 3}), 2);
    EXPECT_EQ(uv::pickFace(bigFirst, {0, 2}, {5, 5}), 0);            // the small face is not offered
    EXPECT_EQ(uv::pickFace(uvQuads({small, small}), {}, {5, 5}), 0); // equal areas: the earlier face
}

TEST(UvOps, CornersInRectIsInclusiveAndOrderFree) {
    const Mesh m = uvQuads({{{0, 0}, {2, 0}, {2, 2}, {0, 2}}, {{1, 1}, {3, 1}, {3, 3}, {1, 3}}});
    EXPECT_EQ(uv::cornersInRect(m, {}, {2, 2}, {0.5f, 0}), (Corners{{0, 1}, {0, 2}, {1, 0}}));
    EXPECT_EQ(uv::cornersInRect(m, {1}, {2, 2}, {0.5f, 0}), (Corners{{1, 0}}));
}

// ---------------------------------------------------------------------------------------------
// Moving corners

TEST(UvOps, GatherBoundsAndTransformCorners) {
    Mesh m = uvQuads({{{0, 0}, {2, 0}, {2, 1}, {0, 1}}});
    EXPECT_EQ(uv::boundsCenter(m, {}), glm::vec2(0.5f));
    EXPECT_EQ(uv::boundsCenter(m, {{3, 0}}), glm::vec2(0.5f));
    EXPECT_EQ(uv::boundsCenter(m, {{0, 0}, {0, 2}}), glm::vec2(1, 0.5f));

    const Corners corners{{0, 1}, {5, 0}, {0, 2}};
    const std::vector<glm::vec2> start = uv::gather(m, corners);
    EXPECT_EQ(start, (std::vector<glm::vec2>{{2, 0}, {0, 0}, {2, 1}}));

    // Re-applied from the same start every frame: the result does not drift.
    for (int frame = 0; frame < 3; ++frame)
        uv::transformCorners(m, corners, start, {2, 0}, {1, 0}, 90, {2, 2});
    expectUv(m.faces[0].uvs[1], {3, 0}, "pivot stays");
    expectUv(m.faces[0].uvs[2], {1, 0}, "(0, 1) * 2 rotated by 90 is (-2, 0)");
    EXPECT_EQ(m.faces[0].uvs[0], glm::vec2(0, 0));
}

TEST(UvOps, WeldJoinsSplitPointsOnce) {
    // Two triangles sharing vertex 0 with different UVs there.
    Mesh m;
    for (int i = 0; i < 5; ++i)
        m.addVertex({float(i), float(i % 2), 0});
    m.addFace({0, 1, 2}, {{0, 0}, {0, 1}, {0, 2}});
    m.addFace({0, 3, 4}, {{1, 0}, {1, 1}, {1, 2}});
    const Corners corners{{0, 0}, {1, 0}, {1, 0}, {0, 1}, {9, 9}};
    EXPECT_EQ(uv::weld(m, corners), 1u);
    EXPECT_EQ(m.faces[0].uvs[0], glm::vec2(0.5f, 0));
    EXPECT_EQ(m.faces[1].uvs[0], glm::vec2(0.5f, 0));
    EXPECT_EQ(m.faces[0].uvs[1], glm::vec2(0, 1)); // alone at its vertex: untouched
    EXPECT_EQ(uv::weld(m, corners), 0u);
}

} // namespace
} // namespace orva
