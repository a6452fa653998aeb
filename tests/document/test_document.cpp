#include "document/document.h"

#include "io/file_utils.h"
#include "support/temp_dir.h"

#include <cmath>

#include <gtest/gtest.h>

namespace orva {
namespace {

std::vector<std::string> names(const Document& doc) {
    std::vector<std::string> out;
    for (const auto& o : doc.state.scene.objects)
        out.push_back(o->name);
    return out;
}

uint32_t idOf(const Document& doc, const std::string& name) {
    for (const auto& o : doc.state.scene.objects)
        if (o->name == name)
            return o->id;
    ADD_FAILURE() << "no object named " << name;
    return 0;
}

void expectNear(const glm::vec3& a, const glm::vec3& b, float eps = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

TEST(Document, DefaultScene) {
    Document doc;
    const Scene& s = doc.state.scene;
    EXPECT_EQ(names(doc), (std::vector<std::string>{"Plane", "Cube", "Spawn Point", "Camera", "Light"}));
    for (uint32_t i = 0; i < 5; ++i)
        EXPECT_EQ(s.objects[i]->id, i + 1);
    ASSERT_EQ(s.materials.size(), 2u);
    EXPECT_EQ(s.materials[0].name, "Material");
    EXPECT_EQ(s.materials[1].name, "Ground");
    EXPECT_EQ(s.materials[1].baseColor, glm::vec4(0.2f, 0.26f, 0.18f, 1.0f));
    EXPECT_EQ(s.materials[1].roughness, 0.9f);
    EXPECT_EQ(s.objects[0]->material, 1);
    EXPECT_EQ(s.objects[0]->mesh->vertices[1].position, glm::vec3(10, 0, 10)) << "a 20 m plane";
    EXPECT_EQ(s.objects[1]->material, 0);
    EXPECT_EQ(s.objects[1]->transform.position, glm::vec3(0, 1, 0));
    EXPECT_EQ(s.objects[2]->transform.position, glm::vec3(0, 0, 7));
    EXPECT_EQ(s.objects[4]->intensity, 80.0f);
    EXPECT_EQ(s.objects[4]->lightType, LightType::Point);

    // The camera sits at its eye and its local -Z points at (0, 1, 0), +Y leaning up.
    const glm::mat4 m = s.objects[3]->transform.matrix();
    const glm::vec3 eye(7.36f, 5.96f, 6.93f);
    expectNear(glm::vec3(m[3]), eye);
    expectNear(glm::normalize(-glm::vec3(m[2])), glm::normalize(glm::vec3(0, 1, 0) - eye));
    EXPECT_GT(m[1].y, 0.0f);

    EXPECT_EQ(doc.state.selection.ids, std::vector<uint32_t>{2});
    EXPECT_EQ(doc.state.selection.active, 2u);
    EXPECT_TRUE(doc.undoStack.undoLabel().empty());
    EXPECT_FALSE(doc.dirty);
    EXPECT_EQ(doc.displayName(), "Untitled");
    EXPECT_EQ(doc.camera.target, glm::vec3(0, 1, 0));
    EXPECT_EQ(doc.camera.distance, 16.0f);
    EXPECT_EQ(doc.camera.yawDeg, 40.0f);
    EXPECT_EQ(doc.camera.pitchDeg, 26.0f);
}

TEST(Document, AddUndoRedoKeepsIds) {
    Document doc;
    SceneObject* cube = doc.addPrimitive(PrimitiveType::Cube);
    ASSERT_NE(cube, nullptr);
    EXPECT_EQ(cube->name, "Cube.001");
    EXPECT_EQ(cube->id, 6u);
    EXPECT_EQ(cube->material, 0);
    EXPECT_EQ(cube->mesh->faces.size(), 6u);
    EXPECT_EQ(doc.state.selection.ids, std::vector<uint32_t>{6});
    EXPECT_EQ(doc.undoStack.undoLabel(), "Add Cube");
    EXPECT_TRUE(doc.dirty);

    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(doc.state.scene.objects.size(), 5u);
    EXPECT_EQ(doc.state.selection.ids, std::vector<uint32_t>{2});
    EXPECT_EQ(doc.state.selection.active, 2u);
    ASSERT_TRUE(doc.redo());
    EXPECT_EQ(doc.state.scene.objects.back()->id, 6u);
    EXPECT_EQ(doc.state.scene.objects.back()->name, "Cube.001");
    EXPECT_EQ(doc.state.selection.active, 6u);
}

TEST(Document, AddedObjectsAndTheirLabels) {
    Document doc;
    SceneObject* spot = doc.addLight(LightType::Spot);
    EXPECT_EQ(spot->name, "Light.001");
    EXPECT_EQ(spot->intensity, 100.0f);
    EXPECT_EQ(doc.undoStack.undoLabel(), "Add Spot Light");
    expectNear(spot->transform.position, glm::vec3(3, 5, 3));

    SceneObject* sun = doc.addLight(LightType::Directional);
    EXPECT_EQ(sun->intensity, 3.0f);
    EXPECT_EQ(doc.undoStack.undoLabel(), "Add Directional Light");
    const glm::mat4 m = sun->transform.matrix();
    expectNear(glm::normalize(-glm::vec3(m[2])), glm::normalize(-glm::vec3(3, 6, 2)));

    SceneObject* point = doc.addLight(LightType::Point);
    EXPECT_EQ(point->intensity, 50.0f);
    EXPECT_EQ(point->transform.position, glm::vec3(0, 3, 0));
    EXPECT_EQ(doc.undoStack.undoLabel(), "Add Point Light");

    SceneObject* camera = doc.addCamera();
    EXPECT_EQ(camera->name, "Camera.001");
    expectNear(camera->transform.position, doc.camera.position());
    EXPECT_EQ(doc.undoStack.undoLabel(), "Add Camera");

    doc.camera.target = glm::vec3(2, 5, -3);
    SceneObject* spawn = doc.addSpawnPoint();
    EXPECT_EQ(spawn->transform.position, glm::vec3(2, 0, -3));
    EXPECT_EQ(spawn->transform.rotationEulerDeg, glm::vec3(0, doc.camera.yawDeg, 0));
    EXPECT_EQ(doc.undoStack.undoLabel(), "Add Spawn Point");
    EXPECT_EQ(doc.state.selection.ids, std::vector<uint32_t>{spawn->id});
}

TEST(Document, AddingLeavesEditMode) {
    Document doc;
    doc.state.mode = InteractionMode::Edit;
    doc.state.editObjectId = 2;
    doc.state.vertexSelection.assign(8, 1);
    doc.addPrimitive(PrimitiveType::Sphere);
    EXPECT_EQ(doc.state.mode, InteractionMode::Object);
    EXPECT_EQ(doc.state.editObjectId, 0u);
    EXPECT_TRUE(doc.state.vertexSelection.empty());
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(doc.state.mode, InteractionMode::Object) << "the snapshot is taken after leaving Edit Mode";
}

TEST(Document, ImportIsOneStepThatSelectsTheNewObjects) {
    Document doc;
    doc.state.mode = InteractionMode::Edit;
    doc.state.editObjectId = 2;
    doc.state.vertexSelection.assign(8, 1);
    io::ImportResult result;
    std::string error;
    ASSERT_TRUE(doc.importModel(std::string(ORVA_TEST_DATA_DIR) + "/import/two_materials.fbx", &result, &error))
        << error;
    EXPECT_EQ(doc.undoStack.undoEntries.size(), 1u);
    EXPECT_EQ(doc.undoStack.undoLabel(), "Import two_materials.fbx");
    EXPECT_TRUE(doc.dirty);
    EXPECT_EQ(doc.state.mode, InteractionMode::Object);
    EXPECT_TRUE(doc.state.vertexSelection.empty());
    ASSERT_EQ(result.objectIds.size(), 5u);
    EXPECT_EQ(result.objectIds.front(), 6u);
    EXPECT_EQ(doc.state.selection.ids, result.objectIds);
    EXPECT_EQ(doc.state.selection.active, result.objectIds.back());
    EXPECT_EQ(names(doc).size(), 10u);

    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(names(doc), (std::vector<std::string>{"Plane", "Cube", "Spawn Point", "Camera", "Light"}));
    EXPECT_EQ(doc.state.selection.ids, std::vector<uint32_t>{2});
    ASSERT_TRUE(doc.redo());
    EXPECT_EQ(doc.state.selection.ids, result.objectIds);
}

TEST(Document, FailedImportChangesNothing) {
    Document doc;
    doc.state.mode = InteractionMode::Edit;
    doc.state.editObjectId = 2;
    std::string error;
    EXPECT_FALSE(doc.importModel(std::string(ORVA_TEST_DATA_DIR) + "/import/camera_light_only.fbx", nullptr, &error));
    EXPECT_EQ(error, "camera_light_only.fbx contains no polygon meshes.");
    EXPECT_FALSE(doc.importModel("/nowhere/model.gltf", nullptr, &error));
    EXPECT_TRUE(doc.undoStack.undoEntries.empty());
    EXPECT_FALSE(doc.dirty);
    EXPECT_EQ(doc.state.mode, InteractionMode::Edit);
    EXPECT_EQ(names(doc).size(), 5u);
    EXPECT_EQ(doc.state.selection.ids, std::vector<uint32_t>{2});
}

// A scene whose ids are used up (read from a file holding id 0xFFFFFFFE) can make no object:
// the add and duplicate operations then refuse without an undo step.
TEST(Document, RefusesToAddWhenIdsAreUsedUp) {
    Document doc;
    doc.state.scene.nextId = 0xFFFFFFFFu;
    EXPECT_EQ(doc.addPrimitive(PrimitiveType::Cube), nullptr);
    EXPECT_EQ(doc.addCamera(), nullptr);
    EXPECT_EQ(doc.duplicateSelectedObjects(), 0u);
    EXPECT_TRUE(doc.undoStack.undoLabel().empty());
    EXPECT_FALSE(doc.dirty);
    EXPECT_EQ(doc.state.scene.objects.size(), 5u);
}

TEST(Document, DeleteRules) {
    Document doc;
    doc.state.mode = InteractionMode::Edit;
    EXPECT_EQ(doc.deleteSelectedObjects(), 0u);
    EXPECT_TRUE(doc.undoStack.undoLabel().empty());
    doc.state.mode = InteractionMode::Object;

    EXPECT_EQ(doc.deleteSelectedObjects(), 1u);
    EXPECT_EQ(doc.state.selection.active, 0u);
    EXPECT_TRUE(doc.state.selection.ids.empty());
    EXPECT_EQ(doc.undoStack.undoLabel(), "Delete");
    EXPECT_EQ(doc.deleteSelectedObjects(), 0u) << "nothing selected";
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(doc.state.scene.objects.size(), 5u);
}

TEST(Document, DeletingAParentKeepsTheChildInPlace) {
    Document doc;
    ASSERT_TRUE(doc.setParent(4, 2)); // Camera under Cube
    const glm::mat4 before = doc.state.scene.worldMatrix(4);
    doc.selectObjects({2}, SelectOp::Replace);
    EXPECT_EQ(doc.deleteSelectedObjects(), 1u);
    EXPECT_EQ(doc.state.scene.find(4)->parent, 0u);
    expectNear(glm::vec3(doc.state.scene.worldMatrix(4)[3]), glm::vec3(before[3]));
}

TEST(Document, DuplicateSelectsTheCopies) {
    Document doc;
    doc.selectObjects({1, 2}, SelectOp::Replace); // Cube active
    EXPECT_EQ(doc.duplicateSelectedObjects(), 2u);
    EXPECT_EQ(names(doc),
              (std::vector<std::string>{"Plane", "Plane.001", "Cube", "Cube.001", "Spawn Point", "Camera", "Light"}));
    EXPECT_EQ(doc.state.selection.ids, (std::vector<uint32_t>{idOf(doc, "Plane.001"), idOf(doc, "Cube.001")}));
    EXPECT_EQ(doc.state.selection.active, idOf(doc, "Cube.001"));
    EXPECT_EQ(doc.undoStack.undoLabel(), "Duplicate");

    Document other;
    other.selectObjects({2, 1}, SelectOp::Replace);
    other.selectObjects({2}, SelectOp::Add); // Cube active again, order [Cube, Plane]
    EXPECT_EQ(other.duplicateSelectedObjects(), 2u);
    EXPECT_EQ(other.state.selection.active, idOf(other, "Cube.001"));

    doc.state.mode = InteractionMode::Edit;
    EXPECT_EQ(doc.duplicateSelectedObjects(), 0u);
}

TEST(Document, DuplicateLeavesChildrenBehind) {
    Document doc;
    ASSERT_TRUE(doc.setParent(4, 2));
    doc.selectObjects({2}, SelectOp::Replace);
    EXPECT_EQ(doc.duplicateSelectedObjects(), 1u);
    EXPECT_EQ(doc.state.scene.childrenOf(idOf(doc, "Cube.001")).size(), 0u);
    EXPECT_EQ(doc.state.scene.childrenOf(2), std::vector<uint32_t>{4});
}

TEST(Document, SelectionOperations) {
    Document doc;
    doc.selectObjects({2, 1}, SelectOp::Replace); // Plane active
    doc.selectObjects({2}, SelectOp::Toggle);
    EXPECT_EQ(doc.state.selection.ids, (std::vector<uint32_t>{2, 1}));
    EXPECT_EQ(doc.state.selection.active, 2u) << "a selected but inactive object becomes active";
    doc.selectObjects({2}, SelectOp::Toggle);
    EXPECT_EQ(doc.state.selection.ids, std::vector<uint32_t>{1});
    EXPECT_EQ(doc.state.selection.active, 1u) << "deselecting the active object activates the last one left";
    doc.selectObjects({3}, SelectOp::Toggle);
    EXPECT_EQ(doc.state.selection.ids, (std::vector<uint32_t>{1, 3}));
    EXPECT_EQ(doc.state.selection.active, 3u);

    doc.selectObjects({3, 99}, SelectOp::Remove);
    EXPECT_EQ(doc.state.selection.ids, std::vector<uint32_t>{1});
    EXPECT_EQ(doc.state.selection.active, 1u);
    doc.selectObjects({1}, SelectOp::Remove);
    EXPECT_EQ(doc.state.selection.active, 0u);

    doc.selectObjects({99, 4, 0}, SelectOp::Replace);
    EXPECT_EQ(doc.state.selection.ids, std::vector<uint32_t>{4}) << "ids naming no object are skipped";
    doc.selectObjects({5, 4}, SelectOp::Add);
    EXPECT_EQ(doc.state.selection.ids, (std::vector<uint32_t>{4, 5}));
    EXPECT_EQ(doc.state.selection.active, 4u);

    doc.selectAllObjects();
    EXPECT_EQ(doc.state.selection.ids, (std::vector<uint32_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(doc.state.selection.active, 4u) << "the active object stays active";
    doc.selectObjects({}, SelectOp::Replace);
    doc.selectAllObjects();
    EXPECT_EQ(doc.state.selection.active, 5u);
    EXPECT_TRUE(doc.undoStack.undoLabel().empty()) << "selection changes are not undo steps";
}

TEST(Document, ParentingRefusals) {
    Document doc;
    EXPECT_FALSE(doc.setParent(2, 2));
    EXPECT_FALSE(doc.setParent(99, 2));
    EXPECT_FALSE(doc.setParent(2, 99)) << "a missing parent is refused before any undo step";
    EXPECT_FALSE(doc.setParent(2, 0)) << "already at the top level";
    EXPECT_TRUE(doc.undoStack.undoLabel().empty());

    const glm::mat4 world = doc.state.scene.worldMatrix(4);
    ASSERT_TRUE(doc.setParent(4, 2));
    EXPECT_EQ(doc.undoStack.undoLabel(), "Set Parent");
    expectNear(glm::vec3(doc.state.scene.worldMatrix(4)[3]), glm::vec3(world[3]));
    EXPECT_FALSE(doc.setParent(4, 2)) << "already its parent";
    EXPECT_FALSE(doc.setParent(2, 4)) << "under its own child";
    EXPECT_EQ(doc.undoStack.undoEntries.size(), 1u);
    ASSERT_TRUE(doc.setParent(4, 0));
    EXPECT_EQ(doc.undoStack.undoLabel(), "Clear Parent");
}

TEST(Document, InteractionsRecordOneStepOrNone) {
    Document doc;
    doc.beginInteraction();
    doc.state.scene.find(2)->transform.position.x = 5;
    doc.beginInteraction(); // nested: ignored
    EXPECT_FALSE(doc.undo());
    EXPECT_FALSE(doc.redo());
    doc.state.scene.find(2)->transform.position.x = 6;
    doc.endInteraction("Move", true);
    EXPECT_FALSE(doc.interacting);
    EXPECT_EQ(doc.undoStack.undoEntries.size(), 1u);
    EXPECT_EQ(doc.undoStack.undoLabel(), "Move");
    EXPECT_TRUE(doc.dirty);
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(doc.state.scene.find(2)->transform.position.x, 0.0f) << "the state from the first begin";

    doc.beginInteraction();
    doc.endInteraction("Nothing", false);
    EXPECT_EQ(doc.undoStack.undoEntries.size(), 0u);
    EXPECT_EQ(doc.undoStack.redoLabel(), "Move") << "an unchanged interaction keeps the redo branch";
    doc.endInteraction("Stray", true); // none open: nothing
    EXPECT_EQ(doc.undoStack.undoEntries.size(), 0u);
}

TEST(Document, ActiveMaterialIndex) {
    Document doc;
    EXPECT_EQ(doc.activeMaterialIndex(false), 0);
    doc.state.scene.find(2)->material = -1;
    EXPECT_EQ(doc.activeMaterialIndex(false), -1);
    EXPECT_TRUE(doc.undoStack.undoLabel().empty());
    EXPECT_EQ(doc.activeMaterialIndex(true), 2);
    EXPECT_EQ(doc.state.scene.materials[2].name, "Cube Material");
    EXPECT_EQ(doc.state.scene.materials[2].roughness, 0.5f);
    EXPECT_EQ(doc.undoStack.undoEntries.size(), 1u);
    EXPECT_EQ(doc.undoStack.undoLabel(), "New Material");
    EXPECT_EQ(doc.activeMaterialIndex(true), 2) << "now valid: nothing new";
    EXPECT_EQ(doc.undoStack.undoEntries.size(), 1u);

    doc.selectObjects({4}, SelectOp::Replace);
    EXPECT_EQ(doc.activeMaterialIndex(true), -1) << "a camera has no material";
    doc.selectObjects({}, SelectOp::Replace);
    EXPECT_EQ(doc.activeMaterialIndex(true), -1);
}

TEST(Document, SetMaterialTextureProjectsMeshesWithoutUVs) {
    Document doc;
    auto image = makeTextureData("image/png", {1, 2, 3}, 1, 1);
    const uint64_t planeRevision = doc.state.scene.find(1)->mesh->revision;
    ASSERT_TRUE(doc.setMaterialTexture(1, image, "grass.png"));
    EXPECT_EQ(doc.undoStack.undoLabel(), "Set Texture");
    EXPECT_EQ(doc.state.scene.materials[1].baseColorTexture, 0);
    EXPECT_EQ(doc.state.scene.find(1)->mesh->revision, planeRevision) << "the Plane has UVs: not re-projected";

    // A Cube without UVs on material 0 gets a box projection.
    Mesh& cube = *doc.state.scene.find(2)->mesh;
    for (Face& f : cube.faces)
        f.uvs.clear();
    ASSERT_FALSE(cube.hasUVs());
    ASSERT_TRUE(doc.setMaterialTexture(0, image, "grass.png"));
    EXPECT_TRUE(doc.state.scene.find(2)->mesh->hasUVs());
    EXPECT_EQ(doc.state.scene.textures.size(), 1u) << "the same image data is reused";
    EXPECT_EQ(doc.state.scene.materials[0].baseColorTexture, 0);

    ASSERT_TRUE(doc.setMaterialTexture(0, nullptr, ""));
    EXPECT_EQ(doc.undoStack.undoLabel(), "Remove Texture");
    EXPECT_EQ(doc.state.scene.materials[0].baseColorTexture, -1);
    EXPECT_EQ(doc.state.scene.textures.size(), 1u) << "the texture entry stays";
    const size_t steps = doc.undoStack.undoEntries.size();
    EXPECT_TRUE(doc.setMaterialTexture(0, nullptr, "")) << "nothing to remove";
    EXPECT_EQ(doc.undoStack.undoEntries.size(), steps);

    EXPECT_FALSE(doc.setMaterialTexture(2, image, "x"));
    EXPECT_FALSE(doc.setMaterialTexture(-1, image, "x"));
    EXPECT_EQ(doc.undoStack.undoEntries.size(), steps);
}

class DocumentFiles : public test::TempDirTest {};

TEST_F(DocumentFiles, SaveAndOpen) {
    Document doc;
    doc.addPrimitive(PrimitiveType::Cone);
    doc.camera.orbit(10, 5);
    doc.camera.orthographic = true;
    const glm::vec3 eye = doc.camera.position();
    std::string error;
    ASSERT_TRUE(doc.save(path("level.orva"), &error)) << error;
    EXPECT_FALSE(doc.dirty);
    EXPECT_EQ(doc.displayName(), "level.orva");
    EXPECT_EQ(doc.undoStack.undoEntries.size(), 1u) << "saving keeps the history";

    Document other;
    other.addPrimitive(PrimitiveType::Sphere);
    std::vector<std::string> warnings;
    ASSERT_TRUE(other.open(path("level.orva"), &error, &warnings)) << error;
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(names(other), names(doc));
    EXPECT_TRUE(other.state.selection.ids.empty());
    EXPECT_EQ(other.state.selection.active, 0u);
    EXPECT_TRUE(other.undoStack.undoLabel().empty());
    EXPECT_FALSE(other.dirty);
    EXPECT_EQ(other.path, path("level.orva"));
    expectNear(other.camera.position(), eye);
    EXPECT_TRUE(other.camera.orthographic);
    // New objects continue after the highest id read.
    EXPECT_EQ(other.addSpawnPoint()->id, 7u);
}

TEST_F(DocumentFiles, FailedOpenChangesNothing) {
    Document doc;
    doc.addPrimitive(PrimitiveType::Cube);
    ASSERT_TRUE(doc.save(path("keep.orva")));
    doc.addPrimitive(PrimitiveType::Plane);
    const std::string bad = path("bad.orva");
    const std::string text = R"({"format": "ORVA", "formatVersion": {"major": 1},
        "objects": [{"id": 7, "type": "spawn"}, {"id": 7, "type": "spawn"}]})";
    ASSERT_TRUE(io::writeFileAtomic(bad, text.data(), text.size()));

    for (const std::string& file : {bad, path("missing.orva")}) {
        std::string error;
        EXPECT_FALSE(doc.open(file, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(doc.state.scene.objects.size(), 7u);
        EXPECT_EQ(doc.path, path("keep.orva"));
        EXPECT_EQ(doc.undoStack.undoEntries.size(), 2u);
        EXPECT_EQ(doc.undoStack.undoLabel(), "Add Plane");
        EXPECT_TRUE(doc.dirty);
    }
}

// A camera state the camera's own controls never reach (distance 0, pitch 90) is held to their
// ranges on opening, so the view matrix stays usable.
TEST_F(DocumentFiles, OpenKeepsTheViewCameraUsable) {
    const std::string text = R"({"format": "ORVA", "formatVersion": {"major": 1},
        "viewport": {"camera": {"distance": 0, "pitchDeg": 90, "yawDeg": 400}}})";
    ASSERT_TRUE(io::writeFileAtomic(path("odd.orva"), text.data(), text.size()));
    Document doc;
    ASSERT_TRUE(doc.open(path("odd.orva")));
    EXPECT_EQ(doc.camera.distance, 0.01f);
    EXPECT_EQ(doc.camera.pitchDeg, 89.5f);
    EXPECT_EQ(doc.camera.yawDeg, 400.0f);
    EXPECT_TRUE(std::isfinite(doc.camera.view()[0][0]));
}

TEST_F(DocumentFiles, FailedSaveChangesNothing) {
    Document doc;
    doc.addPrimitive(PrimitiveType::Cube);
    std::string error;
    EXPECT_FALSE(doc.save(path("no/such/folder/x.orva"), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(doc.path.empty());
    EXPECT_TRUE(doc.dirty);
}

TEST(Document, NewSceneStartsOver) {
    Document doc;
    doc.addPrimitive(PrimitiveType::Cube);
    doc.path = "/tmp/x.orva";
    doc.beginInteraction();
    doc.newScene();
    EXPECT_EQ(doc.state.scene.objects.size(), 5u);
    EXPECT_TRUE(doc.undoStack.undoLabel().empty());
    EXPECT_TRUE(doc.path.empty());
    EXPECT_FALSE(doc.dirty);
    EXPECT_FALSE(doc.interacting);
    EXPECT_EQ(doc.state.scene.nextId, 6u);
}

} // namespace
} // namespace orva
