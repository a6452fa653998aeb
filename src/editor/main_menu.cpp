// The main menu bar: File, Scene, Edit, Object, Mesh, View, Tools, Game and Help. Every item leads
// into the same commands as the shortcuts; labels of chords with the primary modifier come from
// Editor::shortcut.
//
// Index of this file:
// [SECTION] Menu bar
// [SECTION] File and Scene
// [SECTION] Edit and Object
// [SECTION] Mesh and UV mapping
// [SECTION] View and Tools
// [SECTION] Game and Help

#include "editor/editor.h"

#include <string>
#include <vector>

#include <imgui.h>

#include "version.h"

namespace orva {

namespace {

bool objectMode(const Document& d) { return d.state.mode == InteractionMode::Object; }
bool editMode(const Document& d) { return d.state.mode == InteractionMode::Edit; }
bool hasSelection(const Document& d) { return !d.state.selection.ids.empty(); }

} // namespace

//-----------------------------------------------------------------------------
// [SECTION] Menu bar
//-----------------------------------------------------------------------------

void Editor::drawMenuBar() {
    if (!ImGui::BeginMainMenuBar())
        return;
    // The application icon opens the bar (and the About window) once the branding images exist.
    drawFileMenu();
    drawSceneMenu();
    drawEditMenu();
    drawObjectMenu();
    drawMeshMenu();
    drawViewMenu();
    drawToolsMenu();
    drawGameMenu();
    drawHelpMenu();
    ImGui::EndMainMenuBar();
}

//-----------------------------------------------------------------------------
// [SECTION] File and Scene
//-----------------------------------------------------------------------------

void Editor::drawFileMenu() {
    if (!ImGui::BeginMenu("File"))
        return;
    const bool idle = dialogIdle();
    if (ImGui::MenuItem("New Project...", shortcut("N").c_str(), false, idle))
        commandNewProject();
    if (ImGui::MenuItem("Open Project...", shortcut("O").c_str(), false, idle))
        commandOpenProject();
    ImGui::Separator();
    if (ImGui::MenuItem("Save", shortcut("S").c_str(), false, idle))
        commandSave();
    // Inside a project every scene is a file of the project: Scene > New Scene adds one.
    if (ImGui::MenuItem("Save Scene As...", shortcut("Shift+S").c_str(), false, idle))
        commandSaveAs(PendingAction::None);
    ImGui::Separator();
    if (ImGui::BeginMenu("Import", idle)) {
        if (ImGui::MenuItem("FBX (.fbx)..."))
            showFileDialog(false, DialogTag::ImportFbx);
        if (ImGui::MenuItem("Wavefront OBJ (.obj)..."))
            showFileDialog(false, DialogTag::ImportObj);
        ImGui::Separator();
        ImGui::TextDisabled("Tip: drag & drop .fbx / .obj files onto the window");
        ImGui::EndMenu();
    }
    if (ImGui::BeginMenu("Export", idle)) {
        const bool selected = hasSelection(document);
        if (ImGui::BeginMenu("OBJ (.obj)")) {
            if (ImGui::MenuItem("Entire Scene..."))
                commandExport(DialogTag::ExportObjScene);
            if (ImGui::MenuItem("Selected Objects...", nullptr, false, selected))
                commandExport(DialogTag::ExportObjSelected);
            ImGui::EndMenu();
        }
        if (ImGui::BeginMenu("glTF Binary (.glb)")) {
            if (ImGui::MenuItem("Entire Scene..."))
                commandExport(DialogTag::ExportGlbScene);
            if (ImGui::MenuItem("Selected Objects...", nullptr, false, selected))
                commandExport(DialogTag::ExportGlbSelected);
            ImGui::EndMenu();
        }
        ImGui::EndMenu();
    }
    ImGui::Separator();
    if (ImGui::MenuItem("Exit", shortcut("Q").c_str()))
        requestQuit();
    ImGui::EndMenu();
}

void Editor::drawSceneMenu() {
    if (!ImGui::BeginMenu("Scene"))
        return;
    if (ImGui::MenuItem("New Scene...", nullptr, false, dialogIdle()))
        commandNewScene();
    ImGui::Separator();
    // One tickable item per scene of the open project follows here once projects exist.
    ImGui::EndMenu();
}

//-----------------------------------------------------------------------------
// [SECTION] Edit and Object
//-----------------------------------------------------------------------------

void Editor::duplicateSelection() {
    const uint32_t count = document.duplicateSelectedObjects();
    status("Duplicated " + std::to_string(count) + " object(s)");
}

void Editor::drawEditMenu() {
    if (!ImGui::BeginMenu("Edit"))
        return;
    const UndoStack& undo = document.undoStack;
    const std::string undoLabel = undo.undoLabel().empty() ? "Undo" : "Undo " + undo.undoLabel();
    const std::string redoLabel = undo.redoLabel().empty() ? "Redo" : "Redo " + undo.redoLabel();
    if (ImGui::MenuItem(undoLabel.c_str(), shortcut("Z").c_str(), false, !undo.undoEntries.empty()))
        document.undo();
    if (ImGui::MenuItem(redoLabel.c_str(), shortcut("Shift+Z").c_str(), false, !undo.redoEntries.empty()))
        document.redo();
    ImGui::Separator();
    if (ImGui::MenuItem("Select All", "A")) {
        // TODO(editmode): Edit Mode selects every component: document.selectAllComponents(true).
        if (objectMode(document))
            document.selectAllObjects();
    }
    if (ImGui::MenuItem("Deselect All", "Alt+A")) {
        // TODO(editmode): Edit Mode deselects every component: document.selectAllComponents(false).
        if (objectMode(document))
            document.selectObjects({}, SelectOp::Replace);
    }
    // TODO(editmode): document.invertComponentSelection().
    ImGui::MenuItem("Invert Selection", shortcut("I").c_str(), false, false);
    ImGui::Separator();
    if (ImGui::MenuItem("Duplicate", "Shift+D", false, objectMode(document) && hasSelection(document)))
        duplicateSelection();
    if (ImGui::MenuItem("Delete", "X / Del"))
        commandDelete();
    ImGui::EndMenu();
}

void Editor::drawEditModeToggleItem() {
    const bool edit = editMode(document);
    // TODO(editmode): enabled in Edit Mode or when document.canEnterEditMode().
    if (ImGui::MenuItem(edit ? "Exit Edit Mode" : "Enter Edit Mode", "Tab", false, edit))
        commandToggleEditMode();
}

void Editor::drawObjectMenu() {
    if (!ImGui::BeginMenu("Object"))
        return;
    const bool usable = objectMode(document) && hasSelection(document);
    if (ImGui::BeginMenu("Add")) {
        if (ImGui::BeginMenu("Mesh")) {
            for (PrimitiveType type : {PrimitiveType::Cube, PrimitiveType::Plane, PrimitiveType::Sphere,
                                       PrimitiveType::Cylinder, PrimitiveType::Cone})
                if (ImGui::MenuItem(primitiveName(type)))
                    document.addPrimitive(type);
            ImGui::EndMenu();
        }
        if (ImGui::MenuItem("Camera"))
            document.addCamera();
        if (ImGui::MenuItem("Spawn Point"))
            document.addSpawnPoint();
        if (ImGui::BeginMenu("Light")) {
            for (LightType type : {LightType::Point, LightType::Directional, LightType::Spot})
                if (ImGui::MenuItem(lightTypeName(type)))
                    document.addLight(type);
            ImGui::EndMenu();
        }
        ImGui::EndMenu();
    }
    ImGui::Separator();
    if (ImGui::MenuItem("Duplicate", "Shift+D", false, usable))
        duplicateSelection();
    if (ImGui::MenuItem("Delete", "X / Del", false, usable))
        commandDelete();
    ImGui::Separator();
    if (ImGui::BeginMenu("Parent", usable)) {
        // Copies: each call takes a checkpoint, and the selection must not move under the loop.
        const std::vector<uint32_t> ids = document.state.selection.ids;
        const uint32_t active = document.state.selection.active;
        if (ImGui::MenuItem("Set Parent to Active", nullptr, false, ids.size() >= 2)) {
            int parented = 0;
            for (uint32_t id : ids)
                if (id != active && document.setParent(id, active))
                    ++parented;
            status("Parented " + std::to_string(parented) + " object(s)");
        }
        if (ImGui::MenuItem("Clear Parent"))
            for (uint32_t id : ids)
                document.setParent(id, kInvalidObject);
        ImGui::EndMenu();
    }
    if (ImGui::BeginMenu("Clear Transform", usable)) {
        enum { kLocation, kRotation, kScale };
        int clear = -1;
        if (ImGui::MenuItem("Location"))
            clear = kLocation;
        if (ImGui::MenuItem("Rotation"))
            clear = kRotation;
        if (ImGui::MenuItem("Scale"))
            clear = kScale;
        if (clear >= 0) {
            static const char* const kLabels[] = {"Clear Location", "Clear Rotation", "Clear Scale"};
            document.checkpoint(kLabels[clear]);
            for (uint32_t id : document.state.selection.ids) {
                SceneObject* object = document.state.scene.find(id);
                if (!object)
                    continue;
                if (clear == kLocation)
                    object->transform.position = glm::vec3(0.0f);
                else if (clear == kRotation)
                    object->transform.rotationEulerDeg = glm::vec3(0.0f);
                else
                    object->transform.scale = glm::vec3(1.0f);
            }
        }
        ImGui::EndMenu();
    }
    ImGui::Separator();
    // TODO(editmode): "Shade Smooth" / "Shade Flat" call document.setShading(true / false).
    ImGui::MenuItem("Shade Smooth", nullptr, false, false);
    ImGui::MenuItem("Shade Flat", nullptr, false, false);
    ImGui::Separator();
    drawEditModeToggleItem();
    ImGui::EndMenu();
}

//-----------------------------------------------------------------------------
// [SECTION] Mesh and UV mapping
//-----------------------------------------------------------------------------

void Editor::drawMeshMenu() {
    if (!ImGui::BeginMenu("Mesh"))
        return;
    drawEditModeToggleItem();
    if (ImGui::BeginMenu("UV Mapping")) {
        drawUvMenuItems();
        ImGui::EndMenu();
    }
    const bool edit = editMode(document);
    if (!edit)
        ImGui::TextDisabled("Enter Edit Mode to use mesh tools.");
    ImGui::BeginDisabled(!edit);
    ImGui::Separator();
    // TODO(editmode): component types, Extrude, Split Edges, Merge, Flip Normals, Delete by type
    // and shading call the document's Edit Mode operations through runMeshOp.
    ImGui::MenuItem("Vertex Select", "1", false, false);
    ImGui::MenuItem("Edge Select", "2", false, false);
    ImGui::MenuItem("Face Select", "3", false, false);
    ImGui::EndDisabled();
    ImGui::EndMenu();
}

void Editor::drawUvMenuItems() {
    // TODO(editmode): each item calls runMeshOp(document.applyUv(op, settings.uvTileSize, &error), ...).
    const char* const labels[] = {"Box Projection",
                                  "Planar: Top (Y)",
                                  "Planar: Front (Z)",
                                  "Planar: Side (X)",
                                  "Cylinder Projection",
                                  "Sphere Projection",
                                  "Reset: Whole Texture per Face"};
    for (const char* label : labels)
        ImGui::MenuItem(label, nullptr, false, false);
    ImGui::Separator();
    for (const char* label : {"Fit to 0-1", "Flip U", "Flip V", "Rotate 90\xc2\xb0"})
        ImGui::MenuItem(label, nullptr, false, false);
}

//-----------------------------------------------------------------------------
// [SECTION] View and Tools
//-----------------------------------------------------------------------------

void Editor::drawViewMenu() {
    if (!ImGui::BeginMenu("View"))
        return;
    if (ImGui::MenuItem("Frame Selected", "F"))
        viewportFrameSelected();
    if (ImGui::MenuItem("Frame All", "Home"))
        viewportFrameAll();
    if (ImGui::BeginMenu("Viewpoint")) {
        struct View {
            const char* label;
            std::string shortcut;
            float yaw, pitch;
        };
        const View views[] = {
            {"Front", "Numpad 1", 0.0f, 0.0f},  {"Back", shortcut("Numpad 1"), 180.0f, 0.0f},
            {"Right", "Numpad 3", 90.0f, 0.0f}, {"Left", shortcut("Numpad 3"), -90.0f, 0.0f},
            {"Top", "Numpad 7", 0.0f, 89.5f},   {"Bottom", shortcut("Numpad 7"), 0.0f, -89.5f},
        };
        for (const View& v : views)
            if (ImGui::MenuItem(v.label, v.shortcut.c_str()))
                viewportSetView(v.yaw, v.pitch);
        ImGui::EndMenu();
    }
    ImGui::MenuItem("Orthographic", "Numpad 5", &document.camera.orthographic);
    ImGui::Separator();
    ImGui::MenuItem("Grid", nullptr, &settings.showGrid);
    ImGui::MenuItem("Wireframe Overlay", "Z", &settings.showWireframe);
    ImGui::MenuItem("X-Ray", "Alt+Z", &settings.xray);
    ImGui::Separator();
    ImGui::MenuItem(ui::kOutlinerWindow, nullptr, &showOutliner);
    ImGui::MenuItem(ui::kPropertiesWindow, nullptr, &showProperties);
    ImGui::MenuItem(ui::kToolsWindow, nullptr, &showTools);
    ImGui::MenuItem(ui::kUvEditorWindow, nullptr, &showUvEditor);
    ImGui::MenuItem(ui::kExplorerWindow, nullptr, &showExplorer);
    if (ImGui::MenuItem("UV Editing Layout", nullptr, uvLayout))
        toggleUvLayout();
    if (ImGui::MenuItem("Reset Layout")) {
        uvLayout = false;
        resetLayout = true;
    }
    ImGui::EndMenu();
}

void Editor::drawToolsMenu() {
    if (!ImGui::BeginMenu("Tools"))
        return;
    if (ImGui::MenuItem("Move", "G", settings.gizmoOperation == kGizmoMove))
        settings.gizmoOperation = kGizmoMove;
    if (ImGui::MenuItem("Rotate", "R", settings.gizmoOperation == kGizmoRotate))
        settings.gizmoOperation = kGizmoRotate;
    if (ImGui::MenuItem("Scale", "S", settings.gizmoOperation == kGizmoScale))
        settings.gizmoOperation = kGizmoScale;
    ImGui::Separator();
    if (ImGui::MenuItem("Global Orientation", nullptr, settings.gizmoOrientation == kGizmoWorld))
        settings.gizmoOrientation = kGizmoWorld;
    if (ImGui::MenuItem("Local Orientation", nullptr, settings.gizmoOrientation == kGizmoLocal))
        settings.gizmoOrientation = kGizmoLocal;
    ImGui::MenuItem("Snap", nullptr, &settings.snap);
    ImGui::Separator();
    ImGui::MenuItem("Tool Settings Panel", nullptr, &showTools);
    ImGui::EndMenu();
}

//-----------------------------------------------------------------------------
// [SECTION] Game and Help
//-----------------------------------------------------------------------------

void Editor::drawGameMenu() {
    if (!ImGui::BeginMenu("Game"))
        return;
    if (ImGui::MenuItem("Build and Run (Web)", "F5"))
        commandBuildWeb(true);
    if (ImGui::MenuItem("Build Only (Web)"))
        commandBuildWeb(false);
    ImGui::Separator();
    const bool running = webServer.running();
    if (ImGui::MenuItem("Open Game in Browser", nullptr, false, running))
        commandOpenGameInBrowser();
    if (ImGui::MenuItem("Stop Game Server", nullptr, false, running)) {
        webServer.stop();
        status("Game server stopped");
    }
    // A running server is rebuilt and restarted with the new setting.
    if (ImGui::MenuItem("Allow Phones on My Network", nullptr, &allowLan) && webServer.running())
        commandBuildWeb(true);
    ImGui::Separator();
    if (ImGui::MenuItem("Add Spawn Point"))
        document.addSpawnPoint();
    ImGui::Separator();
    ImGui::TextDisabled("Target: Web (three.js), first-person player");
    ImGui::EndMenu();
}

void Editor::drawHelpMenu() {
    if (!ImGui::BeginMenu("Help"))
        return;
    if (ImGui::MenuItem("Keyboard & Mouse Controls"))
        showControls = true;
    ImGui::Separator();
    if (ImGui::MenuItem((std::string("About ") + kAppName).c_str()))
        showAbout = true;
    ImGui::EndMenu();
}

} // namespace orva
