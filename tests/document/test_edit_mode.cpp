#include "document/document.h"
#include "document/mesh_ops.h"
#include "document/uv_ops.h"

#include <functional>
#include <limits>

#include <gtest/gtest.h>

namespace orva {
namespace {

// Ids and indices of the default scene: the Cube (size 2, object space) has its top face (+Y) as
// face 4, made of vertices 2, 3, 6 and 7.
constexpr uint32_t kPlane = 1;
constexpr uint32_t kCube = 2;
constexpr uint32_t kSpawn = 3;
constexpr uint32_t kCamera = 4;
constexpr uint32_t kLight = 5;
constexpr uint32_t kTopFace = 4;
const std::vector<uint32_t> kTopVertices{2, 3, 6, 7};

Mesh& meshOf(Document& doc, uint32_t id) { return *doc.state.scene.find(id)->mesh; }

std::vector<uint8_t> flags(size_t count, const std::vector<uint32_t>& selected) {
    std::vector<uint8_t> out(count, 0);
    for (uint32_t v : selected)
        out[v] = 1;
    return out;
}

// The vertices and faces of a mesh, for comparing geometry without uid and revision.
struct Geometry {
    std::vector<glm::vec3> positions;
    std::vector<std::vector<uint32_t>> indices;
    std::vector<std::vector<glm::vec2>> uvs;
    std::vector<bool> smooth;
    bool operator==(const Geometry&) const = default;
};

Geometry geometryOf(const Mesh& mesh) {
    Geometry g;
    for (const Vertex& v : mesh.vertices)
        g.positions.push_back(v.position);
    for (const Face& f : mesh.faces) {
        g.indices.push_back(f.indices);
        g.uvs.push_back(f.uvs);
        g.smooth.push_back(f.smooth);
    }
    return g;
}

void expectValid(const Mesh& mesh) {
    std::string error;
    EXPECT_TRUE(mesh.validate(&error)) << error;
}

// A document in Edit Mode on the Cube with the given vertices selected.
struct CubeEdit {
    Document doc;
    CubeEdit(ComponentType type, const std::vector<uint32_t>& selected) {
        EXPECT_TRUE(doc.enterEditMode());
        doc.setComponentType(type);
        doc.selectVertices(selected, SelectOp::Replace);
    }
};

// [SECTION] Entering and leaving

TEST(EditMode, EnterRefusals) {
    struct Case {
        const char* what;
        std::function<void(Document&)> setup;
    };
    const Case cases[] = {
        {"no active object", [](Document& d) { d.selectObjects({}, SelectOp::Replace); }},
        {"camera active",
         [](Document& d) {
             d.selectObjects({kCube, kCamera}, SelectOp::Replace);
         }},
        {"light active", [](Document& d) { d.selectObjects({kLight}, SelectOp::Replace); }},
        {"spawn point active", [](Document& d) { d.selectObjects({kSpawn}, SelectOp::Replace); }},
        {"mesh object without a mesh", [](Document& d) { d.state.scene.find(kCube)->mesh.reset(); }},
        {"active id names no object", [](Document& d) { d.state.selection.active = 99; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Document doc;
        c.setup(doc);
        const ObjectSelection before = doc.state.selection;
        EXPECT_FALSE(doc.canEnterEditMode());
        EXPECT_FALSE(doc.enterEditMode());
        EXPECT_EQ(doc.state.mode, InteractionMode::Object);
        EXPECT_EQ(doc.state.editObjectId, kInvalidObject);
        EXPECT_TRUE(doc.state.vertexSelection.empty());
        EXPECT_EQ(doc.state.selection.ids, before.ids);
        EXPECT_EQ(doc.state.selection.active, before.active);
        EXPECT_EQ(doc.editObject(), nullptr);
        EXPECT_EQ(doc.editMesh(), nullptr);
        EXPECT_TRUE(doc.undoStack.undoLabel().empty());
        EXPECT_FALSE(doc.dirty);
    }
}

TEST(EditMode, EnterSelectsOnlyTheObjectAndNoVertex) {
    Document doc;
    doc.selectObjects({kPlane, kCamera, kCube}, SelectOp::Replace); // Cube active
    ASSERT_TRUE(doc.enterEditMode());
    EXPECT_EQ(doc.state.mode, InteractionMode::Edit);
    EXPECT_EQ(doc.state.editObjectId, kCube);
    EXPECT_EQ(doc.state.selection.ids, std::vector<uint32_t>{kCube});
    EXPECT_EQ(doc.state.selection.active, kCube);
    EXPECT_EQ(doc.state.vertexSelection, std::vector<uint8_t>(8, 0));
    EXPECT_EQ(doc.editObject(), doc.state.scene.find(kCube));
    EXPECT_EQ(doc.editMesh(), &meshOf(doc, kCube));
    EXPECT_EQ(doc.selectedVertexCount(), 0u);
    EXPECT_TRUE(doc.undoStack.undoLabel().empty()) << "entering is not an undo step";
    EXPECT_FALSE(doc.dirty);

    // Entering again keeps the vertex selection.
    doc.selectVertices({1}, SelectOp::Replace);
    EXPECT_TRUE(doc.enterEditMode());
    EXPECT_EQ(doc.selectedVertexCount(), 1u);

    doc.exitEditMode();
    EXPECT_EQ(doc.state.mode, InteractionMode::Object);
    EXPECT_EQ(doc.state.editObjectId, kInvalidObject);
    EXPECT_TRUE(doc.state.vertexSelection.empty());
    EXPECT_EQ(doc.editObject(), nullptr);
}

TEST(EditMode, ComponentTypeLeavesSelectionAndIgnoresUnknownValues) {
    CubeEdit e(ComponentType::Vertex, {0, 1});
    e.doc.setComponentType(ComponentType::Face);
    EXPECT_EQ(e.doc.state.componentType, ComponentType::Face);
    EXPECT_EQ(e.doc.state.vertexSelection, flags(8, {0, 1}));
    e.doc.setComponentType(static_cast<ComponentType>(7));
    EXPECT_EQ(e.doc.state.componentType, ComponentType::Face);
}

// [SECTION] Component selection

TEST(EditMode, SelectVerticesOps) {
    struct Case {
        const char* what;
        std::vector<uint32_t> before;
        std::vector<uint32_t> indices;
        SelectOp op;
        std::vector<uint32_t> after;
    };
    const Case cases[] = {
        {"replace clears the rest", {0, 5}, {1, 2}, SelectOp::Replace, {1, 2}},
        {"replace with nothing clears", {0, 5}, {}, SelectOp::Replace, {}},
        {"add keeps the rest", {0}, {1, 2}, SelectOp::Add, {0, 1, 2}},
        {"remove", {0, 1, 2}, {1, 7}, SelectOp::Remove, {0, 2}},
        {"toggle, one unselected: select both", {0}, {0, 1}, SelectOp::Toggle, {0, 1}},
        {"toggle, both selected: clear both", {0, 1, 4}, {0, 1}, SelectOp::Toggle, {4}},
        {"toggle with an out-of-range index selects", {0}, {0, 99}, SelectOp::Toggle, {0}},
        {"toggle of nothing changes nothing", {3}, {}, SelectOp::Toggle, {3}},
        {"add beyond the vertex count changes nothing", {3}, {99}, SelectOp::Add, {3}},
        {"replace ignores out-of-range indices", {3}, {8, 2}, SelectOp::Replace, {2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CubeEdit e(ComponentType::Vertex, c.before);
        e.doc.selectVertices(c.indices, c.op);
        EXPECT_EQ(e.doc.state.vertexSelection, flags(8, c.after));
        EXPECT_EQ(e.doc.selectedVertexCount(), c.after.size());
        EXPECT_TRUE(e.doc.undoStack.undoLabel().empty());
    }
}

TEST(EditMode, SelectAllAndInvert) {
    CubeEdit e(ComponentType::Vertex, {0, 6});
    e.doc.invertComponentSelection();
    EXPECT_EQ(e.doc.state.vertexSelection, flags(8, {1, 2, 3, 4, 5, 7}));
    e.doc.selectAllComponents(true);
    EXPECT_EQ(e.doc.selectedVertexCount(), 8u);
    e.doc.invertComponentSelection();
    EXPECT_EQ(e.doc.selectedVertexCount(), 0u);
    e.doc.selectAllComponents(false);
    EXPECT_EQ(e.doc.state.vertexSelection, std::vector<uint8_t>(8, 0));
    EXPECT_TRUE(e.doc.undoStack.undoLabel().empty());
}

// The selection may be left with the wrong length (an outside change of the mesh); every reader
// fits it to the mesh, missing entries count as unselected and extra ones are dropped.
TEST(EditMode, StaleSelectionIsFittedBeforeUse) {
    CubeEdit e(ComponentType::Vertex, {});
    e.doc.state.vertexSelection = {1, 0, 1};
    e.doc.invertComponentSelection();
    EXPECT_EQ(e.doc.state.vertexSelection, flags(8, {1, 3, 4, 5, 6, 7}));

    e.doc.state.vertexSelection = flags(12, {9, 10, 11});
    EXPECT_EQ(e.doc.selectedVertexCount(), 0u) << "flags beyond the 8 vertices are not selections";
    std::string error;
    EXPECT_FALSE(e.doc.deleteComponents(&error));
    EXPECT_EQ(error, "No vertices selected.");
    EXPECT_EQ(e.doc.state.vertexSelection.size(), 8u);
}

TEST(EditMode, SelectionOutsideEditModeDoesNothing) {
    Document doc;
    doc.selectVertices({0, 1}, SelectOp::Replace);
    doc.selectAllComponents(true);
    doc.invertComponentSelection();
    EXPECT_TRUE(doc.state.vertexSelection.empty());
    EXPECT_EQ(doc.selectedVertexCount(), 0u);
}

// [SECTION] Mesh commands

using Command = std::function<bool(Document&, std::string*)>;

const Command kDelete = [](Document& d, std::string* e) { return d.deleteComponents(e); };
const Command kMergeAtCenter = [](Document& d, std::string* e) { return d.mergeAtCenter(e); };
const Command kMergeByDistance = [](Document& d, std::string* e) { return d.mergeByDistance(0.001f, e); };
const Command kExtrude = [](Document& d, std::string* e) { return d.extrude(0.5f, e); };
const Command kSplit = [](Document& d, std::string* e) { return d.splitEdges(e); };
const Command kFlip = [](Document& d, std::string* e) { return d.flipNormals(e); };

TEST(EditMode, RefusedCommandsGiveTheirMessageAndNoUndoStep) {
    struct Case {
        const char* message;
        ComponentType type;
        std::vector<uint32_t> selected;
        Command command;
    };
    const Case cases[] = {
        {"No vertices selected.", ComponentType::Vertex, {}, kDelete},
        {"No edges selected.", ComponentType::Edge, {0, 6}, kDelete}, // a diagonal is no edge
        {"No faces selected.", ComponentType::Face, {2, 3, 6}, kDelete},
        {"Select at least two vertices to merge.", ComponentType::Vertex, {4}, kMergeAtCenter},
        {"No selected vertices are close enough to merge.", ComponentType::Vertex, {0, 1, 2, 3}, kMergeByDistance},
        {"Select faces or boundary edges to extrude.", ComponentType::Vertex, {0}, kExtrude},
        // All six faces form a closed surface: there is no boundary to extrude from.
        {"Select faces or boundary edges to extrude.", ComponentType::Face, {0, 1, 2, 3, 4, 5, 6, 7}, kExtrude},
        {"The extrude distance must be a finite number.", ComponentType::Face, kTopVertices,
         [](Document& d, std::string* e) { return d.extrude(std::numeric_limits<float>::quiet_NaN(), e); }},
        {"Select at least one edge (two connected vertices).", ComponentType::Edge, {0, 6}, kSplit},
        {"Select at least one face.", ComponentType::Face, {2, 3, 6}, kFlip},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        CubeEdit e(c.type, c.selected);
        const Mesh& mesh = meshOf(e.doc, kCube);
        const Geometry before = geometryOf(mesh);
        const uint64_t uid = mesh.uid;
        const uint64_t revision = mesh.revision;
        std::string error;
        EXPECT_FALSE(c.command(e.doc, &error));
        EXPECT_EQ(error, c.message);
        EXPECT_EQ(geometryOf(mesh), before);
        EXPECT_EQ(mesh.uid, uid);
        EXPECT_EQ(mesh.revision, revision);
        EXPECT_EQ(e.doc.state.vertexSelection, flags(8, c.selected));
        EXPECT_TRUE(e.doc.undoStack.undoLabel().empty());
        EXPECT_FALSE(e.doc.dirty);
        EXPECT_FALSE(c.command(e.doc, nullptr)) << "no error string is fine";
    }
}

TEST(EditMode, CommandsOutsideEditModeAreRefused) {
    for (const Command& command : {kDelete, kMergeAtCenter, kMergeByDistance, kExtrude, kSplit, kFlip}) {
        Document doc;
        std::string error;
        EXPECT_FALSE(command(doc, &error));
        EXPECT_EQ(error, "Not in Edit Mode.");
        EXPECT_TRUE(doc.undoStack.undoLabel().empty());
    }
    // In Edit Mode, but the edited object has lost its mesh.
    CubeEdit e(ComponentType::Vertex, {0, 1});
    e.doc.state.scene.find(kCube)->mesh.reset();
    std::string error;
    EXPECT_FALSE(e.doc.mergeAtCenter(&error));
    EXPECT_EQ(error, "Not in Edit Mode.");
    EXPECT_EQ(e.doc.editMesh(), nullptr);
}

// Each command that changes the mesh: one labelled undo step holding the state before it, the same
// mesh object (uid kept, revision raised), a valid mesh and the selection the operation produced;
// undo then restores the mesh and the selection exactly.
TEST(EditMode, CommandsCommitOneValidUndoStep) {
    struct Case {
        const char* label;
        ComponentType type;
        std::vector<uint32_t> selected;
        Command command;
        size_t vertices;
        size_t faces;
        size_t selectedAfter;
    };
    const Case cases[] = {
        {"Delete", ComponentType::Vertex, {0}, kDelete, 7, 3, 0},
        {"Delete", ComponentType::Edge, {2, 3}, kDelete, 8, 4, 0},
        {"Delete", ComponentType::Face, kTopVertices, kDelete, 8, 5, 0},
        {"Merge at Center", ComponentType::Vertex, kTopVertices, kMergeAtCenter, 5, 5, 1},
        {"Extrude", ComponentType::Face, kTopVertices, kExtrude, 12, 10, 4},
        {"Extrude", ComponentType::Edge, {2, 3}, kExtrude, 10, 7, 2},
        {"Split Edges", ComponentType::Edge, {2, 3}, kSplit, 9, 6, 3},
        {"Flip Normals", ComponentType::Face, kTopVertices, kFlip, 8, 6, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.label) + ", " + std::to_string(int(c.type)));
        CubeEdit e(c.type, c.selected);
        Mesh& mesh = meshOf(e.doc, kCube);
        const Geometry before = geometryOf(mesh);
        const uint64_t uid = mesh.uid;
        const uint64_t revision = mesh.revision;
        std::string error;
        ASSERT_TRUE(c.command(e.doc, &error)) << error;
        EXPECT_TRUE(error.empty());
        EXPECT_EQ(e.doc.undoStack.undoLabel(), c.label);
        EXPECT_TRUE(e.doc.dirty);
        EXPECT_EQ(&meshOf(e.doc, kCube), &mesh);
        EXPECT_EQ(mesh.uid, uid);
        EXPECT_GT(mesh.revision, revision);
        EXPECT_EQ(mesh.vertices.size(), c.vertices);
        EXPECT_EQ(mesh.faces.size(), c.faces);
        expectValid(mesh);
        EXPECT_EQ(e.doc.state.vertexSelection.size(), c.vertices);
        EXPECT_EQ(e.doc.selectedVertexCount(), c.selectedAfter);
        EXPECT_EQ(e.doc.state.mode, InteractionMode::Edit);

        ASSERT_TRUE(e.doc.undo());
        EXPECT_EQ(geometryOf(meshOf(e.doc, kCube)), before);
        EXPECT_EQ(e.doc.state.vertexSelection, flags(8, c.selected));
        EXPECT_EQ(e.doc.state.componentType, c.type);
    }
}

// Two quads side by side whose shared side is stored twice (vertices 1 = 4 and 2 = 7).
TEST(EditMode, MergeByDistanceJoinsCoincidentSelectedVertices) {
    Document doc;
    Mesh strip;
    for (const glm::vec3& p : {glm::vec3(0, 0, 0), glm::vec3(1, 0, 0), glm::vec3(1, 1, 0), glm::vec3(0, 1, 0),
                               glm::vec3(1, 0, 0), glm::vec3(2, 0, 0), glm::vec3(2, 1, 0), glm::vec3(1, 1, 0)})
        strip.addVertex(p);
    strip.addFace({0, 1, 2, 3});
    strip.addFace({4, 5, 6, 7});
    meshOf(doc, kCube) = strip;
    ASSERT_TRUE(doc.enterEditMode());
    doc.selectVertices({1, 2, 4}, SelectOp::Replace); // 7 is not selected: it must stay apart

    std::string error;
    ASSERT_TRUE(doc.mergeByDistance(0.001f, &error)) << error;
    const Mesh& mesh = meshOf(doc, kCube);
    EXPECT_EQ(doc.undoStack.undoLabel(), "Merge by Distance");
    EXPECT_EQ(mesh.vertices.size(), 7u);
    EXPECT_EQ(mesh.faces[1].indices[0], 1u) << "the second quad now uses the first quad's vertex";
    EXPECT_EQ(doc.selectedVertexCount(), 2u);
    expectValid(mesh);
}

TEST(EditMode, ExtrudeUndoRedoRestoresSelections) {
    CubeEdit e(ComponentType::Face, kTopVertices);
    ASSERT_TRUE(e.doc.extrude(0.5f));
    const Mesh& extruded = meshOf(e.doc, kCube);
    ASSERT_EQ(extruded.vertices.size(), 12u);
    // The new vertices are the selected ones, and they carry the moved top face.
    const std::vector<uint8_t> newTop = flags(12, {8, 9, 10, 11});
    EXPECT_EQ(e.doc.state.vertexSelection, newTop);
    for (uint32_t v = 8; v < 12; ++v)
        EXPECT_FLOAT_EQ(extruded.vertices[v].position.y, 1.5f);
    EXPECT_EQ(meshops::selectedFaces(extruded, e.doc.state.vertexSelection), std::vector<uint32_t>{kTopFace});
    const Geometry after = geometryOf(extruded);

    ASSERT_TRUE(e.doc.undo());
    EXPECT_EQ(meshOf(e.doc, kCube).vertices.size(), 8u);
    EXPECT_EQ(e.doc.state.vertexSelection, flags(8, kTopVertices));
    EXPECT_EQ(e.doc.state.mode, InteractionMode::Edit);
    EXPECT_EQ(e.doc.undoStack.redoLabel(), "Extrude");

    ASSERT_TRUE(e.doc.redo());
    EXPECT_EQ(geometryOf(meshOf(e.doc, kCube)), after);
    EXPECT_EQ(e.doc.state.vertexSelection, newTop);
}

// [SECTION] Shading

bool allSmooth(const Mesh& mesh, bool smooth) {
    for (const Face& f : mesh.faces)
        if (f.smooth != smooth)
            return false;
    return !mesh.faces.empty();
}

TEST(EditMode, ShadingSkipsObjectsWithoutMesh) {
    Document doc;
    doc.selectObjects({kCamera, kCube}, SelectOp::Replace);
    ASSERT_TRUE(doc.setShading(true));
    EXPECT_EQ(doc.undoStack.undoLabel(), "Shade Smooth");
    EXPECT_TRUE(allSmooth(meshOf(doc, kCube), true));
    EXPECT_TRUE(allSmooth(meshOf(doc, kPlane), false));
    ASSERT_TRUE(doc.undo());
    EXPECT_TRUE(allSmooth(meshOf(doc, kCube), false));
    EXPECT_TRUE(doc.undoStack.undoLabel().empty()) << "one step";

    doc.selectObjects({kCamera, kLight}, SelectOp::Replace);
    EXPECT_FALSE(doc.setShading(true));
    EXPECT_TRUE(doc.undoStack.undoLabel().empty());
}

TEST(EditMode, ShadingInEditModeTargetsOnlyTheEditedMesh) {
    CubeEdit e(ComponentType::Face, {}); // every face, whatever is selected
    e.doc.selectObjects({kPlane}, SelectOp::Add);
    e.doc.setShading(true);
    ASSERT_TRUE(e.doc.setShading(false));
    EXPECT_EQ(e.doc.undoStack.undoLabel(), "Shade Flat");
    ASSERT_TRUE(e.doc.undo());
    EXPECT_TRUE(allSmooth(meshOf(e.doc, kCube), true));
    EXPECT_TRUE(allSmooth(meshOf(e.doc, kPlane), false));
}

// [SECTION] UV mapping

TEST(EditMode, UvTargetFaces) {
    Document doc;
    const SceneObject& cube = *doc.state.scene.find(kCube);
    EXPECT_TRUE(doc.uvTargetFaces(cube).empty()) << "Object Mode: all faces";
    CubeEdit e(ComponentType::Vertex, {2, 3, 6, 7, 0});
    EXPECT_EQ(e.doc.uvTargetFaces(*e.doc.state.scene.find(kCube)), std::vector<uint32_t>{kTopFace});
    EXPECT_TRUE(e.doc.uvTargetFaces(*e.doc.state.scene.find(kPlane)).empty()) << "not the edited object";
}

TEST(EditMode, ApplyUvInObjectModeMapsEverySelectedMeshInOneStep) {
    Document doc;
    doc.state.scene.find(kCube)->transform.scale = glm::vec3(2, 1, 1);
    doc.selectObjects({kPlane, kLight, kCube}, SelectOp::Replace);
    Mesh cube = meshOf(doc, kCube);
    Mesh plane = meshOf(doc, kPlane);
    uv::projectBox(cube, {}, 2.0f, glm::vec3(2, 1, 1));
    uv::projectBox(plane, {}, 2.0f, glm::vec3(1));
    const Geometry cubeBefore = geometryOf(meshOf(doc, kCube));
    const Geometry planeBefore = geometryOf(meshOf(doc, kPlane));

    std::string error;
    ASSERT_TRUE(doc.applyUv(Document::UvOp::Box, 2.0f, &error)) << error;
    EXPECT_EQ(geometryOf(meshOf(doc, kCube)), geometryOf(cube)) << "the object's scale reaches the projection";
    EXPECT_EQ(geometryOf(meshOf(doc, kPlane)), geometryOf(plane));
    EXPECT_EQ(doc.undoStack.undoLabel(), "UV Mapping");
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(geometryOf(meshOf(doc, kCube)), cubeBefore);
    EXPECT_EQ(geometryOf(meshOf(doc, kPlane)), planeBefore);
    EXPECT_TRUE(doc.undoStack.undoLabel().empty()) << "both meshes in one step";
}

TEST(EditMode, ApplyUvInEditModeMapsSelectedFacesOrTheWholeMesh) {
    using Op = Document::UvOp;
    struct Case {
        Op op;
        std::function<void(Mesh&, const std::vector<uint32_t>&)> reference;
    };
    const glm::vec3 one(1.0f);
    const Case cases[] = {
        {Op::Box, [&](Mesh& m, const auto& f) { uv::projectBox(m, f, 0.5f, one); }},
        {Op::PlanarX, [&](Mesh& m, const auto& f) { uv::projectPlanar(m, f, uv::Axis::X, 0.5f, one); }},
        {Op::PlanarY, [&](Mesh& m, const auto& f) { uv::projectPlanar(m, f, uv::Axis::Y, 0.5f, one); }},
        {Op::PlanarZ, [&](Mesh& m, const auto& f) { uv::projectPlanar(m, f, uv::Axis::Z, 0.5f, one); }},
        {Op::Cylinder, [](Mesh& m, const auto& f) { uv::projectCylinder(m, f); }},
        {Op::Sphere, [](Mesh& m, const auto& f) { uv::projectSphere(m, f); }},
        {Op::ResetPerFace, [](Mesh& m, const auto& f) { uv::resetPerFace(m, f); }},
        {Op::FitToUnit, [](Mesh& m, const auto& f) { uv::fitToUnit(m, f); }},
        {Op::FlipU,
         [](Mesh& m, const auto& f) {
             uv::transform(m, f, {0, 0}, {-1, 1}, 0);
         }},
        {Op::FlipV,
         [](Mesh& m, const auto& f) {
             uv::transform(m, f, {0, 0}, {1, -1}, 0);
         }},
        {Op::Rotate90,
         [](Mesh& m, const auto& f) {
             uv::transform(m, f, {0, 0}, {1, 1}, 90);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.op));
        // Skewed UVs so that every operation changes something visible.
        Document doc;
        for (Face& face : meshOf(doc, kCube).faces)
            for (glm::vec2& uv : face.uvs)
                uv = uv * glm::vec2(3.0f, 0.5f) + glm::vec2(0.25f, 0.0f);
        ASSERT_TRUE(doc.enterEditMode());

        // No face fully selected (three of the top four vertices): the whole mesh.
        doc.selectVertices({2, 3, 6}, SelectOp::Replace);
        Mesh whole = meshOf(doc, kCube);
        c.reference(whole, {});
        ASSERT_TRUE(doc.applyUv(c.op, 0.5f));
        EXPECT_EQ(geometryOf(meshOf(doc, kCube)), geometryOf(whole));
        EXPECT_EQ(doc.undoStack.undoLabel(), "UV Mapping");
        ASSERT_TRUE(doc.undo());

        // The top face fully selected: only that face.
        doc.selectVertices({7}, SelectOp::Add);
        Mesh top = meshOf(doc, kCube);
        c.reference(top, {kTopFace});
        ASSERT_TRUE(doc.applyUv(c.op, 0.5f));
        EXPECT_EQ(geometryOf(meshOf(doc, kCube)), geometryOf(top));
        expectValid(meshOf(doc, kCube));
    }
}

TEST(EditMode, ApplyUvWithoutTargetIsRefused) {
    struct Case {
        const char* what;
        std::function<void(Document&)> setup;
        Document::UvOp op;
        const char* message;
    };
    const char* noTarget = "Select a mesh object (or faces in Edit Mode) first.";
    const Case cases[] = {
        {"only a light", [](Document& d) { d.selectObjects({kLight}, SelectOp::Replace); }, Document::UvOp::Box,
         noTarget},
        {"a mesh without faces",
         [](Document& d) {
             d.state.scene.find(kCube)->mesh->clear();
             d.selectObjects({kCube}, SelectOp::Replace);
         },
         Document::UvOp::Sphere, noTarget},
        {"Edit Mode on an object that lost its mesh",
         [](Document& d) {
             d.enterEditMode();
             d.selectObjects({kPlane}, SelectOp::Add);
             d.state.scene.find(kCube)->mesh.reset();
         },
         Document::UvOp::Box, noTarget},
        {"unknown operation", [](Document&) {}, static_cast<Document::UvOp>(11), "Unknown UV operation."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Document doc;
        c.setup(doc);
        const Geometry plane = geometryOf(meshOf(doc, kPlane));
        std::string error;
        EXPECT_FALSE(doc.applyUv(c.op, 1.0f, &error));
        EXPECT_EQ(error, c.message);
        EXPECT_EQ(geometryOf(meshOf(doc, kPlane)), plane);
        EXPECT_TRUE(doc.undoStack.undoLabel().empty());
        EXPECT_FALSE(doc.dirty);
    }
}

} // namespace
} // namespace orva
