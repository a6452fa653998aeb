// The Help menu's windows: "Keyboard & Mouse Controls" and the About box.

#include "editor/editor.h"

#include <cfloat>
#include <string>

#include <imgui.h>

#include "version.h"

namespace orva {

namespace {

struct ControlRow {
    std::string input;
    const char* action;
};

struct Component {
    const char* name;
    const char* licence;
};

// What the program is built from and what every web build ships; THIRD_PARTY_LICENSES.md holds
// the full texts.
constexpr Component kComponents[] = {
    {"SDL 3", "zlib License"},
    {"Dear ImGui", "MIT License"},
    {"GLM", "MIT License"},
    {"nlohmann/json", "MIT License"},
    {"stb_image / stb_image_write", "MIT License / public domain"},
    {"Open Asset Import Library", "BSD 3-Clause License"},
    {"libqrencode", "GNU LGPL 2.1 or later"},
    {"three.js (in exported web games)", "MIT License"},
};

} // namespace

void Editor::drawHelpWindows() {
    if (showControls) {
        ImGui::SetNextWindowSize(ImVec2(560.0f, 520.0f), ImGuiCond_FirstUseEver);
        if (ImGui::Begin("Keyboard & Mouse Controls", &showControls)) {
            const ControlRow rows[] = {
                {"Middle mouse drag / Alt + Left drag", "Orbit"},
                {"Shift + Middle drag / Right drag", "Pan"},
                {"Mouse wheel / Ctrl + Middle drag", "Zoom"},
                {"Click axis in the gizmo (top right)", "Align view to axis"},
                {"F / Home", "Frame selected / frame all"},
                {"Numpad 1 / 3 / 7 (Ctrl: opposite)", "Front / right / top view"},
                {"Numpad 5", "Toggle perspective / orthographic"},
                {"Left click", "Select (object, vertex, edge or face)"},
                {"Shift + click", "Toggle selection"},
                {"Ctrl + click", "Remove from selection"},
                {"Left drag on empty space", "Box select (Shift: add, Ctrl: remove)"},
                {"A / Alt + A", "Select all / deselect all"},
                {"G / R / S", "Gizmo: move / rotate / scale"},
                {"Tab", "Toggle Object / Edit Mode"},
                {"1 / 2 / 3 (Edit Mode)", "Vertex / edge / face select"},
                {"E (Edit Mode)", "Extrude"},
                {"M (Edit Mode)", "Merge at center"},
                {"X / Delete", "Delete"},
                {"Shift + D", "Duplicate objects"},
                {"Z / Alt + Z", "Wireframe overlay / X-ray"},
                {"F5", "Build and run the scene as a web game"},
                {shortcut("Z") + " / " + shortcut("Shift+Z"), "Undo / redo"},
                {shortcut("N / O / S"), "New project / open project / save scene"},
            };
            const ImGuiTableFlags flags = ImGuiTableFlags_RowBg | ImGuiTableFlags_BordersInnerV;
            if (ImGui::BeginTable("controls", 2, flags)) {
                ImGui::TableSetupColumn("Input");
                ImGui::TableSetupColumn("Action");
                ImGui::TableHeadersRow();
                for (const ControlRow& row : rows) {
                    ImGui::TableNextRow();
                    ImGui::TableSetColumnIndex(0);
                    ImGui::TextUnformatted(row.input.c_str());
                    ImGui::TableSetColumnIndex(1);
                    ImGui::TextUnformatted(row.action);
                }
                ImGui::EndTable();
            }
        }
        ImGui::End();
    }

    if (showAbout) {
        showAbout = false;
        ImGui::OpenPopup("About ORVA 3D Studio");
    }
    // At least 480 wide; it grows to fit the component table, whose names and licences are never cut.
    ImGui::SetNextWindowSizeConstraints(ImVec2(480.0f, 0.0f), ImVec2(FLT_MAX, FLT_MAX));
    if (!ImGui::BeginPopupModal("About ORVA 3D Studio", nullptr,
                                ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoSavedSettings))
        return;
    const float font = ImGui::GetFontSize();
    if (branding.icon.texture != 0 && branding.wordmark.texture != 0) {
        const float iconSide = 5.0f * font;
        const ImVec2 top = ImGui::GetCursorScreenPos();
        ImGui::Image(ImTextureRef(ImTextureID(branding.icon.texture)), ImVec2(iconSide, iconSide));
        const ImVec2 mark = branding.wordmark.fit(14.0f * font, 0.62f * iconSide);
        ImGui::SameLine(0.0f, font);
        ImGui::SetCursorScreenPos(ImVec2(ImGui::GetCursorScreenPos().x, top.y + 0.5f * (iconSide - mark.y)));
        ImGui::Image(ImTextureRef(ImTextureID(branding.wordmark.texture)), mark);
        ImGui::SetCursorScreenPos(ImVec2(top.x, top.y + iconSide + ImGui::GetStyle().ItemSpacing.y));
        ImGui::Spacing();
    }
    ImGui::Text("%s %s", kAppName, kAppVersion);
    ImGui::TextDisabled("A lightweight native 3D modeling and game building application.");
    ImGui::Separator();
    ImGui::TextUnformatted("Built with open-source components:");
    if (ImGui::BeginTable("libs", 2, ImGuiTableFlags_SizingFixedFit)) {
        for (const Component& component : kComponents) {
            ImGui::TableNextRow();
            ImGui::TableSetColumnIndex(0);
            ImGui::BulletText("%s", component.name);
            ImGui::TableSetColumnIndex(1);
            ImGui::TextDisabled("%s", component.licence);
        }
        ImGui::EndTable();
    }
    ImGui::TextWrapped("Full license texts are listed in THIRD_PARTY_LICENSES.md.");
    ImGui::Spacing();
    if (ImGui::Button("Close", ImVec2(120.0f, 0.0f)))
        ImGui::CloseCurrentPopup();
    ImGui::EndPopup();
}

} // namespace orva
