// The editor shell's own logic, without a window: the title, the shortcut labels, status ageing,
// error reporting, the pending action behind quitting and the dispatch of dropped files.
#include <gtest/gtest.h>

#include <string>

#include <imgui.h>

#include "editor/editor.h"
#include "io/file_utils.h"
#include "support/temp_dir.h"

namespace orva {
namespace {

// An ImGui context with a font and no backend, whose clock advances one second per frame.
class ImGuiClock {
public:
    ImGuiClock() {
        context_ = ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        io.DisplaySize = ImVec2(800, 600);
        io.DeltaTime = 1.0f;
        io.Fonts->AddFontDefault();
        io.BackendFlags |= ImGuiBackendFlags_RendererHasTextures;
        ImGui::NewFrame();
    }
    ~ImGuiClock() {
        ImGui::EndFrame();
        ImGui::DestroyContext(context_);
    }
    void advance(int seconds) {
        for (int i = 0; i < seconds; ++i) {
            ImGui::EndFrame();
            ImGui::NewFrame();
        }
    }

private:
    ImGuiContext* context_ = nullptr;
};

bool bright(const ImVec4& c) { return c.x > 0.8f; }

class EditorShell : public test::TempDirTest {
protected:
    Editor editor{nullptr};
};

TEST_F(EditorShell, WindowTitleNamesTheDocumentAndMarksUnsavedChanges) {
    EXPECT_EQ(editor.windowTitle(), "ORVA 3D Studio - Untitled");
    editor.document.addPrimitive(PrimitiveType::Cube);
    EXPECT_EQ(editor.windowTitle(), "ORVA 3D Studio - Untitled *");

    const std::string file = path("level one.orva");
    ASSERT_TRUE(editor.document.save(file));
    EXPECT_EQ(editor.windowTitle(), "ORVA 3D Studio - level one.orva");
    editor.document.undo();
    EXPECT_EQ(editor.windowTitle(), "ORVA 3D Studio - level one.orva *") << "undo is a change too";
    editor.document.newScene();
    EXPECT_EQ(editor.windowTitle(), "ORVA 3D Studio - Untitled");
}

TEST_F(EditorShell, WindowTitleNamesTheProjectFolderFirst) {
    ASSERT_TRUE(editor.project.create(path("My Game")));
    const std::string scene = io::pathToUtf8(io::pathFromUtf8(editor.project.root) / editor.project.activeScene);
    ASSERT_TRUE(editor.document.save(scene));
    EXPECT_EQ(editor.windowTitle(), "ORVA 3D Studio - My Game - Main.orva");
    editor.document.addLight(LightType::Spot);
    EXPECT_EQ(editor.windowTitle(), "ORVA 3D Studio - My Game - Main.orva *");
}

TEST_F(EditorShell, ShortcutLabelsUseThePlatformsPrimaryModifier) {
#ifdef __APPLE__
    const std::string modifier = "Cmd+";
#else
    const std::string modifier = "Ctrl+";
#endif
    for (const char* key : {"N", "O", "S", "Shift+S", "Q", "Z", "Shift+Z", "I", "Numpad 1"})
        EXPECT_EQ(editor.shortcut(key), modifier + key);
}

TEST_F(EditorShell, StatusStaysBrightForEightSeconds) {
    // Without an ImGui context the time is 0.
    editor.status("Saved");
    EXPECT_EQ(editor.statusTime, 0.0);

    ImGuiClock clock;
    clock.advance(5);
    editor.status("Saved");
    EXPECT_EQ(editor.statusTime, ImGui::GetTime());
    EXPECT_GT(editor.statusTime, 0.0);
    clock.advance(7);
    EXPECT_TRUE(bright(editor.statusColor())) << "7 seconds old";
    clock.advance(1);
    EXPECT_FALSE(bright(editor.statusColor())) << "8 seconds old";
    editor.status("Saved");
    EXPECT_TRUE(bright(editor.statusColor())) << "the same text again is a new message";
    EXPECT_EQ(editor.statusMessage, "Saved");
}

TEST_F(EditorShell, ErrorOpensTheModalAndRepeatsItOnTheStatusLine) {
    editor.error("Save failed", "The folder is read-only.");
    EXPECT_TRUE(editor.openErrorModal);
    EXPECT_EQ(editor.errorTitle, "Save failed");
    EXPECT_EQ(editor.errorDetail, "The folder is read-only.");
    EXPECT_EQ(editor.statusMessage, "Save failed: The folder is read-only.");
}

TEST_F(EditorShell, UvLayoutToggleAsksForANewLayout) {
    editor.toggleUvLayout();
    EXPECT_TRUE(editor.uvLayout);
    EXPECT_TRUE(editor.resetLayout);
    EXPECT_EQ(editor.statusMessage, "UV Editing layout: View > Reset Layout (or Small View) goes back");
    editor.resetLayout = false;
    editor.toggleUvLayout();
    EXPECT_FALSE(editor.uvLayout);
    EXPECT_TRUE(editor.resetLayout);
    EXPECT_EQ(editor.statusMessage, "Default layout");
}

TEST_F(EditorShell, QuitIsImmediateOnlyWithoutUnsavedChanges) {
    editor.requestQuit();
    EXPECT_TRUE(editor.shouldQuit);
    EXPECT_FALSE(editor.openUnsavedPrompt);

    Editor changed{nullptr};
    changed.document.addPrimitive(PrimitiveType::Cone);
    changed.requestQuit();
    EXPECT_FALSE(changed.shouldQuit);
    EXPECT_TRUE(changed.openUnsavedPrompt);
    EXPECT_EQ(changed.pendingAction, Editor::PendingAction::Quit);
    // "Don't Save" continues the action.
    changed.continuePendingAction();
    EXPECT_TRUE(changed.shouldQuit);
    EXPECT_EQ(changed.pendingAction, Editor::PendingAction::None);
}

TEST_F(EditorShell, DroppedFilesGoWhereTheirKindSays) {
    const std::string png = std::string(ORVA_TEST_DATA_DIR) + "/scene_file/checker_2x2.png";

    editor.handleDroppedFile(path("notes.txt"));
    EXPECT_EQ(editor.statusMessage, "Cannot open notes.txt: drop a .fbx, .obj or .orva file");

    // An image needs an active mesh object.
    editor.document.selectObjects({5}, SelectOp::Replace); // the Light
    editor.handleDroppedFile(png);
    EXPECT_EQ(editor.statusMessage, "Select a mesh object, then drop the image to use it as its texture");
    EXPECT_TRUE(editor.document.undoStack.undoEntries.empty());

    editor.document.selectObjects({2}, SelectOp::Replace); // the Cube, material 0 "Material"
    editor.handleDroppedFile(png);
    EXPECT_EQ(editor.statusMessage, "Texture checker_2x2.png (2x2) applied to material \"Material\"");
    EXPECT_EQ(editor.document.state.scene.materials[0].baseColorTexture, 0);

    // An image file that does not decode: the error modal, nothing changed.
    const std::string broken = path("broken.png");
    ASSERT_TRUE(io::writeFileAtomic(broken, "not a png", 9));
    const size_t steps = editor.document.undoStack.undoEntries.size();
    editor.handleDroppedFile(broken);
    EXPECT_TRUE(editor.openErrorModal);
    EXPECT_EQ(editor.errorTitle, "Could not load the texture");
    EXPECT_EQ(editor.document.undoStack.undoEntries.size(), steps);

    // A scene file waits behind the prompt while there are unsaved changes.
    editor.handleDroppedFile(path("Level.ORVA"));
    EXPECT_EQ(editor.pendingAction, Editor::PendingAction::OpenFile);
    EXPECT_EQ(editor.pendingPath, path("Level.ORVA"));
    EXPECT_TRUE(editor.openUnsavedPrompt);
}

TEST_F(EditorShell, DeleteAndEditModeReportOnTheStatusLine) {
    editor.commandDelete(); // the Cube
    EXPECT_EQ(editor.statusMessage, "Deleted 1 object(s)");
    editor.status("");
    editor.commandDelete(); // nothing selected: nothing to say
    EXPECT_EQ(editor.statusMessage, "");

    editor.commandToggleEditMode();
    EXPECT_EQ(editor.statusMessage, "Select a mesh object to enter Edit Mode");
    editor.document.selectObjects({1}, SelectOp::Replace); // the Plane
    editor.commandToggleEditMode();
    EXPECT_EQ(editor.document.state.mode, InteractionMode::Edit);
    editor.commandDelete();
    EXPECT_EQ(editor.statusMessage, "No vertices selected.");
    editor.document.selectAllComponents(true);
    editor.commandDelete();
    EXPECT_EQ(editor.statusMessage, "Deleted");
    editor.commandToggleEditMode();
    EXPECT_EQ(editor.statusMessage, "Object Mode");
}

} // namespace
} // namespace orva
