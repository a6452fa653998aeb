#include "editor/inspector.h"

#include <gtest/gtest.h>

#include "document/document.h"
#include "editor/outliner.h"
#include "editor/track_edit.h"
#include "panel_test_harness.h"
#include "render/renderer.h"

namespace orva {
namespace {

// The Properties panel (beside an Outliner) over the default scene (Cube 2 selected and active). The renderer is never
// initialised: there is no GL here, and the panel must not ask it for texture handles then.
class InspectorTest : public testing::Test {
protected:
    void SetUp() override {
        ui.draw = [this] {
            // The editor's order: the Outliner before the Properties.
            ImGui::SetNextWindowPos(ImVec2(440, 0));
            ImGui::SetNextWindowSize(ImVec2(360, 600));
            outliner.draw(nullptr, ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoCollapse);
            ImGui::SetNextWindowPos(ImVec2(0, 0));
            ImGui::SetNextWindowSize(ImVec2(420, 880));
            inspector.draw(nullptr, ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoCollapse);
        };
        ui.frame(2);
    }
    void show(uint32_t id) {
        document.selectObjects({id}, SelectOp::Replace);
        ui.frame(2);
    }
    test::PanelHarness::IdPath panel() const { return test::PanelHarness::window("Properties"); }
    // The first field of a multi-float widget ("##location" and the like), or a one-float widget.
    ImGuiID field(const char* label, int component = -1) const {
        if (component < 0)
            return panel().str(label).id;
        return panel().str(label).num(component).str("").id;
    }
    ImVec2 at(ImGuiID id) { return ui.locate("Properties", id); }
    size_t steps() const { return document.undoStack.undoEntries.size(); }

    test::PanelHarness ui;
    Document document;
    Renderer renderer;
    Inspector inspector{document, renderer};
    Outliner outliner{document};
};

TEST_F(InspectorTest, LocationDragIsOneStepAndAClickIsNone) {
    SceneObject& cube = *document.state.scene.find(2);
    const glm::vec3 start = cube.transform.position;
    const ImVec2 x = at(field("##location", 0));

    ui.click(x);
    EXPECT_EQ(steps(), 0u) << "a click without movement records nothing";
    EXPECT_FALSE(document.interacting);

    ui.drag(x, ImVec2(x.x + 150, x.y), 15);
    ui.frame();
    EXPECT_GT(cube.transform.position.x, start.x + 0.5f);
    EXPECT_EQ(cube.transform.position.y, start.y);
    ASSERT_EQ(steps(), 1u);
    EXPECT_EQ(document.undoStack.undoLabel(), "Edit Location");
    EXPECT_FALSE(document.interacting);
    ASSERT_TRUE(document.undo());
    EXPECT_EQ(document.state.scene.find(2)->transform.position, start);
}

// A drag whose widget disappears mid-way (the active object changed under it) must not leave the
// document inside an interaction, where undo is refused.
TEST_F(InspectorTest, AVanishedDragStillEndsItsStep) {
    const ImVec2 x = at(field("##location", 0));
    ui.moveTo(x);
    ui.button(ImGuiMouseButton_Left, true);
    ui.moveTo(ImVec2(x.x + 40, x.y));
    ui.moveTo(ImVec2(x.x + 80, x.y));
    ASSERT_TRUE(document.interacting);
    document.state.selection.clear(); // the panel now shows nothing
    ui.frame(3);
    ui.button(ImGuiMouseButton_Left, false);
    EXPECT_FALSE(document.interacting);
    ASSERT_EQ(steps(), 1u);
    EXPECT_EQ(document.undoStack.undoLabel(), "Edit Location");
    EXPECT_TRUE(document.undo());
}

TEST_F(InspectorTest, LightTypeSwitchIsOneStep) {
    show(5);
    SceneObject& light = *document.state.scene.find(5);
    const LightType before = light.lightType;
    const LightType target = before == LightType::Spot ? LightType::Point : LightType::Spot;

    ui.click(at(field("##lighttype")));
    ui.frame();
    ImGuiWindow* combo = nullptr;
    for (ImGuiWindow* w : GImGui->Windows)
        if ((w->Flags & ImGuiWindowFlags_Popup) && w->Active)
            combo = w;
    ASSERT_NE(combo, nullptr);
    ui.click(ui.locate(combo->Name, ImHashStr(lightTypeName(target), 0, combo->ID)));
    ui.frame();

    EXPECT_EQ(light.lightType, target);
    ASSERT_EQ(steps(), 1u);
    EXPECT_EQ(document.undoStack.undoLabel(), "Change Light Type");
    ASSERT_TRUE(document.undo());
    EXPECT_EQ(document.state.scene.find(5)->lightType, before);
}

TEST_F(InspectorTest, BaseColorDragIsOneStepOnTheMaterial) {
    const int index = document.state.scene.find(2)->material;
    ASSERT_GE(index, 0);
    const glm::vec4 before = document.state.scene.materials[size_t(index)].baseColor;
    // The colour edit's red field.
    const ImVec2 r = at(panel().str("##basecolor").str("##X").id);
    ui.drag(r, ImVec2(r.x - 100, r.y), 10);
    ui.frame();
    const glm::vec4 after = document.state.scene.materials[size_t(index)].baseColor;
    EXPECT_LT(after.r, before.r);
    EXPECT_EQ(after.g, before.g);
    ASSERT_EQ(steps(), 1u);
    EXPECT_EQ(document.undoStack.undoLabel(), "Edit Base Color");
}

TEST_F(InspectorTest, NewMaterialWithoutOneIsTheDefaultNumberedFromTheCount) {
    Scene& scene = document.state.scene;
    scene.materials.clear();
    scene.find(2)->material = -1;
    ui.frame();
    ui.click(at(panel().str("New").id));
    ASSERT_EQ(scene.materials.size(), 1u);
    EXPECT_EQ(scene.materials[0].name, "Material.000");
    EXPECT_EQ(scene.materials[0].baseColor, glm::vec4(0.8f, 0.8f, 0.8f, 1.0f));
    EXPECT_EQ(scene.materials[0].roughness, 0.5f);
    EXPECT_EQ(scene.find(2)->material, 0);
    EXPECT_EQ(document.undoStack.undoLabel(), "New Material");
}

// Without GL the thumbnail is an empty square: the panel must not ask the uninitialised renderer.
TEST_F(InspectorTest, CheckerTexturePlacementAndLoadRequest) {
    const int index = document.state.scene.find(2)->material;
    ASSERT_GE(index, 0);
    int requested = -2;
    inspector.requestTexture = [&](int materialIndex) { requested = materialIndex; };
    ui.click(at(panel().str("Load...").id));
    EXPECT_EQ(requested, index);
    EXPECT_EQ(steps(), 0u);

    ui.click(at(panel().str("Checker").id));
    const Material& material = document.state.scene.materials[size_t(index)];
    ASSERT_GE(material.baseColorTexture, 0);
    EXPECT_EQ(document.state.scene.textures[size_t(material.baseColorTexture)].name, "Checker");
    EXPECT_EQ(document.undoStack.undoLabel(), "Set Texture");
    EXPECT_TRUE(renderer.textures.empty());

    const ImVec2 tiling = at(field("##uvscale", 0));
    ui.drag(tiling, ImVec2(tiling.x + 80, tiling.y));
    EXPECT_GT(material.uvScale.x, 1.2f);
    EXPECT_EQ(material.uvScale.y, 1.0f);
    EXPECT_EQ(document.undoStack.undoLabel(), "Edit Texture Tiling");
    ui.click(at(panel().str("Reset texture placement").id));
    EXPECT_EQ(material.uvScale, glm::vec2(1.0f));
    EXPECT_EQ(document.undoStack.undoLabel(), "Reset Texture Placement");
    EXPECT_EQ(steps(), 3u);

    ui.click(at(panel().str("Remove").id));
    EXPECT_EQ(material.baseColorTexture, -1);
    EXPECT_EQ(document.undoStack.undoLabel(), "Remove Texture");
}

TEST_F(InspectorTest, SpotConesStayOrderedAndBounded) {
    show(5);
    SceneObject& light = *document.state.scene.find(5);
    light.lightType = LightType::Spot;
    light.innerConeDeg = 10.0f;
    light.outerConeDeg = 30.0f;
    ui.frame(2);
    const ImVec2 inner = at(field("##inner"));
    ui.drag(inner, ImVec2(inner.x + 400, inner.y));
    EXPECT_LE(light.innerConeDeg, light.outerConeDeg);
    EXPECT_EQ(light.outerConeDeg, 30.0f);
    const ImVec2 outer = at(field("##outer"));
    ui.drag(outer, ImVec2(outer.x + 400, outer.y));
    EXPECT_LE(light.outerConeDeg, 90.0f);
    EXPECT_EQ(steps(), 2u);
    EXPECT_EQ(document.undoStack.undoLabel(), "Edit Spot Cone");
}

TEST_F(InspectorTest, NameFieldRenamesOnEnterOnly) {
    ui.click(at(field("##name")));
    ui.key(ImGuiKey_End);
    ui.type("X");
    EXPECT_EQ(document.state.scene.find(2)->name, "Cube");
    ui.key(ImGuiKey_Enter);
    EXPECT_EQ(document.state.scene.find(2)->name, "CubeX");
    EXPECT_EQ(steps(), 1u);
    EXPECT_EQ(document.undoStack.undoLabel(), "Rename");
}

// Typing a name and then clicking another object in the Outliner: the panel loses focus and shows the
// other object in the same frame, but the typed name belongs to the first one.
TEST_F(InspectorTest, TypedNameGoesToItsObjectWhenTheSelectionMovesOn) {
    ui.click(at(field("##name")));
    ui.key(ImGuiKey_End);
    ui.type("Y");
    const ImGuiID planeRow = test::PanelHarness::window("Outliner").str("##scene_root").num(1).str("##node").id;
    ui.click(ui.locate("Outliner", planeRow, 180.0f));
    ui.frame(2);
    EXPECT_EQ(document.state.selection.active, 1u);
    EXPECT_EQ(document.state.scene.find(2)->name, "CubeY");
    EXPECT_EQ(document.state.scene.find(1)->name, "Plane");
    EXPECT_EQ(inspector.nameBuffer, "Plane");
    EXPECT_EQ(document.undoStack.undoLabel(), "Rename");
}

TEST_F(InspectorTest, MedianDragMovesTheSelectedVerticesInOneStep) {
    ASSERT_TRUE(document.enterEditMode());
    document.selectVertices({0, 1}, SelectOp::Replace);
    ui.frame(2);
    const Mesh& mesh = *document.state.scene.find(2)->mesh;
    const std::vector<Vertex> before = mesh.vertices;
    const uint64_t revision = mesh.revision;
    const ImVec2 x = at(field("##median", 0));
    ui.drag(x, ImVec2(x.x + 100, x.y), 10);
    ui.frame();
    const float dx = mesh.vertices[0].position.x - before[0].position.x;
    EXPECT_GT(dx, 0.3f);
    EXPECT_NEAR(mesh.vertices[1].position.x - before[1].position.x, dx, 1e-5f);
    for (size_t i = 2; i < before.size(); ++i)
        EXPECT_EQ(mesh.vertices[i].position, before[i].position) << "vertex " << i;
    EXPECT_GT(mesh.revision, revision);
    ASSERT_EQ(steps(), 1u);
    EXPECT_EQ(document.undoStack.undoLabel(), "Move Vertices");
}

// A bare widget: the contract of trackEdit without the panels around it.
TEST(TrackEdit, OneStepPerDragNoneWithoutChangeAndOneForEachFieldOfAGroup) {
    test::PanelHarness ui;
    Document document;
    glm::vec3 value(0.0f);
    ui.draw = [&] {
        ImGui::SetNextWindowPos(ImVec2(0, 0));
        ImGui::SetNextWindowSize(ImVec2(500, 200));
        ImGui::Begin("Probe");
        ImGui::DragFloat3("##v", &value.x, 0.01f);
        ui::trackEdit(document, "Edit Value");
        ImGui::End();
    };
    ui.frame(2);
    const auto base = test::PanelHarness::window("Probe").str("##v");
    const ImVec2 x = ui.locate("Probe", base.num(0).str("").id);

    ui.click(x);
    EXPECT_EQ(document.undoStack.undoEntries.size(), 0u);
    ui.drag(x, ImVec2(x.x + 60, x.y));
    EXPECT_EQ(document.undoStack.undoEntries.size(), 1u);
    EXPECT_NE(value.x, 0.0f);

    // Typing into X, then pressing straight on Y and dragging it: ImGui hands activity from one field
    // of the group to the other in one frame. Both edits must become undo steps of their own.
    value = glm::vec3(0.0f);
    const ImVec2 y = ui.locate("Probe", base.num(1).str("").id);
    ui.doubleClick(x); // text input mode
    ui.frame();
    ui.modifier(ImGuiMod_Ctrl, true);
    ui.key(ImGuiKey_A);
    ui.modifier(ImGuiMod_Ctrl, false);
    ui.type("5");
    ui.moveTo(y);
    ui.button(ImGuiMouseButton_Left, true);
    ui.moveTo(ImVec2(y.x + 30, y.y));
    ui.moveTo(ImVec2(y.x + 60, y.y));
    ui.button(ImGuiMouseButton_Left, false);
    ui.frame(2);
    EXPECT_EQ(value.x, 5.0f);
    EXPECT_NE(value.y, 0.0f);
    EXPECT_FALSE(document.interacting);
    EXPECT_EQ(document.undoStack.undoEntries.size(), 3u);
}

} // namespace
} // namespace orva
