// The "Explorer" panel: the open project's folder, one level at a time, with its scenes marked.
// A double-click opens a folder or switches to a scene; F2 or the context menu renames a scene.

#include "editor/editor.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <imgui.h>
#include <misc/cpp/imgui_stdlib.h>

#include "editor/dock_layout.h"
#include "io/file_utils.h"

namespace orva {

namespace fs = std::filesystem;

namespace {

enum class EntryKind { Folder, Scene, File };

struct Entry {
    fs::path path;
    bool folder = false;
};

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return c < 128 ? char(std::tolower(c)) : char(c); });
    return text;
}

// Folders first; then file names compared in lower case byte by byte (a prefix sorts first).
bool explorerLess(const Entry& a, const Entry& b) {
    if (a.folder != b.folder)
        return a.folder;
    return lower(io::pathToUtf8(a.path.filename())) < lower(io::pathToUtf8(b.path.filename()));
}

std::vector<Entry> listFolder(const fs::path& folder) {
    std::vector<Entry> entries;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    // A folder that cannot be listed simply shows no entries.
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        entries.push_back({it->path(), it->is_directory(typeError)});
    }
    std::sort(entries.begin(), entries.end(), explorerLess);
    return entries;
}

std::string canonicalOrSelf(const std::string& path) {
    std::error_code ec;
    const fs::path canonical = fs::weakly_canonical(io::pathFromUtf8(path), ec);
    return ec ? path : io::pathToUtf8(canonical);
}

} // namespace

void Editor::drawExplorer(bool* open, ImGuiWindowFlags dockFlags) {
    if (!ImGui::Begin(ui::kExplorerWindow, open, dockFlags)) {
        ImGui::End();
        return;
    }
    if (!project.isOpen()) {
        ImGui::TextDisabled("Open or create a project to browse its files.");
        ImGui::End();
        return;
    }
    const fs::path root = io::pathFromUtf8(project.root);
    auto listDir = [&](const fs::path& folder) {
        explorerDir = io::pathToUtf8(folder);
        explorerSelection.clear();
        sceneRenaming = false;
    };
    if (project.root != explorerRoot) {
        explorerRoot = project.root;
        listDir(root);
    }
    std::error_code ec;
    fs::path shown = root;
    if (!explorerDir.empty() && fs::is_directory(io::pathFromUtf8(explorerDir), ec))
        shown = io::pathFromUtf8(explorerDir);
    const bool atRoot = shown.lexically_normal() == root.lexically_normal();

    if (ImGui::Button("Project Root"))
        listDir(root);
    if (!atRoot) {
        ImGui::SameLine();
        if (ImGui::Button("Up")) {
            listDir(shown.parent_path());
            shown = shown.parent_path();
        }
    }
    ImGui::SameLine();
    ImGui::AlignTextToFramePadding();
    const std::string relativeShown = io::pathToUtf8(shown.lexically_relative(root));
    ImGui::TextDisabled("%s",
                        atRoot || relativeShown.empty() || relativeShown == "." ? "Project" : relativeShown.c_str());

    // A scene is a listed ".orva" file of the project.
    auto isScene = [&](const fs::path& path) {
        if (lower(io::pathToUtf8(path.extension())) != ".orva")
            return false;
        const std::string relative = io::pathToUtf8(path.lexically_relative(root).generic_string());
        return std::find(project.scenes.begin(), project.scenes.end(), relative) != project.scenes.end();
    };
    // The rename field takes the keyboard once, in the frame after it opens.
    // Kept in the panel window's storage (the table's rows live in a child window).
    ImGuiStorage* storage = ImGui::GetStateStorage();
    const ImGuiID focusRenameId = ImGui::GetID("focus-rename");
    auto openRename = [&](const fs::path& path) {
        explorerSelection = io::pathToUtf8(path);
        sceneRenameBuffer = io::pathToUtf8(path.stem());
        sceneRenaming = true;
        storage->SetBool(focusRenameId, true);
    };

    if (ImGui::IsWindowFocused(ImGuiFocusedFlags_RootAndChildWindows) && !ImGui::GetIO().WantTextInput &&
        ImGui::IsKeyPressed(ImGuiKey_F2, false) && !explorerSelection.empty() &&
        isScene(io::pathFromUtf8(explorerSelection)))
        openRename(io::pathFromUtf8(explorerSelection));

    const std::string openScene = document.path.empty() ? std::string() : canonicalOrSelf(document.path);
    const ImGuiTableFlags flags = ImGuiTableFlags_Resizable | ImGuiTableFlags_RowBg | ImGuiTableFlags_BordersOuterV |
                                  ImGuiTableFlags_BordersInnerV | ImGuiTableFlags_BordersOuterH |
                                  ImGuiTableFlags_ScrollY;
    if (ImGui::BeginTable("project-explorer-files", 2, flags)) {
        ImGui::TableSetupScrollFreeze(0, 1);
        ImGui::TableSetupColumn("Name", ImGuiTableColumnFlags_WidthStretch);
        ImGui::TableSetupColumn("Type", ImGuiTableColumnFlags_WidthFixed, 100.0f);
        ImGui::TableHeadersRow();
        fs::path listAfter; // a folder to list once the table is done
        for (const Entry& entry : listFolder(shown)) {
            const std::string path = io::pathToUtf8(entry.path);
            const std::string name = io::pathToUtf8(entry.path.filename());
            const EntryKind kind = entry.folder          ? EntryKind::Folder
                                   : isScene(entry.path) ? EntryKind::Scene
                                                         : EntryKind::File;
            const bool selected = path == explorerSelection;
            ImGui::PushID(path.c_str());
            ImGui::TableNextRow();
            ImGui::TableSetColumnIndex(0);
            if (kind == EntryKind::Scene && selected && sceneRenaming) {
                ImGui::SetNextItemWidth(-1.0f);
                if (storage->GetBool(focusRenameId)) {
                    storage->SetBool(focusRenameId, false);
                    ImGui::SetKeyboardFocusHere();
                }
                const bool enter =
                    ImGui::InputText("##scene-name", &sceneRenameBuffer, ImGuiInputTextFlags_EnterReturnsTrue);
                if (enter) {
                    std::string newPath, renameError;
                    if (project.renameScene(path, sceneRenameBuffer, newPath, &renameError)) {
                        if (!openScene.empty() && openScene == canonicalOrSelf(path))
                            document.path = newPath;
                        explorerSelection = newPath;
                        sceneRenaming = false;
                        status("Renamed scene to " + io::fileName(newPath));
                    } else {
                        sceneRenaming = false;
                        error("Could not rename scene", renameError);
                    }
                } else if (ImGui::IsItemDeactivated() && ImGui::IsKeyPressed(ImGuiKey_Escape, false)) {
                    sceneRenaming = false;
                }
            } else {
                const char* prefix = kind == EntryKind::Folder  ? "[Folder] "
                                     : kind == EntryKind::Scene ? "[Scene] "
                                                                : "[File] ";
                const std::string label = prefix + name;
                if (ImGui::Selectable(label.c_str(), selected,
                                      ImGuiSelectableFlags_SpanAllColumns | ImGuiSelectableFlags_AllowDoubleClick)) {
                    explorerSelection = path;
                    if (ImGui::IsMouseDoubleClicked(ImGuiMouseButton_Left)) {
                        if (kind == EntryKind::Folder) {
                            listAfter = entry.path;
                        } else if (kind == EntryKind::Scene && canonicalOrSelf(path) != openScene) {
                            pendingPath = path;
                            askFor(PendingAction::SwitchScene);
                        }
                    }
                }
                if (kind == EntryKind::Scene && ImGui::BeginPopupContextItem("scene-context")) {
                    explorerSelection = path;
                    if (ImGui::MenuItem("Rename", "F2"))
                        openRename(entry.path);
                    ImGui::EndPopup();
                }
            }
            ImGui::TableSetColumnIndex(1);
            if (kind == EntryKind::Folder) {
                ImGui::TextUnformatted("Folder");
            } else if (kind == EntryKind::Scene) {
                ImGui::TextUnformatted("Scene");
            } else {
                const std::string ext = io::pathToUtf8(entry.path.extension());
                ImGui::TextUnformatted(ext.empty() ? "File" : ext.c_str());
            }
            ImGui::PopID();
        }
        ImGui::EndTable();
        if (!listAfter.empty())
            listDir(listAfter);
    }
    ImGui::End();
}

} // namespace orva
