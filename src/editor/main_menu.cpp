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

#include <algorithm>
#include <string>
#include <vector>

#include <imgui.h>

#include "io/file_utils.h"
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
    drawMenuBarIcon();
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

// The application icon opens the bar, when its texture exists; a click shows the About window.
void Editor::drawMenuBarIcon() {
    if (!branding.icon.texture)
        return;
    const float frameHeight = ImGui::GetFrameHeight();
    const float side = frameHeight - 4.0f;
    const float y = ImGui::GetCursorPosY();
    ImGui::SetCursorPosY(y + (frameHeight - side) * 0.5f);
    ImGui::Image(ImTextureRef(ImTextureID(branding.icon.texture)), ImVec2(side, side), ImVec2(0.0f, 0.0f),
                 ImVec2(1.0f, 1.0f));
    if (ImGui::IsItemClicked())
        showAbout = true;
    if (ImGui::IsItemHovered(ImGuiHoveredFlags_DelayShort))
        ImGui::SetTooltip("%s %s", kAppName, kAppVersion);
    ImGui::SetCursorPosY(y);
    ImGui::SameLine(0.0f, 8.0f);
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
    if (!project.isOpen() && ImGui::MenuItem("Save Scene As...", shortcut("Shift+S").c_str(), false, idle))
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
    // The scenes of the open project; the current one is ticked and choosing it does nothing.
    const std::vector<std::string> scenes = project.scenes; // a switch may change the project
    for (size_t i = 0; i < scenes.size(); ++i) {
        const std::string path = io::pathToUtf8(io::pathFromUtf8(project.root) / io::pathFromUtf8(scenes[i]));
        const bool current = path == document.path;
        ImGui::PushID(int(i));
        if (ImGui::MenuItem(io::fileStem(scenes[i]).c_str(), nullptr, current, dialogIdle()) && !current) {
            pendingPath = path;
            askFor(PendingAction::SwitchScene);
        }
        ImGui::PopID();
    }
    ImGui::EndMenu();
}

//-----------------------------------------------------------------------------
// [SECTION] Edit and Object
//-----------------------------------------------------------------------------

void Editor::selectAll(bool select) {
    if (editMode(document))
        document.selectAllComponents(select);
    else if (select)
        document.selectAllObjects();
    else
        document.selectObjects({}, SelectOp::Replace);
}

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
    if (ImGui::MenuItem("Select All", "A"))
        selectAll(true);
    if (ImGui::MenuItem("Deselect All", "Alt+A"))
        selectAll(false);
    if (ImGui::MenuItem("Invert Selection", shortcut("I").c_str(), false, editMode(document)))
        document.invertComponentSelection();
    ImGui::Separator();
    if (ImGui::MenuItem("Duplicate", "Shift+D", false, objectMode(document) && hasSelection(document)))
        duplicateSelection();
    if (ImGui::MenuItem("Delete", "X / Del"))
        commandDelete();
    ImGui::EndMenu();
}

void Editor::drawEditModeToggleItem() {
    const bool edit = editMode(document);
    if (ImGui::MenuItem(edit ? "Exit Edit Mode" : "Enter Edit Mode", "Tab", false, edit || document.canEnterEditMode()))
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
    if (ImGui::MenuItem("Shade Smooth", nullptr, false, hasSelection(document)))
        document.setShading(true);
    if (ImGui::MenuItem("Shade Flat", nullptr, false, hasSelection(document)))
        document.setShading(false);
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
    const ComponentType current = document.state.componentType;
    struct TypeItem {
        const char* label;
        const char* key;
        ComponentType type;
    };
    static constexpr TypeItem kTypes[] = {{"Vertex Select", "1", ComponentType::Vertex},
                                          {"Edge Select", "2", ComponentType::Edge},
                                          {"Face Select", "3", ComponentType::Face}};
    for (const TypeItem& t : kTypes)
        if (ImGui::MenuItem(t.label, t.key, current == t.type))
            document.setComponentType(t.type);
    ImGui::Separator();
    std::string message;
    if (ImGui::MenuItem("Extrude", "E"))
        runMeshOp(document.extrude(settings.extrudeDistance, &message), message, "Extruded");
    if (ImGui::MenuItem("Split Edges"))
        runMeshOp(document.splitEdges(&message), message, "Split selected edges");
    if (ImGui::BeginMenu("Merge")) {
        if (ImGui::MenuItem("At Center", "M"))
            runMeshOp(document.mergeAtCenter(&message), message, "Merged vertices at center");
        if (ImGui::MenuItem("By Distance"))
            runMeshOp(document.mergeByDistance(settings.mergeDistance, &message), message,
                      "Merged vertices by distance");
        ImGui::EndMenu();
    }
    if (ImGui::MenuItem("Flip Normals"))
        runMeshOp(document.flipNormals(&message), message, "Flipped normals");
    ImGui::Separator();
    static constexpr const char* kDeleteLabels[] = {"Delete Vertices", "Delete Edges", "Delete Faces"};
    const int typeIndex = std::clamp(int(current), 0, 2);
    if (ImGui::MenuItem(kDeleteLabels[typeIndex], "X / Del"))
        commandDelete();
    ImGui::Separator();
    if (ImGui::MenuItem("Shade Smooth"))
        document.setShading(true);
    if (ImGui::MenuItem("Shade Flat"))
        document.setShading(false);
    ImGui::EndDisabled();
    ImGui::EndMenu();
}

void Editor::drawUvMenuItems() {
    using Op = Document::UvOp;
    struct UvItem {
        const char* label;
        Op op;
    };
    // In menu order; the projections first, then the adjustments of existing UVs.
    static constexpr UvItem kItems[] = {
        {"Box Projection", Op::Box},
        {"Planar: Top (Y)", Op::PlanarY},
        {"Planar: Front (Z)", Op::PlanarZ},
        {"Planar: Side (X)", Op::PlanarX},
        {"Cylinder Projection", Op::Cylinder},
        {"Sphere Projection", Op::Sphere},
        {"Reset: Whole Texture per Face", Op::ResetPerFace},
        {nullptr, Op::Box},
        {"Fit to 0-1", Op::FitToUnit},
        {"Flip U", Op::FlipU},
        {"Flip V", Op::FlipV},
        {"Rotate 90\xc2\xb0", Op::Rotate90},
    };
    for (const UvItem& item : kItems) {
        if (!item.label) {
            ImGui::Separator();
            continue;
        }
        if (ImGui::MenuItem(item.label)) {
            std::string message;
            runMeshOp(document.applyUv(item.op, settings.uvTileSize, &message), message, "UVs updated");
        }
    }
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
