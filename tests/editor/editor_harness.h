#pragma once

#include <initializer_list>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <imgui.h>
#include <imgui_internal.h>

#include "editor/editor.h"
#include "editor/item_recorder.h"
#include "io/image.h"

struct SDL_Window;
struct SDL_GLContextState;

// Drives the real Editor the way the Application does, without showing anything: a hidden SDL
// window with an OpenGL 3.3 context (under Xvfb in the test script), an ImGui context with the
// editor theme, the SDL3 and OpenGL3 backends, and frames fed with simulated mouse and keyboard
// events. Every item ImGui lays out is recorded, so a test clicks menus, buttons and tabs by their
// labels where they really are on screen.
//
//   orva::test::EditorHarness h;
//   ASSERT_TRUE(h.ok()) << h.error();
//   h.frame(2);
//   ASSERT_TRUE(h.clickMenu({"Object", "Add", "Mesh", "Cube"}));
//   EXPECT_EQ(h.editor().windowTitle(), "ORVA 3D Studio - Untitled *");
//
// Coordinates are screen pixels of the window (the display scale is 1). Input helpers run the
// frames they need, so what they did is visible when they return. ImGui time advances by
// kFrameSeconds per frame. One harness at a time.
namespace orva::test {

struct HarnessOptions {
    int width = 1440;
    int height = 900;
    // The layout file; empty for none (every run starts with the default layout).
    std::string iniPath;
    // Start without the splash, as a screenshot run does.
    bool skipSplash = true;
};

// An item drawn in the last frame.
struct UiItem {
    ImGuiID id = 0;
    ImRect rect;        // screen pixels
    std::string label;  // as passed to the widget, "##" suffixes included; empty when it has none
    std::string window; // the name of the window it was drawn in
    bool disabled = false;
    bool checkable = false; // menu items with a tick and check boxes
    bool checked = false;
    bool isWindow = false; // the window itself (labelled with its name), not an item in it
};

class EditorHarness {
public:
    static constexpr float kFrameSeconds = 1.0f / 60.0f;

    explicit EditorHarness(HarnessOptions options = {});
    ~EditorHarness();
    EditorHarness(const EditorHarness&) = delete;
    EditorHarness& operator=(const EditorHarness&) = delete;

    // False when the window, the GL context, the backends or the editor could not be set up.
    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }
    Editor& editor() { return *editor_; }
    Document& document() { return editor_->document; }

    // [SECTION] Frames
    // Runs `count` whole frames: backends, ImGui::NewFrame, the gizmo frame, Editor::frame, the
    // test's own interface (afterEditorFrame), ImGui::Render and the draw into the window.
    void frame(int count = 1);
    // Extra interface a test draws after the editor each frame (a text field, say).
    std::function<void()> afterEditorFrame;

    // [SECTION] Mouse and keyboard
    void moveMouse(ImVec2 pos);
    // Moves there, presses and releases (a frame each), then one more frame.
    void click(ImVec2 pos, ImGuiMouseButton button = ImGuiMouseButton_Left);
    // Two clicks in quick succession (well within ImGui's double-click time).
    void doubleClick(ImVec2 pos);
    // Left drag from `from` to `to` in `steps` moves.
    void drag(ImVec2 from, ImVec2 to, int steps = 4);
    // A chord such as ImGuiMod_Ctrl | ImGuiKey_Z: modifiers down, key down, key up, modifiers up.
    void press(ImGuiKeyChord chord);
    // Types ASCII text as key presses with their characters (letters, digits and space).
    void type(std::string_view text);

    // [SECTION] Items of the last frame
    // The last item drawn with this label (the one in the topmost open menu, say); null when none.
    // Windows are not items here, and tabs are found with findTab.
    const UiItem* find(std::string_view label) const;
    // The last item with this label drawn in the window named `window` ("##MainMenuBar", say).
    const UiItem* findIn(std::string_view window, std::string_view label) const;
    // The tab drawn with this label in the last frame (a tab strip of the dock layout, say).
    const UiItem* findTab(std::string_view label) const;
    // Every item with this label, in drawing order (rows of a list drawn with the same "##" label).
    std::vector<const UiItem*> findAll(std::string_view label) const;
    const UiItem* findId(ImGuiID id) const;
    // Clicks the centre of the item (or else of the tab); false when none has that label.
    bool clickItem(std::string_view label);
    // Opens each menu of the path from the main menu bar, then clicks its last item. False (with
    // the menus left as they are) when some label is missing.
    bool clickMenu(std::initializer_list<std::string_view> path);
    // Opens each menu of the path and leaves them open, so a test can read the items.
    bool openMenu(std::initializer_list<std::string_view> path);
    // Closes open menus as a user does: a click on the status bar, where nothing reacts.
    void closeMenus();
    const std::vector<UiItem>& items() const { return lastItems_; }

    // [SECTION] Windows
    // The rectangle of a window drawn in the last frame; false when it was not drawn.
    bool windowRect(const char* name, ImRect* rect) const;
    ImVec2 windowCentre(const char* name) const;
    // A popup (a modal, say) whose window name contains `name` is open.
    bool isPopupOpen(const char* name) const;
    // The menu opened by the menu item `menuId` is open.
    bool isMenuOpen(ImGuiID menuId) const;

    // [SECTION] Pictures
    // The last frame as drawn into the window: RGBA, top row first, opaque.
    bool readPixels(io::RgbaImage* image);
    // Writes the last frame, as drawn into the window, to a PNG file.
    bool saveScreenshot(const std::string& path, std::string* error = nullptr);

private:
    void setUp(const HarnessOptions& options);
    bool openMenus(const std::string_view* begin, const std::string_view* end);

    bool ok_ = false;
    std::string error_;
    std::string iniPath_; // ImGui keeps a pointer to these characters
    int width_ = 0;
    int height_ = 0;
    SDL_Window* window_ = nullptr;
    SDL_GLContextState* glContext_ = nullptr;
    ImGuiContext* context_ = nullptr;
    bool backends_ = false;
    std::unique_ptr<Editor> editor_;
    ui::ItemRecorder recorder_;
    std::vector<UiItem> items_;     // being recorded this frame
    std::vector<UiItem> lastItems_; // of the last whole frame
};

} // namespace orva::test
