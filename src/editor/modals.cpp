// The editor's modal windows, drawn after the panels each frame: "Unsaved Changes" (in front of
// actions that would discard changes) and "Error##modal" (failed commands).

#include "editor/editor.h"

#include <imgui.h>

namespace orva {

namespace {

constexpr float kButtonWidth = 120.0f;

bool escapePressed() { return ImGui::IsKeyPressed(ImGuiKey_Escape, false); }

} // namespace

void Editor::drawModals() {
    drawUnsavedChangesModal();
    if (openErrorModal) {
        openErrorModal = false;
        ImGui::OpenPopup("Error##modal");
    }
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
