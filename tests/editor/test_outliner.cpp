#include "editor/outliner.h"

#include <gtest/gtest.h>

#include "document/document.h"
#include "panel_test_harness.h"

namespace orva {
namespace {

// The default scene: Plane (1), Cube (2, selected and active), Spawn Point (3), Camera (4), Light (5),
// all roots, in an Outliner filling the left of the screen.
class OutlinerTest : public testing::Test {
protected:
    void SetUp() override {
        ui.draw = [this] {
            ImGui::SetNextWindowPos(ImVec2(0, 0));
            ImGui::SetNextWindowSize(ImVec2(360, 700));
            outliner.draw(nullptr, ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoCollapse);
        };
        ui.frame(2);
    }

    test::PanelHarness::IdPath row(uint32_t id) const {
        test::PanelHarness::IdPath path = test::PanelHarness::window("Outliner").str("##scene_root");
        for (uint32_t parent : ancestors(id))
            path = path.num(int(parent)).str("##node");
        return path.num(int(id));
    }
    std::vector<uint32_t> ancestors(uint32_t id) const {
        std::vector<uint32_t> chain;
        for (const SceneObject* o = document.state.scene.find(id); o && document.state.scene.find(o->parent);
             o = document.state.scene.find(o->parent))
            chain.insert(chain.begin(), o->parent);
        return chain;
    }
    // On the name, clear of the open/close arrow and of the visibility box.
    ImVec2 rowPoint(uint32_t id) { return ui.locate("Outliner", row(id).str("##node").id, 180.0f); }
    ImVec2 visibilityPoint(uint32_t id) { return ui.locate("Outliner", row(id).str("##node").str("##visible").id); }
    std::string name(uint32_t id) { return document.state.scene.find(id)->name; }

    test::PanelHarness ui;
    Document document;
    Outliner outliner{document};
};

TEST_F(OutlinerTest, ClicksReplaceAndModifierClicksToggle) {
    ui.click(rowPoint(1));
    EXPECT_EQ(document.state.selection.ids, std::vector<uint32_t>{1});
    EXPECT_EQ(document.state.selection.active, 1u);

    ui.modifier(ImGuiMod_Ctrl, true);
    ui.click(rowPoint(4));
    ui.modifier(ImGuiMod_Ctrl, false);
    EXPECT_EQ(document.state.selection.ids, (std::vector<uint32_t>{1, 4}));

    // The blank area below the tree empties the selection.
    ImGuiWindow* w = ImGui::FindWindowByName("Outliner");
    ui.click(ImVec2(w->InnerRect.Min.x + 50, w->InnerRect.Max.y - 20));
    EXPECT_TRUE(document.state.selection.ids.empty());
    EXPECT_EQ(document.state.selection.active, kInvalidObject);
    EXPECT_TRUE(document.undoStack.undoEntries.empty()) << "selection is not an undo step";
}

TEST_F(OutlinerTest, InEditModeTheEditedRowStaysAndAnotherRowLeavesEditMode) {
    ASSERT_TRUE(document.enterEditMode()); // the Cube
    ui.click(rowPoint(2));
    EXPECT_EQ(document.state.mode, InteractionMode::Edit);
    EXPECT_EQ(document.state.editObjectId, 2u);

    ui.click(rowPoint(1));
    EXPECT_EQ(document.state.mode, InteractionMode::Object);
    EXPECT_EQ(document.state.selection.ids, std::vector<uint32_t>{1});
    EXPECT_TRUE(document.state.vertexSelection.empty());
}

// Typing goes to the field only: "a" (which is also a shortcut key elsewhere) renames and does nothing else.
TEST_F(OutlinerTest, RenameFieldTakesTheTypingAndRecordsOneStep) {
    ui.doubleClick(rowPoint(2));
    ASSERT_EQ(outliner.renamingId, 2u);
    ui.frame(2);
    EXPECT_TRUE(ImGui::GetIO().WantTextInput) << "the editor's shortcuts must see that typing is going on";
    ui.type("a");
    EXPECT_EQ(name(2), "Cube") << "the name changes only when the rename is confirmed";
    ui.key(ImGuiKey_Enter);

    EXPECT_EQ(name(2), "a");
    EXPECT_EQ(outliner.renamingId, 0u);
    ASSERT_EQ(document.undoStack.undoEntries.size(), 1u);
    EXPECT_EQ(document.undoStack.undoLabel(), "Rename");
    EXPECT_EQ(document.state.scene.objects.size(), 5u);
    EXPECT_EQ(document.state.selection.ids, std::vector<uint32_t>{2});
    ASSERT_TRUE(document.undo());
    EXPECT_EQ(name(2), "Cube");
}

TEST_F(OutlinerTest, RenamesThatChangeNothingRecordNothing) {
    struct Case {
        const char* what;
        std::function<void(test::PanelHarness&)> input;
    };
    const Case cases[] = {
        {"Escape after typing",
         [](test::PanelHarness& ui) {
             ui.type("xyz");
             ui.key(ImGuiKey_Escape);
         }},
        {"empty name",
         [](test::PanelHarness& ui) {
             ui.key(ImGuiKey_Backspace);
             ui.key(ImGuiKey_Enter);
         }},
        {"same name",
         [](test::PanelHarness& ui) {
             ui.type("Cube");
             ui.key(ImGuiKey_Enter);
         }},
    };
    for (const Case& c : cases) {
        ui.doubleClick(rowPoint(2));
        ui.frame(2);
        c.input(ui);
        ui.frame();
        EXPECT_EQ(name(2), "Cube") << c.what;
        EXPECT_EQ(outliner.renamingId, 0u) << c.what;
        EXPECT_TRUE(document.undoStack.undoEntries.empty()) << c.what;
    }
}

TEST_F(OutlinerTest, DropReparentsKeepingTheWorldPlacementAndRefusesCycles) {
    Scene& scene = document.state.scene;
    scene.find(1)->transform.position = {2.0f, 1.0f, -3.0f};
    scene.find(1)->transform.rotationEulerDeg = {0.0f, 30.0f, 0.0f};
    scene.find(1)->transform.scale = glm::vec3(2.0f);
    scene.find(2)->transform.position = {1.0f, 0.5f, 0.0f};
    const glm::mat4 cubeWorld = scene.worldMatrix(2);

    ui.drag(rowPoint(2), rowPoint(1));
    ui.frame();
    ASSERT_EQ(scene.find(2)->parent, 1u);
    const glm::mat4 after = scene.worldMatrix(2);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(after[c][r], cubeWorld[c][r], 1e-4f) << c << "," << r;
    EXPECT_EQ(document.undoStack.undoLabel(), "Set Parent");
    const size_t steps = document.undoStack.undoEntries.size();

    // The Plane onto its own child: refused, nothing recorded.
    ui.drag(rowPoint(1), rowPoint(2));
    ui.frame();
    EXPECT_EQ(scene.find(1)->parent, kInvalidObject);
    EXPECT_EQ(scene.find(2)->parent, 1u);
    EXPECT_EQ(document.undoStack.undoEntries.size(), steps);

    // Onto the blank area: a root again, still in place.
    ImGuiWindow* w = ImGui::FindWindowByName("Outliner");
    ui.drag(rowPoint(2), ImVec2(w->InnerRect.Min.x + 60, w->InnerRect.Max.y - 30));
    ui.frame();
    EXPECT_EQ(scene.find(2)->parent, kInvalidObject);
    EXPECT_EQ(document.undoStack.undoLabel(), "Clear Parent");
    const glm::mat4 back = scene.worldMatrix(2);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(back[c][r], cubeWorld[c][r], 1e-4f) << c << "," << r;
}

TEST_F(OutlinerTest, VisibilityToggleIsUndoableAndShowsTheFlag) {
    document.state.scene.find(3)->visible = false;
    ui.frame();

    ui.click(visibilityPoint(3));
    EXPECT_TRUE(document.state.scene.find(3)->visible);
    EXPECT_EQ(document.undoStack.undoLabel(), "Show Object");

    ui.click(visibilityPoint(5));
    EXPECT_FALSE(document.state.scene.find(5)->visible);
    EXPECT_EQ(document.undoStack.undoLabel(), "Hide Object");
    EXPECT_EQ(document.undoStack.undoEntries.size(), 2u);
    EXPECT_EQ(document.state.selection.ids, std::vector<uint32_t>{2}) << "the box does not select its row";

    ASSERT_TRUE(document.undo());
    EXPECT_TRUE(document.state.scene.find(5)->visible);
    ASSERT_TRUE(document.undo());
    EXPECT_FALSE(document.state.scene.find(3)->visible);
}

TEST_F(OutlinerTest, ContextMenuDeletesExactlyThatObject) {
    document.selectObjects({1, 2, 4}, SelectOp::Replace);
    ui.click(rowPoint(4), ImGuiMouseButton_Right);
    ui.frame();
    // The popup's "Delete" item: found by sweeping the open popup window.
    ImGuiWindow* menu = nullptr;
    for (ImGuiWindow* w : GImGui->Windows)
        if ((w->Flags & ImGuiWindowFlags_Popup) && w->Active)
            menu = w;
    ASSERT_NE(menu, nullptr);
    const ImVec2 p = ui.locate(menu->Name, ImHashStr("Delete", 0, menu->ID));
    ui.click(p);
    ui.frame();
    EXPECT_EQ(document.state.scene.find(4), nullptr);
    EXPECT_NE(document.state.scene.find(1), nullptr);
    EXPECT_NE(document.state.scene.find(2), nullptr);
    EXPECT_EQ(document.state.scene.objects.size(), 4u);
    EXPECT_EQ(document.undoStack.undoLabel(), "Delete");
    EXPECT_EQ(outliner.pendingDelete, 0u);
}

} // namespace
} // namespace orva
