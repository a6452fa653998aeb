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
#include <filesystem>
#include <system_error>
#include <vector>

#include <SDL3/SDL_filesystem.h>

#include "editor/viewport.h"
#include "io/export_options.h"
#include "io/file_utils.h"
#include "io/glb_export.h"
#include "io/image.h"
#include "io/model_import.h"
#include "io/obj_export.h"

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
        projectPromptMode = action == PendingAction::NewProject ? 1 : 2;
        typedPath.clear();
        openProjectPrompt = true;
        break;
    case PendingAction::NewScene:
        addSceneToProject();
        break;
    case PendingAction::OpenFile:
        openProject(pendingPath);
        break;
    case PendingAction::SwitchScene:
        openScene(pendingPath);
        break;
    }
}

void Editor::requestQuit() { askFor(PendingAction::Quit); }

//-----------------------------------------------------------------------------
// [SECTION] Files, projects and dialogs
//-----------------------------------------------------------------------------

namespace {

using Filters = std::vector<FileDialogService::Filter>;

struct DialogKind {
    Filters filters;
    const char* extension; // added to the default file name of save dialogs; empty for none
};

DialogKind dialogKind(Editor::DialogTag tag) {
    using Tag = Editor::DialogTag;
    const FileDialogService::Filter scene{"ORVA Project (*.orva)", "orva"};
    const FileDialogService::Filter obj{"Wavefront OBJ (*.obj)", "obj"};
    const FileDialogService::Filter glb{"glTF Binary (*.glb)", "glb"};
    const FileDialogService::Filter models{"All 3D models (*.fbx, *.obj)", "fbx;obj"};
    switch (tag) {
    case Tag::OpenScene:
    case Tag::SaveSceneAs:
        return {{scene}, ".orva"};
    case Tag::ExportObjScene:
    case Tag::ExportObjSelected:
        return {{obj}, ".obj"};
    case Tag::ExportGlbScene:
    case Tag::ExportGlbSelected:
        return {{glb}, ".glb"};
    case Tag::ImportFbx:
        return {{{"FBX (*.fbx)", "fbx"}, models}, ""};
    case Tag::ImportObj:
        return {{obj, models}, ""};
    case Tag::MaterialTexture:
        return {{{"Images (*.png, *.jpg, *.tga, *.bmp, ...)", "png;jpg;jpeg;tga;bmp;psd;gif;hdr"}}, ""};
    case Tag::None:
        break;
    }
    return {{}, ""};
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    return io::pathToUtf8(io::pathFromUtf8(folder) / io::pathFromUtf8(name));
}

// The path made absolute with its links and dots resolved as far as it exists; unchanged when
// that fails.
std::string weaklyCanonical(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(io::pathFromUtf8(path), ec);
    if (ec || canonical.empty())
        return path;
    return io::pathToUtf8(canonical);
}

std::string firstWarning(const std::vector<std::string>& warnings) {
    return warnings.empty() ? std::string() : " (" + warnings.front() + ")";
}

std::string sdlFolder(SDL_Folder folder) {
    const char* path = SDL_GetUserFolder(folder);
    if (!path || !*path)
        return {};
    std::string text = path;
    // SDL ends the folder with a separator; the dialogs and the prompt show it without.
    while (text.size() > 1 && (text.back() == '/' || text.back() == '\\'))
        text.pop_back();
    return text;
}

} // namespace

void Editor::commandNew() { commandNewProject(); }

void Editor::commandNewProject() { askFor(PendingAction::NewProject); }

void Editor::commandOpen() { commandOpenProject(); }

void Editor::commandOpenProject() {
    if (dialogIdle())
        askFor(PendingAction::OpenProject);
}

void Editor::createProject(const std::string& folder) {
    std::string message;
    if (!project.create(folder, &message)) {
        error("Could not create project", message);
        return;
    }
    const std::string scenePath = joinPath(project.root, project.activeScene);
    document.newScene();
    if (!document.save(scenePath, &message)) {
        error("Could not create initial scene", message);
        return;
    }
    status("Created project " + project.root);
}

void Editor::openProjectFolder(const std::string& folder) {
    std::string message;
    io::Project opened;
    if (!opened.open(folder, &message)) {
        error("Could not open project", message);
        return;
    }
    project = opened;
    if (openScene(joinPath(project.root, project.activeScene)))
        status("Opened project " + project.root);
    else
        project = io::Project();
}

void Editor::commandNewScene() {
    if (!project.isOpen()) {
        error("No project is open", "Create or open a ORVA project before adding a scene.");
        return;
    }
    askFor(PendingAction::NewScene);
}

void Editor::addSceneToProject() {
    if (!project.isOpen())
        return;
    std::string message;
    std::string scenePath;
    const std::string name = "Scene " + std::to_string(project.scenes.size() + 1);
    if (!project.addScene(name, scenePath, &message)) {
        error("Could not create scene", message);
        return;
    }
    document.newScene();
    if (!document.save(scenePath, &message)) {
        error("Could not save scene", message);
        return;
    }
    status("Created scene " + io::fileName(scenePath));
}

bool Editor::commandSave() {
    std::string path = document.path;
    if (path.empty()) {
        if (!project.isOpen()) {
            commandSaveAs(PendingAction::None);
            return false;
        }
        path = joinPath(project.root, project.activeScene);
    }
    std::string message;
    if (!document.save(path, &message)) {
        error("Save failed", message);
        return false;
    }
    status("Saved " + path);
    return true;
}

void Editor::commandSaveAs(PendingAction then) {
    if (project.isOpen()) {
        error("Save Scene As unavailable", "Use Scene > New Scene to add another scene to this project.");
        return;
    }
    if (!dialogIdle())
        return;
    pendingAction = then;
    showFileDialog(true, DialogTag::SaveSceneAs);
}

void Editor::commandExport(DialogTag tag) {
    if (dialogIdle())
        showFileDialog(true, tag);
}

// Model import arrives with the importer; until then it says so on the status line.
void Editor::commandImport(const std::string& path) {
    io::ImportResult result;
    std::string message;
    if (!document.importModel(path, &result, &message)) {
        error("Import failed", message);
        return;
    }
    if (viewport)
        viewport->frameSelected();
    std::string text = "Imported " + io::fileName(path) + ": " + std::to_string(result.meshObjectCount) +
                       " mesh object(s), " + std::to_string(result.vertexCount) + " vertices, " +
                       std::to_string(result.faceCount) + " faces";
    if (result.warnings.size() == 1)
        text += "  (" + result.warnings.front() + ")";
    else if (result.warnings.size() > 1)
        text += "  (" + result.warnings.front() + " +" + std::to_string(result.warnings.size() - 1) + " more)";
    status(text);
}

bool Editor::dialogIdle() const { return !fileDialogs.pending(); }

std::string Editor::defaultDirectory() const {
    if (project.isOpen())
        return project.root;
    if (!document.path.empty())
        return io::pathToUtf8(io::pathFromUtf8(document.path).parent_path());
    std::string folder = sdlFolder(SDL_FOLDER_DOCUMENTS);
    if (folder.empty())
        folder = sdlFolder(SDL_FOLDER_HOME);
    return folder;
}

void Editor::showFileDialog(bool save, DialogTag tag) {
    const DialogKind kind = dialogKind(tag);
    std::string location = defaultDirectory();
    if (save) {
        const std::string stem = document.path.empty() ? std::string("Untitled") : io::fileStem(document.path);
        location = joinPath(location, stem + kind.extension);
    }
    typedPath = location;
    lastDialogSave = save;
    fileDialogs.show(save ? FileDialogService::Kind::Save : FileDialogService::Kind::Open, int(tag), kind.filters,
                     location);
}

void Editor::processDialogResults() {
    FileDialogService::Result result;
    while (fileDialogs.poll(result)) {
        const DialogTag tag = DialogTag(result.tag);
        if (result.failed) {
            failedDialogTag = tag;
            dialogError = result.error.empty() ? std::string("unknown error") : result.error;
            openPathPrompt = true;
        } else if (result.accepted) {
            handleDialogPath(tag, result.path);
        } else if (tag == DialogTag::SaveSceneAs) {
            pendingAction = PendingAction::None;
        }
    }
}

void Editor::handleDialogPath(DialogTag tag, const std::string& chosen) {
    std::string message;
    switch (tag) {
    case DialogTag::OpenScene:
        openProject(chosen);
        break;
    case DialogTag::SaveSceneAs: {
        const std::string path = io::ensureExtension(chosen, ".orva");
        if (document.save(path, &message)) {
            status("Saved " + path);
            continuePendingAction();
        } else {
            pendingAction = PendingAction::None;
            error("Save failed", message);
        }
        break;
    }
    case DialogTag::ExportObjScene:
    case DialogTag::ExportObjSelected: {
        const std::string path = io::ensureExtension(chosen, ".obj");
        io::ExportOptions options;
        options.selectedOnly = tag == DialogTag::ExportObjSelected;
        options.selectedIds = document.state.selection.ids;
        int32_t count = 0;
        if (io::exportObj(document.state.scene, path, options, &message, &count))
            status("Exported " + std::to_string(count) + " object(s) to " + path);
        else
            error("OBJ export failed", message);
        break;
    }
    case DialogTag::ExportGlbScene:
    case DialogTag::ExportGlbSelected: {
        const std::string path = io::ensureExtension(chosen, ".glb");
        io::ExportOptions options;
        options.selectedOnly = tag == DialogTag::ExportGlbSelected;
        options.selectedIds = document.state.selection.ids;
        if (io::exportGlb(document.state.scene, path, options, &message))
            status("Exported " + path);
        else
            error("GLB export failed", message);
        break;
    }
    case DialogTag::ImportFbx:
    case DialogTag::ImportObj:
        commandImport(chosen);
        break;
    case DialogTag::MaterialTexture:
        applyTextureFile(pendingTextureIndex, chosen);
        break;
    case DialogTag::None:
        break;
    }
}

bool Editor::openScene(const std::string& path) {
    const std::string canonical = weaklyCanonical(path);
    std::string message;
    std::vector<std::string> warnings;
    if (!document.open(canonical, &message, &warnings)) {
        error("Could not open scene", message);
        return false;
    }
    if (project.isOpen() && !project.setActiveScene(canonical, &message)) {
        error("Could not activate scene", message);
        return false;
    }
    status("Opened scene " + path + firstWarning(warnings));
    return true;
}

bool Editor::openProject(const std::string& path) {
    std::string message;
    const std::filesystem::path folder = io::pathFromUtf8(weaklyCanonical(path)).parent_path().parent_path();
    std::error_code ec;
    if (!folder.empty() && std::filesystem::is_regular_file(folder / "project.json", ec)) {
        io::Project opened;
        if (!opened.open(io::pathToUtf8(folder), &message)) {
            error("Could not open project", message);
            return false;
        }
        // The old project stays when the scene does not open, so a later Save cannot write the
        // document into the other project's active scene.
        const io::Project previous = project;
        const std::string previousPath = document.path;
        project = opened;
        if (openScene(path))
            return true;
        if (document.path == previousPath)
            project = previous;
        return false;
    }
    std::vector<std::string> warnings;
    if (!document.open(path, &message, &warnings)) {
        error("Could not open project", message);
        return false;
    }
    project = io::Project();
    status("Opened scene " + path + firstWarning(warnings));
    return true;
}

void Editor::handleDroppedFile(const std::string& path) {
    const std::string name = io::fileName(path);
    const std::string ext = lowerExtension(path);
    if (io::isImageFile(path)) {
        const int index = document.activeMaterialIndex(true);
        if (index < 0)
            status("Select a mesh object, then drop the image to use it as its texture");
        else
            applyTextureFile(index, path);
    } else if (io::isImportableModel(path)) {
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

// commandBuildWeb and commandOpenGameInBrowser are in web_commands.cpp.

} // namespace orva
