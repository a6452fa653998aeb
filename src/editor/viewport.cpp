#include "editor/viewport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "document/document.h"
#include "editor/editor_settings.h"
#include "editor/transform_gizmo.h"
#include "render/renderer.h"
#include "render/viewport_render_params.h"

// [SECTION] Selection rules
// [SECTION] Axis indicator geometry
// [SECTION] Panel
// [SECTION] Gizmo
// [SECTION] Toolbar
// [SECTION] Axis indicator
// [SECTION] Camera and selection input
// [SECTION] Picking
// [SECTION] Framing

namespace orva {

namespace {

// A press that moves less than this (interface points) before the release is a click, not a box.
constexpr float kBoxThreshold = 4.0f;
constexpr float kPickRadius = 12.0f;

constexpr float kIndicatorRadius = 42.0f;                        // hover disc
constexpr float kIndicatorAxisLength = kIndicatorRadius * 0.78f; // centre to a dot
constexpr float kIndicatorDotRadius = 8.0f;                      // also the click radius
constexpr float kIndicatorNegativeDotRadius = 6.4f;

inline ImVec2 toIm(const glm::vec2& v) { return ImVec2(v.x, v.y); }
inline glm::vec2 fromIm(const ImVec2& v) { return glm::vec2(v.x, v.y); }

} // namespace

// [SECTION] Selection rules

SelectOp clickSelectOp(bool shift, bool ctrl) {
    if (shift)
        return SelectOp::Toggle;
    return ctrl ? SelectOp::Remove : SelectOp::Replace;
}

SelectOp boxSelectOp(bool shift, bool ctrl) {
    if (shift)
        return SelectOp::Add;
    return ctrl ? SelectOp::Remove : SelectOp::Replace;
}

// [SECTION] Axis indicator geometry

std::array<AxisIndicatorEntry, 6> axisIndicatorEntries(const glm::mat4& view, const glm::vec2& center) {
    std::array<AxisIndicatorEntry, 6> entries{{
        {glm::vec3(1, 0, 0), IM_COL32(230, 70, 80, 255), "X", true},
        {glm::vec3(0, 1, 0), IM_COL32(120, 200, 60, 255), "Y", true},
        {glm::vec3(0, 0, 1), IM_COL32(70, 130, 235, 255), "Z", true},
        {glm::vec3(-1, 0, 0), IM_COL32(150, 60, 70, 255), "", false},
        {glm::vec3(0, -1, 0), IM_COL32(90, 140, 55, 255), "", false},
        {glm::vec3(0, 0, -1), IM_COL32(60, 95, 160, 255), "", false},
    }};
    for (AxisIndicatorEntry& e : entries) {
        const glm::vec3 v = glm::vec3(view * glm::vec4(e.axis, 0.0f));
        e.dot = center + kIndicatorAxisLength * glm::vec2(v.x, -v.y);
        e.depth = v.z;
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const AxisIndicatorEntry& a, const AxisIndicatorEntry& b) { return a.depth < b.depth; });
    return entries;
}

glm::vec2 axisIndicatorView(const glm::vec3& axis, float currentYaw) {
    if (axis.x > 0.5f)
        return {90.0f, 0.0f};
    if (axis.x < -0.5f)
        return {-90.0f, 0.0f};
    if (axis.y > 0.5f)
        return {currentYaw, 89.5f};
    if (axis.y < -0.5f)
        return {currentYaw, -89.5f};
    if (axis.z > 0.5f)
        return {0.0f, 0.0f};
    return {180.0f, 0.0f};
}

// [SECTION] Panel

Viewport::Viewport(Document& document, Renderer& renderer, EditorSettings& settings)
    : document_(document), renderer_(renderer), settings_(settings) {}

PickView Viewport::pickView() const {
    PickView view;
    view.view = document_.camera.view();
    view.proj = document_.camera.projection(panelSize.x / std::max(panelSize.y, 1.0f));
    view.size = panelSize;
    return view;
}

void Viewport::setView(float yawDeg, float pitchDeg) { document_.camera.setView(yawDeg, pitchDeg); }

void Viewport::draw(ImGuiWindowFlags extraFlags) {
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0.0f, 0.0f));
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoScrollbar |
                                   ImGuiWindowFlags_NoScrollWithMouse | ImGuiWindowFlags_NoCollapse | extraFlags;
    const bool visible = ImGui::Begin("Viewport", nullptr, flags);
    ImGui::PopStyleVar();
    if (!visible) {
        hovered = false;
        inputHovered = false;
        // Nothing of the panel runs while it is hidden: close an open gizmo drag so the document is
        // not left inside an interaction, and drop a selection or camera drag.
        if (gizmoDragging)
            finishGizmoDrag();
        drag = DragNone;
        boxSelecting = false;
        ImGui::End();
        return;
    }

    const ImGuiIO& io = ImGui::GetIO();
    panelPos = fromIm(ImGui::GetCursorScreenPos());
    panelSize = glm::max(fromIm(ImGui::GetContentRegionAvail()), glm::vec2(1.0f));

    // Render the scene at the panel's pixel size.
    const OrbitCamera& camera = document_.camera;
    const DocumentState& state = document_.state;
    ViewportRenderParams params;
    params.scene = &state.scene;
    params.width = std::max(1, int(panelSize.x * io.DisplayFramebufferScale.x));
    params.height = std::max(1, int(panelSize.y * io.DisplayFramebufferScale.y));
    params.view = camera.view();
    params.proj = camera.projection(panelSize.x / panelSize.y);
    params.cameraPos = camera.position();
    params.orthographic = camera.orthographic;
    params.pixelRatio = io.DisplayFramebufferScale.y;
    params.activeObject = state.selection.active;
    if (state.mode == InteractionMode::Object) {
        params.selection = &state.selection.ids;
    } else if (document_.editMesh()) {
        params.editObject = state.editObjectId;
        params.editSelection = &state.vertexSelection;
        params.componentMode = state.componentType;
    }
    params.showGrid = settings_.showGrid;
    params.showWireframe = settings_.showWireframe;
    params.xray = settings_.xray;
    renderer_.render(params);

    // The image: framebuffer rows run bottom-up, so V is flipped.
    const uint32_t texture = renderer_.colorTexture();
    if (texture != 0) {
        ImGui::PushStyleVar(ImGuiStyleVar_ImageBorderSize, 0.0f);
        ImGui::Image(ImTextureRef(ImTextureID(texture)), toIm(panelSize), ImVec2(0, 1), ImVec2(1, 0));
        ImGui::PopStyleVar();
    } else {
        ImGui::Dummy(toIm(panelSize));
    }
    hovered = ImGui::IsItemHovered(ImGuiHoveredFlags_AllowWhenBlockedByActiveItem);

    handleGizmo();

    // The input area under everything drawn later. Over the gizmo it exists only to keep a running
    // drag alive, so a press there belongs to the gizmo.
    const bool selectionPossible = !gizmoHot_;
    bool inputButtonHovered = false;
    if (selectionPossible || drag != DragNone) {
        ImGui::SetCursorScreenPos(toIm(panelPos));
        ImGui::SetNextItemAllowOverlap();
        ImGui::InvisibleButton("##viewport_input", toIm(panelSize),
                               ImGuiButtonFlags_MouseButtonLeft | ImGuiButtonFlags_MouseButtonRight |
                                   ImGuiButtonFlags_MouseButtonMiddle);
        inputButtonHovered = ImGui::IsItemHovered();
    }

    toolbarHovered = false;
    drawToolbar();
    const bool indicatorHovered = drawAxisIndicator();

    inputHovered = inputButtonHovered && selectionPossible && !indicatorHovered && !toolbarHovered;

    handleCameraInput();
    handleSelectionInput(inputHovered);

    if (boxSelecting && ImGui::IsMousePosValid()) {
        ImDrawList* list = ImGui::GetWindowDrawList();
        const ImVec2 a = toIm(panelPos + dragStart);
        const ImVec2 b = io.MousePos;
        const ImVec2 lo(std::min(a.x, b.x), std::min(a.y, b.y));
        const ImVec2 hi(std::max(a.x, b.x), std::max(a.y, b.y));
        list->AddRectFilled(lo, hi, IM_COL32(255, 255, 255, 0x19));
        list->AddRect(lo, hi, IM_COL32(255, 255, 255, 0xA0), 0.0f, 0, 1.0f);
    }
    ImGui::End();
}

// [SECTION] Gizmo

bool Viewport::computeGizmoMatrix(glm::mat4* matrix) {
    return orva::computeGizmoMatrix(document_, settings_.gizmoOrientation, matrix);
}

void Viewport::handleGizmo() {
    gizmoHot_ = false;
    glm::mat4 fresh(1.0f);
    const bool hasFresh = !gizmoDragging && computeGizmoMatrix(&fresh);
    if (!gizmoDragging && !hasFresh)
        return;
    glm::mat4 matrix = gizmoDragging ? gizmoCurrent : fresh;

    const OrbitCamera& camera = document_.camera;
    const bool changed =
        TransformGizmo::manipulate(settings_, camera.view(), camera.projection(panelSize.x / panelSize.y),
                                   camera.orthographic, panelPos, panelSize, &matrix);
    const bool inUse = TransformGizmo::isUsing();
    gizmoHot_ = inUse || TransformGizmo::isOver();

    if (inUse && !gizmoDragging) {
        gizmoStart = fresh;
        gizmoCurrent = fresh;
        gizmoDragging = true;
        gizmoChanged = false;
        document_.beginInteraction();
        dragRecord = recordGizmoDrag(document_);
    }
    if (gizmoDragging) {
        gizmoCurrent = matrix;
        if (changed) {
            gizmoChanged = true;
            applyGizmoDrag(document_, dragRecord, settings_.gizmoOperation, gizmoStart, gizmoCurrent);
        }
        if (!inUse)
            finishGizmoDrag();
    }
}

void Viewport::finishGizmoDrag() {
    const char* label = settings_.gizmoOperation == kGizmoRotate  ? "Rotate"
                        : settings_.gizmoOperation == kGizmoScale ? "Scale"
                                                                  : "Move";
    document_.endInteraction(label, gizmoChanged);
    gizmoDragging = false;
    gizmoChanged = false;
    dragRecord = GizmoDragRecord{};
}

// [SECTION] Toolbar

void Viewport::drawToolbar() {
    const ImGuiStyle& style = ImGui::GetStyle();
    DocumentState& state = document_.state;
    const bool editMode = state.mode == InteractionMode::Edit;
    OrbitCamera& camera = document_.camera;

    // The items in drawing order; the last four form the right-aligned block.
    enum Item { Mode, Vertex, Edge, Face, Move, Rotate, Scale, Orientation, Snap, Grid, Wireframe, XRay, Projection };
    struct Entry {
        Item item;
        const char* label;
        float gap;
    };
    Entry entries[13];
    size_t count = 0;
    entries[count++] = {Mode, "##mode", 0.0f};
    if (editMode) {
        entries[count++] = {Vertex, "Vertex", 12.0f};
        entries[count++] = {Edge, "Edge", 4.0f};
        entries[count++] = {Face, "Face", 4.0f};
    }
    entries[count++] = {Move, "Move", 12.0f};
    entries[count++] = {Rotate, "Rotate", 4.0f};
    entries[count++] = {Scale, "Scale", 4.0f};
    entries[count++] = {Orientation, settings_.gizmoOrientation == kGizmoLocal ? "Local" : "World", 12.0f};
    entries[count++] = {Snap, "Snap", 4.0f};
    const size_t blockFirst = count;
    entries[count++] = {Grid, "Grid", 12.0f};
    entries[count++] = {Wireframe, "Wireframe", 4.0f};
    entries[count++] = {XRay, "X-Ray", 4.0f};
    entries[count++] = {Projection, camera.orthographic ? "Orthographic" : "Perspective", 4.0f};

    const float comboWidth = ImGui::GetFrameHeight() * 1.6f + ImGui::CalcTextSize("Object Mode").x;
    ToolbarLayoutInput& input = toolbarInput_;
    input.items.clear();
    for (size_t i = 0; i < count; ++i) {
        const float width = entries[i].item == Mode
                                ? comboWidth
                                : ImGui::CalcTextSize(entries[i].label).x + 2.0f * style.FramePadding.x;
        input.items.push_back({width, entries[i].gap});
    }
    input.rightBlockFirst = blockFirst;
    input.blockGap = 12.0f;
    input.origin = panelPos + glm::vec2(8.0f);
    input.right = panelPos.x + panelSize.x - 8.0f;
    input.lineAdvance = ImGui::GetFrameHeight() + 4.0f;
    layoutToolbar(input, toolbarPositions_);
    const std::vector<glm::vec2>& positions = toolbarPositions_;

    ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(4.0f, 4.0f));
    ImGui::PushStyleColor(ImGuiCol_Button, ImVec4(0.16f, 0.16f, 0.17f, 0.88f));
    const auto noteHover = [&](const char* tooltip) {
        if (ImGui::IsItemHovered() || ImGui::IsItemActive())
            toolbarHovered = true;
        if (ImGui::IsItemHovered(ImGuiHoveredFlags_DelayShort))
            ImGui::SetTooltip("%s", tooltip);
    };
    const auto toggle = [&](const char* label, bool on, const char* tooltip) {
        if (on) {
            ImGui::PushStyleColor(ImGuiCol_Button, style.Colors[ImGuiCol_Header]);
            ImGui::PushStyleColor(ImGuiCol_ButtonHovered, style.Colors[ImGuiCol_HeaderHovered]);
        }
        const bool clicked = ImGui::Button(label);
        if (on)
            ImGui::PopStyleColor(2);
        noteHover(tooltip);
        return clicked;
    };

    for (size_t i = 0; i < count; ++i) {
        ImGui::SetCursorScreenPos(toIm(positions[i]));
        switch (entries[i].item) {
        case Mode: {
            ImGui::SetNextItemWidth(comboWidth);
            const bool open = ImGui::BeginCombo("##mode", editMode ? "Edit Mode" : "Object Mode");
            noteHover("Interaction mode (Tab)");
            if (open) {
                toolbarHovered = true;
                if (ImGui::Selectable("Object Mode", !editMode) && editMode)
                    document_.exitEditMode();
                ImGui::BeginDisabled(!editMode && !document_.canEnterEditMode());
                if (ImGui::Selectable("Edit Mode", editMode) && !editMode)
                    document_.enterEditMode();
                ImGui::EndDisabled();
                ImGui::EndCombo();
            }
            break;
        }
        case Vertex:
            if (toggle("Vertex", state.componentType == ComponentType::Vertex, "Vertex select (1)"))
                document_.setComponentType(ComponentType::Vertex);
            break;
        case Edge:
            if (toggle("Edge", state.componentType == ComponentType::Edge, "Edge select (2)"))
                document_.setComponentType(ComponentType::Edge);
            break;
        case Face:
            if (toggle("Face", state.componentType == ComponentType::Face, "Face select (3)"))
                document_.setComponentType(ComponentType::Face);
            break;
        case Move:
            if (toggle("Move", settings_.gizmoOperation != kGizmoRotate && settings_.gizmoOperation != kGizmoScale,
                       "Move (G)"))
                settings_.gizmoOperation = kGizmoMove;
            break;
        case Rotate:
            if (toggle("Rotate", settings_.gizmoOperation == kGizmoRotate, "Rotate (R)"))
                settings_.gizmoOperation = kGizmoRotate;
            break;
        case Scale:
            if (toggle("Scale", settings_.gizmoOperation == kGizmoScale, "Scale (S)"))
                settings_.gizmoOperation = kGizmoScale;
            break;
        case Orientation:
            if (ImGui::Button(entries[i].label))
                settings_.gizmoOrientation = settings_.gizmoOrientation == kGizmoLocal ? kGizmoWorld : kGizmoLocal;
            noteHover("Transform orientation (click to toggle)");
            break;
        case Snap:
            if (toggle("Snap", settings_.snap, "Snap gizmo transforms to increments (see Tools panel)"))
                settings_.snap = !settings_.snap;
            break;
        case Grid:
            if (toggle("Grid", settings_.showGrid, "Show the ground grid"))
                settings_.showGrid = !settings_.showGrid;
            break;
        case Wireframe:
            if (toggle("Wireframe", settings_.showWireframe, "Wireframe overlay (Z)"))
                settings_.showWireframe = !settings_.showWireframe;
            break;
        case XRay:
            if (toggle("X-Ray", settings_.xray, "See and select through the mesh in Edit Mode (Alt+Z)"))
                settings_.xray = !settings_.xray;
            break;
        case Projection:
            if (ImGui::Button(entries[i].label))
                camera.orthographic = !camera.orthographic;
            noteHover("Toggle projection (Numpad 5)");
            break;
        }
    }
    ImGui::PopStyleColor();
    ImGui::PopStyleVar();
}

// [SECTION] Axis indicator

bool Viewport::drawAxisIndicator() {
    const ImGuiIO& io = ImGui::GetIO();
    ImDrawList* list = ImGui::GetWindowDrawList();
    const glm::vec2 center(panelPos.x + panelSize.x - 56.0f, panelPos.y + 90.0f);
    const bool mouseValid = ImGui::IsMousePosValid();
    const glm::vec2 mouse = mouseValid ? fromIm(io.MousePos) : glm::vec2(-1e30f);
    const bool near = mouseValid && glm::distance(mouse, center) <= kIndicatorRadius;

    if (near)
        list->AddCircleFilled(toIm(center), kIndicatorRadius, IM_COL32(255, 255, 255, 0x12), 48);

    const bool canClick = hovered && drag == DragNone && !gizmoHot_ && ImGui::IsMouseClicked(ImGuiMouseButton_Left);
    const auto entries = axisIndicatorEntries(document_.camera.view(), center);
    const AxisIndicatorEntry* clicked = nullptr;
    for (const AxisIndicatorEntry& e : entries) {
        const bool dotHovered = mouseValid && glm::distance(mouse, e.dot) <= kIndicatorDotRadius;
        if (e.positive) {
            list->AddLine(toIm(center), toIm(e.dot), e.color, 2.0f);
            list->AddCircleFilled(toIm(e.dot), kIndicatorDotRadius, e.color);
        } else {
            list->AddCircleFilled(toIm(e.dot), kIndicatorNegativeDotRadius, e.color, 20);
        }
        if (dotHovered)
            list->AddCircle(toIm(e.dot), 9.5f, IM_COL32(255, 255, 255, 0xDC), 0, 1.5f);
        if (e.positive) {
            const ImVec2 size = ImGui::CalcTextSize(e.label);
            list->AddText(ImVec2(e.dot.x - size.x * 0.5f, e.dot.y - size.y * 0.5f), IM_COL32(20, 20, 20, 255), e.label);
        }
        // Drawn last means nearest the viewer: it wins where dots overlap.
        if (canClick && dotHovered)
            clicked = &e;
    }
    if (clicked) {
        const glm::vec2 angles = axisIndicatorView(clicked->axis, document_.camera.yawDeg);
        setView(angles.x, angles.y);
    }
    return near;
}

// [SECTION] Camera and selection input

void Viewport::handleCameraInput() {
    const ImGuiIO& io = ImGui::GetIO();
    OrbitCamera& camera = document_.camera;
    if (drag == DragNone && hovered && !toolbarHovered && !TransformGizmo::isUsing()) {
        if (ImGui::IsMouseClicked(ImGuiMouseButton_Middle) ||
            (ImGui::IsMouseClicked(ImGuiMouseButton_Left) && io.KeyAlt))
            drag = io.KeyShift ? DragPan : io.KeyCtrl ? DragZoom : DragOrbit;
        else if (ImGui::IsMouseClicked(ImGuiMouseButton_Right))
            drag = DragPan;
        if (io.MouseWheel != 0.0f)
            camera.zoom(io.MouseWheel);
    }
    if (drag != DragOrbit && drag != DragPan && drag != DragZoom)
        return;
    if (!ImGui::IsMouseDown(ImGuiMouseButton_Middle) && !ImGui::IsMouseDown(ImGuiMouseButton_Right) &&
        !ImGui::IsMouseDown(ImGuiMouseButton_Left)) {
        drag = DragNone;
        return;
    }
    const float dx = io.MouseDelta.x, dy = io.MouseDelta.y;
    if (drag == DragOrbit)
        camera.orbit(-0.4f * dx, 0.4f * dy);
    else if (drag == DragPan)
        camera.pan(dx, dy, panelSize.y);
    else
        camera.zoom(-0.03f * dy);
}

void Viewport::handleSelectionInput(bool inputHoveredNow) {
    const ImGuiIO& io = ImGui::GetIO();
    const bool mouseValid = ImGui::IsMousePosValid();
    const glm::vec2 p = fromIm(io.MousePos) - panelPos;

    if (drag == DragNone && inputHoveredNow && mouseValid && ImGui::IsMouseClicked(ImGuiMouseButton_Left) &&
        !io.KeyAlt) {
        drag = DragSelection;
        dragStart = p;
        boxSelecting = false;
    }
    if (drag != DragSelection)
        return;
    if (mouseValid && glm::length(p - dragStart) > kBoxThreshold)
        boxSelecting = true;
    if (ImGui::IsMouseDown(ImGuiMouseButton_Left))
        return;

    // Released. Without a mouse position (it left the window) there is nothing to select with.
    if (mouseValid) {
        if (boxSelecting)
            boxSelect(dragStart, p, boxSelectOp(io.KeyShift, io.KeyCtrl));
        else
            clickSelect(p, clickSelectOp(io.KeyShift, io.KeyCtrl));
    }
    drag = DragNone;
    boxSelecting = false;
}

// [SECTION] Picking

MeshPickContext Viewport::editPickContext() {
    MeshPickContext ctx;
    ctx.mesh = document_.editMesh();
    if (ctx.mesh)
        ctx.world = document_.state.scene.worldMatrix(document_.state.editObjectId);
    ctx.xray = settings_.xray;
    return ctx;
}

void Viewport::clickSelect(const glm::vec2& point, SelectOp op) {
    const PickView view = pickView();
    DocumentState& state = document_.state;
    if (state.mode == InteractionMode::Object) {
        const uint32_t id = pickObject(state.scene, view, point, kPickRadius, &pickCache_);
        if (id != kInvalidObject)
            document_.selectObjects({id}, op);
        else if (op == SelectOp::Replace)
            document_.selectObjects({}, SelectOp::Replace);
        return;
    }

    const MeshPickContext ctx = editPickContext();
    if (!ctx.mesh)
        return;
    std::vector<uint32_t> picked;
    switch (state.componentType) {
    case ComponentType::Vertex:
        if (const auto v = pickVertex(ctx, view, point, kPickRadius, &pickCache_))
            picked.push_back(*v);
        break;
    case ComponentType::Edge:
        if (const auto e = pickEdge(ctx, view, point, kPickRadius, &pickCache_))
            picked = {e->a, e->b};
        break;
    case ComponentType::Face:
        if (const auto f = pickFace(ctx, view, point, &pickCache_); f && *f < ctx.mesh->faces.size())
            picked = ctx.mesh->faces[*f].indices;
        break;
    }
    if (!picked.empty())
        document_.selectVertices(picked, op);
    else if (op == SelectOp::Replace)
        document_.selectAllComponents(false);
}

void Viewport::boxSelect(const glm::vec2& a, const glm::vec2& b, SelectOp op) {
    const PickView view = pickView();
    DocumentState& state = document_.state;
    if (state.mode == InteractionMode::Edit) {
        const MeshPickContext ctx = editPickContext();
        if (!ctx.mesh)
            return;
        document_.selectVertices(verticesInRect(ctx, view, a, b, &pickCache_), op);
        return;
    }
    const std::vector<uint32_t> ids = objectsInRect(state.scene, view, a, b);
    if (op == SelectOp::Replace) {
        document_.selectObjects({}, SelectOp::Replace);
        document_.selectObjects(ids, SelectOp::Add);
    } else {
        document_.selectObjects(ids, op);
    }
}

// [SECTION] Framing

namespace {

void grow(AABB& box, const glm::vec3& p) {
    box.min = glm::min(box.min, p);
    box.max = glm::max(box.max, p);
}

bool isValid(const AABB& box) { return box.min.x <= box.max.x && box.min.y <= box.max.y && box.min.z <= box.max.z; }

} // namespace

void Viewport::frameSelected() {
    DocumentState& state = document_.state;
    AABB box;
    if (state.mode == InteractionMode::Edit) {
        if (const Mesh* mesh = document_.editMesh()) {
            const glm::mat4 world = state.scene.worldMatrix(state.editObjectId);
            const bool any = document_.selectedVertexCount() > 0;
            for (size_t i = 0; i < mesh->vertices.size(); ++i)
                if (!any || state.vertexSelection[i])
                    grow(box, glm::vec3(world * glm::vec4(mesh->vertices[i].position, 1.0f)));
        }
    } else {
        for (uint32_t id : state.selection.ids) {
            const SceneObject* object = state.scene.find(id);
            if (!object)
                continue;
            const glm::mat4 world = state.scene.worldMatrix(id);
            if (object->mesh && !object->mesh->vertices.empty()) {
                for (const Vertex& v : object->mesh->vertices)
                    grow(box, glm::vec3(world * glm::vec4(v.position, 1.0f)));
            } else {
                const glm::vec3 origin(world[3]);
                grow(box, origin - glm::vec3(0.5f));
                grow(box, origin + glm::vec3(0.5f));
            }
        }
    }
    if (isValid(box))
        document_.camera.frame(box);
    else
        frameAll();
}

void Viewport::frameAll() {
    const Scene& scene = document_.state.scene;
    AABB box;
    for (const auto& object : scene.objects) {
        const glm::mat4 world = scene.worldMatrix(object->id);
        if (object->mesh && !object->mesh->vertices.empty()) {
            for (const Vertex& v : object->mesh->vertices)
                grow(box, glm::vec3(world * glm::vec4(v.position, 1.0f)));
        } else {
            grow(box, glm::vec3(world[3]));
        }
    }
    if (!isValid(box)) {
        box.min = glm::vec3(-2.0f);
        box.max = glm::vec3(2.0f);
    }
    document_.camera.frame(box);
}

} // namespace orva
