// The CPU side of the viewport overlays: helper marker geometry and colours, and the Edit Mode
// lists. No GL is needed.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/edit_overlay.h"
#include "render/helper_markers.h"
#include "render/mesh_edges.h"
#include "render/overlay_colors.h"
#include "scene/scene.h"
#include "test_meshes.h"

using namespace orva;

namespace {

constexpr size_t kCircleVertices = 24 * 2;

std::vector<ColorVertex> helpersOf(const Scene& scene, const std::vector<uint32_t>* selection = nullptr,
                                   uint32_t active = kInvalidObject) {
    ViewportRenderParams params;
    params.scene = &scene;
    params.selection = selection;
    params.activeObject = active;
    std::vector<ColorVertex> lines;
    buildHelperLines(params, lines);
    return lines;
}

bool near(const glm::vec3& a, const glm::vec3& b, float eps = 1e-4f) { return glm::length(a - b) < eps; }

} // namespace

// Helpers show where an object is and where it points, not how it is scaled.
TEST(HelperMarkers, ScaledCameraDrawsTheSameFrustum) {
    Scene scene;
    SceneObject* cam = scene.createObject(ObjectType::Camera, "Camera");
    cam->transform.position = {1, 2, 3};
    cam->transform.rotationEulerDeg = {0, 30, 0};
    const std::vector<ColorVertex> unscaled = helpersOf(scene);
    cam->transform.scale = {3, 0.5f, 7};
    const std::vector<ColorVertex> scaled = helpersOf(scene);
    ASSERT_EQ(unscaled.size(), 4u * 4u + 3u * 2u) << "eight frustum lines and the up triangle";
    ASSERT_EQ(scaled.size(), unscaled.size());
    for (size_t i = 0; i < scaled.size(); ++i)
        EXPECT_TRUE(near(scaled[i].position, unscaled[i].position)) << "vertex " << i;
    // The far rectangle sits 1 m in front of the eye, 2 tan(fov / 2) high.
    const float h = std::tan(25.0f * kDegToRad);
    EXPECT_NEAR(glm::length(unscaled[1].position - unscaled[0].position),
                std::sqrt(1.0f + h * h * (1.0f + 256.0f / 81.0f)), 1e-4f);
}

TEST(HelperMarkers, LightShapesByType) {
    struct Case {
        LightType type;
        size_t vertices;
    } cases[] = {
        {LightType::Point, 3 * kCircleVertices},
        {LightType::Directional, 3 * kCircleVertices + 2},
        {LightType::Spot, 3 * kCircleVertices + 2 + kCircleVertices + 4 * 2},
    };
    for (const Case& c : cases) {
        Scene scene;
        scene.createObject(ObjectType::Light, "Light")->lightType = c.type;
        EXPECT_EQ(helpersOf(scene).size(), c.vertices) << lightTypeName(c.type);
    }
}

// The outer cone angle is the half-angle: 45 degrees opens to radius 1.5 at 1.5 m.
TEST(HelperMarkers, SpotLightConeFollowsTheOuterAngle) {
    Scene scene;
    SceneObject* light = scene.createObject(ObjectType::Light, "Spot");
    light->lightType = LightType::Spot;
    light->outerConeDeg = 45.0f;
    light->transform.position = {0, 4, 0};
    light->transform.rotationEulerDeg = {-90, 0, 0}; // pointing straight down
    const std::vector<ColorVertex> lines = helpersOf(scene);
    ASSERT_EQ(lines.size(), 3 * kCircleVertices + 2 + kCircleVertices + 8);
    const size_t coneStart = 3 * kCircleVertices + 2;
    const glm::vec3 coneCentre(0, 2.5f, 0);
    EXPECT_TRUE(near(lines[coneStart - 1].position, coneCentre)) << "direction line ends at the cone centre";
    for (size_t i = coneStart; i < coneStart + kCircleVertices; ++i) {
        EXPECT_NEAR(glm::length(lines[i].position - coneCentre), 1.5f, 1e-4f) << "circle vertex " << i;
        EXPECT_NEAR(lines[i].position.y, 2.5f, 1e-4f);
    }
    for (size_t i = coneStart + kCircleVertices; i < lines.size(); i += 2) {
        EXPECT_TRUE(near(lines[i].position, {0, 4, 0})) << "cone lines start at the light";
        EXPECT_NEAR(glm::length(lines[i + 1].position - coneCentre), 1.5f, 1e-4f);
    }
}

TEST(HelperMarkers, ColoursFollowSelectionAndType) {
    Scene scene;
    const uint32_t camera = scene.createObject(ObjectType::Camera, "Camera")->id;
    const uint32_t spawn = scene.createObject(ObjectType::SpawnPoint, "Spawn")->id;
    const size_t cameraVertices = 22;

    const std::vector<uint32_t> none, cameraOnly{camera}, both{camera, spawn};
    struct Case {
        const char* what;
        const std::vector<uint32_t>* selection;
        uint32_t active;
        glm::vec4 cameraColor, spawnColor;
    } cases[] = {
        {"nothing selected", &none, kInvalidObject, kHelperColor, kSpawnGreen},
        {"camera selected and active", &cameraOnly, camera, kActiveOrange, kSpawnGreen},
        {"both selected, spawn active", &both, spawn, kSelectedOrange, kActiveOrange},
        {"Edit Mode: no selection list", nullptr, camera, kHelperColor, kSpawnGreen},
    };
    for (const Case& c : cases) {
        const std::vector<ColorVertex> lines = helpersOf(scene, c.selection, c.active);
        ASSERT_GT(lines.size(), cameraVertices) << c.what;
        EXPECT_EQ(lines.front().color, c.cameraColor) << c.what;
        EXPECT_EQ(lines[cameraVertices - 1].color, c.cameraColor) << c.what;
        EXPECT_EQ(lines[cameraVertices].color, c.spawnColor) << c.what;
        EXPECT_EQ(lines.back().color, c.spawnColor) << c.what;
    }

    scene.find(camera)->visible = false;
    scene.createObject(ObjectType::Mesh, "Cube")->mesh = std::make_unique<Mesh>(test::makeCube());
    const std::vector<ColorVertex> lines = helpersOf(scene);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().color, kSpawnGreen) << "hidden helpers and meshes draw no marker";
}

// The top face (3, 7, 6, 2) of the cube is fully selected; its ring of edges too.
TEST(EditOverlay, VertexModeMarksSelectedVerticesEdgesAndFaces) {
    const Mesh cube = test::makeCube();
    std::vector<uint8_t> selection(8, 0);
    for (uint32_t v : {3u, 7u, 6u, 2u})
        selection[v] = 1;
    EditOverlayLists lists;
    buildEditOverlay(cube, &selection, ComponentType::Vertex, lists);

    ASSERT_EQ(lists.faceTint.size(), 6u) << "one quad, two triangles";
    for (const ColorVertex& v : lists.faceTint) {
        EXPECT_EQ(v.color, kFaceTint);
        EXPECT_FLOAT_EQ(v.position.y, 1.0f);
    }
    ASSERT_EQ(lists.edges.size(), 24u);
    int selectedEdges = 0;
    for (size_t i = 0; i < lists.edges.size(); i += 2) {
        const bool top = lists.edges[i].position.y > 0 && lists.edges[i + 1].position.y > 0;
        EXPECT_EQ(lists.edges[i].color, top ? kEditSelected : kEditEdge) << "edge " << i / 2;
        EXPECT_EQ(lists.edges[i + 1].color, lists.edges[i].color);
        selectedEdges += top;
    }
    EXPECT_EQ(selectedEdges, 4);
    ASSERT_EQ(lists.dots.size(), 8u);
    for (uint32_t v = 0; v < 8; ++v) {
        EXPECT_EQ(lists.dots[v].position, cube.vertices[v].position);
        EXPECT_EQ(lists.dots[v].color, selection[v] ? kEditSelected : kFaceDot) << "vertex " << v;
    }
}

TEST(EditOverlay, FaceModeDotsFaceCentresAndEdgeModeHasNoDots) {
    const Mesh cube = test::makeCube();
    std::vector<uint8_t> selection(8, 0);
    for (uint32_t v : {3u, 7u, 6u, 2u})
        selection[v] = 1;
    EditOverlayLists lists;
    buildEditOverlay(cube, &selection, ComponentType::Face, lists);
    ASSERT_EQ(lists.dots.size(), 6u);
    for (uint32_t f = 0; f < 6; ++f) {
        EXPECT_TRUE(near(lists.dots[f].position, cube.faceCenter(f)));
        EXPECT_EQ(lists.dots[f].color, f == 5 ? kEditSelected : kFaceDot) << "face " << f;
    }
    EXPECT_EQ(lists.faceTint.size(), 6u);

    buildEditOverlay(cube, &selection, ComponentType::Edge, lists);
    EXPECT_TRUE(lists.dots.empty());
    EXPECT_EQ(lists.edges.size(), 24u);
    EXPECT_EQ(lists.faceTint.size(), 6u) << "the lists are replaced, not appended to";
}

// The tint of a selected face covers exactly its triangulation: a convex quad, a concave
// (dart-shaped) quad whose ear is not at corner 0, and a pentagon.
TEST(EditOverlay, FaceTintFollowsTheTriangulation) {
    Mesh mesh;
    for (glm::vec2 p : {glm::vec2(0, 0), glm::vec2(2, 0), glm::vec2(2, 2), glm::vec2(0, 2), // convex
                        glm::vec2(5, 1), glm::vec2(4, 0), glm::vec2(6, 1), glm::vec2(4, 2), // dart, reflex at 0
                        glm::vec2(8, 0), glm::vec2(9, 0), glm::vec2(10, 1), glm::vec2(9, 2), glm::vec2(8, 1)})
        mesh.addVertex({p.x, 0.0f, p.y});
    mesh.addFace({3, 2, 1, 0});
    mesh.addFace({4, 7, 6, 5});
    mesh.addFace({12, 11, 10, 9, 8});
    const std::vector<uint8_t> all(mesh.vertices.size(), 1);
    EditOverlayLists lists;
    buildEditOverlay(mesh, &all, ComponentType::Face, lists);

    std::vector<glm::vec3> expected;
    for (uint32_t f = 0; f < 3; ++f)
        for (const auto& triangle : mesh.triangulateFace(f))
            for (uint32_t corner : triangle)
                expected.push_back(mesh.vertices[mesh.faces[f].indices[corner]].position);
    ASSERT_EQ(lists.faceTint.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(lists.faceTint[i].position, expected[i]) << "tint vertex " << i;
}

// After an undo or a geometry change the flags may be shorter than the vertex list, or absent:
// missing entries count as unselected and nothing is read out of range.
TEST(EditOverlay, ShortOrMissingSelectionCountsAsUnselected) {
    const Mesh cube = test::makeCube();
    const std::vector<uint8_t> shortSelection{1, 1};
    EditOverlayLists lists;
    buildEditOverlay(cube, &shortSelection, ComponentType::Vertex, lists);
    EXPECT_TRUE(lists.faceTint.empty());
    EXPECT_EQ(lists.dots[0].color, kEditSelected);
    EXPECT_EQ(lists.dots[7].color, kFaceDot);
    int selectedEdges = 0;
    for (size_t i = 0; i < lists.edges.size(); i += 2) {
        if (lists.edges[i].color != kEditSelected)
            continue;
        ++selectedEdges;
        EXPECT_TRUE(near(lists.edges[i].position + lists.edges[i + 1].position,
                         cube.vertices[0].position + cube.vertices[1].position))
            << "only edge (0, 1) has both vertices selected";
    }
    EXPECT_EQ(selectedEdges, 1);
    buildEditOverlay(cube, nullptr, ComponentType::Face, lists);
    EXPECT_TRUE(lists.faceTint.empty());
    for (const ColorVertex& v : lists.dots)
        EXPECT_EQ(v.color, kFaceDot);
}

// The overlay's fast edge walk must give exactly Mesh::edges(), order included.
TEST(MeshEdges, MatchMeshEdgesInOrder) {
    Mesh odd; // a repeated corner, a side shared in both directions, a loose and a high vertex
    for (int i = 0; i < 7; ++i)
        odd.addVertex({float(i), float(i * i % 5), 0});
    odd.addFace({0, 1, 1, 2});
    odd.addFace({2, 1, 6});
    odd.addFace({6, 5, 3, 4, 2});
    struct Case {
        const char* what;
        Mesh mesh;
    } cases[] = {
        {"cube", test::makeCube()},
        {"grid", test::makeGridMesh(7, 1.0f)},
        {"odd faces", odd},
        {"no faces", Mesh()},
    };
    std::vector<Edge> edges{{9, 9}}; // stale content must go
    for (const Case& c : cases) {
        collectEdges(c.mesh, edges);
        const std::vector<Edge> expected = c.mesh.edges();
        ASSERT_EQ(edges.size(), expected.size()) << c.what;
        for (size_t i = 0; i < edges.size(); ++i)
            EXPECT_TRUE(edges[i] == expected[i]) << c.what << " edge " << i << ": (" << edges[i].a << ", " << edges[i].b
                                                 << ") instead of (" << expected[i].a << ", " << expected[i].b << ")";
    }
}
