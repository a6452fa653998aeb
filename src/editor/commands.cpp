// The editor's commands: what the menus, the shortcuts, the panels and the Application (dropped
// files, quit requests) ask for. Outcomes go to the status line; failures of file commands to the
// error modal; mesh operations report on the status line only.
//
// Index of this file:
// [SECTION] Pending action
// [SECTION] Files, projects and dialogs
// [SECTION] Editing
// [SECTION] Web game

#include "editor/editor.h"

#include <algorithm>
#include <cctype>

#include "io/file_utils.h"
#include "io/image.h"

namespace orva {

namespace {

std::string lowerExtension(const std::string& path) {
    std::string ext = io::pathFromUtf8(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

} // namespace

//-----------------------------------------------------------------------------
// [SECTION] Pending action
//-----------------------------------------------------------------------------

void Editor::askFor(PendingAction action) {
    pendingAction = action;
    if (document.dirty)
        openUnsavedPrompt = true;
    else
        continuePendingAction();
}

void Editor::continuePendingAction() {
    const PendingAction action = pendingAction;
    pendingAction = PendingAction::None;
    switch (action) {
    case PendingAction::None:
        break;
    case PendingAction::Quit:
        shouldQuit = true;
        break;
    case PendingAction::NewProject:
    case PendingAction::OpenProject:
    case PendingAction::NewScene:
        status("Projects are not available yet");
        break;
    case PendingAction::OpenFile:
    case PendingAction::SwitchScene:
        status("Opening scene files is not available yet");
        break;
    }
}

void Editor::requestQuit() { askFor(PendingAction::Quit); }

//-----------------------------------------------------------------------------
// [SECTION] Files, projects and dialogs
//-----------------------------------------------------------------------------

// The project commands, the file dialogs, saving, import and export arrive with the project
// folder and the native dialogs; until then each says so on the status line.

void Editor::commandNew() { commandNewProject(); }

void Editor::commandNewProject() { status("Projects are not available yet"); }

void Editor::commandOpen() { commandOpenProject(); }

void Editor::commandOpenProject() {
    if (dialogIdle())
        status("Projects are not available yet");
}

void Editor::commandNewScene() { status("Projects are not available yet"); }

bool Editor::commandSave() {
    status("Saving is not available yet");
    return false;
}

void Editor::commandSaveAs(PendingAction /*then*/) {
    if (dialogIdle())
        status("Save As is not available yet");
}

void Editor::commandExport(DialogTag /*tag*/) {
    if (dialogIdle())
        status("Export is not available yet");
}

void Editor::commandImport(const std::string& /*path*/) { status("Import is not available yet"); }

bool Editor::dialogIdle() const { return !fileDialogs.pending(); }

void Editor::showFileDialog(bool /*save*/, DialogTag tag) {
    switch (tag) {
    case DialogTag::ImportFbx:
    case DialogTag::ImportObj:
        status("Import is not available yet");
        break;
    case DialogTag::ExportObjScene:
    case DialogTag::ExportObjSelected:
    case DialogTag::ExportGlbScene:
    case DialogTag::ExportGlbSelected:
        status("Export is not available yet");
        break;
    default:
        status("File dialogs are not available yet");
        break;
    }
}

void Editor::processDialogResults() {}

void Editor::handleDroppedFile(const std::string& path) {
    const std::string name = io::fileName(path);
    const std::string ext = lowerExtension(path);
    if (io::isImageFile(path)) {
        const int index = document.activeMaterialIndex(true);
        if (index < 0)
            status("Select a mesh object, then drop the image to use it as its texture");
        else
            applyTextureFile(index, path);
    } else if (ext == ".fbx" || ext == ".obj") {
        commandImport(path);
    } else if (ext == ".orva") {
        pendingPath = path;
        askFor(PendingAction::OpenFile);
    } else {
        status("Cannot open " + name + ": drop a .fbx, .obj or .orva file");
    }
}

void Editor::applyTextureFile(int materialIndex, const std::string& path) {
    std::string message;
    std::shared_ptr<const TextureData> texture = io::loadTextureFile(path, &message);
    if (!texture) {
        error("Could not load the texture", message);
        return;
    }
    const std::string name = io::fileName(path);
    if (!document.setMaterialTexture(materialIndex, texture, name))
        return;
    const Material& material = document.state.scene.materials[size_t(materialIndex)];
    status("Texture " + name + " (" + std::to_string(texture->width) + "x" + std::to_string(texture->height) +
           ") applied to material \"" + material.name + "\"");
}

//-----------------------------------------------------------------------------
// [SECTION] Editing
//-----------------------------------------------------------------------------

void Editor::commandDelete() {
    if (document.state.mode == InteractionMode::Edit) {
        std::string message;
        runMeshOp(document.deleteComponents(&message), message, "Deleted");
        return;
    }
    const uint32_t count = document.deleteSelectedObjects();
    if (count > 0)
        status("Deleted " + std::to_string(count) + " object(s)");
}

void Editor::commandToggleEditMode() {
    if (document.state.mode == InteractionMode::Edit) {
        document.exitEditMode();
        status("Object Mode");
        return;
    }
    if (document.enterEditMode())
        status("Edit Mode: click vertices to select them, drag the gizmo to move them");
    else
        status("Select a mesh object to enter Edit Mode");
}

void Editor::runMeshOp(bool ok, const std::string& errorText, const std::string& successMessage) {
    status(ok ? successMessage : errorText);
}

//-----------------------------------------------------------------------------
// [SECTION] Web game
//-----------------------------------------------------------------------------

void Editor::commandBuildWeb(bool /*run*/) { status("Web builds are not available yet"); }

void Editor::commandOpenGameInBrowser() { status("Web builds are not available yet"); }

} // namespace orva
