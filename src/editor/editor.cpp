// The editor shell: construction, the order of work in a frame, status and error reporting, the
// window title, the status bar and the dock layout.
//
// Index of this file:
// [SECTION] Life
// [SECTION] Status, error, title
// [SECTION] Frame
// [SECTION] Dock layout
// [SECTION] Panels
// [SECTION] Status bar

#include "editor/editor.h"

#include <algorithm>
#include <cstdio>

#include <imgui.h>
#include <imgui_internal.h>

#include "editor/inspector.h"
#include "editor/outliner.h"
#include "editor/uv_editor.h"
#include "editor/viewport.h"
#include "io/file_utils.h"
#include "version.h"

namespace orva {

namespace {

double imguiTime() { return ImGui::GetCurrentContext() ? ImGui::GetTime() : 0.0; }

// How long a status message stays bright.
constexpr double kStatusFreshSeconds = 8.0;

// The dockable panels with their open flags, in drawing order.
struct PanelFlag {
    const char* name;
    bool Editor::*open;
};
constexpr PanelFlag kPanelFlags[] = {
    {ui::kOutlinerWindow, &Editor::showOutliner}, {ui::kPropertiesWindow, &Editor::showProperties},
    {ui::kToolsWindow, &Editor::showTools},       {ui::kExplorerWindow, &Editor::showExplorer},
    {ui::kUvEditorWindow, &Editor::showUvEditor},
};

} // namespace

//-----------------------------------------------------------------------------
// [SECTION] Life
//-----------------------------------------------------------------------------

Editor::Editor(SDL_Window* w) : window(w) {}

Editor::~Editor() { shutdown(); }

bool Editor::initialize(std::string* error) {
    shutDown = false;
    if (!renderer.initialize(error))
        return false;
    // No splash without its artwork.
    if (!branding.load())
        splashDone = true;
    fileDialogs.window = window;

    viewport = std::make_unique<Viewport>(document, renderer, settings);
    outliner = std::make_unique<Outliner>(document);
    inspector = std::make_unique<Inspector>(document, renderer);
    uvEditor = std::make_unique<UvEditor>(document, renderer);
    uvEditor->statusCallback = [this](const std::string& message) { status(message); };
    uvEditor->layoutCallback = [this] { toggleUvLayout(); };
    inspector->requestTexture = [this](int materialIndex) {
        pendingTextureIndex = materialIndex;
        showFileDialog(false, DialogTag::MaterialTexture);
    };

    // Every panel window is declared before the first ImGui frame reads "layout.ini": a saved
    // layout is only taken when it holds exactly these windows.
    dock.bindWindow(ui::kViewportWindow, nullptr);
    for (const PanelFlag& p : kPanelFlags)
        dock.bindWindow(p.name, &(this->*p.open));
    if (ImGuiContext* context = ImGui::GetCurrentContext())
        dock.registerSettingsHandler(context);

    statusMessage = std::string("Welcome to ") + kAppName + " " + kAppVersion;
    statusTime = imguiTime();
    return true;
}

void Editor::shutdown() {
    if (shutDown)
        return;
    shutDown = true;
    // Order: the panels (Viewport, Outliner, Inspector, UV Editor), which hold references to the
    // renderer, then the branding textures, then the renderer, all while the GL context is current.
    viewport.reset();
    outliner.reset();
    inspector.reset();
    uvEditor.reset();
    branding.unload();
    renderer.shutdown();
}

//-----------------------------------------------------------------------------
// [SECTION] Status, error, title
//-----------------------------------------------------------------------------

std::string Editor::windowTitle() const {
    std::string title = kAppName;
    if (project.isOpen()) {
        title += " - ";
        title += io::fileName(project.root);
    }
    title += " - ";
    title += document.displayName();
    if (document.dirty)
        title += " *";
    return title;
}

void Editor::status(const std::string& message) {
    statusMessage = message;
    statusTime = imguiTime();
}

void Editor::error(const std::string& title, const std::string& detail) {
    errorTitle = title;
    errorDetail = detail;
    openErrorModal = true;
    status(title + ": " + detail);
}

std::string Editor::shortcut(const char* key) const {
#ifdef __APPLE__
    return std::string("Cmd+") + key;
#else
    return std::string("Ctrl+") + key;
#endif
}

void Editor::toggleUvLayout() {
    const bool wasOn = uvLayout;
    uvLayout = !uvLayout;
    resetLayout = true;
    status(wasOn ? "Default layout" : "UV Editing layout: View > Reset Layout (or Small View) goes back");
}

ImVec4 Editor::statusColor() const {
    const bool fresh = imguiTime() - statusTime < kStatusFreshSeconds;
    return fresh ? ImVec4(0.9f, 0.9f, 0.9f, 1.0f) : ImVec4(0.55f, 0.55f, 0.57f, 1.0f);
}

//-----------------------------------------------------------------------------
// [SECTION] Frame
//-----------------------------------------------------------------------------

void Editor::frame() {
    processDialogResults();
    handleShortcuts();
    drawMenuBar();
    drawStatusBar();

    // The layout: the default one on a first start (or when the saved one was not usable), again
    // after View > Reset Layout and the UV Editing toggle.
    bool build = false;
    if (!layoutInitDone) {
        layoutInitDone = true;
        build = !dock.hasWindow(ui::kUvEditorWindow) || !dock.hasWindow(ui::kExplorerWindow);
    }
    if (build || resetLayout || dock.empty())
        setupDockLayout();
    // The panels share what the menu bar and the status bar leave of the window, this frame.
    const ImRect area = static_cast<ImGuiViewportP*>(ImGui::GetMainViewport())->GetBuildWorkRect();
    dock.beginFrame(area.Min, area.GetSize());

    drawViewportPanel();

    if (showOutliner) {
        ImGuiWindowFlags f = 0;
        if (dock.placeWindow(ui::kOutlinerWindow, &f)) {
            if (focusOutlinerFrames > 0) {
                ImGui::SetNextWindowFocus();
                --focusOutlinerFrames;
            }
            if (outliner)
                outliner->draw(&showOutliner, f);
        }
    }
    if (showProperties) {
        ImGuiWindowFlags f = 0;
        if (dock.placeWindow(ui::kPropertiesWindow, &f))
            if (inspector)
                inspector->draw(&showProperties, f);
    }
    if (showTools) {
        ImGuiWindowFlags f = 0;
        if (dock.placeWindow(ui::kToolsWindow, &f))
            drawToolsPanel(&showTools, f);
    }
    if (showExplorer) {
        ImGuiWindowFlags f = 0;
        if (dock.placeWindow(ui::kExplorerWindow, &f))
            drawExplorer(&showExplorer, f);
    }
    if (showUvEditor) {
        ImGuiWindowFlags f = 0;
        if (dock.placeWindow(ui::kUvEditorWindow, &f) && uvEditor) {
            uvEditor->separateDock = uvLayout;
            uvEditor->draw(&showUvEditor, f);
        }
    }

    // A restored layout in which the UV Editor has its own node is the UV Editing layout.
    if (!uvLayoutDetected && dock.hasWindow(ui::kUvEditorWindow) && dock.hasWindow(ui::kOutlinerWindow)) {
        uvLayout = dock.isSeparateUvNode();
        uvLayoutDetected = true;
    }
    dock.endFrame();

    drawHelpWindows();
    drawPhoneWindow();
    drawModals();
    drawSplash();
}

//-----------------------------------------------------------------------------
// [SECTION] Dock layout
//-----------------------------------------------------------------------------

void Editor::setupDockLayout() {
    // Building opens all five panels and puts the Outliner in front of the UV Editor's tab.
    dock.buildDefault(uvLayout);
    resetLayout = false;
    focusOutlinerFrames = 3;
}

//-----------------------------------------------------------------------------
// [SECTION] Panels
//-----------------------------------------------------------------------------

void Editor::drawViewportPanel() {
    ImGuiWindowFlags dockFlags = 0;
    if (!viewport || !dock.placeWindow(ui::kViewportWindow, &dockFlags))
        return;
    viewport->onStatus = [this](const std::string& message) { status(message); };
    viewport->draw(dockFlags);
}

// The view commands of the menus and shortcuts; the shortcuts act while the viewport's image was
// hovered in the last frame.
bool Editor::viewportHovered() const { return viewport && viewport->hovered; }

void Editor::viewportFrameSelected() {
    if (viewport)
        viewport->frameSelected();
}

void Editor::viewportFrameAll() {
    if (viewport)
        viewport->frameAll();
}

void Editor::viewportSetView(float yawDegrees, float pitchDegrees) {
    if (viewport)
        viewport->setView(yawDegrees, pitchDegrees);
}

//-----------------------------------------------------------------------------
// [SECTION] Status bar
//-----------------------------------------------------------------------------

void Editor::drawStatusBar() {
    const ImGuiWindowFlags flags =
        ImGuiWindowFlags_MenuBar | ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoScrollbar;
    if (ImGui::BeginViewportSideBar("##StatusBar", ImGui::GetMainViewport(), ImGuiDir_Down, ImGui::GetFrameHeight(),
                                    flags) &&
        ImGui::BeginMenuBar()) {
        const DocumentState& s = document.state;
        const bool editMode = s.mode == InteractionMode::Edit;
        if (editMode)
            ImGui::TextColored(ImVec4(1.0f, 0.65f, 0.25f, 1.0f), "Edit Mode");
        else
            ImGui::TextColored(ImVec4(0.6f, 0.75f, 1.0f, 1.0f), "Object Mode");
        ImGui::Separator();
        if (!statusMessage.empty())
            ImGui::TextColored(statusColor(), "%s", statusMessage.c_str());

        // Totals over every mesh; a face of n corners counts as n - 2 triangles.
        size_t verts = 0, faces = 0, tris = 0;
        for (const auto& object : s.scene.objects) {
            if (!object->mesh)
                continue;
            verts += object->mesh->vertices.size();
            faces += object->mesh->faces.size();
            for (const Face& f : object->mesh->faces)
                tris += f.indices.size() > 2 ? f.indices.size() - 2 : 0;
        }
        char stats[256];
        if (editMode) {
            const size_t selected = document.selectedVertexCount();
            std::snprintf(stats, sizeof(stats),
                          "Selected %zu verts  |  Objects %zu  |  Verts %zu  |  Faces %zu  |  Tris %zu", selected,
                          s.scene.objects.size(), verts, faces, tris);
        } else {
            std::snprintf(stats, sizeof(stats), "Selected %zu  |  Objects %zu  |  Verts %zu  |  Faces %zu  |  Tris %zu",
                          s.selection.ids.size(), s.scene.objects.size(), verts, faces, tris);
        }
        const float width = ImGui::CalcTextSize(stats).x;
        ImGui::SameLine();
        ImGui::SetCursorPosX(std::max(ImGui::GetWindowWidth() - width - 16.0f, ImGui::GetCursorPosX() + 20.0f));
        ImGui::TextDisabled("%s", stats);
        ImGui::EndMenuBar();
    }
    ImGui::End();
}

} // namespace orva
