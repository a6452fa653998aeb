// The UV editor panel.
//
// Index of this file:
// [SECTION] Helpers
// [SECTION] Panel and document sync
// [SECTION] Toolbar
// [SECTION] Canvas and input
// [SECTION] Selection
// [SECTION] Modal operations
// [SECTION] One-shot operations
// [SECTION] Drawing

#include "editor/uv_editor.h"

#include "document/document.h"
#include "render/renderer.h"
#include "scene/mesh.h"
#include "scene/scene.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>

namespace orva {

//-----------------------------------------------------------------------------
// [SECTION] Helpers
//-----------------------------------------------------------------------------

namespace {

constexpr float kPickRadiusPixels = 9.0f;
constexpr float kDragThresholdPixels = 4.0f;
constexpr int kMaxTiledCells = 400;

// The separators are middle dots (U+00B7) with two blanks on each side.
const char* const kModalHint =
    "Click / Enter: apply  \xC2\xB7  Right click / Esc: cancel  \xC2\xB7  X / Y: lock axis  \xC2\xB7  Ctrl: snap";
const char* const kEditHint =
    "Click: select  \xC2\xB7  Drag: move  \xC2\xB7  G / R / S: move, rotate, scale  \xC2\xB7  "
    "L / double-click: island  \xC2\xB7  Wheel: zoom  \xC2\xB7  Right drag: pan";
const char* const kPreviewHint = "Wheel: zoom  \xC2\xB7  Right/middle drag: pan";

const ImU32 kSelectedColor = IM_COL32(255, 150, 40, 255);
const ImU32 kHoverColor = IM_COL32(120, 200, 255, 255);

ImVec2 im(const glm::vec2& v) { return ImVec2(v.x, v.y); }
glm::vec2 gv(const ImVec2& v) { return glm::vec2(v.x, v.y); }

const char* modalLabel(UvEditor::Modal kind) {
    switch (kind) {
    case UvEditor::Modal::Move:
        return "Move UVs";
    case UvEditor::Modal::Rotate:
        return "Rotate UVs";
    case UvEditor::Modal::Scale:
        return "Scale UVs";
    default:
        return "UV Edit";
    }
}

bool sameUvs(const std::vector<glm::vec2>& a, const std::vector<glm::vec2>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].x != b[i].x || a[i].y != b[i].y)
            return false;
    return true;
}

// Bounds of the UVs of the given corners; min > max when there are none.
void cornerBounds(const Mesh& mesh, const std::vector<uv::Corner>& corners, glm::vec2& lo, glm::vec2& hi) {
    lo = glm::vec2(FLT_MAX);
    hi = glm::vec2(-FLT_MAX);
    for (const uv::Corner& c : corners) {
        if (c.face >= mesh.faces.size())
            continue;
        const Face& f = mesh.faces[c.face];
        if (!f.hasUVs() || c.corner >= f.uvs.size())
            continue;
        lo = glm::min(lo, f.uvs[c.corner]);
        hi = glm::max(hi, f.uvs[c.corner]);
    }
}

size_t distinctVertices(const Mesh& mesh, const std::vector<uv::Corner>& corners) {
    std::vector<uint32_t> vertices;
    vertices.reserve(corners.size());
    for (const uv::Corner& c : corners)
        if (c.face < mesh.faces.size() && c.corner < mesh.faces[c.face].indices.size())
            vertices.push_back(mesh.faces[c.face].indices[c.corner]);
    std::sort(vertices.begin(), vertices.end());
    return size_t(std::unique(vertices.begin(), vertices.end()) - vertices.begin());
}

float roundTo(float value, float step) { return std::round(value / step) * step; }

// A toolbar button that continues the current line when it still fits in the panel's width.
bool flowButton(const char* label, const char* tooltip, float rightEdge, bool& first, bool highlight = false) {
    const ImGuiStyle& style = ImGui::GetStyle();
    const float width = ImGui::CalcTextSize(label).x + 2.0f * style.FramePadding.x;
    if (!first && ImGui::GetItemRectMax().x + style.ItemSpacing.x + width <= rightEdge)
        ImGui::SameLine();
    first = false;
    if (highlight)
        ImGui::PushStyleColor(ImGuiCol_Button, style.Colors[ImGuiCol_ButtonActive]);
    const bool clicked = ImGui::Button(label);
    if (highlight)
        ImGui::PopStyleColor();
    ImGui::SetItemTooltip("%s", tooltip);
    return clicked;
}

} // namespace

UvEditor::UvEditor(Document& document, Renderer& renderer) : document(document), renderer(renderer) {}

void UvEditor::status(const std::string& message) {
    if (statusCallback)
        statusCallback(message);
}

//-----------------------------------------------------------------------------
// [SECTION] Panel and document sync
//-----------------------------------------------------------------------------

void UvEditor::draw(bool* open, ImGuiWindowFlags extraFlags) {
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoScrollbar | ImGuiWindowFlags_NoScrollWithMouse |
                                   ImGuiWindowFlags_NoFocusOnAppearing | extraFlags;
    if (!ImGui::Begin("UV Editor", open, flags)) {
        ImGui::End();
        return;
    }
    const Target target = currentTarget();
    syncWithDocument(target);
    drawToolbar(target);
    if (target.mesh)
        drawCanvas(target);
    else
        ImGui::TextDisabled("Select a mesh object to see its UV layout.");
    ImGui::End();
}

UvEditor::Target UvEditor::currentTarget() {
    Target target;
    if (document.state.mode == InteractionMode::Edit) {
        target.object = document.editObject();
        target.editing = target.object != nullptr;
    } else {
        SceneObject* active = document.activeObject();
        if (active && document.state.selection.contains(active->id))
            target.object = active;
    }
    if (!target.object || !target.object->mesh) {
        return Target{};
    }
    target.mesh = target.object->mesh.get();
    target.faces = uv::visibleFaces(*target.mesh, document.uvTargetFaces(*target.object));
    return target;
}

void UvEditor::syncWithDocument(const Target& target) {
    const uint32_t objectId = target.editing ? target.object->id : 0;
    const bool otherObject = objectId != lastObjectId;
    if (otherObject) {
        selection.clear();
        lastObjectId = objectId;
        autoFrame = true;
    }
    // A box or press that began on another object (or before the target vanished) means nothing now.
    if (otherObject || !target.mesh) {
        if (modal == Modal::BoxSelect)
            modal = Modal::None;
        pressed = false;
    }
    // After an undo the object holds another Mesh (a fresh uid) whose revision may well be equal.
    const uint64_t uid = target.mesh ? target.mesh->uid : 0;
    const uint64_t revision = target.mesh ? target.mesh->revision : 0;
    if (uid != lastMeshUid || revision != lastRevision) {
        lastMeshUid = uid;
        lastRevision = revision;
        if (target.mesh)
            uv::dropInvalid(*target.mesh, selection);
        else
            selection.clear();
    }
    if (modalTransforms() && (!target.editing || !target.mesh || uid != modalMeshUid || revision != modalRevision)) {
        document.endInteraction(modalLabel(modal), false);
        modal = Modal::None;
        pressed = false;
    }
    if (fieldDrag && (!target.editing || uid != fieldMeshUid || revision != fieldRevision)) {
        document.endInteraction("Move UVs", false);
        fieldDrag = false;
    }
}

//-----------------------------------------------------------------------------
// [SECTION] Toolbar
//-----------------------------------------------------------------------------

void UvEditor::drawToolbar(const Target& target) {
    const float rightEdge = ImGui::GetCursorScreenPos().x + ImGui::GetContentRegionAvail().x;
    bool first = true;
    if (layoutCallback) {
        const bool clicked = separateDock
                                 ? flowButton("Small View", "Back to the default layout", rightEdge, first)
                                 : flowButton("Large View", "UV Editing layout: a large UV Editor beside the viewport",
                                              rightEdge, first);
        if (clicked)
            layoutCallback();
    }
    if (!target.editing) {
        if (target.mesh) {
            if (!first)
                ImGui::SameLine();
            ImGui::TextDisabled("Preview. Enter Edit Mode (Tab) to arrange UVs.");
        }
        return;
    }

    const ComponentType type = document.state.componentType;
    if (flowButton("Point", "Select UV points (1). Points shared by neighboring faces move together.", rightEdge, first,
                   type == ComponentType::Vertex))
        document.setComponentType(ComponentType::Vertex);
    if (flowButton("Edge", "Select UV edges (2)", rightEdge, first, type == ComponentType::Edge))
        document.setComponentType(ComponentType::Edge);
    if (flowButton("Face", "Select faces (3). A face moves on its own, detached from its neighbors.", rightEdge, first,
                   type == ComponentType::Face))
        document.setComponentType(ComponentType::Face);
    if (flowButton("Island", "Grow the selection to whole UV islands (L over an island, or double-click)", rightEdge,
                   first))
        growToIslands(target);
    if (flowButton("All", "Select all shown UVs (A). Alt+A: none", rightEdge, first))
        selectAll(target);
    if (flowButton("Frame", "Fit the view to the UVs (Home)", rightEdge, first))
        frame(target);
    if (flowButton("Rotate -90", "Rotate the selection 90 degrees clockwise", rightEdge, first))
        rotateSelection(target, -90.0f);
    if (flowButton("Rotate +90", "Rotate the selection 90 degrees counter-clockwise", rightEdge, first))
        rotateSelection(target, 90.0f);
    if (flowButton("Flip U", "Mirror the selection horizontally", rightEdge, first))
        flipSelection(target, true);
    if (flowButton("Flip V", "Mirror the selection vertically", rightEdge, first))
        flipSelection(target, false);
    if (flowButton("Fit 0-1", "Scale and move the selection to fill the 0..1 texture square", rightEdge, first))
        fitSelection(target);
    if (flowButton("Weld", "Join split UV points of the same vertex (average position)", rightEdge, first))
        weldSelection(target);

    // A command above may have replaced the mesh's UVs; the selection row reads them afresh.
    if (!selection.empty())
        drawSelectionField(target);
    else {
        // Same row height as the field, so the canvas does not jump when the selection empties.
        ImGui::AlignTextToFramePadding();
        ImGui::TextDisabled("Nothing selected (buttons act on all)");
    }
}

void UvEditor::drawSelectionField(const Target& target) {
    Mesh& mesh = *target.mesh;
    const glm::vec2 shown = uv::boundsCenter(mesh, selection);
    float value[2] = {shown.x, shown.y};
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted("Selection U/V");
    ImGui::SameLine();
    ImGui::SetNextItemWidth(12.0f * ImGui::GetFontSize());
    const bool changed = ImGui::DragFloat2("##uvcenter", value, 0.005f, 0.0f, 0.0f, "%.3f");
    if (ImGui::IsItemActivated() && modal == Modal::None && !fieldDrag) {
        document.beginInteraction();
        fieldDrag = true;
        fieldStartUvs = uv::gather(mesh, selection);
        fieldCenter = shown;
        fieldMeshUid = mesh.uid;
        fieldRevision = mesh.revision;
    }
    if (changed && fieldDrag && std::isfinite(value[0]) && std::isfinite(value[1])) {
        uv::transformCorners(mesh, selection, fieldStartUvs, fieldCenter, glm::vec2(value[0], value[1]) - fieldCenter,
                             0.0f, glm::vec2(1.0f));
        fieldRevision = mesh.revision;
        lastRevision = mesh.revision;
    }
    if (ImGui::IsItemDeactivated() && fieldDrag) {
        document.endInteraction("Move UVs", !sameUvs(uv::gather(mesh, selection), fieldStartUvs));
        fieldDrag = false;
    }
    ImGui::SameLine();
    ImGui::TextDisabled("%zu vertex(es)", distinctVertices(mesh, selection));
}

//-----------------------------------------------------------------------------
// [SECTION] Canvas and input
//-----------------------------------------------------------------------------

void UvEditor::drawCanvas(const Target& target) {
    const char* hint = !target.editing ? kPreviewHint : modalTransforms() ? kModalHint : kEditHint;

    const ImVec2 avail = ImGui::GetContentRegionAvail();
    float hintHeight = 0.0f;
    const bool showHint = avail.y > 360.0f;
    if (showHint) {
        // Reserve room for the taller of the two Edit Mode hints: a canvas that changed size when a
        // drag starts would shift the view under the mouse.
        float textHeight = ImGui::CalcTextSize(hint, nullptr, false, avail.x).y;
        if (target.editing)
            textHeight = std::max({textHeight, ImGui::CalcTextSize(kModalHint, nullptr, false, avail.x).y,
                                   ImGui::CalcTextSize(kEditHint, nullptr, false, avail.x).y});
        hintHeight = textHeight + ImGui::GetStyle().ItemSpacing.y;
    }

    const glm::vec2 size = glm::max(glm::vec2(avail.x, avail.y - hintHeight), glm::vec2(64.0f));
    view.canvasPos = gv(ImGui::GetCursorScreenPos());
    view.canvasSize = size;
    if (std::abs(size.x - framedSize.x) > 0.25f * framedSize.x ||
        std::abs(size.y - framedSize.y) > 0.25f * framedSize.y)
        autoFrame = true;
    if (autoFrame) {
        framedSize = size;
        frame(target);
        autoFrame = false;
    }

    ImGui::InvisibleButton("##uv_canvas", im(size),
                           ImGuiButtonFlags_MouseButtonLeft | ImGuiButtonFlags_MouseButtonRight |
                               ImGuiButtonFlags_MouseButtonMiddle);
    const bool hovered = ImGui::IsItemHovered();
    handleInput(target, hovered);
    drawLayout(target, hovered);

    if (showHint) {
        ImGui::PushStyleColor(ImGuiCol_Text, ImGui::GetStyle().Colors[ImGuiCol_TextDisabled]);
        ImGui::TextWrapped("%s", hint);
        ImGui::PopStyleColor();
    }
}

void UvEditor::handleInput(const Target& target, bool hovered) {
    const ImGuiIO& io = ImGui::GetIO();
    const glm::vec2 mouse = gv(io.MousePos);
    const bool mouseValid = ImGui::IsMousePosValid();

    // View: zoom about the mouse, pan with the right or middle button, Home frames.
    if (hovered && io.MouseWheel != 0.0f && mouseValid)
        view.zoomAt(mouse, io.MouseWheel);
    if (ImGui::IsItemActive() && !modalTransforms() &&
        (ImGui::IsMouseDragging(ImGuiMouseButton_Right) || ImGui::IsMouseDragging(ImGuiMouseButton_Middle)))
        view.panBy(gv(io.MouseDelta));
    if (hovered && ImGui::IsKeyPressed(ImGuiKey_Home, false))
        frame(target);

    if (!target.editing)
        return;
    const glm::vec2 mouseUv = view.toUv(mouse);

    // A running modal still answers its keys while the mouse is outside the application window.
    if (modalTransforms()) {
        if (ImGui::IsKeyPressed(ImGuiKey_X, false))
            axisLock = axisLock == 0 ? -1 : 0;
        if (ImGui::IsKeyPressed(ImGuiKey_Y, false))
            axisLock = axisLock == 1 ? -1 : 1;
        if (mouseValid)
            updateModal(target, mouseUv, io.KeyCtrl);
        const bool confirm = (modalByDrag ? ImGui::IsMouseReleased(ImGuiMouseButton_Left)
                                          : ImGui::IsMouseClicked(ImGuiMouseButton_Left)) ||
                             ImGui::IsKeyPressed(ImGuiKey_Enter, false) ||
                             ImGui::IsKeyPressed(ImGuiKey_KeypadEnter, false);
        const bool cancel =
            ImGui::IsMouseClicked(ImGuiMouseButton_Right) || ImGui::IsKeyPressed(ImGuiKey_Escape, false);
        if (cancel)
            finishModal(false);
        else if (confirm)
            finishModal(true);
        pressed = false;
        return;
    }
    if (!mouseValid) {
        // Released somewhere unknown: no box to take, no click to place.
        if (ImGui::IsMouseReleased(ImGuiMouseButton_Left)) {
            if (modal == Modal::BoxSelect)
                modal = Modal::None;
            pressed = false;
        }
        return;
    }

    const uv::SetOp clickOp = io.KeyCtrl ? uv::SetOp::Remove : io.KeyShift ? uv::SetOp::Toggle : uv::SetOp::Replace;
    const bool modifier = io.KeyCtrl || io.KeyShift;

    if (hovered && ImGui::IsMouseDoubleClicked(ImGuiMouseButton_Left)) {
        selectIsland(target, mouseUv, io.KeyShift ? uv::SetOp::Add : uv::SetOp::Replace);
        pressed = false;
    } else if (hovered && ImGui::IsMouseClicked(ImGuiMouseButton_Left)) {
        pressed = true;
        pressPos = mouse;
        const std::vector<uv::Corner> picked = elementAt(target, mouseUv);
        if (picked.empty()) {
            pressOnSelection = pressHandled = false;
        } else {
            pressOnSelection = std::all_of(picked.begin(), picked.end(),
                                           [&](const uv::Corner& c) { return uv::contains(selection, c); });
            pressHandled = false;
            // A drag that starts on an unselected element moves that element.
            if (!pressOnSelection && !modifier) {
                clickSelect(target, mouseUv, uv::SetOp::Replace);
                pressOnSelection = pressHandled = true;
            }
        }
    }

    if (pressed && modal == Modal::None && ImGui::IsMouseDown(ImGuiMouseButton_Left) &&
        glm::length(mouse - pressPos) > kDragThresholdPixels) {
        if (pressOnSelection && !modifier) {
            beginModal(Modal::Move, target, true, view.toUv(pressPos));
            if (modal == Modal::Move)
                updateModal(target, mouseUv, io.KeyCtrl);
            else
                pressed = false;
        } else {
            modal = Modal::BoxSelect;
            boxStart = pressPos;
        }
    }

    if (ImGui::IsMouseReleased(ImGuiMouseButton_Left)) {
        if (modal == Modal::BoxSelect) {
            std::vector<uv::Corner> corners =
                uv::cornersInRect(*target.mesh, target.faces, view.toUv(boxStart), mouseUv);
            if (document.state.componentType == ComponentType::Face)
                corners = uv::cornersOfFaces(*target.mesh, uv::fullySelectedFaces(*target.mesh, corners));
            uv::combine(selection, corners,
                        io.KeyCtrl    ? uv::SetOp::Remove
                        : io.KeyShift ? uv::SetOp::Add
                                      : uv::SetOp::Replace);
            modal = Modal::None;
        } else if (pressed && !pressHandled) {
            clickSelect(target, mouseUv, clickOp);
        }
        pressed = false;
    }

    if (hovered && modal == Modal::None && !io.WantTextInput) {
        if (ImGui::IsKeyPressed(ImGuiKey_G, false))
            beginModal(Modal::Move, target, false, mouseUv);
        else if (ImGui::IsKeyPressed(ImGuiKey_R, false))
            beginModal(Modal::Rotate, target, false, mouseUv);
        else if (ImGui::IsKeyPressed(ImGuiKey_S, false) && !io.KeyCtrl)
            beginModal(Modal::Scale, target, false, mouseUv);
        else if (ImGui::IsKeyPressed(ImGuiKey_L, false))
            selectIsland(target, mouseUv, io.KeyShift ? uv::SetOp::Add : uv::SetOp::Replace);
        else if (ImGui::IsKeyPressed(ImGuiKey_A, false)) {
            if (io.KeyAlt)
                selection.clear();
            else
                selectAll(target);
        } else if (ImGui::IsKeyPressed(ImGuiKey_1, false))
            document.setComponentType(ComponentType::Vertex);
        else if (ImGui::IsKeyPressed(ImGuiKey_2, false))
            document.setComponentType(ComponentType::Edge);
        else if (ImGui::IsKeyPressed(ImGuiKey_3, false))
            document.setComponentType(ComponentType::Face);
    }
}

void UvEditor::frame(const Target& target) {
    glm::vec2 lo(FLT_MAX), hi(-FLT_MAX);
    if (target.mesh)
        cornerBounds(*target.mesh, uv::cornersOfFaces(*target.mesh, target.faces), lo, hi);
    view.fit(lo, hi);
}

//-----------------------------------------------------------------------------
// [SECTION] Selection
//-----------------------------------------------------------------------------

std::vector<uv::Corner> UvEditor::elementAt(const Target& target, const glm::vec2& uvPoint) const {
    if (!target.mesh)
        return {};
    const Mesh& mesh = *target.mesh;
    const float radius = kPickRadiusPixels / view.zoom;
    switch (document.state.componentType) {
    case ComponentType::Face: {
        const int face = uv::pickFace(mesh, target.faces, uvPoint);
        return face < 0 ? std::vector<uv::Corner>{} : uv::faceCorners(mesh, uint32_t(face));
    }
    case ComponentType::Edge: {
        uv::Corner a, b;
        if (!uv::pickEdge(mesh, target.faces, uvPoint, radius, a, b))
            return {};
        std::vector<uv::Corner> result = uv::sharedPoint(mesh, target.faces, a);
        uv::combine(result, uv::sharedPoint(mesh, target.faces, b), uv::SetOp::Add);
        return result;
    }
    case ComponentType::Vertex:
    default: {
        uv::Corner c;
        if (!uv::pickCorner(mesh, target.faces, uvPoint, radius, c))
            return {};
        return uv::sharedPoint(mesh, target.faces, c);
    }
    }
}

void UvEditor::clickSelect(const Target& target, const glm::vec2& uvPoint, uv::SetOp op) {
    const std::vector<uv::Corner> picked = elementAt(target, uvPoint);
    if (!picked.empty())
        uv::combine(selection, picked, op);
    else if (op == uv::SetOp::Replace)
        selection.clear();
}

namespace {

// Corners of every island reached from the seed faces; a seed already inside a found island is skipped.
std::vector<uv::Corner> islandCorners(const Mesh& mesh, const std::vector<uint32_t>& shown,
                                      const std::vector<uint32_t>& seeds) {
    std::vector<uint32_t> found; // sorted
    for (uint32_t seed : seeds) {
        if (std::binary_search(found.begin(), found.end(), seed))
            continue;
        const std::vector<uint32_t> faces = uv::island(mesh, shown, seed);
        std::vector<uint32_t> merged;
        merged.reserve(found.size() + faces.size());
        std::set_union(found.begin(), found.end(), faces.begin(), faces.end(), std::back_inserter(merged));
        found = std::move(merged);
    }
    return uv::cornersOfFaces(mesh, found);
}

} // namespace

void UvEditor::selectIsland(const Target& target, const glm::vec2& uvPoint, uv::SetOp op) {
    if (!target.mesh)
        return;
    int face = uv::pickFace(*target.mesh, target.faces, uvPoint);
    if (face < 0) {
        uv::Corner c;
        if (uv::pickCorner(*target.mesh, target.faces, uvPoint, kPickRadiusPixels / view.zoom, c))
            face = int(c.face);
    }
    if (face < 0) {
        status("No UV island under the mouse.");
        return;
    }
    uv::combine(selection, islandCorners(*target.mesh, target.faces, {uint32_t(face)}), op);
}

void UvEditor::growToIslands(const Target& target) {
    if (!target.mesh)
        return;
    if (selection.empty()) {
        status("Select part of an island first (or double-click it).");
        return;
    }
    std::vector<uint32_t> seeds;
    seeds.reserve(selection.size());
    for (const uv::Corner& c : selection)
        if (seeds.empty() || seeds.back() != c.face)
            seeds.push_back(c.face);
    uv::combine(selection, islandCorners(*target.mesh, target.faces, seeds), uv::SetOp::Add);
}

void UvEditor::selectAll(const Target& target) {
    selection.clear();
    if (target.mesh)
        uv::combine(selection, uv::cornersOfFaces(*target.mesh, target.faces), uv::SetOp::Replace);
}

std::vector<uv::Corner> UvEditor::operationSet(const Target& target) const {
    if (!target.mesh)
        return {};
    if (!selection.empty())
        return selection;
    std::vector<uv::Corner> all = uv::cornersOfFaces(*target.mesh, target.faces);
    uv::normalize(all);
    return all;
}

//-----------------------------------------------------------------------------
// [SECTION] Modal operations
//-----------------------------------------------------------------------------

void UvEditor::beginModal(Modal kind, const Target& target, bool byDrag, const glm::vec2& mouseUv) {
    if (!target.editing || !target.mesh || modal != Modal::None)
        return;
    if (selection.empty()) {
        status("Select UVs first (click, drag a box, or A for all).");
        return;
    }
    document.beginInteraction();
    modal = kind;
    modalByDrag = byDrag;
    modalMeshUid = target.mesh->uid;
    modalRevision = target.mesh->revision;
    modalCorners = selection;
    modalStartUvs = uv::gather(*target.mesh, modalCorners);
    pivot = uv::boundsCenter(*target.mesh, modalCorners);
    modalStart = mouseUv;
    axisLock = -1;
}

Mesh* UvEditor::modalMesh() {
    Mesh* mesh = document.editMesh();
    if (!mesh || mesh->uid != modalMeshUid || mesh->revision != modalRevision)
        return nullptr;
    return mesh;
}

void UvEditor::updateModal(const Target& target, const glm::vec2& m, bool snap) {
    if (!modalTransforms() || !target.mesh || target.mesh->uid != modalMeshUid ||
        target.mesh->revision != modalRevision)
        return;
    glm::vec2 translate(0.0f), scale(1.0f);
    float angle = 0.0f;
    switch (modal) {
    case Modal::Move:
        translate = m - modalStart;
        if (snap)
            translate = glm::vec2(roundTo(translate.x, 1.0f / 16.0f), roundTo(translate.y, 1.0f / 16.0f));
        if (axisLock == 1)
            translate.x = 0.0f;
        else if (axisLock == 0)
            translate.y = 0.0f;
        break;
    case Modal::Rotate: {
        const glm::vec2 a = modalStart - pivot, b = m - pivot;
        angle = (std::atan2(b.y, b.x) - std::atan2(a.y, a.x)) * 57.29578f;
        if (snap)
            angle = roundTo(angle, 15.0f);
        break;
    }
    case Modal::Scale: {
        const float d0 = glm::length(modalStart - pivot);
        float s = d0 <= 0.000001f ? 1.0f : glm::length(m - pivot) / d0;
        if (snap)
            s = roundTo(s, 0.1f);
        scale = axisLock == 1 ? glm::vec2(1.0f, s) : axisLock == 0 ? glm::vec2(s, 1.0f) : glm::vec2(s);
        break;
    }
    default:
        break;
    }
    if (!std::isfinite(translate.x) || !std::isfinite(translate.y) || !std::isfinite(angle) ||
        !std::isfinite(scale.x) || !std::isfinite(scale.y))
        return;
    uv::transformCorners(*target.mesh, modalCorners, modalStartUvs, pivot, translate, angle, scale);
    // Our own change: keep the "changed from elsewhere" checks quiet.
    modalRevision = target.mesh->revision;
    lastRevision = target.mesh->revision;
}

void UvEditor::finishModal(bool commit) {
    const Modal kind = modal;
    modal = Modal::None;
    pressed = false;
    if (kind == Modal::BoxSelect || kind == Modal::None)
        return;
    bool changed = false;
    if (Mesh* mesh = modalMesh()) {
        if (commit) {
            changed = !sameUvs(uv::gather(*mesh, modalCorners), modalStartUvs);
        } else {
            uv::transformCorners(*mesh, modalCorners, modalStartUvs, glm::vec2(0.0f), glm::vec2(0.0f), 0.0f,
                                 glm::vec2(1.0f));
            lastRevision = mesh->revision;
        }
    }
    document.endInteraction(modalLabel(kind), changed);
}

void UvEditor::cancelModal() {
    if (modalTransforms())
        finishModal(false);
    else if (modal == Modal::BoxSelect) {
        modal = Modal::None;
        pressed = false;
    }
}

//-----------------------------------------------------------------------------
// [SECTION] One-shot operations
//-----------------------------------------------------------------------------

void UvEditor::rotateSelection(const Target& target, float degrees) {
    const std::vector<uv::Corner> corners = operationSet(target);
    if (corners.empty() || modal != Modal::None)
        return;
    document.checkpoint("Rotate UVs");
    uv::transformCorners(*target.mesh, corners, uv::gather(*target.mesh, corners),
                         uv::boundsCenter(*target.mesh, corners), glm::vec2(0.0f), degrees, glm::vec2(1.0f));
}

void UvEditor::flipSelection(const Target& target, bool horizontal) {
    const std::vector<uv::Corner> corners = operationSet(target);
    if (corners.empty() || modal != Modal::None)
        return;
    document.checkpoint("Flip UVs");
    uv::transformCorners(*target.mesh, corners, uv::gather(*target.mesh, corners),
                         uv::boundsCenter(*target.mesh, corners), glm::vec2(0.0f), 0.0f,
                         horizontal ? glm::vec2(-1.0f, 1.0f) : glm::vec2(1.0f, -1.0f));
}

void UvEditor::fitSelection(const Target& target) {
    const std::vector<uv::Corner> corners = operationSet(target);
    if (corners.empty() || modal != Modal::None)
        return;
    glm::vec2 lo, hi;
    cornerBounds(*target.mesh, corners, lo, hi);
    const float extent = std::max(hi.x - lo.x, hi.y - lo.y);
    if (!(extent > 1e-8f) || !std::isfinite(extent))
        return;
    document.checkpoint("Fit UVs");
    // (uv - lo) / extent, written as a scale about lo followed by a move of lo to the origin.
    uv::transformCorners(*target.mesh, corners, uv::gather(*target.mesh, corners), lo, -lo, 0.0f,
                         glm::vec2(1.0f / extent));
}

void UvEditor::weldSelection(const Target& target) {
    if (!target.mesh || modal != Modal::None)
        return;
    if (selection.empty()) {
        status("Select the UV points to weld first.");
        return;
    }
    Mesh trial = *target.mesh;
    if (uv::weld(trial, selection) == 0) {
        status("Nothing to weld: the selected points are not split.");
        return;
    }
    document.checkpoint("Weld UVs");
    const uint32_t count = uv::weld(*target.mesh, selection);
    status("Welded " + std::to_string(count) + " UV point(s)");
}

//-----------------------------------------------------------------------------
// [SECTION] Drawing
//-----------------------------------------------------------------------------

int UvEditor::visibleCellCount() const {
    const glm::vec2 topLeft = view.toUv(view.canvasPos);
    const glm::vec2 bottomRight = view.toUv(view.canvasPos + view.canvasSize);
    const double nu = std::floor(double(bottomRight.x)) - std::floor(double(topLeft.x)) + 1.0;
    const double nv = std::floor(double(topLeft.y)) - std::floor(double(bottomRight.y)) + 1.0;
    const double cells = nu * nv;
    return std::isfinite(cells) && cells < 1e9 ? int(cells) : INT32_MAX;
}

void UvEditor::drawTexture(const Target& target, ImDrawList* drawList, bool fewCells) {
    const Scene& scene = document.state.scene;
    const int materialIndex = target.object->material;
    if (materialIndex < 0 || size_t(materialIndex) >= scene.materials.size())
        return;
    const int textureIndex = scene.materials[size_t(materialIndex)].baseColorTexture;
    if (textureIndex < 0 || size_t(textureIndex) >= scene.textures.size() || !scene.textures[size_t(textureIndex)].data)
        return;
    const uint32_t handle = renderer.textureHandle(scene.textures[size_t(textureIndex)].data);
    if (handle == 0)
        return;
    const ImTextureRef texture{ImTextureID(handle)};
    // The image's first row runs along the top edge of each cell (V = v + 1).
    auto drawCell = [&](int u, int v, ImU32 tint) {
        drawList->AddImage(texture, im(view.toScreen(glm::vec2(float(u), float(v + 1)))),
                           im(view.toScreen(glm::vec2(float(u + 1), float(v)))), ImVec2(0, 0), ImVec2(1, 1), tint);
    };
    if (!fewCells) {
        drawCell(0, 0, IM_COL32_WHITE);
        return;
    }
    const glm::vec2 topLeft = view.toUv(view.canvasPos);
    const glm::vec2 bottomRight = view.toUv(view.canvasPos + view.canvasSize);
    for (int v = int(std::floor(bottomRight.y)); v <= int(std::floor(topLeft.y)); ++v)
        for (int u = int(std::floor(topLeft.x)); u <= int(std::floor(bottomRight.x)); ++u)
            drawCell(u, v, u == 0 && v == 0 ? IM_COL32_WHITE : IM_COL32(170, 170, 170, 255));
}

void UvEditor::drawGrid(ImDrawList* drawList) {
    const float step = view.zoom > 600.0f ? 0.125f : 1.0f;
    const glm::vec2 topLeft = view.toUv(view.canvasPos);
    const glm::vec2 bottomRight = view.toUv(view.canvasPos + view.canvasSize);
    const glm::vec2 canvasMax = view.canvasPos + view.canvasSize;
    auto color = [](float value) {
        return std::abs(value - std::round(value)) < 1e-4f ? IM_COL32(255, 255, 255, 40) : IM_COL32(255, 255, 255, 16);
    };
    for (float k = std::floor(topLeft.x / step); k * step <= bottomRight.x; k += 1.0f) {
        const float x = view.toScreen(glm::vec2(k * step, 0.0f)).x;
        drawList->AddLine(ImVec2(x, view.canvasPos.y), ImVec2(x, canvasMax.y), color(k * step), 1.0f);
    }
    for (float k = std::floor(bottomRight.y / step); k * step <= topLeft.y; k += 1.0f) {
        const float y = view.toScreen(glm::vec2(0.0f, k * step)).y;
        drawList->AddLine(ImVec2(view.canvasPos.x, y), ImVec2(canvasMax.x, y), color(k * step), 1.0f);
    }
}

void UvEditor::drawLayout(const Target& target, bool hovered) {
    ImDrawList* drawList = ImGui::GetWindowDrawList();
    const Mesh& mesh = *target.mesh;
    const glm::vec2 canvasMax = view.canvasPos + view.canvasSize;
    const bool editing = target.editing;
    const ComponentType type = document.state.componentType;

    drawList->PushClipRect(im(view.canvasPos), im(canvasMax), true);
    drawList->AddRectFilled(im(view.canvasPos), im(canvasMax), IM_COL32(34, 34, 38, 255));

    const bool fewCells = visibleCellCount() <= kMaxTiledCells;
    drawTexture(target, drawList, fewCells);
    if (fewCells)
        drawGrid(drawList);
    drawList->AddRect(im(view.toScreen(glm::vec2(0.0f, 1.0f))), im(view.toScreen(glm::vec2(1.0f, 0.0f))),
                      IM_COL32(90, 170, 255, 220), 0.0f, 0, 1.5f);

    // Faces: fill and edges, and in Face mode a dot at each centroid.
    std::vector<ImVec2> points;
    for (uint32_t faceIndex : target.faces) {
        const Face& face = mesh.faces[faceIndex];
        const uint32_t n = uint32_t(face.uvs.size());
        points.clear();
        bool allSelected = editing && n > 0;
        glm::vec2 centroid(0.0f);
        for (uint32_t i = 0; i < n; ++i) {
            points.push_back(im(view.toScreen(face.uvs[i])));
            centroid += face.uvs[i];
            if (allSelected && !uv::contains(selection, uv::Corner{faceIndex, i}))
                allSelected = false;
        }
        if (allSelected && n >= 3)
            drawList->AddConcavePolyFilled(points.data(), int(n), IM_COL32(255, 150, 40, 45));
        for (uint32_t i = 0; i < n; ++i) {
            const uint32_t j = (i + 1) % n;
            const bool selected = editing && uv::contains(selection, uv::Corner{faceIndex, i}) &&
                                  uv::contains(selection, uv::Corner{faceIndex, j});
            drawList->AddLine(points[i], points[j], selected ? kSelectedColor : IM_COL32(230, 230, 235, 170),
                              selected ? 2.0f : 1.0f);
        }
        if (editing && type == ComponentType::Face && n > 0)
            drawList->AddCircleFilled(im(view.toScreen(centroid / float(n))), 2.5f,
                                      allSelected ? kSelectedColor : IM_COL32(200, 200, 205, 160));
    }

    // Points: all of them in Vertex mode, only the selected ones in Edge mode.
    if (editing && type != ComponentType::Face) {
        for (uint32_t faceIndex : target.faces) {
            const Face& face = mesh.faces[faceIndex];
            for (uint32_t i = 0; i < face.uvs.size(); ++i) {
                const bool selected = uv::contains(selection, uv::Corner{faceIndex, i});
                if (type == ComponentType::Edge && !selected)
                    continue;
                const glm::vec2 p = view.toScreen(face.uvs[i]);
                drawList->AddRectFilled(ImVec2(p.x - 2.5f, p.y - 2.5f), ImVec2(p.x + 2.5f, p.y + 2.5f),
                                        selected ? kSelectedColor : IM_COL32(20, 20, 22, 255));
            }
        }
    }

    const glm::vec2 mouse = gv(ImGui::GetIO().MousePos);
    if (editing && modal == Modal::None && hovered) {
        const std::vector<uv::Corner> hover = elementAt(target, view.toUv(mouse));
        if (!hover.empty() && type == ComponentType::Face) {
            const Face& face = mesh.faces[hover.front().face];
            points.clear();
            for (const glm::vec2& p : face.uvs)
                points.push_back(im(view.toScreen(p)));
            drawList->AddPolyline(points.data(), int(points.size()), kHoverColor, ImDrawFlags_Closed, 2.0f);
        } else {
            for (const uv::Corner& c : hover)
                drawList->AddCircle(im(view.toScreen(mesh.faces[c.face].uvs[c.corner])), 5.0f, kHoverColor, 0, 1.5f);
        }
    }
    if (modal == Modal::BoxSelect) {
        const ImVec2 a = im(boxStart), b = im(mouse);
        const ImVec2 lo(std::min(a.x, b.x), std::min(a.y, b.y)), hi(std::max(a.x, b.x), std::max(a.y, b.y));
        drawList->AddRectFilled(lo, hi, IM_COL32(120, 200, 255, 30));
        drawList->AddRect(lo, hi, IM_COL32(120, 200, 255, 200));
    }
    if (modal == Modal::Rotate || modal == Modal::Scale)
        drawList->AddLine(im(view.toScreen(pivot)), im(mouse), IM_COL32(255, 255, 255, 120));

    char text[128];
    if (editing && target.faces.size() < mesh.faces.size())
        std::snprintf(text, sizeof(text), "%zu selected face(s)", target.faces.size());
    else
        std::snprintf(text, sizeof(text), "%zu face(s)", target.faces.size());
    const ImVec2 textPos(view.canvasPos.x + 6.0f, view.canvasPos.y + 4.0f);
    drawList->AddText(textPos, IM_COL32(220, 220, 225, 170), text);
    if (target.faces.empty())
        drawList->AddText(ImVec2(textPos.x, textPos.y + 22.0f), IM_COL32(220, 220, 225, 200),
                          "No UVs yet: use UV Mapping in the Tools panel.");
    drawList->PopClipRect();

    drawList->AddRect(im(view.canvasPos), im(canvasMax), IM_COL32(255, 255, 255, 40), 0.0f, 0, 1.0f);
}

} // namespace orva
