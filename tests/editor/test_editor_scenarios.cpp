// The editor driven as a user drives it: mouse clicks on menus, tabs and buttons, and keys, on the
// real Editor in a hidden window (Xvfb in the test script).
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <string>

#include <imgui.h>
#include <imgui_internal.h>
#include <misc/cpp/imgui_stdlib.h>

#include "editor/editor_harness.h"
#include "editor/uv_editor.h"
#include "io/file_utils.h"
#include "support/temp_dir.h"

namespace orva::test {
namespace {

const char* const kPanels[] = {ui::kToolsWindow, ui::kViewportWindow, ui::kOutlinerWindow, ui::kPropertiesWindow,
                               ui::kExplorerWindow};

class EditorScenario : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        ASSERT_TRUE(h.ok()) << h.error();
        h.frame(2);
    }

    size_t objectCount() { return h.document().state.scene.objects.size(); }
    const std::vector<uint32_t>& selection() { return h.document().state.selection.ids; }

    EditorHarness h;
};

std::string text(const ImRect& r) {
    char buf[96];
    std::snprintf(buf, sizeof(buf), "(%g, %g) %g x %g", r.Min.x, r.Min.y, r.GetWidth(), r.GetHeight());
    return buf;
}

// [SECTION] Layout

TEST_F(EditorScenario, DefaultLayoutPlacesTheSixWindows) {
    // Between the menu bar and the status bar: 1440 x 900 minus two bars of one frame height.
    const float bar = ImGui::GetFrameHeight();
    ImRect tools, viewport, outliner, properties, explorer;
    ASSERT_TRUE(h.windowRect(ui::kToolsWindow, &tools));
    ASSERT_TRUE(h.windowRect(ui::kViewportWindow, &viewport));
    ASSERT_TRUE(h.windowRect(ui::kOutlinerWindow, &outliner));
    ASSERT_TRUE(h.windowRect(ui::kPropertiesWindow, &properties));
    ASSERT_TRUE(h.windowRect(ui::kExplorerWindow, &explorer));
    const float top = bar, bottom = 900.0f - bar;

    // Tools on the left over the whole height, 0.17 of the width.
    EXPECT_EQ(tools.Min.x, 0.0f);
    EXPECT_EQ(tools.Min.y, top);
    EXPECT_EQ(tools.Max.y, bottom);
    EXPECT_NEAR(tools.GetWidth(), 0.17f * 1438.0f, 1.0f);
    // The right column: 0.26 of the rest, Outliner (under its tab strip) above Properties.
    EXPECT_EQ(outliner.Max.x, 1440.0f);
    EXPECT_NEAR(outliner.GetWidth(), 0.26f * (1440.0f - tools.GetWidth() - 4.0f), 1.0f);
    EXPECT_EQ(properties.Max.y, bottom);
    EXPECT_NEAR(properties.Min.y - top, 0.38f * (bottom - top - 2.0f) + 2.0f, 1.0f);
    // The Viewport in the centre over the Explorer (0.22 of the height).
    EXPECT_GT(viewport.Min.x, tools.Max.x);
    EXPECT_LT(viewport.Max.x, outliner.Min.x);
    EXPECT_EQ(viewport.Min.y, top);
    EXPECT_EQ(explorer.Max.y, bottom);
    EXPECT_NEAR(explorer.GetHeight(), 0.22f * (bottom - top - 2.0f), 1.0f);
    EXPECT_EQ(explorer.Min.x, viewport.Min.x);
    EXPECT_EQ(explorer.Max.x, viewport.Max.x);

    // The UV Editor is a tab behind the Outliner: both tabs show, only the Outliner is drawn.
    const UiItem* outlinerTab = h.findTab(ui::kOutlinerWindow);
    const UiItem* uvTab = h.findTab(ui::kUvEditorWindow);
    ASSERT_TRUE(outlinerTab && uvTab);
    EXPECT_LT(outlinerTab->rect.Min.x, uvTab->rect.Min.x);
    EXPECT_LT(uvTab->rect.Max.y, outliner.Min.y + 1.0f) << "the tabs sit above the Outliner";
    EXPECT_FALSE(h.windowRect(ui::kUvEditorWindow, nullptr));

    // No two panels overlap.
    ImRect rects[] = {tools, viewport, outliner, properties, explorer};
    for (size_t i = 0; i < std::size(rects); ++i)
        for (size_t j = i + 1; j < std::size(rects); ++j)
            EXPECT_FALSE(rects[i].Overlaps(rects[j]))
                << kPanels[i] << " " << text(rects[i]) << " and " << kPanels[j] << " " << text(rects[j]);
}

TEST_F(EditorScenario, UvTabShowsTheUvEditorInTheOutlinersPlace) {
    ImRect outliner;
    ASSERT_TRUE(h.windowRect(ui::kOutlinerWindow, &outliner));
    ASSERT_TRUE(h.clickItem(ui::kUvEditorWindow));
    ImRect uv;
    ASSERT_TRUE(h.windowRect(ui::kUvEditorWindow, &uv));
    EXPECT_EQ(text(uv), text(outliner));
    EXPECT_FALSE(h.windowRect(ui::kOutlinerWindow, nullptr));
}

TEST_F(EditorScenario, ClosingAPanelClearsItsFlagAndResetLayoutBringsItBack) {
    // The close button of the Explorer's title bar.
    ImGuiWindow* explorer = ImGui::FindWindowByName(ui::kExplorerWindow);
    ASSERT_NE(explorer, nullptr);
    const UiItem* close = h.findId(ImHashStr("#CLOSE", 0, explorer->ID));
    ASSERT_NE(close, nullptr);
    h.click(close->rect.GetCenter());
    EXPECT_FALSE(h.editor().showExplorer);
    EXPECT_FALSE(h.windowRect(ui::kExplorerWindow, nullptr));
    ImRect viewport;
    ASSERT_TRUE(h.windowRect(ui::kViewportWindow, &viewport));
    EXPECT_EQ(viewport.Max.y, 900.0f - ImGui::GetFrameHeight()) << "the Viewport takes the Explorer's space";

    // A dragged splitter and a closed panel: View > Reset Layout puts everything back.
    ImRect tools;
    ASSERT_TRUE(h.windowRect(ui::kToolsWindow, &tools));
    h.drag(ImVec2(tools.Max.x + 1.0f, 300.0f), ImVec2(tools.Max.x + 101.0f, 300.0f));
    ImRect wider;
    ASSERT_TRUE(h.windowRect(ui::kToolsWindow, &wider));
    EXPECT_EQ(wider.GetWidth(), tools.GetWidth() + 100.0f);

    ASSERT_TRUE(h.clickMenu({"View", "Reset Layout"}));
    EXPECT_TRUE(h.editor().showExplorer);
    EXPECT_FALSE(h.editor().resetLayout);
    EXPECT_TRUE(h.windowRect(ui::kExplorerWindow, nullptr));
    ImRect again;
    ASSERT_TRUE(h.windowRect(ui::kToolsWindow, &again));
    EXPECT_EQ(text(again), text(tools));
}

TEST_F(EditorScenario, UvEditingLayoutGivesTheUvEditorHalfTheCentre) {
    ImRect before;
    ASSERT_TRUE(h.windowRect(ui::kViewportWindow, &before));
    ASSERT_TRUE(h.clickMenu({"View", "UV Editing Layout"}));
    EXPECT_TRUE(h.editor().uvLayout);
    EXPECT_EQ(h.editor().statusMessage, "UV Editing layout: View > Reset Layout (or Small View) goes back");
    ImRect viewport, uv, outliner;
    ASSERT_TRUE(h.windowRect(ui::kViewportWindow, &viewport));
    ASSERT_TRUE(h.windowRect(ui::kUvEditorWindow, &uv));
    ASSERT_TRUE(h.windowRect(ui::kOutlinerWindow, &outliner)) << "the Outliner has its node to itself";
    EXPECT_EQ(viewport.Min.x, before.Min.x);
    EXPECT_EQ(uv.Max.x, before.Max.x);
    EXPECT_NEAR(viewport.GetWidth(), uv.GetWidth(), 1.0f);

    ASSERT_TRUE(h.openMenu({"View"}));
    const UiItem* item = h.find("UV Editing Layout");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->checked);
    ASSERT_TRUE(h.clickItem("Reset Layout"));
    EXPECT_FALSE(h.editor().uvLayout);
    ASSERT_TRUE(h.windowRect(ui::kViewportWindow, &viewport));
    EXPECT_EQ(text(viewport), text(before));
    EXPECT_FALSE(h.windowRect(ui::kUvEditorWindow, nullptr)) << "a tab behind the Outliner again";
}

// [SECTION] Menus and shortcuts

TEST_F(EditorScenario, AddingACubeThroughTheMenuMarksTheTitleAndCtrlZUndoesIt) {
    EXPECT_EQ(h.editor().windowTitle(), "ORVA 3D Studio - Untitled");
    ASSERT_TRUE(h.clickMenu({"Object", "Add", "Mesh", "Cube"}));
    EXPECT_EQ(objectCount(), 6u);
    EXPECT_EQ(h.document().activeObject()->name, "Cube.001");
    EXPECT_EQ(h.editor().windowTitle(), "ORVA 3D Studio - Untitled *");
    EXPECT_FALSE(h.isPopupOpen("###Menu_")) << "choosing an item closes the menus";

    ASSERT_TRUE(h.openMenu({"Edit"}));
    const UiItem* undo = h.find("Undo Add Cube");
    ASSERT_NE(undo, nullptr);
    EXPECT_FALSE(undo->disabled);
    h.closeMenus();

    h.press(ImGuiMod_Ctrl | ImGuiKey_Z);
    EXPECT_EQ(objectCount(), 5u);
    h.press(ImGuiMod_Ctrl | ImGuiMod_Shift | ImGuiKey_Z);
    EXPECT_EQ(objectCount(), 6u);
    h.press(ImGuiMod_Ctrl | ImGuiKey_Z);
    h.press(ImGuiMod_Ctrl | ImGuiKey_Y);
    EXPECT_EQ(objectCount(), 6u) << "Ctrl+Y redoes too";
}

TEST_F(EditorScenario, ViewportKeysActOnlyOverTheViewport) {
    // Over the Properties panel, A is just a key.
    h.moveMouse(h.windowCentre(ui::kPropertiesWindow));
    h.press(ImGuiKey_A);
    EXPECT_EQ(selection().size(), 1u);

    h.moveMouse(h.windowCentre(ui::kViewportWindow));
    h.press(ImGuiKey_A);
    EXPECT_EQ(selection().size(), 5u);
    EXPECT_EQ(h.document().state.selection.active, 2u) << "the Cube stays active";
    h.press(ImGuiMod_Alt | ImGuiKey_A);
    EXPECT_TRUE(selection().empty());
    EXPECT_EQ(h.document().state.selection.active, 0u);

    // G / R / S pick the gizmo operation, Z and Alt+Z the display switches.
    h.press(ImGuiKey_R);
    EXPECT_EQ(h.editor().settings.gizmoOperation, kGizmoRotate);
    h.press(ImGuiKey_S);
    EXPECT_EQ(h.editor().settings.gizmoOperation, kGizmoScale);
    h.press(ImGuiKey_G);
    EXPECT_EQ(h.editor().settings.gizmoOperation, kGizmoMove);
    h.press(ImGuiKey_Z);
    EXPECT_TRUE(h.editor().settings.showWireframe);
    h.press(ImGuiMod_Alt | ImGuiKey_Z);
    EXPECT_TRUE(h.editor().settings.xray);
    EXPECT_TRUE(h.editor().settings.showWireframe) << "Alt+Z is not Z";
    h.press(ImGuiKey_Keypad5);
    EXPECT_TRUE(h.document().camera.orthographic);
    h.press(ImGuiMod_Ctrl | ImGuiKey_Keypad1);
    EXPECT_FLOAT_EQ(h.document().camera.yawDeg, 180.0f);
    h.press(ImGuiKey_Keypad7);
    EXPECT_FLOAT_EQ(h.document().camera.pitchDeg, 89.5f);

    // Shift+D duplicates in Object Mode, X deletes.
    h.press(ImGuiKey_A);
    h.press(ImGuiMod_Shift | ImGuiKey_D);
    EXPECT_EQ(objectCount(), 10u);
    EXPECT_EQ(h.editor().statusMessage, "Duplicated 5 object(s)");
    h.press(ImGuiKey_X);
    EXPECT_EQ(objectCount(), 5u);
    EXPECT_EQ(h.editor().statusMessage, "Deleted 5 object(s)");
}

TEST_F(EditorScenario, FramingGoesThroughTheViewport) {
    // F aims at the selected Cube (centred at (0, 1, 0)); View > Frame All takes in the 20 m plane.
    h.document().camera.target = glm::vec3(5.0f, 5.0f, 5.0f);
    h.moveMouse(h.windowCentre(ui::kViewportWindow));
    h.press(ImGuiKey_F);
    EXPECT_NEAR(glm::length(h.document().camera.target - glm::vec3(0.0f, 1.0f, 0.0f)), 0.0f, 1e-4f);
    const float close = h.document().camera.distance;
    ASSERT_TRUE(h.clickMenu({"View", "Frame All"}));
    EXPECT_GT(h.document().camera.distance, close);
    ASSERT_TRUE(h.clickMenu({"View", "Viewpoint", "Top"}));
    EXPECT_FLOAT_EQ(h.document().camera.pitchDeg, 89.5f);
}

TEST_F(EditorScenario, KeysTypedIntoATextFieldAreText) {
    // A text field of the test's own, over the Explorer.
    std::string field;
    h.afterEditorFrame = [&] {
        ImGui::SetNextWindowPos(h.windowCentre(ui::kExplorerWindow), ImGuiCond_Always);
        ImGui::SetNextWindowSize(ImVec2(300.0f, 80.0f), ImGuiCond_Always);
        ImGui::Begin("Test Field", nullptr, ImGuiWindowFlags_NoSavedSettings);
        ImGui::InputText("##field", &field);
        ImGui::End();
    };
    h.frame();
    ASSERT_TRUE(h.clickMenu({"Object", "Add", "Mesh", "Cube"}));
    ASSERT_EQ(objectCount(), 6u);
    const UiItem* input = h.find("##field");
    ASSERT_NE(input, nullptr);
    h.click(input->rect.GetCenter());

    // The field keeps the keyboard while the mouse rests over the viewport.
    h.moveMouse(h.windowCentre(ui::kViewportWindow));
    h.type("ax");
    EXPECT_EQ(field, "ax");
    EXPECT_EQ(selection().size(), 1u) << "A did not select all";
    EXPECT_EQ(objectCount(), 6u) << "X did not delete";
    // Ctrl+Z undoes the typing in the field, not the scene.
    h.press(ImGuiMod_Ctrl | ImGuiKey_Z);
    EXPECT_EQ(objectCount(), 6u);

    // A click in the viewport ends the text input: the keys are shortcuts again.
    h.click(h.windowCentre(ui::kViewportWindow));
    h.press(ImGuiKey_A);
    EXPECT_EQ(selection().size(), 6u);
    h.press(ImGuiMod_Ctrl | ImGuiKey_Z);
    EXPECT_EQ(objectCount(), 5u);
}

TEST_F(EditorScenario, TypingANameInTheOutlinerIsNotASelectAll) {
    // The Outliner's rows in scene order: Plane, Cube, Spawn Point, Camera, Light.
    const std::vector<const UiItem*> rows = h.findAll("##node");
    ASSERT_EQ(rows.size(), 5u);
    h.doubleClick(rows[1]->rect.GetCenter());
    ASSERT_NE(h.find("##rename"), nullptr) << "the rename field is open";

    h.moveMouse(h.windowCentre(ui::kViewportWindow));
    h.type("a");
    EXPECT_EQ(selection().size(), 1u) << "A went into the field";
    h.press(ImGuiKey_Enter);
    EXPECT_EQ(h.document().state.scene.find(2)->name, "a");
    EXPECT_EQ(h.document().undoStack.undoEntries.size(), 1u) << "the rename is the only step";

    h.press(ImGuiKey_A);
    EXPECT_EQ(selection().size(), 5u) << "after Enter the key is a shortcut again";
}

TEST_F(EditorScenario, OpenMenusHoldTheKeyboard) {
    ASSERT_TRUE(h.clickMenu({"Object", "Add", "Mesh", "Cube"}));
    ASSERT_TRUE(h.openMenu({"Edit"}));
    h.press(ImGuiMod_Ctrl | ImGuiKey_Z);
    EXPECT_EQ(objectCount(), 6u);
    h.closeMenus();
    h.press(ImGuiMod_Ctrl | ImGuiKey_Z);
    EXPECT_EQ(objectCount(), 5u);
}

TEST_F(EditorScenario, MenuItemsFollowTheirEnabledRules) {
    struct Case {
        std::vector<uint32_t> selected;
        const char* item;
        bool enabled;
    };
    // Default scene ids: Plane 1, Cube 2, Spawn Point 3, Camera 4, Light 5.
    const Case cases[] = {
        {{2}, "Set Parent to Active", false},
        {{1, 2}, "Set Parent to Active", true},
        {{2}, "Clear Parent", true},
        {{}, "Parent", false},
        {{}, "Clear Transform", false},
        {{2}, "Duplicate", true},
        {{}, "Duplicate", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.item) + " with " + std::to_string(c.selected.size()) + " selected");
        h.document().selectObjects(c.selected, SelectOp::Replace);
        h.frame();
        const bool inParent =
            std::string(c.item).find("Parent") != std::string::npos && std::string(c.item) != "Parent";
        ASSERT_TRUE(inParent ? h.openMenu({"Object", "Parent"}) : h.openMenu({"Object"}));
        const UiItem* item = h.find(c.item);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(!item->disabled, c.enabled);
        h.closeMenus();
    }

    // Nothing to undo yet: "Undo" is disabled; the Export submenu's Selected Objects need a selection.
    h.document().selectObjects({}, SelectOp::Replace);
    h.frame();
    ASSERT_TRUE(h.openMenu({"Edit"}));
    ASSERT_NE(h.find("Undo"), nullptr);
    EXPECT_TRUE(h.find("Undo")->disabled);
    h.closeMenus();
    ASSERT_TRUE(h.openMenu({"File", "Export", "OBJ (.obj)"}));
    ASSERT_NE(h.find("Selected Objects..."), nullptr);
    EXPECT_TRUE(h.find("Selected Objects...")->disabled);
    EXPECT_FALSE(h.find("Entire Scene...")->disabled);
    h.closeMenus();
}

TEST_F(EditorScenario, SetParentToActiveCountsTheParentedObjects) {
    // Plane and Spawn Point under the Cube (active, selected last).
    h.document().selectObjects({1, 3, 2}, SelectOp::Replace);
    ASSERT_TRUE(h.clickMenu({"Object", "Parent", "Set Parent to Active"}));
    EXPECT_EQ(h.editor().statusMessage, "Parented 2 object(s)");
    EXPECT_EQ(h.document().state.scene.find(1)->parent, 2u);
    EXPECT_EQ(h.document().state.scene.find(3)->parent, 2u);
    EXPECT_EQ(h.document().undoStack.undoEntries.size(), 2u) << "one Set Parent step per object";
}

TEST_F(EditorScenario, ClearTransformIsOneUndoStep) {
    h.document().state.scene.find(2)->transform.rotationEulerDeg = glm::vec3(10.0f, 20.0f, 30.0f);
    h.document().selectObjects({2, 4}, SelectOp::Replace);
    ASSERT_TRUE(h.clickMenu({"Object", "Clear Transform", "Location"}));
    EXPECT_EQ(h.document().state.scene.find(2)->transform.position, glm::vec3(0.0f));
    EXPECT_EQ(h.document().state.scene.find(4)->transform.position, glm::vec3(0.0f));
    ASSERT_TRUE(h.clickMenu({"Object", "Clear Transform", "Rotation"}));
    EXPECT_EQ(h.document().state.scene.find(2)->transform.rotationEulerDeg, glm::vec3(0.0f));
    EXPECT_EQ(h.document().undoStack.undoLabel(), "Clear Rotation");
    h.document().undo();
    EXPECT_EQ(h.document().state.scene.find(2)->transform.rotationEulerDeg, glm::vec3(10.0f, 20.0f, 30.0f));
    EXPECT_EQ(h.document().state.scene.find(4)->transform.position, glm::vec3(0.0f)) << "Location stays cleared";
}

TEST_F(EditorScenario, ToolsAndViewMenusReflectTheSettings) {
    ASSERT_TRUE(h.clickMenu({"Tools", "Rotate"}));
    EXPECT_EQ(h.editor().settings.gizmoOperation, kGizmoRotate);
    ASSERT_TRUE(h.openMenu({"Tools"}));
    EXPECT_TRUE(h.find("Rotate")->checked);
    EXPECT_FALSE(h.find("Move")->checked);
    h.closeMenus();
    ASSERT_TRUE(h.clickMenu({"View", "Viewpoint", "Left"}));
    EXPECT_FLOAT_EQ(h.document().camera.yawDeg, -90.0f);
    ASSERT_TRUE(h.clickMenu({"View", ui::kPropertiesWindow}));
    EXPECT_FALSE(h.editor().showProperties);
    EXPECT_FALSE(h.windowRect(ui::kPropertiesWindow, nullptr));
}

TEST_F(EditorScenario, TabEntersEditModeWhereAAndAltASelectComponents) {
    h.moveMouse(h.windowCentre(ui::kViewportWindow));
    h.press(ImGuiKey_Tab);
    ASSERT_EQ(h.document().state.mode, InteractionMode::Edit);
    EXPECT_EQ(h.editor().statusMessage, "Edit Mode: click vertices to select them, drag the gizmo to move them");
    EXPECT_EQ(h.document().selectedVertexCount(), 0u);

    h.press(ImGuiKey_A);
    EXPECT_EQ(h.document().selectedVertexCount(), 8u) << "every vertex of the Cube";
    EXPECT_EQ(selection().size(), 1u) << "the object selection stays the edited object";
    h.press(ImGuiMod_Alt | ImGuiKey_A);
    EXPECT_EQ(h.document().selectedVertexCount(), 0u);
    h.press(ImGuiMod_Ctrl | ImGuiKey_I);
    EXPECT_EQ(h.document().selectedVertexCount(), 8u);

    // Keys of Edit Mode: 3 for faces, X deletes the selected faces, Shift+D does not duplicate.
    h.press(ImGuiKey_3);
    EXPECT_EQ(h.document().state.componentType, ComponentType::Face);
    h.press(ImGuiMod_Shift | ImGuiKey_D);
    EXPECT_EQ(objectCount(), 5u);
    h.press(ImGuiKey_X);
    EXPECT_EQ(h.editor().statusMessage, "Deleted");
    EXPECT_EQ(h.document().editMesh()->faces.size(), 0u);
    h.press(ImGuiKey_X);
    EXPECT_EQ(h.editor().statusMessage, "No faces selected.") << "the operation's own message";

    h.press(ImGuiKey_Tab);
    EXPECT_EQ(h.document().state.mode, InteractionMode::Object);
    EXPECT_EQ(h.editor().statusMessage, "Object Mode");
}

TEST_F(EditorScenario, MeshMenuRunsEditModeOperations) {
    // Outside Edit Mode the tools are there but disabled.
    ASSERT_TRUE(h.openMenu({"Mesh"}));
    ASSERT_NE(h.find("Extrude"), nullptr);
    EXPECT_TRUE(h.find("Extrude")->disabled);
    EXPECT_FALSE(h.find("Enter Edit Mode")->disabled) << "the Cube is active";
    ASSERT_TRUE(h.clickItem("Enter Edit Mode"));
    ASSERT_EQ(h.document().state.mode, InteractionMode::Edit);

    ASSERT_TRUE(h.clickMenu({"Mesh", "Face Select"}));
    EXPECT_EQ(h.document().state.componentType, ComponentType::Face);
    ASSERT_TRUE(h.clickMenu({"Mesh", "Extrude"}));
    EXPECT_EQ(h.editor().statusMessage, "Select faces or boundary edges to extrude.");
    // One face of the Cube (all six would have no boundary to extrude from).
    h.document().selectVertices(h.document().editMesh()->faces[0].indices, SelectOp::Replace);
    ASSERT_TRUE(h.clickMenu({"Mesh", "Extrude"}));
    EXPECT_EQ(h.editor().statusMessage, "Extruded");
    EXPECT_EQ(h.document().undoStack.undoLabel(), "Extrude");
    ASSERT_TRUE(h.clickMenu({"Mesh", "UV Mapping", "Box Projection"}));
    EXPECT_EQ(h.editor().statusMessage, "UVs updated");
    ASSERT_TRUE(h.openMenu({"Mesh"}));
    EXPECT_NE(h.find("Delete Faces"), nullptr);
    h.closeMenus();

    // The Object menu's Duplicate and Delete wait for Object Mode; the Edit menu's Delete does not.
    ASSERT_TRUE(h.openMenu({"Object"}));
    EXPECT_TRUE(h.find("Duplicate")->disabled);
    EXPECT_TRUE(h.find("Delete")->disabled);
    EXPECT_FALSE(h.find("Exit Edit Mode")->disabled);
    h.closeMenus();
    ASSERT_TRUE(h.clickMenu({"Edit", "Delete"}));
    EXPECT_EQ(h.editor().statusMessage, "Deleted");
}

TEST_F(EditorScenario, EnterEditModeIsDisabledForALight) {
    h.document().selectObjects({5}, SelectOp::Replace);
    ASSERT_TRUE(h.openMenu({"Object"}));
    ASSERT_NE(h.find("Enter Edit Mode"), nullptr);
    EXPECT_TRUE(h.find("Enter Edit Mode")->disabled);
    h.closeMenus();
    h.moveMouse(h.windowCentre(ui::kViewportWindow));
    h.press(ImGuiKey_Tab);
    EXPECT_EQ(h.document().state.mode, InteractionMode::Object);
    EXPECT_EQ(h.editor().statusMessage, "Select a mesh object to enter Edit Mode");
}

TEST_F(EditorScenario, SceneMenuListsTheProjectsScenesAndTicksTheOpenOne) {
    io::Project& project = h.editor().project;
    ASSERT_TRUE(project.create(path("Game")));
    const std::string main = io::pathToUtf8(io::pathFromUtf8(project.root) / project.activeScene);
    std::string level;
    ASSERT_TRUE(project.addScene("Level", level));
    ASSERT_TRUE(h.document().save(main));
    const std::string levelName = io::fileStem(level);

    ASSERT_TRUE(h.openMenu({"Scene"}));
    ASSERT_NE(h.find("Main"), nullptr);
    ASSERT_NE(h.find(levelName), nullptr);
    EXPECT_TRUE(h.find("Main")->checked);
    EXPECT_FALSE(h.find(levelName)->checked);
    EXPECT_LT(h.find("Main")->rect.Min.y, h.find(levelName)->rect.Min.y) << "in the project's order";
    h.closeMenus();

    // Inside a project there is no Save Scene As.
    ASSERT_TRUE(h.openMenu({"File"}));
    EXPECT_NE(h.find("Save"), nullptr);
    EXPECT_EQ(h.find("Save Scene As..."), nullptr);
    h.closeMenus();

    // Choosing the open scene does nothing; another one is asked for (unsaved changes first).
    h.document().addPrimitive(PrimitiveType::Sphere);
    ASSERT_TRUE(h.clickMenu({"Scene", "Main"}));
    EXPECT_EQ(h.editor().pendingAction, Editor::PendingAction::None);
    EXPECT_FALSE(h.isPopupOpen("Unsaved Changes"));
    ASSERT_TRUE(h.clickMenu({"Scene", levelName}));
    EXPECT_EQ(h.editor().pendingAction, Editor::PendingAction::SwitchScene);
    EXPECT_EQ(h.editor().pendingPath, level);
    EXPECT_TRUE(h.isPopupOpen("Unsaved Changes"));
    ASSERT_TRUE(h.clickItem("Cancel"));
}

TEST_F(EditorScenario, CtrlZDuringAUvDragCancelsItThenUndoesTheStepBefore) {
    h.moveMouse(h.windowCentre(ui::kViewportWindow));
    h.press(ImGuiKey_Tab);
    h.press(ImGuiKey_A);
    const Mesh before = *h.document().editMesh();
    ASSERT_TRUE(h.clickMenu({"Mesh", "UV Mapping", "Sphere Projection"}));
    ASSERT_EQ(h.document().undoStack.undoLabel(), "UV Mapping");
    const Mesh mapped = *h.document().editMesh();

    // A move of every UV, left running as a drag would be.
    UvEditor& uv = *h.editor().uvEditor;
    const UvEditor::Target target = uv.currentTarget();
    uv.selectAll(target);
    uv.beginModal(UvEditor::Modal::Move, target, false, glm::vec2(0.0f));
    uv.updateModal(target, glm::vec2(0.25f, 0.5f), false);
    ASSERT_NE(h.document().editMesh()->faces[0].uvs, mapped.faces[0].uvs);

    h.press(ImGuiMod_Ctrl | ImGuiKey_Z);
    EXPECT_EQ(uv.modal, UvEditor::Modal::None);
    EXPECT_EQ(h.document().undoStack.redoLabel(), "UV Mapping") << "the projection was undone";
    for (size_t f = 0; f < before.faces.size(); ++f)
        EXPECT_EQ(h.document().editMesh()->faces[f].uvs, before.faces[f].uvs) << "face " << f;
}

// [SECTION] Quitting and errors

TEST_F(EditorScenario, QuitWaitsForTheUnsavedChangesPrompt) {
    ASSERT_TRUE(h.clickMenu({"Object", "Add", "Mesh", "Cube"}));
    h.press(ImGuiMod_Ctrl | ImGuiKey_Q);
    EXPECT_FALSE(h.editor().shouldQuit);
    EXPECT_TRUE(h.isPopupOpen("Unsaved Changes"));
    EXPECT_NE(h.find("Don't Save"), nullptr);

    ASSERT_TRUE(h.clickItem("Cancel"));
    EXPECT_FALSE(h.isPopupOpen("Unsaved Changes"));
    EXPECT_EQ(h.editor().pendingAction, Editor::PendingAction::None);
    EXPECT_FALSE(h.editor().shouldQuit);
    EXPECT_EQ(objectCount(), 6u);

    ASSERT_TRUE(h.clickMenu({"File", "Exit"}));
    ASSERT_TRUE(h.clickItem("Don't Save"));
    EXPECT_TRUE(h.editor().shouldQuit);
}

TEST_F(EditorScenario, ErrorModalShowsTitleAndDetailUntilOk) {
    h.editor().error("Could not open scene", "The file is not a scene file.");
    h.frame();
    EXPECT_TRUE(h.isPopupOpen("Error##modal"));
    EXPECT_EQ(h.editor().statusMessage, "Could not open scene: The file is not a scene file.");
    // The modal holds the keyboard: no shortcut acts behind it.
    h.moveMouse(h.windowCentre(ui::kViewportWindow));
    h.press(ImGuiKey_A);
    EXPECT_EQ(selection().size(), 1u);
    ASSERT_TRUE(h.clickItem("OK"));
    EXPECT_FALSE(h.isPopupOpen("Error##modal"));
}

// [SECTION] Layout file

class EditorLayoutFile : public TempDirTest {};

TEST_F(EditorLayoutFile, RestartRestoresADraggedSplitterAndTheUvEditingLayout) {
    const std::string ini = path("layout.ini");
    ImRect tools;
    {
        EditorHarness h(HarnessOptions{1440, 900, ini});
        ASSERT_TRUE(h.ok()) << h.error();
        h.frame(2);
        ASSERT_TRUE(h.windowRect(ui::kToolsWindow, &tools));
        h.drag(ImVec2(tools.Max.x + 1.0f, 300.0f), ImVec2(tools.Max.x + 61.0f, 300.0f));
        ASSERT_TRUE(h.windowRect(ui::kToolsWindow, &tools));
    }
    {
        EditorHarness h(HarnessOptions{1440, 900, ini});
        ASSERT_TRUE(h.ok()) << h.error();
        h.frame(2);
        ImRect restored;
        ASSERT_TRUE(h.windowRect(ui::kToolsWindow, &restored));
        EXPECT_EQ(text(restored), text(tools));
        EXPECT_FALSE(h.editor().uvLayout);
        ASSERT_TRUE(h.clickMenu({"View", "UV Editing Layout"}));
    }
    {
        EditorHarness h(HarnessOptions{1440, 900, ini});
        ASSERT_TRUE(h.ok()) << h.error();
        h.frame(2);
        EXPECT_TRUE(h.editor().uvLayout) << "read back from the saved tree";
        EXPECT_TRUE(h.windowRect(ui::kUvEditorWindow, nullptr));
        ASSERT_TRUE(h.clickMenu({"View", "Reset Layout"}));
        EXPECT_FALSE(h.editor().uvLayout);
        EXPECT_FALSE(h.windowRect(ui::kUvEditorWindow, nullptr));
    }
}

TEST_F(EditorLayoutFile, ASavedLayoutWithoutTheExplorerIsReplacedByTheDefault) {
    const std::string ini = path("layout.ini");
    const std::string saved = "[OrvaDock][Layout]\n"
                              "Split=X 0.5\n"
                              "Leaf=0 Tools;Outliner;UV Editor\n"
                              "Split=Y 0.5\n"
                              "Leaf=0 Viewport\n"
                              "Leaf=0 Properties\n";
    ASSERT_TRUE(io::writeFileAtomic(ini, saved.data(), saved.size()));
    EditorHarness h(HarnessOptions{1440, 900, ini});
    ASSERT_TRUE(h.ok()) << h.error();
    h.frame(2);
    for (const char* name : kPanels)
        EXPECT_TRUE(h.windowRect(name, nullptr)) << name;
    ImRect tools;
    ASSERT_TRUE(h.windowRect(ui::kToolsWindow, &tools));
    EXPECT_NEAR(tools.GetWidth(), 0.17f * 1438.0f, 1.0f);
}

} // namespace
} // namespace orva::test
