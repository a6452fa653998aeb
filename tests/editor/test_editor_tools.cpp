// The editor's Game menu, Tools panel, help windows and splash, driven through the harness as a
// user drives them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <imgui.h>
#include <imgui_internal.h>

#include "editor/dock_layout.h"
#include "editor/editor_harness.h"
#include "io/file_utils.h"
#include "io/project.h"
#include "scene/primitives.h"
#include "support/qr_read.h"
#include "support/temp_dir.h"

namespace orva::test {
namespace {

namespace fs = std::filesystem;

class EditorTools : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        ASSERT_TRUE(h.ok()) << h.error();
        // No real browser starts from a test; each test says whether opening one works.
        h.editor().openUrl = [this](const std::string& url) {
            openedUrls.push_back(url);
            return browserWorks;
        };
        h.frame(2);
    }
    void TearDown() override {
        h.editor().webServer.stop();
        TempDirTest::TearDown();
    }

    // Saves the default scene as `name` in the test folder.
    void saveScene(const std::string& name) {
        std::string err;
        ASSERT_TRUE(h.document().save(path(name), &err)) << err;
    }

    // The default scene has a Spawn Point; hidden ones do not count.
    void hideSpawnPoints() {
        for (auto& object : h.document().state.scene.objects)
            if (object->type == ObjectType::SpawnPoint)
                object->visible = false;
    }

    EditorHarness h;
    bool browserWorks = true;
    std::vector<std::string> openedUrls;
};

// [SECTION] Web game

TEST_F(EditorTools, BuildOnlyWritesTheTenFilesBesideTheScene) {
    saveScene("Level One.orva");
    hideSpawnPoints();
    const std::string folder = io::pathToUtf8(dir / "Level One_web");
    EXPECT_EQ(h.editor().webBuildDirectory(), folder);

    ASSERT_TRUE(h.clickMenu({"Game", "Build Only (Web)"}));
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir / "Level One_web"))
        files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 10);
    EXPECT_EQ(h.editor().lastWebBuild, folder);
    EXPECT_EQ(h.editor().statusMessage,
              "Built web game in " + folder + " (no Spawn Point in the scene: using a default start position)");
    EXPECT_FALSE(h.editor().webServer.running()) << "building only serves nothing";
    EXPECT_TRUE(openedUrls.empty());

    // With a spawn point the status line has no remark.
    h.document().addSpawnPoint();
    ASSERT_TRUE(h.clickMenu({"Game", "Build Only (Web)"}));
    EXPECT_EQ(h.editor().statusMessage, "Built web game in " + folder);
}

TEST_F(EditorTools, BuildAndRunServesTheGameAndOpensTheBrowser) {
    saveScene("arena.orva");
    ASSERT_TRUE(h.clickMenu({"Game", "Build and Run (Web)"}));
    ASSERT_TRUE(h.editor().webServer.running()) << h.editor().statusMessage;
    const std::string url = h.editor().webServer.localUrl();
    EXPECT_EQ(h.editor().webServer.root(), io::pathToUtf8(dir / "arena_web"));
    ASSERT_EQ(openedUrls.size(), 1u);
    EXPECT_EQ(openedUrls[0], url);
    EXPECT_EQ(h.editor().statusMessage, "Game running at " + url);

    // The menu now offers the running server's items.
    ASSERT_TRUE(h.clickMenu({"Game", "Open Game in Browser"}));
    EXPECT_EQ(openedUrls.size(), 2u);
    ASSERT_TRUE(h.clickMenu({"Game", "Stop Game Server"}));
    EXPECT_FALSE(h.editor().webServer.running());
}

TEST_F(EditorTools, WithoutABrowserTheStatusLineSaysWhereToGo) {
    browserWorks = false;
    saveScene("arena.orva");
    hideSpawnPoints();
    h.press(ImGuiKey_F5);
    ASSERT_TRUE(h.editor().webServer.running()) << h.editor().statusMessage;
    const std::string url = h.editor().webServer.localUrl();
    EXPECT_EQ(h.editor().statusMessage, "Open " + url +
                                            " in your web browser to play (no Spawn Point in the scene: using a "
                                            "default start position)");
    EXPECT_FALSE(h.isPopupOpen("Error##modal")) << "a missing browser is no error";
}

TEST_F(EditorTools, AllowingPhonesRestartsARunningServerOnAllInterfaces) {
    saveScene("arena.orva");
    ASSERT_TRUE(h.clickMenu({"Game", "Build and Run (Web)"}));
    ASSERT_TRUE(h.editor().webServer.running());
    ASSERT_TRUE(h.clickMenu({"Game", "Allow Phones on My Network"}));
    EXPECT_TRUE(h.editor().allowLan);
    EXPECT_TRUE(h.editor().webServer.running());
    EXPECT_EQ(openedUrls.size(), 2u) << "the rebuild opens the game again";
}

// The phone address is drawn as a QR code in the Tools panel and in the phone window; a real QR
// reader finds both in a screenshot of the editor.
TEST_F(EditorTools, PhonesGetTheNetworkAddressAsAQrCode) {
    saveScene("arena.orva");
    ASSERT_TRUE(h.clickItem("Build and Run (Web)  F5"));
    ASSERT_TRUE(h.editor().webServer.running()) << h.editor().statusMessage;
    h.frame();
    ImRect rect;
    EXPECT_FALSE(h.windowRect("Play on Your Phone", &rect)) << "only when phones are allowed";
    EXPECT_EQ(h.find("##phoneqr"), nullptr);

    ASSERT_TRUE(h.clickItem("Allow phones on my network"));
    ASSERT_TRUE(h.editor().allowLan);
    ASSERT_TRUE(h.editor().webServer.running()) << h.editor().statusMessage;
    const std::string lan = h.editor().webServer.lanUrl();
    if (lan.empty())
        GTEST_SKIP() << "this machine has no address on a network, so there is nothing for a phone to open";
    h.frame(2);
    ASSERT_TRUE(h.windowRect("Play on Your Phone", &rect));
    EXPECT_NE(h.findIn(ui::kToolsWindow, "##phoneqr"), nullptr);
    EXPECT_NE(h.findIn("Play on Your Phone", "##phoneqr"), nullptr);

    h.moveMouse(ImVec2(1400, 880)); // no tooltip over the picture
    const std::string picture = std::string(ORVA_TEST_ARTIFACT_DIR) + "/editor_phone_qr.png";
    ASSERT_TRUE(h.saveScreenshot(picture));
    std::string error;
    const std::vector<std::string> codes = readQrCodes(picture, &error);
    ASSERT_TRUE(error.empty()) << error;
    EXPECT_EQ(codes, (std::vector<std::string>{lan, lan})) << "the Tools panel's code and the phone window's";

    // Closing the window leaves the panel's code; stopping the server takes both away.
    ASSERT_TRUE(h.clickItem("Close"));
    EXPECT_FALSE(h.windowRect("Play on Your Phone", &rect));
    EXPECT_NE(h.findIn(ui::kToolsWindow, "##phoneqr"), nullptr);
    ASSERT_TRUE(h.clickItem("Build and Run (Web)  F5"));
    h.frame();
    EXPECT_TRUE(h.windowRect("Play on Your Phone", &rect)) << "every run with phones allowed shows it again";
    ASSERT_TRUE(h.clickItem("Stop Server"));
    EXPECT_FALSE(h.windowRect("Play on Your Phone", &rect));
    EXPECT_EQ(h.find("##phoneqr"), nullptr);
}

TEST_F(EditorTools, ASceneWithNothingVisibleReportsTheFailedBuild) {
    saveScene("empty.orva");
    for (auto& object : h.document().state.scene.objects)
        object->visible = false;
    ASSERT_TRUE(h.clickMenu({"Game", "Build and Run (Web)"}));
    h.frame();
    EXPECT_TRUE(h.isPopupOpen("Error##modal"));
    EXPECT_EQ(h.editor().statusMessage, "Web build failed: The scene has no visible objects to build.");
    EXPECT_FALSE(h.editor().webServer.running());
    EXPECT_TRUE(h.editor().lastWebBuild.empty());
}

// [SECTION] Tools panel

TEST_F(EditorTools, ToolsButtonsAddObjects) {
    const size_t before = h.document().state.scene.objects.size();
    const UiItem* cube = h.findIn(ui::kToolsWindow, "Cube");
    const UiItem* plane = h.findIn(ui::kToolsWindow, "Plane");
    ASSERT_TRUE(cube && plane);
    EXPECT_EQ(cube->rect.Min.y, plane->rect.Min.y) << "two buttons a row";
    EXPECT_EQ(cube->rect.GetWidth(), plane->rect.GetWidth());
    ASSERT_TRUE(h.clickItem("Cube"));
    ASSERT_EQ(h.document().state.scene.objects.size(), before + 1);
    EXPECT_EQ(h.document().activeObject()->name, "Cube.001");
    ASSERT_TRUE(h.clickItem("Spawn Point"));
    EXPECT_EQ(h.document().activeObject()->type, ObjectType::SpawnPoint);
}

TEST_F(EditorTools, SnapStepsAreGreyedOutWhileSnapIsOffAndKeepTheirValues) {
    h.editor().settings.snapMove = 0.5f;
    h.frame();
    const char* const steps[] = {"##snapmove", "##snaprot", "##snapscale"};
    for (const char* step : steps) {
        const UiItem* item = h.findIn(ui::kToolsWindow, step);
        ASSERT_NE(item, nullptr) << step;
        EXPECT_TRUE(item->disabled) << step;
    }
    ASSERT_TRUE(h.clickItem("Snap"));
    EXPECT_TRUE(h.editor().settings.snap);
    for (const char* step : steps)
        EXPECT_FALSE(h.findIn(ui::kToolsWindow, step)->disabled) << step;
    EXPECT_EQ(h.editor().settings.snapMove, 0.5f);

    ASSERT_TRUE(h.clickItem("Rotate"));
    EXPECT_EQ(h.editor().settings.gizmoOperation, kGizmoRotate);
    ASSERT_TRUE(h.clickItem("Local"));
    EXPECT_EQ(h.editor().settings.gizmoOrientation, kGizmoLocal);
}

TEST_F(EditorTools, ToolsGameSectionRunsAndStopsTheServer) {
    saveScene("arena.orva");
    EXPECT_EQ(h.findIn(ui::kToolsWindow, "Stop Server"), nullptr) << "only while the server runs";
    ASSERT_TRUE(h.clickItem("Build and Run (Web)  F5"));
    ASSERT_TRUE(h.editor().webServer.running()) << h.editor().statusMessage;
    h.frame();
    ASSERT_TRUE(h.clickItem("Open"));
    EXPECT_EQ(openedUrls.size(), 2u);
    ASSERT_TRUE(h.clickItem("Stop Server"));
    EXPECT_FALSE(h.editor().webServer.running());
    EXPECT_EQ(h.editor().statusMessage, "Game server stopped");
}

TEST_F(EditorTools, MeshToolsWaitForEditMode) {
    const UiItem* extrude = h.findIn(ui::kToolsWindow, "Extrude");
    ASSERT_NE(extrude, nullptr);
    EXPECT_TRUE(extrude->disabled);
    EXPECT_NE(h.findIn(ui::kToolsWindow, "Enter Edit Mode (Tab)"), nullptr);
    // The default scene's cube is active: the Tools button enters Edit Mode on it.
    ASSERT_TRUE(h.clickItem("Enter Edit Mode (Tab)"));
    EXPECT_EQ(h.document().state.mode, InteractionMode::Edit);
    EXPECT_FALSE(h.findIn(ui::kToolsWindow, "Extrude")->disabled);
    EXPECT_NE(h.findIn(ui::kToolsWindow, "Exit Edit Mode (Tab)"), nullptr);
}

// [SECTION] Explorer

class EditorExplorer : public EditorTools {
protected:
    // A project in the test folder with its scene Scenes/Main.orva open, plus `extra` scenes.
    void openProject(const std::vector<std::string>& extra = {}) {
        std::string err;
        io::Project project;
        ASSERT_TRUE(project.create(io::pathToUtf8(dir / "Game"), &err)) << err;
        for (const std::string& name : extra) {
            std::string scenePath;
            ASSERT_TRUE(project.addScene(name, scenePath, &err)) << err;
            ASSERT_TRUE(h.document().save(scenePath, &err)) << err;
        }
        mainScene = io::pathToUtf8(fs::path(project.root) / "Scenes" / "Main.orva");
        ASSERT_TRUE(h.document().save(mainScene, &err)) << err;
        h.editor().project = project;
        h.frame();
    }
    float rowY(const std::string& label) {
        const UiItem* item = h.find(label);
        EXPECT_NE(item, nullptr) << label;
        return item ? item->rect.Min.y : -1.0f;
    }

    std::string mainScene;
};

TEST_F(EditorExplorer, ListsFoldersFirstThenNamesIgnoringCase) {
    openProject();
    const fs::path root = h.editor().project.root;
    fs::create_directories(root / "b");
    fs::create_directories(root / "A");
    std::ofstream(root / "c.txt") << "text";
    h.frame();
    EXPECT_LT(rowY("[Folder] A"), rowY("[Folder] Assets"));
    EXPECT_LT(rowY("[Folder] Assets"), rowY("[Folder] b"));
    EXPECT_LT(rowY("[Folder] b"), rowY("[Folder] Scenes"));
    EXPECT_LT(rowY("[Folder] Scenes"), rowY("[File] c.txt"));
    EXPECT_LT(rowY("[File] c.txt"), rowY("[File] project.json"));
}

TEST_F(EditorExplorer, DoubleClicksOpenFoldersAndAskBeforeSwitchingScenes) {
    openProject({"Level"});
    const UiItem* scenes = h.find("[Folder] Scenes");
    ASSERT_NE(scenes, nullptr);
    h.doubleClick(scenes->rect.GetCenter());
    h.frame();
    const UiItem* main = h.find("[Scene] Main.orva");
    ASSERT_NE(main, nullptr) << "the Scenes folder is listed";
    EXPECT_NE(h.find("Up"), nullptr);

    // The open scene: nothing happens.
    h.doubleClick(main->rect.GetCenter());
    EXPECT_EQ(h.editor().pendingAction, Editor::PendingAction::None);
    EXPECT_FALSE(h.editor().openUnsavedPrompt);

    // Another scene with unsaved changes: the prompt comes first.
    h.document().addPrimitive(PrimitiveType::Cube);
    const UiItem* level = h.find("[Scene] Level.orva");
    ASSERT_NE(level, nullptr);
    h.doubleClick(level->rect.GetCenter());
    EXPECT_EQ(h.editor().pendingAction, Editor::PendingAction::SwitchScene);
    EXPECT_TRUE(h.isPopupOpen("Unsaved Changes"));
    EXPECT_EQ(fs::path(h.editor().pendingPath).filename(), "Level.orva");
}

TEST_F(EditorExplorer, F2RenamesTheOpenSceneAndTheTitleFollows) {
    openProject();
    const UiItem* scenes = h.find("[Folder] Scenes");
    ASSERT_NE(scenes, nullptr);
    h.doubleClick(scenes->rect.GetCenter());
    h.frame();
    ASSERT_TRUE(h.clickItem("[Scene] Main.orva"));
    h.press(ImGuiKey_F2);
    h.frame();
    EXPECT_TRUE(h.editor().sceneRenaming);
    EXPECT_EQ(h.editor().sceneRenameBuffer, "Main");
    h.press(ImGuiMod_Ctrl | ImGuiKey_A);
    h.type("Castle");
    h.press(ImGuiKey_Enter);
    EXPECT_FALSE(h.editor().sceneRenaming);
    const fs::path renamed = fs::path(h.editor().project.root) / "Scenes" / "Castle.orva";
    EXPECT_TRUE(fs::exists(renamed));
    EXPECT_EQ(h.document().path, io::pathToUtf8(renamed));
    EXPECT_EQ(h.editor().statusMessage, "Renamed scene to Castle.orva");
    EXPECT_NE(h.editor().windowTitle().find("Castle"), std::string::npos) << h.editor().windowTitle();

    // F2 on a file that is no scene does nothing.
    ASSERT_TRUE(h.clickItem("Up"));
    ASSERT_TRUE(h.clickItem("[File] project.json"));
    h.press(ImGuiKey_F2);
    EXPECT_FALSE(h.editor().sceneRenaming);
}

// [SECTION] Help windows

TEST_F(EditorTools, ControlsWindowListsTheInputsUntilClosed) {
    ASSERT_TRUE(h.clickMenu({"Help", "Keyboard & Mouse Controls"}));
    h.frame();
    ImRect rect;
    ASSERT_TRUE(h.windowRect("Keyboard & Mouse Controls", &rect));
    EXPECT_EQ(rect.GetWidth(), 560.0f);
    EXPECT_EQ(rect.GetHeight(), 520.0f);
    EXPECT_TRUE(h.saveScreenshot(std::string(ORVA_TEST_ARTIFACT_DIR) + "/editor_controls.png"));
    h.frame(3);
    EXPECT_TRUE(h.editor().showControls) << "it stays open";
    h.editor().showControls = false;
    h.frame();
    EXPECT_FALSE(h.windowRect("Keyboard & Mouse Controls", &rect));
}

TEST_F(EditorTools, AboutBoxOpensOnceAndCloses) {
    ASSERT_TRUE(h.clickMenu({"Help", "About ORVA 3D Studio"}));
    h.frame();
    EXPECT_TRUE(h.isPopupOpen("About ORVA 3D Studio"));
    EXPECT_FALSE(h.editor().showAbout) << "the request is used up";
    ImRect rect;
    ASSERT_TRUE(h.windowRect("About ORVA 3D Studio", &rect));
    EXPECT_GE(rect.GetWidth(), 480.0f);
    EXPECT_NE(h.findIn("About ORVA 3D Studio", "Close"), nullptr);
    // For a person to look at: the editor with the About box over it.
    EXPECT_TRUE(h.saveScreenshot(std::string(ORVA_TEST_ARTIFACT_DIR) + "/editor_about.png"));
    ASSERT_TRUE(h.clickItem("Close"));
    EXPECT_FALSE(h.isPopupOpen("About ORVA 3D Studio"));
}

// [SECTION] Splash

class EditorSplash : public ::testing::Test {
protected:
    HarnessOptions withSplash() {
        HarnessOptions options;
        options.skipSplash = false;
        return options;
    }
};

TEST_F(EditorSplash, FadesOutAndEnds) {
    EditorHarness h(withSplash());
    ASSERT_TRUE(h.ok()) << h.error();
    ASSERT_NE(h.editor().branding.splash.texture, 0u);
    h.frame(2);
    ImRect rect;
    ASSERT_TRUE(h.windowRect("##splash", &rect));
    EXPECT_EQ(rect.GetWidth(), 1440.0f);
    EXPECT_FALSE(h.editor().splashDone);
    // Fading: 1.8 s after the start (the clock moved on rather than drawing 100 frames).
    ImGui::GetCurrentContext()->Time += 1.8;
    h.frame();
    EXPECT_FALSE(h.editor().splashDone);
    EXPECT_TRUE(h.windowRect("##splash", &rect));
    ImGui::GetCurrentContext()->Time += 0.4;
    h.frame();
    EXPECT_TRUE(h.editor().splashDone);
    h.frame();
    EXPECT_FALSE(h.windowRect("##splash", &rect));
}

TEST_F(EditorSplash, AClickOrEscapeDismissesItAtOnce) {
    {
        EditorHarness h(withSplash());
        ASSERT_TRUE(h.ok()) << h.error();
        h.frame(2);
        h.click(ImVec2(700.0f, 450.0f));
        EXPECT_TRUE(h.editor().splashDone);
        EXPECT_TRUE(h.document().state.selection.ids.size() == 1u) << "the click does not reach the viewport";
    }
    {
        EditorHarness h(withSplash());
        ASSERT_TRUE(h.ok()) << h.error();
        h.frame(2);
        h.press(ImGuiKey_Escape);
        EXPECT_TRUE(h.editor().splashDone);
    }
}

} // namespace
} // namespace orva::test
