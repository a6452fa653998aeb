#include "editor/inspector.h"

#include <imgui.h>
#include <imgui_stdlib.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "document/document.h"
#include "document/mesh_ops.h"
#include "editor/track_edit.h"
#include "io/image.h"
#include "render/renderer.h"

// Index of this file:
// - Helpers
// - Panel
// - Transform, Edit Mode selection and mesh
// - Material and texture
// - Camera and light

namespace orva {

// [SECTION] Helpers
namespace {

#define ORVA_DEGREE "\xC2\xB0"

// Every labelled field: the label aligned to the frame padding, the widget from 6.5 font sizes on
// filling the rest of the row.
void propertyLabel(const char* label) {
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted(label);
    ImGui::SameLine(6.5f * ImGui::GetFontSize());
    ImGui::SetNextItemWidth(-1.0f);
}

// A read-only row: the label, then the value as plain (or disabled) text.
void propertyText(const char* label, const char* value, bool disabled = false) {
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted(label);
    ImGui::SameLine(6.5f * ImGui::GetFontSize());
    if (disabled)
        ImGui::TextDisabled("%s", value);
    else
        ImGui::TextUnformatted(value);
}

bool sectionHeader(const char* title) { return ImGui::CollapsingHeader(title, ImGuiTreeNodeFlags_DefaultOpen); }

const Material kDefaultMaterial{"Material", {0.8f, 0.8f, 0.8f, 1.0f}, 0.0f, 0.5f, -1, {1.0f, 1.0f}, {0.0f, 0.0f}, 0.0f};

} // namespace

// [SECTION] Panel

void Inspector::draw(bool* open, ImGuiWindowFlags extraFlags) {
    ui::endStaleEdit(document);
    if (!ImGui::Begin("Properties", open, extraFlags)) {
        ImGui::End();
        return;
    }
    SceneObject* object = document.activeObject();
    if (!object || !document.state.selection.contains(object->id)) {
        nameFieldActive = false;
        ImGui::TextDisabled("No active object.");
        ImGui::TextDisabled("Select an object in the viewport or outliner.");
        ImGui::End();
        return;
    }

    drawName(*object);
    ImGui::Spacing();

    drawTransform(*object);
    switch (object->type) {
    case ObjectType::Mesh:
        if (document.state.mode == InteractionMode::Edit && document.state.editObjectId == object->id)
            drawEditSelection(*object);
        drawMesh(*object);
        drawMaterial(*object);
        break;
    case ObjectType::Camera:
        drawCamera(*object);
        break;
    case ObjectType::Light:
        drawLight(*object);
        break;
    case ObjectType::SpawnPoint:
        drawSpawnPoint();
        break;
    }
    ImGui::End();
}

void Inspector::drawName(SceneObject& object) {
    // Follow renames made elsewhere, but never while the user is typing here: text typed for one
    // object is applied to that object when the field lets go, even if the selection moved on.
    const bool focused = ImGui::IsWindowFocused(ImGuiFocusedFlags_RootAndChildWindows);
    if ((object.id != nameObjectId || !focused) && !nameFieldActive) {
        nameBuffer = object.name;
        nameObjectId = object.id;
    }
    propertyLabel("Name");
    const bool enter = ImGui::InputText("##name", &nameBuffer, ImGuiInputTextFlags_EnterReturnsTrue);
    if (enter || ImGui::IsItemDeactivatedAfterEdit()) {
        SceneObject* target = document.state.scene.find(nameObjectId);
        if (target && !nameBuffer.empty() && nameBuffer != target->name) {
            document.checkpoint("Rename");
            target->name = nameBuffer;
        }
    }
    nameFieldActive = ImGui::IsItemActive();

    propertyText("Type", objectTypeName(object.type), true);
    if (const SceneObject* parent = document.state.scene.find(object.parent))
        propertyText("Parent", parent->name.c_str(), true);
}

void Inspector::drawSpawnPoint() {
    if (!sectionHeader("Spawn Point"))
        return;
    ImGui::TextWrapped("The first-person player starts here when the game is built (Game > Build and Run). Location "
                       "is the player's feet; the green arrow (local -Z) is the initial view direction. Rotate around "
                       "Y to turn.");
    int visibleSpawns = 0;
    for (const auto& other : document.state.scene.objects)
        if (other->type == ObjectType::SpawnPoint && other->visible)
            ++visibleSpawns;
    if (visibleSpawns > 1)
        ImGui::TextColored(ImVec4(1.0f, 0.7f, 0.3f, 1.0f),
                           "%d visible spawn points: the first one in the Outliner is used.", visibleSpawns);
}

// [SECTION] Transform, Edit Mode selection and mesh

void Inspector::drawTransform(SceneObject& object) {
    if (!sectionHeader("Transform"))
        return;
    Transform& t = object.transform;
    propertyLabel("Location");
    ImGui::DragFloat3("##location", &t.position.x, 0.01f, 0.0f, 0.0f, "%.3f m");
    ui::trackEdit(document, "Edit Location");
    propertyLabel("Rotation");
    ImGui::DragFloat3("##rotation", &t.rotationEulerDeg.x, 0.5f, 0.0f, 0.0f, "%.1f" ORVA_DEGREE);
    ui::trackEdit(document, "Edit Rotation");
    propertyLabel("Scale");
    ImGui::DragFloat3("##scale", &t.scale.x, 0.01f, 0.0f, 0.0f, "%.3f");
    ui::trackEdit(document, "Edit Scale");
    ImGui::TextDisabled("Rotation order: XYZ Euler");
}

void Inspector::drawEditSelection(SceneObject& object) {
    if (!object.mesh || !sectionHeader("Selected Vertices"))
        return;
    Mesh& mesh = *object.mesh;
    std::vector<uint8_t>& flags = document.state.vertexSelection;
    meshops::resizeSelection(mesh, flags);

    int selected = 0;
    glm::vec3 sum(0.0f);
    for (size_t i = 0; i < flags.size(); ++i) {
        if (flags[i]) {
            ++selected;
            sum += mesh.vertices[i].position;
        }
    }
    char text[64];
    std::snprintf(text, sizeof text, "%d / %zu vertices", selected, mesh.vertices.size());
    propertyText("Selected", text);
    if (selected > 0) {
        const glm::vec3 median = sum / float(selected);
        glm::vec3 edited = median;
        propertyLabel(selected == 1 ? "Vertex" : "Median");
        const bool changed = ImGui::DragFloat3("##median", &edited.x, 0.01f, 0.0f, 0.0f, "%.3f");
        ui::trackEdit(document, "Move Vertices");
        if (changed && edited != median) {
            const glm::vec3 delta = edited - median;
            for (size_t i = 0; i < flags.size(); ++i)
                if (flags[i])
                    mesh.vertices[i].position += delta;
            ++mesh.revision; // the renderer re-uploads a mesh on a new revision
        }
    }
    ImGui::TextDisabled("Local (object) coordinates");
}

void Inspector::drawMesh(SceneObject& object) {
    if (!object.mesh || !sectionHeader("Mesh"))
        return;
    const Mesh& mesh = *object.mesh;
    size_t triangles = 0;
    for (const Face& face : mesh.faces)
        triangles += face.indices.size() > 2 ? face.indices.size() - 2 : 0;
    char text[96];
    std::snprintf(text, sizeof text, "%zu", mesh.vertices.size());
    propertyText("Vertices", text);
    std::snprintf(text, sizeof text, "%zu", mesh.edges().size());
    propertyText("Edges", text);
    std::snprintf(text, sizeof text, "%zu  (%zu triangles)", mesh.faces.size(), triangles);
    propertyText("Faces", text);
    propertyText("UVs", mesh.hasUVs() ? "Yes" : "No");

    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted("Shading");
    ImGui::SameLine(6.5f * ImGui::GetFontSize());
    const float width = (ImGui::GetContentRegionAvail().x - ImGui::GetStyle().ItemSpacing.x) * 0.5f;
    if (ImGui::Button("Smooth", ImVec2(width, 0.0f)))
        document.setShading(true);
    ImGui::SameLine();
    if (ImGui::Button("Flat", ImVec2(width, 0.0f)))
        document.setShading(false);
}

// [SECTION] Material and texture

void Inspector::drawMaterial(SceneObject& object) {
    if (!sectionHeader("Material"))
        return;
    Scene& scene = document.state.scene;
    const int count = int(scene.materials.size());
    const bool assigned = object.material >= 0 && object.material < count;

    // The combo leaves room for the "New" button on the same line.
    const ImGuiStyle& style = ImGui::GetStyle();
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted("Material");
    ImGui::SameLine(6.5f * ImGui::GetFontSize());
    ImGui::SetNextItemWidth(ImGui::GetContentRegionAvail().x - ImGui::CalcTextSize("New").x -
                            2.0f * style.FramePadding.x - style.ItemSpacing.x);
    const char* preview = assigned ? scene.materials[size_t(object.material)].name.c_str() : "None";
    if (ImGui::BeginCombo("##material", preview)) {
        if (ImGui::Selectable("None", !assigned) && assigned) {
            document.checkpoint("Assign Material");
            object.material = -1;
        }
        for (int i = 0; i < int(scene.materials.size()); ++i) {
            ImGui::PushID(i);
            const bool current = object.material == i;
            if (ImGui::Selectable(scene.materials[size_t(i)].name.c_str(), current) && !current) {
                document.checkpoint("Assign Material");
                object.material = i;
            }
            ImGui::PopID();
        }
        ImGui::EndCombo();
    }
    ImGui::SameLine();
    if (ImGui::Button("New")) {
        document.checkpoint("New Material");
        Material material = object.material >= 0 && object.material < int(scene.materials.size())
                                ? scene.materials[size_t(object.material)]
                                : kDefaultMaterial;
        char name[32];
        std::snprintf(name, sizeof name, "Material.%03d", int(scene.materials.size()));
        material.name = name;
        scene.materials.push_back(std::move(material));
        object.material = int(scene.materials.size()) - 1;
    }
    if (ImGui::IsItemHovered())
        ImGui::SetTooltip("Create a new material (copy of the current one) and assign it");

    const int index = object.material;
    if (index < 0 || index >= int(scene.materials.size()))
        return;
    Material& material = scene.materials[size_t(index)];
    propertyLabel("Name");
    ImGui::InputText("##matname", &material.name);
    ui::trackEdit(document, "Rename Material");
    propertyLabel("Base Color");
    ImGui::ColorEdit4("##basecolor", &material.baseColor.x, ImGuiColorEditFlags_Float);
    ui::trackEdit(document, "Edit Base Color");
    propertyLabel("Metallic");
    ImGui::SliderFloat("##metallic", &material.metallic, 0.0f, 1.0f, "%.3f", ImGuiSliderFlags_AlwaysClamp);
    ui::trackEdit(document, "Edit Metallic");
    propertyLabel("Roughness");
    ImGui::SliderFloat("##roughness", &material.roughness, 0.0f, 1.0f, "%.3f", ImGuiSliderFlags_AlwaysClamp);
    ui::trackEdit(document, "Edit Roughness");

    int users = 0;
    for (const auto& other : scene.objects)
        if (other->material == index)
            ++users;
    if (users > 1)
        ImGui::TextDisabled("Shared by %d objects", users);
    drawTexture(index);
}

void Inspector::drawTexture(int materialIndex) {
    Scene& scene = document.state.scene;
    if (materialIndex < 0 || materialIndex >= int(scene.materials.size()))
        return;
    ImGui::SeparatorText("Base Color Texture");

    const auto shownTexture = [&]() -> const Texture* {
        const int t = scene.materials[size_t(materialIndex)].baseColorTexture;
        if (t < 0 || t >= int(scene.textures.size()) || !scene.textures[size_t(t)].data)
            return nullptr;
        return &scene.textures[size_t(t)];
    };

    const Texture* texture = shownTexture();
    if (texture) {
        const float side = 3.2f * ImGui::GetFrameHeight();
        // Without GL (the renderer not initialised) there is no handle: an empty square instead.
        const uint32_t handle = renderer.initialized ? renderer.textureHandle(texture->data) : 0;
        if (handle != 0) {
            ImGui::Image(ImTextureRef(ImTextureID(handle)), ImVec2(side, side), ImVec2(0, 0), ImVec2(1, 1));
        } else {
            const ImVec2 corner = ImGui::GetCursorScreenPos();
            ImGui::Dummy(ImVec2(side, side));
            ImGui::GetWindowDrawList()->AddRect(corner, ImVec2(corner.x + side, corner.y + side),
                                                ImGui::GetColorU32(ImGuiCol_Border));
        }
        ImGui::SameLine();
        ImGui::BeginGroup();
        ImGui::TextUnformatted(texture->name.c_str());
        ImGui::TextDisabled("%d x %d  %s", texture->data->width, texture->data->height,
                            texture->data->mimeType == "image/jpeg" ? "JPEG" : "PNG");
        ImGui::EndGroup();
    } else {
        ImGui::TextDisabled("None: the material uses its color only.");
    }

    // The buttons may replace the texture list: nothing below keeps `texture` across them.
    const bool hadTexture = texture != nullptr;
    ImGui::BeginGroup();
    if (ImGui::Button("Load...") && requestTexture)
        requestTexture(materialIndex);
    if (ImGui::IsItemHovered())
        ImGui::SetTooltip("PNG, JPG, TGA, BMP, ... (you can also drag & drop an image onto the window)");
    ImGui::SameLine();
    if (ImGui::Button("Checker"))
        document.setMaterialTexture(materialIndex, io::makeCheckerTexture(512, 8), "Checker");
    if (ImGui::IsItemHovered())
        ImGui::SetTooltip("A checker pattern to inspect the UV mapping");
    if (hadTexture) {
        ImGui::SameLine();
        if (ImGui::Button("Remove"))
            document.setMaterialTexture(materialIndex, nullptr, std::string());
    }
    ImGui::EndGroup();

    if (!scene.textures.empty()) {
        texture = shownTexture();
        const int current = scene.materials[size_t(materialIndex)].baseColorTexture;
        propertyLabel("Image");
        if (ImGui::BeginCombo("##texture", texture ? texture->name.c_str() : "None")) {
            int chosen = -1;
            for (int i = 0; i < int(scene.textures.size()); ++i) {
                ImGui::PushID(i);
                // A texture without an image cannot be applied (it would remove the texture).
                const bool usable = scene.textures[size_t(i)].data != nullptr;
                if (ImGui::Selectable(scene.textures[size_t(i)].name.c_str(), i == current,
                                      usable ? 0 : ImGuiSelectableFlags_Disabled) &&
                    i != current)
                    chosen = i;
                ImGui::PopID();
            }
            ImGui::EndCombo();
            if (chosen >= 0) {
                const Texture choice = scene.textures[size_t(chosen)]; // the list may grow below
                document.setMaterialTexture(materialIndex, choice.data, choice.name);
            }
        }
    }

    if (!shownTexture())
        return;
    Material& material = scene.materials[size_t(materialIndex)];
    propertyLabel("Tiling");
    ImGui::DragFloat2("##uvscale", &material.uvScale.x, 0.01f, -1000.0f, 1000.0f, "%.3f", ImGuiSliderFlags_AlwaysClamp);
    ui::trackEdit(document, "Edit Texture Tiling");
    propertyLabel("Offset");
    ImGui::DragFloat2("##uvoffset", &material.uvOffset.x, 0.005f, -1000.0f, 1000.0f, "%.3f",
                      ImGuiSliderFlags_AlwaysClamp);
    ui::trackEdit(document, "Edit Texture Offset");
    propertyLabel("Rotation");
    ImGui::DragFloat("##uvrot", &material.uvRotationDeg, 0.5f, -360.0f, 360.0f, "%.1f" ORVA_DEGREE,
                     ImGuiSliderFlags_AlwaysClamp);
    ui::trackEdit(document, "Edit Texture Rotation");
    if (material.uvScale != glm::vec2(1.0f) || material.uvOffset != glm::vec2(0.0f) || material.uvRotationDeg != 0.0f) {
        if (ImGui::SmallButton("Reset texture placement")) {
            document.checkpoint("Reset Texture Placement");
            material.uvScale = glm::vec2(1.0f);
            material.uvOffset = glm::vec2(0.0f);
            material.uvRotationDeg = 0.0f;
        }
    }
}

// [SECTION] Camera and light

void Inspector::drawCamera(SceneObject& object) {
    if (!sectionHeader("Camera"))
        return;
    propertyLabel("Field of View");
    ImGui::SliderFloat("##fov", &object.yfovDeg, 1.0f, 170.0f, "%.1f" ORVA_DEGREE, ImGuiSliderFlags_AlwaysClamp);
    ui::trackEdit(document, "Edit Field of View");
    propertyLabel("Clip Start");
    ImGui::DragFloat("##znear", &object.znear, 0.01f, 0.0001f, object.zfar, "%.3f m", ImGuiSliderFlags_AlwaysClamp);
    ui::trackEdit(document, "Edit Clip Start");
    propertyLabel("Clip End");
    ImGui::DragFloat("##zfar", &object.zfar, 1.0f, object.znear, 1000000.0f, "%.1f m", ImGuiSliderFlags_AlwaysClamp);
    ui::trackEdit(document, "Edit Clip End");
}

void Inspector::drawLight(SceneObject& object) {
    if (!sectionHeader("Light"))
        return;
    propertyLabel("Type");
    if (ImGui::BeginCombo("##lighttype", lightTypeName(object.lightType))) {
        for (LightType type : {LightType::Point, LightType::Directional, LightType::Spot}) {
            if (ImGui::Selectable(lightTypeName(type), type == object.lightType) && type != object.lightType) {
                document.checkpoint("Change Light Type");
                object.lightType = type;
            }
        }
        ImGui::EndCombo();
    }
    propertyLabel("Color");
    ImGui::ColorEdit3("##lightcolor", &object.color.x, ImGuiColorEditFlags_Float);
    ui::trackEdit(document, "Edit Light Color");
    propertyLabel("Intensity");
    ImGui::DragFloat("##intensity", &object.intensity, 0.5f, 0.0f, 1000000.0f,
                     object.lightType == LightType::Directional ? "%.2f lux" : "%.2f cd", ImGuiSliderFlags_AlwaysClamp);
    ui::trackEdit(document, "Edit Light Intensity");
    if (object.lightType != LightType::Directional) {
        propertyLabel("Range");
        ImGui::DragFloat("##range", &object.range, 0.1f, 0.0f, 1000000.0f, object.range <= 0.0f ? "Infinite" : "%.2f m",
                         ImGuiSliderFlags_AlwaysClamp);
        ui::trackEdit(document, "Edit Light Range");
    }
    if (object.lightType == LightType::Spot) {
        // Each cone bounds the other, so the inner cone never exceeds the outer one.
        const float outerMax = 90.0f;
        propertyLabel("Inner Cone");
        ImGui::SliderFloat("##inner", &object.innerConeDeg, 0.0f, std::clamp(object.outerConeDeg, 0.0f, outerMax),
                           "%.1f" ORVA_DEGREE, ImGuiSliderFlags_AlwaysClamp);
        ui::trackEdit(document, "Edit Spot Cone");
        propertyLabel("Outer Cone");
        ImGui::SliderFloat("##outer", &object.outerConeDeg, std::clamp(object.innerConeDeg, 0.0f, outerMax), outerMax,
                           "%.1f" ORVA_DEGREE, ImGuiSliderFlags_AlwaysClamp);
        ui::trackEdit(document, "Edit Spot Cone");
    }
    ImGui::TextDisabled("Units follow glTF KHR_lights_punctual.");
}

} // namespace orva
