// The "Tools" panel: quick buttons for adding objects, the web game, the gizmo and snap settings,
// UV projections and the Edit Mode mesh tools. It calls the same commands as the menus and edits
// the editor settings.

#include "editor/editor.h"

#include <cmath>
#include <string>

#include <imgui.h>

#include "editor/dock_layout.h"
#include "scene/primitives.h"

namespace orva {

namespace {

#define ORVA_DEGREE "\xC2\xB0"

float fullWidth() { return ImGui::GetContentRegionAvail().x; }
float halfWidth() { return (ImGui::GetContentRegionAvail().x - ImGui::GetStyle().ItemSpacing.x) * 0.5f; }
float thirdWidth() { return (ImGui::GetContentRegionAvail().x - 2.0f * ImGui::GetStyle().ItemSpacing.x) / 3.0f; }

// A labelled value: the label aligned to the frame padding, the widget from 6.5 font sizes on
// filling the rest of the row.
void valueLabel(const char* label) {
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted(label);
    ImGui::SameLine(6.5f * ImGui::GetFontSize());
    ImGui::SetNextItemWidth(-1.0f);
}

void tooltip(const char* text) {
    if (ImGui::IsItemHovered(ImGuiHoveredFlags_AllowWhenDisabled))
        ImGui::SetTooltip("%s", text);
}

bool sectionHeader(const char* title) { return ImGui::CollapsingHeader(title, ImGuiTreeNodeFlags_DefaultOpen); }

struct UvButton {
    const char* label;
    int width; // 2 half, 3 third, 1 full
    Document::UvOp op;
    const char* tooltip; // null for none
};

} // namespace

void Editor::drawToolsPanel(bool* open, ImGuiWindowFlags dockFlags) {
    if (!ImGui::Begin(ui::kToolsWindow, open, dockFlags)) {
        ImGui::End();
        return;
    }
    const float spacing = ImGui::GetStyle().ItemSpacing.x;
    std::string message;

    // [SECTION] Add Object: two half-width buttons a row.
    if (sectionHeader("Add Object")) {
        int column = 0;
        // halfWidth() is measured before SameLine moves the cursor, so both buttons of a row match.
        const float half = halfWidth();
        auto add = [&](const char* label) {
            if (column % 2 == 1)
                ImGui::SameLine(0.0f, spacing);
            ++column;
            return ImGui::Button(label, ImVec2(half, 0.0f));
        };
        const PrimitiveType primitives[] = {PrimitiveType::Cube, PrimitiveType::Plane, PrimitiveType::Sphere,
                                            PrimitiveType::Cylinder, PrimitiveType::Cone};
        for (PrimitiveType type : primitives)
            if (add(primitiveName(type)))
                document.addPrimitive(type);
        if (add("Camera"))
            document.addCamera();
        if (add("Point Light"))
            document.addLight(LightType::Point);
        if (add("Sun Light"))
            document.addLight(LightType::Directional);
        if (add("Spawn Point"))
            document.addSpawnPoint();
        tooltip("Where the first-person player starts in a built game");
    }

    // [SECTION] Game
    if (sectionHeader("Game")) {
        ImGui::PushStyleColor(ImGuiCol_Button, ImVec4(0.16f, 0.45f, 0.24f, 1.0f));
        ImGui::PushStyleColor(ImGuiCol_ButtonHovered, ImVec4(0.2f, 0.55f, 0.3f, 1.0f));
        const bool build = ImGui::Button("Build and Run (Web)  F5", ImVec2(fullWidth(), 0.0f));
        ImGui::PopStyleColor(2);
        if (build)
            commandBuildWeb(true);
        // A running server is rebuilt and restarted so that its bind address follows the setting.
        if (ImGui::Checkbox("Allow phones on my network", &allowLan) && webServer.running())
            commandBuildWeb(true);
        tooltip("Serve the game to other devices on your Wi-Fi so you can test touch controls on a phone.\n"
                "Only enable this on networks you trust.");
        if (webServer.running()) {
            ImGui::TextDisabled("Running at:");
            ImGui::TextWrapped("%s", webServer.localUrl().c_str());
            const std::string lan = webServer.lanUrl();
            if (!lan.empty()) {
                ImGui::TextWrapped("Phone: %s", lan.c_str());
                // Up to 6 pixels a module at a 16-pixel font, fewer when the panel is narrow.
                const QrCode& code = lanQrCode();
                const int modulePixels = qrModulePixels(code.size, fullWidth(), 2,
                                                        static_cast<int>(std::lround(ImGui::GetFontSize() * 0.375f)));
                qrCodeImage("##phoneqr", code, modulePixels);
                tooltip("Scan with a phone's camera to open the game");
            } else if (allowLan) {
                // Served to the network, but this machine's address on it is not known.
                ImGui::TextDisabled("Phone: no network address found");
            }
            const float half = halfWidth();
            if (ImGui::Button("Open", ImVec2(half, 0.0f)))
                commandOpenGameInBrowser();
            ImGui::SameLine(0.0f, spacing);
            if (ImGui::Button("Stop Server", ImVec2(half, 0.0f))) {
                webServer.stop();
                status("Game server stopped");
            }
        }
    }

    // [SECTION] Transform
    if (sectionHeader("Transform")) {
        ImGui::RadioButton("Move", &settings.gizmoOperation, kGizmoMove);
        ImGui::SameLine();
        ImGui::RadioButton("Rotate", &settings.gizmoOperation, kGizmoRotate);
        ImGui::SameLine();
        ImGui::RadioButton("Scale", &settings.gizmoOperation, kGizmoScale);
        ImGui::RadioButton("Global", &settings.gizmoOrientation, kGizmoWorld);
        ImGui::SameLine();
        ImGui::RadioButton("Local", &settings.gizmoOrientation, kGizmoLocal);
        ImGui::Checkbox("Snap", &settings.snap);
        // The steps keep their values while snapping is off; they are only greyed out.
        ImGui::BeginDisabled(!settings.snap);
        valueLabel("Move step");
        ImGui::DragFloat("##snapmove", &settings.snapMove, 0.01f, 0.001f, 100.0f, "%.3f m",
                         ImGuiSliderFlags_AlwaysClamp);
        valueLabel("Rotate step");
        ImGui::DragFloat("##snaprot", &settings.snapRotate, 0.5f, 0.1f, 180.0f, "%.1f" ORVA_DEGREE,
                         ImGuiSliderFlags_AlwaysClamp);
        valueLabel("Scale step");
        ImGui::DragFloat("##snapscale", &settings.snapScale, 0.01f, 0.001f, 10.0f, "%.3f",
                         ImGuiSliderFlags_AlwaysClamp);
        ImGui::EndDisabled();
    }

    // [SECTION] UV Mapping
    if (sectionHeader("UV Mapping")) {
        const bool editMode = document.state.mode == InteractionMode::Edit;
        ImGui::TextDisabled(editMode ? "Selected faces (all if none)" : "Selected objects");
        const UvButton buttons[] = {
            {"Box", 2, Document::UvOp::Box, "Project from 6 sides: good for walls, floors, crates, buildings"},
            {"Per Face", 2, Document::UvOp::ResetPerFace, "Every face shows the whole texture"},
            {"Top", 3, Document::UvOp::PlanarY, "Planar projection from above (Y)"},
            {"Front", 3, Document::UvOp::PlanarZ, "Planar projection from the front (Z)"},
            {"Side", 3, Document::UvOp::PlanarX, "Planar projection from the side (X)"},
            {"Cylinder##uv", 2, Document::UvOp::Cylinder, "Wrap around the Y axis: poles, bottles, trunks"},
            {"Sphere##uv", 2, Document::UvOp::Sphere, "Wrap around a sphere: balls, planets, heads"},
            {"Fit 0-1", 3, Document::UvOp::FitToUnit, "Scale the UVs so they fill the texture once"},
            {"Flip U", 3, Document::UvOp::FlipU, nullptr},
            {"Flip V", 3, Document::UvOp::FlipV, nullptr},
            {"Rotate 90" ORVA_DEGREE, 1, Document::UvOp::Rotate90, nullptr},
        };
        // Buttons of one width share a row until the row is full.
        int inRow = 0;
        int rowOf = 0;
        float width = 0.0f;
        for (const UvButton& b : buttons) {
            if (b.op == Document::UvOp::FitToUnit) {
                valueLabel("Tile size");
                ImGui::DragFloat("##uvtile", &settings.uvTileSize, 0.01f, 0.01f, 1000.0f, "%.2f m",
                                 ImGuiSliderFlags_AlwaysClamp);
                tooltip("Size of one texture repeat for Box / Top / Front / Side projection");
                inRow = 0;
            }
            if (inRow > 0 && inRow < rowOf && b.width == rowOf) {
                ImGui::SameLine(0.0f, spacing);
            } else {
                rowOf = b.width;
                inRow = 0;
                width = b.width == 2 ? halfWidth() : b.width == 3 ? thirdWidth() : fullWidth();
            }
            ++inRow;
            if (ImGui::Button(b.label, ImVec2(width, 0.0f)))
                runMeshOp(document.applyUv(b.op, settings.uvTileSize, &message), message, "UVs updated");
            if (b.tooltip)
                tooltip(b.tooltip);
        }
        ImGui::TextDisabled("Tiling / offset / rotation per material: Properties.");
    }

    // [SECTION] Mesh Tools
    if (sectionHeader("Mesh Tools")) {
        const bool editMode = document.state.mode == InteractionMode::Edit;
        if (ImGui::Button(editMode ? "Exit Edit Mode (Tab)" : "Enter Edit Mode (Tab)", ImVec2(fullWidth(), 0.0f)))
            commandToggleEditMode();
        if (!editMode)
            ImGui::TextDisabled("Select a mesh and enter Edit Mode.");
        ImGui::BeginDisabled(!editMode);
        int type = int(document.state.componentType);
        bool changed = ImGui::RadioButton("Vertex", &type, int(ComponentType::Vertex));
        ImGui::SameLine();
        changed |= ImGui::RadioButton("Edge", &type, int(ComponentType::Edge));
        ImGui::SameLine();
        changed |= ImGui::RadioButton("Face", &type, int(ComponentType::Face));
        if (changed && editMode)
            document.setComponentType(ComponentType(type));
        float half = halfWidth();
        if (ImGui::Button("Select All", ImVec2(half, 0.0f)))
            document.selectAllComponents(true);
        ImGui::SameLine(0.0f, spacing);
        if (ImGui::Button("Select None", ImVec2(half, 0.0f)))
            document.selectAllComponents(false);
        ImGui::Separator();
        half = halfWidth();
        if (ImGui::Button("Extrude", ImVec2(half, 0.0f)))
            runMeshOp(document.extrude(settings.extrudeDistance, &message), message, "Extruded");
        ImGui::SameLine(0.0f, spacing);
        ImGui::SetNextItemWidth(half);
        ImGui::DragFloat("##extrude", &settings.extrudeDistance, 0.01f, -100.0f, 100.0f, "%.2f m",
                         ImGuiSliderFlags_AlwaysClamp);
        if (ImGui::Button("Merge at Center", ImVec2(fullWidth(), 0.0f)))
            runMeshOp(document.mergeAtCenter(&message), message, "Merged vertices at center");
        half = halfWidth();
        if (ImGui::Button("Merge by Dist.", ImVec2(half, 0.0f)))
            runMeshOp(document.mergeByDistance(settings.mergeDistance, &message), message,
                      "Merged vertices by distance");
        tooltip("Merge selected vertices closer than the given distance");
        ImGui::SameLine(0.0f, spacing);
        ImGui::SetNextItemWidth(half);
        ImGui::DragFloat("##mergedist", &settings.mergeDistance, 0.0005f, 0.0f, 10.0f, "%.4f m",
                         ImGuiSliderFlags_AlwaysClamp);
        half = halfWidth();
        if (ImGui::Button("Split Edges", ImVec2(half, 0.0f)))
            runMeshOp(document.splitEdges(&message), message, "Split selected edges");
        ImGui::SameLine(0.0f, spacing);
        if (ImGui::Button("Flip Normals", ImVec2(half, 0.0f)))
            runMeshOp(document.flipNormals(&message), message, "Flipped normals");
        if (ImGui::Button("Delete Selected", ImVec2(fullWidth(), 0.0f)))
            commandDelete();
        ImGui::EndDisabled();
    }
    ImGui::End();
}

} // namespace orva
