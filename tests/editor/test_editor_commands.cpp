// The editor's file, project and export commands driven through menus, shortcuts and modals. No
// native file dialog can be shown here, so every dialog ends in the typed-path prompt, which must
// do what the dialog would have done.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <SDL3/SDL_hints.h>
#include <imgui.h>

#include "editor/editor_harness.h"
#include "io/file_utils.h"
#include "io/project.h"
#include "support/temp_dir.h"

namespace orva::test {
namespace {

namespace fs = std::filesystem;

class EditorCommands : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        // No dialog backend by that name: SDL answers every dialog with a failure, as it does on a
        // machine without a portal or zenity.
        SDL_SetHint(SDL_HINT_FILE_DIALOG_DRIVER, "unavailable");
        ASSERT_TRUE(h.ok()) << h.error();
        h.frame(2);
        // Canonical, so paths compare with what the editor stores.
        dir = fs::canonical(dir);
    }

    // Replaces the text of the focused prompt field with `text` and confirms it with Enter.
    // The characters arrive in one frame, as a paste would bring them.
    void typeIntoPrompt(const std::string& text) {
        h.press(ImGuiMod_Ctrl | ImGuiKey_A);
        ImGui::GetIO().AddInputCharactersUTF8(text.c_str());
        h.frame();
        h.press(ImGuiKey_Enter);
        h.frame(2);
    }

    void dirtyTheScene() {
        ASSERT_TRUE(h.clickMenu({"Object", "Add", "Mesh", "Cube"}));
        ASSERT_TRUE(h.document().dirty);
    }

    size_t objectCount() { return h.document().state.scene.objects.size(); }
    Editor& e() { return h.editor(); }

    EditorHarness h;
};

// A new document's scene (the default objects) written to `path`.
void writeScene(const std::string& path) {
    Document other;
    std::string error;
    ASSERT_TRUE(other.save(path, &error)) << error;
}

TEST_F(EditorCommands, QuitAsksOnlyWhenThereAreChangesAndCancelKeepsEverything) {
    e().requestQuit();
    EXPECT_TRUE(e().shouldQuit) << "nothing to lose";
    e().shouldQuit = false;

    dirtyTheScene();
    h.press(ImGuiMod_Ctrl | ImGuiKey_Q);
    EXPECT_TRUE(h.isPopupOpen("Unsaved Changes"));
    EXPECT_FALSE(e().shouldQuit);
    ASSERT_TRUE(h.clickItem("Cancel"));
    EXPECT_FALSE(h.isPopupOpen("Unsaved Changes"));
    EXPECT_FALSE(e().shouldQuit);
    EXPECT_EQ(e().pendingAction, Editor::PendingAction::None);
    EXPECT_EQ(objectCount(), 6u);
    EXPECT_TRUE(h.document().dirty);

    h.press(ImGuiMod_Ctrl | ImGuiKey_Q);
    ASSERT_TRUE(h.clickItem("Don't Save"));
    EXPECT_TRUE(e().shouldQuit);
}

TEST_F(EditorCommands, SaveInThePromptOfAnUntitledSceneSavesAsThenOpensTheWaitingScene) {
    const std::string other = path("other.orva");
    writeScene(other);
    dirtyTheScene();

    e().handleDroppedFile(other);
    h.frame(2);
    ASSERT_TRUE(h.isPopupOpen("Unsaved Changes"));
    ASSERT_TRUE(h.clickItem("Save"));
    h.frame(2);
    ASSERT_TRUE(h.isPopupOpen("Enter File Path")) << e().statusMessage;
    EXPECT_EQ(e().failedDialogTag, Editor::DialogTag::SaveSceneAs);
    EXPECT_EQ(io::fileName(e().typedPath), "Untitled.orva") << "prefilled with the dialog's default";
    EXPECT_NE(h.find("Save"), nullptr);

    typeIntoPrompt(path("level"));
    EXPECT_FALSE(h.isPopupOpen("Enter File Path"));
    EXPECT_TRUE(fs::is_regular_file(dir / "level.orva")) << e().statusMessage;
    EXPECT_EQ(h.document().path, other) << "the waiting action ran after the save";
    EXPECT_FALSE(h.document().dirty);
    EXPECT_EQ(objectCount(), 5u);
    EXPECT_EQ(e().windowTitle(), "ORVA 3D Studio - other.orva");

    // A cancelled prompt drops the action waiting behind Save As.
    e().document.newScene();
    dirtyTheScene();
    e().handleDroppedFile(path("level.orva"));
    h.frame(2);
    ASSERT_TRUE(h.isPopupOpen("Unsaved Changes")) << e().statusMessage;
    ASSERT_TRUE(h.clickItem("Save"));
    h.frame(2);
    ASSERT_TRUE(h.isPopupOpen("Enter File Path"));
    h.press(ImGuiKey_Escape);
    h.frame();
    EXPECT_FALSE(h.isPopupOpen("Enter File Path"));
    EXPECT_EQ(e().pendingAction, Editor::PendingAction::None);
    EXPECT_TRUE(h.document().path.empty());
    EXPECT_TRUE(h.document().dirty);
}

TEST_F(EditorCommands, SaveAsIntoAMissingFolderFailsAndDropsTheWaitingAction) {
    dirtyTheScene();
    e().commandSaveAs(Editor::PendingAction::Quit);
    h.frame(2);
    ASSERT_TRUE(h.isPopupOpen("Enter File Path"));
    typeIntoPrompt(path("missing/level"));
    EXPECT_EQ(e().errorTitle, "Save failed");
    EXPECT_FALSE(e().shouldQuit);
    EXPECT_EQ(e().pendingAction, Editor::PendingAction::None);
    EXPECT_TRUE(h.document().dirty);
    EXPECT_TRUE(h.document().path.empty());
}

TEST_F(EditorCommands, DroppedFilesThatCannotBeOpenedOnlySetTheStatus) {
    e().handleDroppedFile(path("notes.txt"));
    EXPECT_EQ(e().statusMessage, "Cannot open notes.txt: drop a .fbx, .obj or .orva file");
}

// A dropped model is imported as one undo step and reported with its counts; a damaged one opens
// the error modal and leaves the scene as it was.
TEST_F(EditorCommands, DroppedModelsAreImportedOrRefused) {
    const size_t before = h.document().state.scene.objects.size();
    e().handleDroppedFile(std::string(ORVA_TEST_DATA_DIR) + "/import/flat_cube.obj");
    EXPECT_EQ(e().statusMessage.rfind("Imported flat_cube.obj: 1 mesh object(s), 8 vertices, 6 faces", 0), 0u)
        << e().statusMessage;
    EXPECT_EQ(h.document().state.scene.objects.size(), before + 1);
    EXPECT_EQ(h.document().undoStack.undoLabel(), "Import flat_cube.obj");

    std::FILE* f = std::fopen(path("broken.obj").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("v 1 2\nf 1 2 3 4 5\n", f);
    std::fclose(f);
    e().handleDroppedFile(path("broken.obj"));
    EXPECT_EQ(e().errorTitle, "Import failed");
    EXPECT_EQ(h.document().state.scene.objects.size(), before + 1);
}

TEST_F(EditorCommands, NewProjectThroughTheFolderPromptThenScenesAndSaveAs) {
    h.press(ImGuiMod_Ctrl | ImGuiKey_N);
    h.frame();
    ASSERT_TRUE(h.isPopupOpen("Project Folder"));
    EXPECT_NE(h.find("Create Project"), nullptr);
    typeIntoPrompt(path("Game"));
    EXPECT_FALSE(h.isPopupOpen("Project Folder"));

    const fs::path root = dir / "Game";
    EXPECT_TRUE(fs::is_regular_file(root / "project.json"));
    EXPECT_TRUE(fs::is_regular_file(root / "Scenes" / "Main.orva"));
    EXPECT_TRUE(fs::is_directory(root / "Assets" / "Textures"));
    ASSERT_TRUE(e().project.isOpen());
    EXPECT_EQ(e().statusMessage, "Created project " + root.string());
    EXPECT_EQ(e().windowTitle(), "ORVA 3D Studio - Game - Main.orva");

    // Save As has no place inside a project.
    h.press(ImGuiMod_Ctrl | ImGuiMod_Shift | ImGuiKey_S);
    h.frame();
    EXPECT_TRUE(h.isPopupOpen("Error##modal"));
    EXPECT_EQ(e().errorTitle, "Save Scene As unavailable");
    EXPECT_EQ(e().errorDetail, "Use Scene > New Scene to add another scene to this project.");
    h.press(ImGuiKey_Escape);

    // Scene > New Scene adds a second scene file and makes it active; the Scene menu switches back.
    ASSERT_TRUE(h.clickMenu({"Scene", "New Scene..."}));
    ASSERT_EQ(e().project.scenes.size(), 2u) << e().statusMessage;
    const std::string second = e().project.scenes[1];
    EXPECT_EQ(e().statusMessage, "Created scene " + io::fileName(second));
    EXPECT_EQ(h.document().path, (root / second).string());
    EXPECT_TRUE(fs::is_regular_file(root / second));

    ASSERT_TRUE(h.clickMenu({"Scene", "Main"}));
    EXPECT_EQ(h.document().path, (root / "Scenes" / "Main.orva").string());
    EXPECT_EQ(e().project.activeScene, "Scenes/Main.orva");
    EXPECT_EQ(e().windowTitle(), "ORVA 3D Studio - Game - Main.orva");

    // Ctrl+S inside the project saves the scene in place.
    dirtyTheScene();
    h.press(ImGuiMod_Ctrl | ImGuiKey_S);
    EXPECT_FALSE(h.document().dirty);
    EXPECT_EQ(e().statusMessage, "Saved " + (root / "Scenes" / "Main.orva").string());
}

TEST_F(EditorCommands, OpeningASceneOfAProjectSwitchesProjectAndActiveScene) {
    io::Project made;
    std::string error;
    ASSERT_TRUE(made.create(path("Other"), &error)) << error;
    writeScene((fs::path(made.root) / made.activeScene).string());
    std::string intro;
    ASSERT_TRUE(made.addScene("Intro", intro, &error)) << error;
    writeScene(intro);
    ASSERT_TRUE(made.setActiveScene((fs::path(made.root) / "Scenes" / "Main.orva").string(), &error)) << error;

    e().handleDroppedFile(intro);
    ASSERT_TRUE(e().project.isOpen()) << e().statusMessage;
    EXPECT_EQ(e().project.root, made.root);
    EXPECT_EQ(e().statusMessage, "Opened scene " + intro);
    EXPECT_EQ(h.document().path, intro);
    io::Project reread;
    ASSERT_TRUE(reread.open(made.root, &error)) << error;
    EXPECT_EQ(fs::path(reread.root) / reread.activeScene, fs::path(intro)) << "the manifest names it active";

    // A scene file outside any project closes the project.
    const std::string lone = path("lone.orva");
    writeScene(lone);
    e().handleDroppedFile(lone);
    EXPECT_FALSE(e().project.isOpen());
    EXPECT_EQ(h.document().path, lone);

    // A broken file changes nothing and says why.
    const std::string broken = path("broken.orva");
    std::string bytes = "not a scene";
    ASSERT_TRUE(io::writeFileAtomic(broken, bytes.data(), bytes.size()));
    e().handleDroppedFile(broken);
    EXPECT_EQ(e().errorTitle, "Could not open project");
    EXPECT_EQ(h.document().path, lone);

    // A project scene that does not load leaves the open project as it was, so a later Save cannot
    // write into the other project.
    e().handleDroppedFile(intro);
    ASSERT_TRUE(e().project.isOpen());
    io::Project brokenProject;
    ASSERT_TRUE(brokenProject.create(path("Broken"), &error)) << error;
    const std::string brokenMain = (fs::path(brokenProject.root) / brokenProject.activeScene).string();
    ASSERT_TRUE(io::writeFileAtomic(brokenMain, bytes.data(), bytes.size()));
    e().handleDroppedFile(brokenMain);
    EXPECT_EQ(e().errorTitle, "Could not open scene");
    EXPECT_EQ(e().project.root, made.root);
    EXPECT_EQ(h.document().path, intro);
}

TEST_F(EditorCommands, OpenProjectThroughTheFolderPrompt) {
    io::Project made;
    std::string error;
    ASSERT_TRUE(made.create(path("Game"), &error)) << error;
    writeScene((fs::path(made.root) / made.activeScene).string());

    // A folder without a project says so and opens nothing.
    h.press(ImGuiMod_Ctrl | ImGuiKey_O);
    h.frame();
    ASSERT_TRUE(h.isPopupOpen("Project Folder"));
    EXPECT_NE(h.find("Open Project"), nullptr);
    typeIntoPrompt(path("Nothing"));
    EXPECT_EQ(e().errorTitle, "Could not open project");
    EXPECT_FALSE(e().project.isOpen());
    h.press(ImGuiKey_Escape);

    h.press(ImGuiMod_Ctrl | ImGuiKey_O);
    h.frame();
    ASSERT_TRUE(h.isPopupOpen("Project Folder"));
    typeIntoPrompt(path("Game"));
    ASSERT_TRUE(e().project.isOpen());
    EXPECT_EQ(e().statusMessage, "Opened project " + made.root);
    EXPECT_EQ(h.document().path, (fs::path(made.root) / "Scenes" / "Main.orva").string());
    EXPECT_EQ(e().windowTitle(), "ORVA 3D Studio - Game - Main.orva");
}

TEST_F(EditorCommands, ExportThroughTheTypedPathWritesTheFile) {
    ASSERT_TRUE(h.clickMenu({"File", "Export", "glTF Binary (.glb)", "Entire Scene..."}));
    h.frame(2);
    ASSERT_TRUE(h.isPopupOpen("Enter File Path")) << e().statusMessage;
    EXPECT_EQ(io::fileName(e().typedPath), "Untitled.glb");
    typeIntoPrompt(path("scene"));
    const fs::path glb = dir / "scene.glb";
    ASSERT_TRUE(fs::is_regular_file(glb)) << e().statusMessage;
    EXPECT_GT(fs::file_size(glb), 20u);
    EXPECT_EQ(e().statusMessage, "Exported " + glb.string());

    // The selected Cube alone as OBJ, with its material file beside it.
    ASSERT_TRUE(h.clickMenu({"File", "Export", "OBJ (.obj)", "Selected Objects..."}));
    h.frame(2);
    ASSERT_TRUE(h.isPopupOpen("Enter File Path"));
    typeIntoPrompt(path("cube.obj"));
    EXPECT_TRUE(fs::is_regular_file(dir / "cube.obj"));
    EXPECT_EQ(e().statusMessage, "Exported 1 object(s) to " + path("cube.obj"));
}

} // namespace
} // namespace orva::test
