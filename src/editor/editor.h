#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/branding.h"
#include "app/file_dialogs.h"
#include "app/qr_code.h"
#include "document/document.h"
#include "editor/dock_layout.h"
#include "editor/editor_settings.h"
#include "game/local_web_server.h"
#include "io/project.h"
#include "render/renderer.h"

struct SDL_Window;

namespace orva {

class Inspector;
class Outliner;
class UvEditor;
class Viewport;

// The whole user interface. The Application constructs one on its window, calls `initialize`,
// then `frame` once per ImGui frame, reads `windowTitle` and `shouldQuit` after every frame,
// forwards dropped files and quit requests, and finally calls `shutdown`.
//
// The editor owns the open document, the settings, the web server and the panels, and the state
// that ties them together: the dock layout, the status line, the error modal and the pending action
// behind the unsaved-changes prompt. Its work is spread over files by responsibility:
//   editor.cpp     shell: construction, the frame, status and error, title, status bar, dock layout
//   main_menu.cpp  the main menu bar and its menus
//   shortcuts.cpp  the keyboard shortcuts
//   commands.cpp   the command... functions the menus, shortcuts and panels call
//   modals.cpp     the modal windows (unsaved changes, typed path, project folder, error)
//   web_commands.cpp  the web game build, its server, the browser and the phone window
//   tools_panel.cpp   the Tools panel
//   explorer.cpp      the Explorer panel over the project folder
//   help_windows.cpp  the controls window and the About box
//   splash.cpp        the start-up splash
//
// Members are public: the panels, the menus and the tests read and set them directly.
class Editor {
public:
    // What waits for the unsaved-changes prompt (or for a Save As dialog) before it runs.
    enum class PendingAction : int {
        None = 0,
        NewProject = 1,
        NewScene = 2,
        OpenProject = 3,
        OpenFile = 4,
        SwitchScene = 5,
        Quit = 6,
    };
    // What a file dialog was opened for.
    enum class DialogTag : int {
        None = 0,
        OpenScene = 1,
        SaveSceneAs = 2,
        ExportObjScene = 3,
        ExportObjSelected = 4,
        ExportGlbScene = 5,
        ExportGlbSelected = 6,
        ImportFbx = 7,
        ImportObj = 8,
        MaterialTexture = 9,
    };

    explicit Editor(SDL_Window* window);
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // [SECTION] Shell (editor.cpp)

    // Sets up what needs the GL context and the ImGui context (created, before its first frame):
    // the renderer, the panels and the dock layout's place in "layout.ini". False with the
    // renderer's message in `error` when the renderer cannot be set up (no panel is made then).
    bool initialize(std::string* error);
    // Builds and handles the whole interface for one frame, between ImGui::NewFrame and ImGui::Render.
    void frame();
    // Releases the panels and GL resources while the context is still current; safe to call twice.
    void shutdown();

    // The application name, the project folder when one is open, the document's name, and " *"
    // while there are unsaved changes.
    std::string windowTitle() const;
    // Shows `message` on the status line; its age is measured in ImGui time (0 without a context).
    void status(const std::string& message);
    // Reports a failed command: opens "Error##modal" with `title` and `detail` next frame and
    // repeats both on the status line.
    void error(const std::string& title, const std::string& detail);
    // The label of a chord with the primary modifier: "Cmd+" + key on macOS, "Ctrl+" + key elsewhere
    // (ImGui's Ctrl modifier is the Command key on macOS).
    std::string shortcut(const char* key) const;
    // Switches between the default and the UV Editing layout (rebuilt next frame).
    void toggleUvLayout();
    // The colour of the status message now: bright for 8 seconds after it was set, then dim.
    ImVec4 statusColor() const;

    // [SECTION] Commands (commands.cpp)

    // Asks for `action`: at once when the document has no unsaved changes, otherwise behind the
    // "Unsaved Changes" prompt. Only the newest request counts.
    void askFor(PendingAction action);
    // Runs the action that was waiting, and forgets it.
    void continuePendingAction();
    void requestQuit();
    // Opens whatever file `path` names: an image becomes the active mesh's texture, a model is
    // imported, a scene is opened (behind the prompt); anything else is refused on the status line.
    void handleDroppedFile(const std::string& path);

    void commandNew();
    void commandNewProject();
    void commandOpen();
    void commandOpenProject();
    void commandNewScene();
    bool commandSave();
    void commandSaveAs(PendingAction then);
    void commandExport(DialogTag tag);
    void commandImport(const std::string& path);
    // Edit Mode: deletes the selected components; Object Mode: the selected objects.
    void commandDelete();
    void commandToggleEditMode();
    // Reports a mesh operation on the status line (never in the error modal).
    void runMeshOp(bool ok, const std::string& errorText, const std::string& successMessage);
    // The folder a web build goes to (UTF-8): the project's "Builds" folder, else beside the scene
    // file, else below the user preference folder.
    std::string webBuildDirectory() const;
    // Builds the scene as a web game; with `run` also serves it and opens the browser, and when
    // phones are allowed and the machine's network address is known, shows the phone window.
    void commandBuildWeb(bool run);
    // Opens the running game's local address in the browser; says where to go when it cannot.
    void commandOpenGameInBrowser();
    void applyTextureFile(int materialIndex, const std::string& path);
    // Opens the native dialog for `tag`, its filters and its default location; that location also
    // prefills the typed-path prompt should the dialog fail.
    void showFileDialog(bool save, DialogTag tag);
    // Handles every dialog answer that has arrived: a chosen path, a failure (the typed-path
    // prompt opens) or a cancel (a Save As drops the action waiting behind it).
    void processDialogResults();
    // Does what the dialog for `tag` was opened for with the chosen `path`; unknown tags are ignored.
    void handleDialogPath(DialogTag tag, const std::string& path);
    // Opens the scene file `path` into the document and, inside a project, makes it the active
    // scene. False after reporting the error.
    bool openScene(const std::string& path);
    // Opens a scene file: with its project when it lies in a project's Scenes folder, otherwise on
    // its own (the open project is closed). False after reporting the error.
    bool openProject(const std::string& path);
    // Where dialogs start: the project root, else the folder of the document's file, else the
    // user's Documents or home folder; empty when none is known.
    std::string defaultDirectory() const;
    // No native dialog is waiting for an answer (menu items that open dialogs need this).
    bool dialogIdle() const;

    // [SECTION] Menus and shortcuts (main_menu.cpp, shortcuts.cpp)

    void drawMenuBar();
    void drawUvMenuItems();
    void handleShortcuts();

    // [SECTION] Panels and windows

    // Docked windows take the flags the dock layout gives them (DockLayout::placeWindow) along
    // with their own.
    void drawToolsPanel(bool* open, ImGuiWindowFlags dockFlags = 0);
    void drawExplorer(bool* open, ImGuiWindowFlags dockFlags = 0);
    void drawHelpWindows();
    // "Play on Your Phone": the running game's network address as a QR code, while it is served
    // to the local network.
    void drawPhoneWindow();
    // The QR code of the server's network address, encoded again only when the address changes;
    // empty when there is none.
    const QrCode& lanQrCode();
    void drawModals();
    void drawSplash();

    // [SECTION] State

    SDL_Window* window = nullptr; // not owned
    Document document;
    io::Project project; // open when its root is not empty
    EditorSettings settings;
    bool showOutliner = true;
    bool showProperties = true;
    bool showTools = true;
    bool showUvEditor = true;
    bool showExplorer = true;
    Renderer renderer;                      // the viewport renderer, shared by the panels that draw the scene
    Branding branding;                      // icon, wordmark and splash textures; empty when they did not load
    double splashStart = -1.0;              // ImGui time of the first splash frame; negative before it
    bool splashDone = false;                // the splash has ended or is skipped (screenshot runs set it)
    FileDialogService fileDialogs{nullptr}; // its parent window is set in initialize
    game::LocalWebServer webServer;
    bool allowLan = false;    // serve web builds to phones on the local network too
    std::string lastWebBuild; // UTF-8 folder of the last successful web build
    bool showPhoneWindow = false;
    QrCode lanQr;           // the code of lanQrUrl
    std::string lanQrUrl;
    // Opens a web address in the default browser, true when it was handed over; SDL_OpenURL
    // unless replaced (tests replace it so that no browser starts).
    std::function<bool(const std::string& url)> openUrl;
    // The panels, made by initialize and destroyed by shutdown; they hold references to the document
    // and the renderer.
    std::unique_ptr<Viewport> viewport;
    std::unique_ptr<Outliner> outliner;
    std::unique_ptr<Inspector> inspector;
    std::unique_ptr<UvEditor> uvEditor;
    bool shouldQuit = false; // quitting is confirmed; the loop ends after this frame
    PendingAction pendingAction = PendingAction::None;
    std::string pendingPath;      // the file that OpenFile or SwitchScene will open
    int pendingTextureIndex = -1; // the material the next texture file is for
    bool openUnsavedPrompt = false;
    int focusOutlinerFrames = 3; // frames in which the Outliner still gets focus before it is drawn
    bool resetLayout = false;    // rebuild the dock layout next frame
    bool layoutInitDone = false; // the restored layout was inspected on the first frame
    bool uvLayout = false;       // the UV Editing layout is in use
    bool uvLayoutDetected = false;
    bool showControls = false;
    bool showAbout = false;
    std::string explorerRoot;
    std::string explorerDir;
    std::string explorerSelection;
    std::string sceneRenameBuffer;
    bool sceneRenaming = false;
    bool openPathPrompt = false;
    int projectPromptMode = 0; // 0 none, 1 create a project, 2 open a project
    bool openProjectPrompt = false;
    DialogTag failedDialogTag = DialogTag::None;
    bool lastDialogSave = false;
    std::string typedPath;
    std::string dialogError;
    std::string statusMessage;
    double statusTime = 0.0; // ImGui time at which statusMessage was set
    std::string errorTitle;
    std::string errorDetail;
    bool openErrorModal = false;

    // The panels' places: a split tree over the area between the menu bar and the status bar, kept
    // in "layout.ini".
    ui::DockLayout dock;

private:
    void drawStatusBar();
    void setupDockLayout();
    void drawViewportPanel();
    // The viewport's view commands; the shortcuts and the View menu call these.
    bool viewportHovered() const;
    void viewportFrameSelected();
    void viewportFrameAll();
    void viewportSetView(float yawDegrees, float pitchDegrees);
    // Edit Mode: every component; Object Mode: every object (or none, clearing the active one).
    void selectAll(bool select);
    void duplicateSelection();

    void drawMenuBarIcon();
    void drawFileMenu();
    void drawSceneMenu();
    void drawEditMenu();
    void drawObjectMenu();
    void drawMeshMenu();
    void drawViewMenu();
    void drawToolsMenu();
    void drawGameMenu();
    void drawHelpMenu();
    void drawEditModeToggleItem();

    void drawUnsavedChangesModal();
    void drawPathPromptModal();
    void drawProjectFolderModal();
    void drawErrorModal();
    void createProject(const std::string& folder);
    void openProjectFolder(const std::string& folder);
    void addSceneToProject();

    bool shutDown = false;
};

} // namespace orva
