#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "scene/primitives.h"

using namespace orva;

namespace {

std::string str(const glm::vec3& v) {
    std::ostringstream s;
    s << "(" << v.x << ", " << v.y << ", " << v.z << ")";
    return s.str();
}

// The UV addCap gives a corner: the disc's top view on the unit square.
glm::vec2 capUV(const glm::vec3& p, float radius) { return {p.x / (2 * radius) + 0.5f, p.z / (2 * radius) + 0.5f}; }

struct Generated {
    const char* name;
    Mesh mesh;
};

std::vector<Generated> everyGenerator() {
    std::vector<Generated> all;
    for (int t = 0; t <= 4; ++t)
        all.push_back({primitiveName(PrimitiveType(t)), primitives::make(PrimitiveType(t))});
    all.push_back({"cube 0.5", primitives::makeCube(0.5f)});
    all.push_back({"plane 7", primitives::makePlane(7.0f)});
    all.push_back({"sphere (2, 5, 3)", primitives::makeUVSphere(2.0f, 5, 3)});
    all.push_back({"sphere (1, 2, 1)", primitives::makeUVSphere(1.0f, 2, 1)});
    all.push_back({"cylinder (0.5, 3, 3)", primitives::makeCylinder(0.5f, 3.0f, 3)});
    all.push_back({"cone (2, 1, 4)", primitives::makeCone(2.0f, 1.0f, 4)});
    all.push_back({"cone (1, 2, 0)", primitives::makeCone(1.0f, 2.0f, 0)});
    return all;
}

} // namespace

TEST(Primitives, MakeGivesTheEditorsShapes) {
    struct Case {
        int type;
        const char* name;
        size_t vertices;
        size_t faces;
    };
    const Case cases[] = {
        {0, "Cube", 8, 6},   {1, "Plane", 4, 1}, {2, "Sphere", 482, 512}, {3, "Cylinder", 64, 34},
        {4, "Cone", 33, 33}, {5, "Mesh", 0, 0},  {-1, "Mesh", 0, 0},      {1000, "Mesh", 0, 0},
    };
    for (const Case& c : cases) {
        const Mesh m = primitives::make(PrimitiveType(c.type));
        EXPECT_STREQ(primitiveName(PrimitiveType(c.type)), c.name) << c.type;
        EXPECT_EQ(m.vertices.size(), c.vertices) << c.name;
        EXPECT_EQ(m.faces.size(), c.faces) << c.name;
        EXPECT_EQ(m.revision, 1u) << c.name;
    }
    // Cylinder: 32 side quads then two caps of 32 corners; cone: 32 side triangles then the base.
    const Mesh cylinder = primitives::make(PrimitiveType::Cylinder);
    EXPECT_EQ(cylinder.faces[32].indices.size(), 32u);
    EXPECT_EQ(cylinder.faces[33].indices.size(), 32u);
    const Mesh cone = primitives::make(PrimitiveType::Cone);
    EXPECT_EQ(cone.faces[31].indices.size(), 3u);
    EXPECT_EQ(cone.faces[32].indices.size(), 32u);
    EXPECT_NE(primitives::make(PrimitiveType::Cube).uid, primitives::make(PrimitiveType::Cube).uid);
}

// Valid, textured on every face, and every face's front looking away from the centre.
TEST(Primitives, EveryGeneratorIsValidTexturedAndOutward) {
    for (const Generated& g : everyGenerator()) {
        std::string error;
        EXPECT_TRUE(g.mesh.validate(&error)) << g.name << ": " << error;
        EXPECT_TRUE(g.mesh.hasUVs()) << g.name;
        // Odd segment counts leave z lopsided (a ring vertex on +Z, none on -Z); x and y are symmetric.
        const AABB box = g.mesh.bounds();
        for (int k = 0; k < 2; ++k)
            EXPECT_NEAR(box.min[k] + box.max[k], 0.0f, 1e-5f) << g.name << " is not centred on axis " << k;
        for (uint32_t f = 0; f < g.mesh.faces.size(); ++f) {
            const Face& face = g.mesh.faces[f];
            EXPECT_TRUE(face.hasUVs()) << g.name << " face " << f;
            for (const glm::vec2& uv : face.uvs) {
                EXPECT_GE(uv.x, 0.0f) << g.name << " face " << f;
                EXPECT_LE(uv.x, 1.0f) << g.name << " face " << f;
                EXPECT_GE(uv.y, 0.0f) << g.name << " face " << f;
                EXPECT_LE(uv.y, 1.0f) << g.name << " face " << f;
            }
            // The plane's one face passes through the origin: its front is up.
            const glm::vec3 n = g.mesh.faceNormalWeighted(f), c = g.mesh.faceCenter(f);
            const float away = glm::length(c) < 1e-6f ? n.y : glm::dot(n, c);
            EXPECT_GT(away, 0.0f) << g.name << " face " << f << " normal " << str(n) << " centre " << str(c);
        }
        // Drawable as it comes: one triangle less than corners per face.
        const TriangleMesh t = g.mesh.triangulate();
        size_t triangles = 0;
        for (const Face& face : g.mesh.faces)
            triangles += face.indices.size() - 2;
        EXPECT_EQ(t.indices.size(), triangles * 3) << g.name;
    }
}

TEST(Primitives, SphereClampsToADoublePyramid) {
    const Mesh m = primitives::makeUVSphere(1.0f, 2, 1);
    ASSERT_EQ(m.vertices.size(), 5u);
    ASSERT_EQ(m.faces.size(), 6u);
    EXPECT_EQ(m.vertices[0].position, glm::vec3(0, 1, 0));
    EXPECT_EQ(m.vertices[4].position, glm::vec3(0, -1, 0));
    for (const Face& f : m.faces) {
        EXPECT_EQ(f.indices.size(), 3u);
        EXPECT_TRUE(f.smooth);
    }
    // The equator ring starts on +Z and turns towards +X.
    EXPECT_NEAR(m.vertices[1].position.z, 1.0f, 1e-6f);
    EXPECT_GT(m.vertices[2].position.x, 0.0f);
    EXPECT_EQ(m.faces[0].indices, (std::vector<uint32_t>{0, 1, 2}));
    EXPECT_EQ(m.faces[3].indices, (std::vector<uint32_t>{4, 2, 1}));
}

// The seam is split in UVs only: the last band column runs to U = 1 on the first column's vertices.
TEST(Primitives, SphereBandsAndSeam) {
    const int s = 4, b = 3;
    const Mesh m = primitives::makeUVSphere(1.0f, s, b);
    ASSERT_EQ(m.vertices.size(), size_t(2 + (b - 1) * s));
    ASSERT_EQ(m.faces.size(), size_t(s * b));
    const Face& lastBand = m.faces[s + s - 1]; // band 1, column k = s
    EXPECT_EQ(lastBand.indices, (std::vector<uint32_t>{4, 8, 5, 1}));
    // V is 1 - ring / bands, computed as such (1 - 1/3 and 2/3 differ in the last bit).
    const float v1 = 1.0f - 1.0f / 3, v2 = 1.0f - 2.0f / 3;
    EXPECT_EQ(lastBand.uvs, (std::vector<glm::vec2>{{0.75f, v1}, {0.75f, v2}, {1, v2}, {1, v1}}));
    const Face& north = m.faces[0];
    EXPECT_EQ(north.uvs, (std::vector<glm::vec2>{{0.125f, 1}, {0, v1}, {0.25f, v1}}));
    const Face& south = m.faces[s * b - 1];
    EXPECT_EQ(south.indices, (std::vector<uint32_t>{9, 5, 8}));
    EXPECT_EQ(south.uvs, (std::vector<glm::vec2>{{0.875f, 0}, {1, v2}, {0.75f, v2}}));
}

TEST(Primitives, CylinderWithTooFewSegmentsIsAPrism) {
    const Mesh prism = primitives::makeCylinder(1.0f, 2.0f, 3);
    ASSERT_EQ(prism.vertices.size(), 6u);
    ASSERT_EQ(prism.faces.size(), 5u);
    for (uint32_t f = 0; f < 3; ++f) {
        EXPECT_EQ(prism.faces[f].indices.size(), 4u);
        EXPECT_TRUE(prism.faces[f].smooth);
    }
    EXPECT_EQ(prism.faces[0].indices, (std::vector<uint32_t>{0, 1, 4, 3}));
    EXPECT_EQ(prism.faces[2].indices, (std::vector<uint32_t>{2, 0, 3, 5}));
    EXPECT_EQ(prism.faces[2].uvs, (std::vector<glm::vec2>{{2.0f / 3, 0}, {1, 0}, {1, 1}, {2.0f / 3, 1}}));
    EXPECT_EQ(prism.faces[3].indices, (std::vector<uint32_t>{3, 4, 5}));
    EXPECT_EQ(prism.faces[4].indices, (std::vector<uint32_t>{2, 1, 0}));
    for (int segments : {0, -7, 2}) {
        const Mesh m = primitives::makeCylinder(1.0f, 2.0f, segments);
        ASSERT_EQ(m.vertices.size(), 6u) << segments;
        for (size_t v = 0; v < 6; ++v)
            EXPECT_EQ(m.vertices[v].position, prism.vertices[v].position) << segments;
        ASSERT_EQ(m.faces.size(), 5u) << segments;
        for (size_t f = 0; f < 5; ++f)
            EXPECT_EQ(m.faces[f].indices, prism.faces[f].indices) << segments;
    }
}

// Both caps are built facing +Y; only the bottom one is turned, its UVs reversed in step.
TEST(Primitives, CapsFaceOutwardWithUVsFollowingTheirCorners) {
    const int s = 32;
    const float radius = 1.5f;
    const Mesh cylinder = primitives::makeCylinder(radius, 2.0f, s);
    const Face& top = cylinder.faces[s];
    const Face& bottom = cylinder.faces[s + 1];
    for (int i = 0; i < s; ++i) {
        EXPECT_EQ(top.indices[i], uint32_t(s + i));
        EXPECT_EQ(bottom.indices[i], uint32_t(s - 1 - i));
    }
    EXPECT_FALSE(top.smooth);
    EXPECT_FALSE(bottom.smooth);
    EXPECT_NEAR(cylinder.faceNormal(s).y, 1.0f, 1e-6f);
    EXPECT_NEAR(cylinder.faceNormal(s + 1).y, -1.0f, 1e-6f);

    const Mesh cone = primitives::makeCone(radius, 2.0f, s);
    const Face& base = cone.faces[s];
    for (int i = 0; i < s; ++i)
        EXPECT_EQ(base.indices[i], uint32_t(s - 1 - i));
    EXPECT_NEAR(cone.faceNormal(s).y, -1.0f, 1e-6f);
    EXPECT_EQ(cone.vertices[s].position, glm::vec3(0, 1, 0));
    EXPECT_EQ(cone.faces[1].uvs[2], glm::vec2(1.5f / s, 1.0f));

    for (const Mesh* m : {&cylinder, &cone}) {
        for (const Face* cap : {&m->faces[s], &m->faces.back()}) {
            for (size_t i = 0; i < cap->indices.size(); ++i) {
                const glm::vec2 expected = capUV(m->vertices[cap->indices[i]].position, radius);
                EXPECT_NEAR(cap->uvs[i].x, expected.x, 1e-6f) << "corner " << i;
                EXPECT_NEAR(cap->uvs[i].y, expected.y, 1e-6f) << "corner " << i;
            }
        }
    }
}

TEST(Primitives, CubeAndPlaneLayout) {
    const Mesh cube = primitives::makeCube(3.0f);
    const float h = 1.5f;
    const Face& front = cube.faces[0]; // +Z
    EXPECT_EQ(front.indices, (std::vector<uint32_t>{4, 5, 6, 7}));
    EXPECT_EQ(cube.vertices[4].position, glm::vec3(-h, -h, h));
    EXPECT_EQ(front.uvs[0], glm::vec2(0, 0));
    EXPECT_EQ(cube.vertices[6].position, glm::vec3(h, h, h));
    EXPECT_EQ(front.uvs[2], glm::vec2(1, 1));
    const glm::vec3 normals[] = {{0, 0, 1}, {0, 0, -1}, {1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    for (uint32_t f = 0; f < 6; ++f) {
        EXPECT_EQ(cube.faceNormal(f), normals[f]) << "face " << f;
        EXPECT_FALSE(cube.faces[f].smooth);
    }
    EXPECT_EQ(cube.triangulate().positions.size(), 24u);

    const Mesh plane = primitives::makePlane(4.0f);
    EXPECT_EQ(plane.faceNormal(0), glm::vec3(0, 1, 0));
    // U grows along +X, V along -Z.
    EXPECT_EQ(plane.vertices[0].position, glm::vec3(-2, 0, 2));
    EXPECT_EQ(plane.faces[0].uvs[0], glm::vec2(0, 0));
    EXPECT_EQ(plane.vertices[2].position, glm::vec3(2, 0, -2));
    EXPECT_EQ(plane.faces[0].uvs[2], glm::vec2(1, 1));
}
