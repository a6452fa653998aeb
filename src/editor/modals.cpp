// The editor's modal windows, drawn after the panels each frame: "Unsaved Changes" (in front of
// actions that would discard changes), "Enter File Path" (when no native file dialog can be shown),
// "Project Folder" (where a project is created or opened) and "Error##modal" (failed commands).

#include "editor/editor.h"

#include <imgui.h>
#include <misc/cpp/imgui_stdlib.h>

namespace orva {

namespace {

constexpr float kButtonWidth = 120.0f;
constexpr float kPromptWidth = 560.0f;

bool escapePressed() { return ImGui::IsKeyPressed(ImGuiKey_Escape, false); }

} // namespace

void Editor::drawModals() {
    drawUnsavedChangesModal();
    drawPathPromptModal();
    if (openErrorModal) {
        openErrorModal = false;
        ImGui::OpenPopup("Error##modal");
    }
    if (openProjectPrompt) {
        openProjectPrompt = false;
        ImGui::OpenPopup("Project Folder");
    }
    drawProjectFolderModal();
    drawErrorModal();
}

void Editor::drawUnsavedChangesModal() {
    if (openUnsavedPrompt) {
        openUnsavedPrompt = false;
        ImGui::OpenPopup("Unsaved Changes");
    }
    if (!ImGui::BeginPopupModal("Unsaved Changes", nullptr, ImGuiWindowFlags_AlwaysAutoResize))
        return;
    ImGui::Text("Save changes to \"%s\" before continuing?", document.displayName().c_str());
    ImGui::TextDisabled("Your changes will be lost if you don't save them.");
    ImGui::Spacing();
    if (ImGui::Button("Save", ImVec2(kButtonWidth, 0.0f))) {
        ImGui::CloseCurrentPopup();
        // An untitled scene outside a project is saved through Save As; the action waits for it.
        if (document.path.empty() && !project.isOpen())
            commandSaveAs(pendingAction);
        else if (commandSave())
            continuePendingAction();
        else
            pendingAction = PendingAction::None;
    }
    ImGui::SameLine();
    if (ImGui::Button("Don't Save", ImVec2(kButtonWidth, 0.0f))) {
        ImGui::CloseCurrentPopup();
        continuePendingAction();
    }
    ImGui::SameLine();
    if (ImGui::Button("Cancel", ImVec2(kButtonWidth, 0.0f)) || escapePressed()) {
        ImGui::CloseCurrentPopup();
        pendingAction = PendingAction::None;
    }
    ImGui::EndPopup();
}

// Stands in for a native file dialog that could not be shown: its button does what the dialog's
// answer would have done.
void Editor::drawPathPromptModal() {
    if (openPathPrompt) {
        openPathPrompt = false;
        ImGui::OpenPopup("Enter File Path");
    }
    ImGui::SetNextWindowSize(ImVec2(kPromptWidth, 0.0f), ImGuiCond_Appearing);
    if (!ImGui::BeginPopupModal("Enter File Path", nullptr, ImGuiWindowFlags_NoSavedSettings))
        return;
    ImGui::TextWrapped("A native file dialog is not available (%s). Type the full path instead:", dialogError.c_str());
    if (ImGui::IsWindowAppearing())
        ImGui::SetKeyboardFocusHere();
    ImGui::SetNextItemWidth(-1.0f);
    const bool entered = ImGui::InputText("##path", &typedPath, ImGuiInputTextFlags_EnterReturnsTrue);
    ImGui::Spacing();
    const bool confirmed = ImGui::Button(lastDialogSave ? "Save" : "Open", ImVec2(kButtonWidth, 0.0f)) || entered;
    ImGui::SameLine();
    const bool cancelled = !confirmed && (ImGui::Button("Cancel", ImVec2(kButtonWidth, 0.0f)) || escapePressed());
    if (confirmed) {
        ImGui::CloseCurrentPopup();
        const DialogTag tag = failedDialogTag;
        failedDialogTag = DialogTag::None;
        if (!typedPath.empty())
            handleDialogPath(tag, typedPath);
        else if (tag == DialogTag::SaveSceneAs)
            pendingAction = PendingAction::None;
    } else if (cancelled) {
        ImGui::CloseCurrentPopup();
        if (failedDialogTag == DialogTag::SaveSceneAs)
            pendingAction = PendingAction::None;
        failedDialogTag = DialogTag::None;
    }
    ImGui::EndPopup();
}

void Editor::drawProjectFolderModal() {
    ImGui::SetNextWindowSize(ImVec2(kPromptWidth, 0.0f), ImGuiCond_Appearing);
    if (!ImGui::BeginPopupModal("Project Folder", nullptr, ImGuiWindowFlags_NoSavedSettings))
        return;
    const bool create = projectPromptMode == 1;
    ImGui::TextWrapped("%s", create ? "Enter the directory where the new ORVA project should be created:"
                                    : "Enter the ORVA project directory (or its project.json path):");
    if (ImGui::IsWindowAppearing())
        ImGui::SetKeyboardFocusHere();
    ImGui::SetNextItemWidth(-1.0f);
    const bool entered = ImGui::InputText("##project-folder", &typedPath, ImGuiInputTextFlags_EnterReturnsTrue);
    ImGui::Spacing();
    if (ImGui::Button("Browse...")) {
        std::string folder;
        if (fileDialogs.chooseDirectory(folder))
            typedPath = folder;
    }
    ImGui::SameLine();
    const bool confirmed = ImGui::Button(create ? "Create Project" : "Open Project", ImVec2(140.0f, 0.0f)) || entered;
    ImGui::SameLine();
    const bool cancelled = !confirmed && (ImGui::Button("Cancel", ImVec2(kButtonWidth, 0.0f)) || escapePressed());
    if (confirmed) {
        ImGui::CloseCurrentPopup();
        projectPromptMode = 0;
        if (!typedPath.empty()) {
            if (create)
                createProject(typedPath);
            else
                openProjectFolder(typedPath);
        }
    } else if (cancelled) {
        ImGui::CloseCurrentPopup();
        projectPromptMode = 0;
    }
    ImGui::EndPopup();
}

void Editor::drawErrorModal() {
    ImGui::SetNextWindowSize(ImVec2(480.0f, 0.0f), ImGuiCond_Appearing);
    if (!ImGui::BeginPopupModal("Error##modal", nullptr, ImGuiWindowFlags_NoSavedSettings))
        return;
    ImGui::TextColored(ImVec4(1.0f, 0.45f, 0.4f, 1.0f), "%s", errorTitle.c_str());
    ImGui::TextWrapped("%s", errorDetail.c_str());
    ImGui::Spacing();
    if (ImGui::Button("OK", ImVec2(kButtonWidth, 0.0f)) || ImGui::IsKeyPressed(ImGuiKey_Enter, false) ||
        ImGui::IsKeyPressed(ImGuiKey_KeypadEnter, false) || escapePressed())
        ImGui::CloseCurrentPopup();
    ImGui::EndPopup();
}

} // namespace orva
