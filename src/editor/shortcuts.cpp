// The keyboard shortcuts, handled once per frame before the menu bar. Chords match their
// modifiers exactly (Ctrl+Z is not Ctrl+Shift+Z); ImGui's Ctrl is the Command key on macOS.

#include "editor/editor.h"
#include "editor/uv_editor.h"

#include <string>

#include <imgui.h>

namespace orva {

void Editor::handleShortcuts() {
    // Keys typed into a text field are text, and an open menu or modal owns the keyboard.
    if (ImGui::GetIO().WantTextInput ||
        ImGui::IsPopupOpen(nullptr, ImGuiPopupFlags_AnyPopupId | ImGuiPopupFlags_AnyPopupLevel))
        return;
    auto pressed = [](ImGuiKeyChord chord) { return ImGui::IsKeyChordPressed(chord); };

    // Global chords, wherever the mouse is.
    if (pressed(ImGuiMod_Ctrl | ImGuiKey_N))
        commandNewProject();
    if (pressed(ImGuiMod_Ctrl | ImGuiKey_O))
        commandOpenProject();
    if (pressed(ImGuiMod_Ctrl | ImGuiKey_S))
        commandSave();
    if (pressed(ImGuiMod_Ctrl | ImGuiMod_Shift | ImGuiKey_S))
        commandSaveAs(PendingAction::None);
    if (pressed(ImGuiMod_Ctrl | ImGuiKey_Q))
        requestQuit();
    if (pressed(ImGuiKey_F5))
        commandBuildWeb(true);
    // A UV-editor drag in progress is cancelled first (its UVs go back to where it started), so
    // undo takes back the step before it.
    if (pressed(ImGuiMod_Ctrl | ImGuiKey_Z)) {
        if (uvEditor)
            uvEditor->cancelModal();
        document.undo();
    }
    if (pressed(ImGuiMod_Ctrl | ImGuiMod_Shift | ImGuiKey_Z) || pressed(ImGuiMod_Ctrl | ImGuiKey_Y)) {
        if (uvEditor)
            uvEditor->cancelModal();
        document.redo();
    }

    // Viewport chords: only over the 3D view (as of the last frame), and not during a left drag.
    if (!viewportHovered() || ImGui::IsMouseDown(ImGuiMouseButton_Left))
        return;
    // The mode as it was before these keys: Tab entering Edit Mode does not make E extrude in the
    // same frame.
    const bool edit = document.state.mode == InteractionMode::Edit;
    if (pressed(ImGuiKey_Tab))
        commandToggleEditMode();
    if (pressed(ImGuiKey_G))
        settings.gizmoOperation = kGizmoMove;
    if (pressed(ImGuiKey_R))
        settings.gizmoOperation = kGizmoRotate;
    if (pressed(ImGuiKey_S))
        settings.gizmoOperation = kGizmoScale;
    if (pressed(ImGuiKey_X) || pressed(ImGuiKey_Delete))
        commandDelete();
    if (pressed(ImGuiKey_A))
        selectAll(true);
    if (pressed(ImGuiMod_Alt | ImGuiKey_A))
        selectAll(false);
    if (pressed(ImGuiKey_F) || pressed(ImGuiKey_KeypadDecimal))
        viewportFrameSelected();
    if (pressed(ImGuiKey_Home))
        viewportFrameAll();
    struct ViewKey {
        ImGuiKey key;
        float yaw, pitch;         // plain key
        float backYaw, backPitch; // with Ctrl: the opposite side
    };
    static constexpr ViewKey kViewKeys[] = {
        {ImGuiKey_Keypad1, 0.0f, 0.0f, 180.0f, 0.0f},
        {ImGuiKey_Keypad3, 90.0f, 0.0f, -90.0f, 0.0f},
        {ImGuiKey_Keypad7, 0.0f, 89.5f, 0.0f, -89.5f},
    };
    for (const ViewKey& v : kViewKeys) {
        if (pressed(v.key))
            viewportSetView(v.yaw, v.pitch);
        if (pressed(ImGuiMod_Ctrl | v.key))
            viewportSetView(v.backYaw, v.backPitch);
    }
    if (pressed(ImGuiKey_Keypad5))
        document.camera.orthographic = !document.camera.orthographic;
    if (pressed(ImGuiKey_Z))
        settings.showWireframe = !settings.showWireframe;
    if (pressed(ImGuiMod_Alt | ImGuiKey_Z))
        settings.xray = !settings.xray;
    if (edit) {
        if (pressed(ImGuiKey_1))
            document.setComponentType(ComponentType::Vertex);
        if (pressed(ImGuiKey_2))
            document.setComponentType(ComponentType::Edge);
        if (pressed(ImGuiKey_3))
            document.setComponentType(ComponentType::Face);
        std::string message;
        if (pressed(ImGuiKey_E))
            runMeshOp(document.extrude(settings.extrudeDistance, &message), message, "Extruded");
        if (pressed(ImGuiKey_M))
            runMeshOp(document.mergeAtCenter(&message), message, "Merged vertices at center");
        if (pressed(ImGuiMod_Ctrl | ImGuiKey_I))
            document.invertComponentSelection();
    } else if (pressed(ImGuiMod_Shift | ImGuiKey_D)) {
        duplicateSelection();
    }
}

} // namespace orva
