#include "editor/outliner.h"

#include <imgui_stdlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "document/document.h"
#include "editor/track_edit.h"

namespace orva {

// [SECTION] Helpers
namespace {

// The small type icon in front of a row's name, in a cell of font size x text line height.
void drawTypeIcon(ObjectType type) {
    const float fontSize = ImGui::GetFontSize();
    const float lineHeight = ImGui::GetTextLineHeight();
    const ImVec2 cell = ImGui::GetCursorScreenPos();
    ImGui::Dummy(ImVec2(fontSize, lineHeight));
    ImDrawList* draw = ImGui::GetWindowDrawList();
    const ImVec2 c(cell.x + 0.5f * fontSize, cell.y + 0.5f * lineHeight);
    const float k = 0.3f * fontSize;
    switch (type) {
    case ObjectType::Mesh:
        draw->AddTriangleFilled(ImVec2(c.x, c.y - k), ImVec2(c.x + k, c.y + 0.8f * k), ImVec2(c.x - k, c.y + 0.8f * k),
                                IM_COL32(240, 150, 60, 255));
        break;
    case ObjectType::Camera: {
        const ImU32 color = IM_COL32(120, 190, 240, 255);
        draw->AddRectFilled(ImVec2(c.x - k, c.y - 0.6f * k), ImVec2(c.x + 0.4f * k, c.y + 0.6f * k), color, 1.0f);
        draw->AddTriangleFilled(ImVec2(c.x + 0.4f * k, c.y), ImVec2(c.x + k, c.y - 0.6f * k),
                                ImVec2(c.x + k, c.y + 0.6f * k), color);
        break;
    }
    case ObjectType::Light:
        draw->AddCircleFilled(c, 0.8f * k, IM_COL32(250, 220, 90, 255), 12);
        break;
    case ObjectType::SpawnPoint: {
        const ImU32 color = IM_COL32(90, 220, 120, 255);
        draw->AddCircleFilled(ImVec2(c.x, c.y - 0.6f * k), 0.38f * k, color, 12);
        draw->AddRectFilled(ImVec2(c.x - 0.45f * k, c.y - 0.15f * k), ImVec2(c.x + 0.45f * k, c.y + k), color, 2.0f);
        break;
    }
    }
}

} // namespace

// [SECTION] Panel

void Outliner::draw(bool* open, ImGuiWindowFlags extraFlags) {
    ui::endStaleEdit(document);
    if (!ImGui::Begin("Outliner", open, extraFlags)) {
        ImGui::End();
        return;
    }

    const ImGuiTreeNodeFlags rootFlags = ImGuiTreeNodeFlags_DefaultOpen | ImGuiTreeNodeFlags_OpenOnArrow |
                                         ImGuiTreeNodeFlags_FramePadding | ImGuiTreeNodeFlags_SpanAvailWidth;
    const bool rootOpen = ImGui::TreeNodeEx("##scene_root", rootFlags, "Scene");
    handleDropTarget(kInvalidObject);
    if (rootOpen) {
        // childrenOf returns a copy: rows may re-parent objects while the walk goes on.
        for (uint32_t id : document.state.scene.childrenOf(kInvalidObject))
            drawObject(id);
        ImGui::TreePop();
    }

    // The blank rest of the window: a click empties the selection, a drop makes a root.
    const ImVec2 avail = ImGui::GetContentRegionAvail();
    ImGui::InvisibleButton("##blank", ImVec2(std::max(avail.x, 1.0f), std::max(avail.y, 20.0f)));
    if (ImGui::IsItemClicked(ImGuiMouseButton_Left) && document.state.mode == InteractionMode::Object)
        document.selectObjects({}, SelectOp::Replace);
    handleDropTarget(kInvalidObject);

    // Deleting while the tree was walked would pull rows from under it.
    if (pendingDelete != 0) {
        document.selectObjects({pendingDelete}, SelectOp::Replace);
        document.deleteSelectedObjects();
        pendingDelete = 0;
    }
    ImGui::End();
}

void Outliner::handleDropTarget(uint32_t parentId) {
    if (!ImGui::BeginDragDropTarget())
        return;
    if (const ImGuiPayload* payload = ImGui::AcceptDragDropPayload(kObjectPayload)) {
        if (payload->Data && payload->DataSize == int(sizeof(uint32_t))) {
            uint32_t child = 0;
            std::memcpy(&child, payload->Data, sizeof child);
            document.setParent(child, parentId); // refuses cycles, itself and the current parent
        }
    }
    ImGui::EndDragDropTarget();
}

void Outliner::startRename(uint32_t id) {
    const SceneObject* object = document.state.scene.find(id);
    if (!object)
        return;
    renamingId = id;
    renameBuffer = object->name;
    focusRename = true;
}

// [SECTION] One row

void Outliner::drawObject(uint32_t id) {
    SceneObject* object = document.state.scene.find(id);
    if (!object)
        return;
    const std::vector<uint32_t> children = document.state.scene.childrenOf(id);
    const ObjectSelection& selection = document.state.selection;
    const bool selected = selection.contains(id);

    ImGui::PushID(int(id));
    ImGuiTreeNodeFlags flags = ImGuiTreeNodeFlags_DefaultOpen | ImGuiTreeNodeFlags_OpenOnArrow |
                               ImGuiTreeNodeFlags_OpenOnDoubleClick | ImGuiTreeNodeFlags_FramePadding |
                               ImGuiTreeNodeFlags_SpanAvailWidth | ImGuiTreeNodeFlags_AllowOverlap;
    if (children.empty())
        flags |= ImGuiTreeNodeFlags_Leaf;
    if (selected)
        flags |= ImGuiTreeNodeFlags_Selected;
    const bool activeHighlight = selected && selection.active == id;
    if (activeHighlight)
        ImGui::PushStyleColor(ImGuiCol_Header, ImVec4(0.3f, 0.44f, 0.7f, 1.0f));
    // The visibility box sits on the row: it must take the clicks over it (an item flag, not only the node flag).
    ImGui::SetNextItemAllowOverlap();
    const bool nodeOpen = ImGui::TreeNodeEx("##node", flags);
    if (activeHighlight)
        ImGui::PopStyleColor();

    // Selection: a click on the row, not on its arrow.
    if (ImGui::IsItemClicked(ImGuiMouseButton_Left) && !ImGui::IsItemToggledOpen()) {
        bool select = true;
        if (document.state.mode == InteractionMode::Edit) {
            if (document.state.editObjectId == id)
                select = false; // the object being edited stays as it is
            else
                document.exitEditMode();
        }
        if (select && document.state.mode == InteractionMode::Object) {
            const ImGuiIO& io = ImGui::GetIO();
            document.selectObjects({id}, io.KeyCtrl || io.KeyShift ? SelectOp::Toggle : SelectOp::Replace);
        }
    }
    if (ImGui::IsItemHovered() && ImGui::IsMouseDoubleClicked(ImGuiMouseButton_Left))
        startRename(id);

    if (ImGui::BeginDragDropSource()) {
        ImGui::SetDragDropPayload(kObjectPayload, &id, sizeof id);
        ImGui::Text("Parent \"%s\" to ...", object->name.c_str());
        ImGui::EndDragDropSource();
    }
    handleDropTarget(id);

    if (ImGui::BeginPopupContextItem("context")) {
        const bool objectMode = document.state.mode == InteractionMode::Object;
        if (ImGui::MenuItem("Rename"))
            startRename(id);
        if (ImGui::MenuItem("Duplicate", nullptr, false, objectMode)) {
            document.selectObjects({id}, SelectOp::Replace);
            document.duplicateSelectedObjects();
        }
        if (ImGui::MenuItem("Clear Parent", nullptr, false, document.state.scene.find(object->parent) != nullptr))
            document.setParent(id, kInvalidObject);
        ImGui::Separator();
        if (ImGui::MenuItem("Delete", nullptr, false, objectMode))
            pendingDelete = id;
        ImGui::EndPopup();
    }
    // Duplicating inserts objects; the pointers of existing ones stay valid (they are owned by pointer).
    object = document.state.scene.find(id);
    if (!object) {
        if (nodeOpen)
            ImGui::TreePop();
        ImGui::PopID();
        return;
    }

    ImGui::SameLine();
    drawTypeIcon(object->type);

    ImGui::SameLine();
    if (renamingId == id) {
        drawRenameField(id);
    } else {
        ImGui::AlignTextToFramePadding();
        if (object->visible)
            ImGui::TextUnformatted(object->name.c_str());
        else
            ImGui::TextDisabled("%s", object->name.c_str());
    }

    // The visibility box, right-aligned over the row.
    ImGui::SameLine();
    const float avail = ImGui::GetContentRegionAvail().x;
    ImGui::SetCursorPosX(ImGui::GetCursorPosX() + std::max(avail - ImGui::GetFrameHeight(), 0.0f));
    ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(2.0f, 2.0f));
    bool visible = object->visible;
    if (ImGui::Checkbox("##visible", &visible) && visible != object->visible) {
        document.checkpoint(visible ? "Show Object" : "Hide Object");
        object->visible = visible;
    }
    ImGui::PopStyleVar();
    if (ImGui::IsItemHovered(ImGuiHoveredFlags_DelayShort))
        ImGui::SetTooltip("Visible in viewport");

    if (nodeOpen) {
        for (uint32_t child : document.state.scene.childrenOf(id))
            drawObject(child);
        ImGui::TreePop();
    }
    ImGui::PopID();
}

void Outliner::drawRenameField(uint32_t id) {
    if (focusRename) {
        ImGui::SetKeyboardFocusHere();
        focusRename = false;
    }
    ImGui::SetNextItemWidth(ImGui::GetContentRegionAvail().x - ImGui::GetFrameHeight() - 8.0f);
    const bool enter = ImGui::InputText("##rename", &renameBuffer,
                                        ImGuiInputTextFlags_AutoSelectAll | ImGuiInputTextFlags_EnterReturnsTrue);
    if (!enter && !ImGui::IsItemDeactivated())
        return;
    SceneObject* object = document.state.scene.find(id);
    const bool escape = ImGui::IsKeyPressed(ImGuiKey_Escape, false);
    if (object && !escape && !renameBuffer.empty() && renameBuffer != object->name) {
        document.checkpoint("Rename");
        object->name = renameBuffer;
    }
    renamingId = 0;
}

} // namespace orva
