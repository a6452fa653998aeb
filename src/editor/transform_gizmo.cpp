#include "editor/transform_gizmo.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <glm/gtc/matrix_transform.hpp>
#include <imgui.h>

#include "editor/gizmo_math.h"

// [SECTION] State
// [SECTION] Drawing
// [SECTION] TransformGizmo

namespace orva {

namespace {

//-----------------------------------------------------------------------------
// [SECTION] State
//-----------------------------------------------------------------------------

constexpr float kGizmoSizePoints = 100.0f; // axis length on screen at font scale 1

struct GizmoState {
    ImGuiContext* context = nullptr; // the state belongs to this context; another one starts afresh
    GizmoHandle hovered = GizmoHandle::None;
    int hoveredFrame = -1; // `hovered` holds for this ImGui frame only
    GizmoDrag drag;        // handle None: no drag in progress
    ImGuiID owner = 0;     // ID of the manipulate call (window and ID stack) that started the drag
};

GizmoState& gizmoState() {
    static GizmoState state;
    ImGuiContext* context = ImGui::GetCurrentContext();
    if (state.context != context) {
        state = GizmoState{};
        state.context = context;
    }
    return state;
}

//-----------------------------------------------------------------------------
// [SECTION] Drawing
//-----------------------------------------------------------------------------

// The axis colours match the viewport's axis indicator.
constexpr ImU32 kAxisColors[3] = {IM_COL32(230, 70, 80, 255), IM_COL32(120, 200, 60, 255), IM_COL32(70, 130, 235, 255)};
constexpr ImU32 kHighlightColor = IM_COL32(255, 210, 50, 255);
constexpr ImU32 kScreenColor = IM_COL32(225, 225, 225, 255);
constexpr const char* kAxisNames[3] = {"X", "Y", "Z"};

ImU32 withAlpha(ImU32 color, float alpha) {
    const ImU32 a = ImU32(std::clamp(alpha, 0.0f, 1.0f) * 255.0f + 0.5f);
    return (color & ~IM_COL32_A_MASK) | (a << IM_COL32_A_SHIFT);
}

ImVec2 toIm(const glm::vec2& v) { return ImVec2(v.x, v.y); }

struct DrawContext {
    ImDrawList* list;
    const GizmoLayout& layout;
    const GizmoCamera& camera;
    const GizmoDrag& drag;
    GizmoHandle hot; // hovered or dragged
    float unit;      // one point at the gizmo's scale
};

ImU32 handleColor(const DrawContext& dc, GizmoHandle handle, ImU32 base) {
    return dc.hot == handle ? kHighlightColor : base;
}

void drawArrow(const DrawContext& dc, const glm::vec2& from, const glm::vec2& tip, ImU32 color) {
    const glm::vec2 d = tip - from;
    const float len = glm::length(d);
    if (len < 1.0f)
        return;
    const glm::vec2 dir = d / len, side(-dir.y, dir.x);
    const float head = std::min(14.0f * dc.unit, len);
    const glm::vec2 base = tip - dir * head;
    dc.list->AddLine(toIm(from), toIm(base), color, 3.0f * dc.unit);
    dc.list->AddTriangleFilled(toIm(tip), toIm(base + side * (5.5f * dc.unit)), toIm(base - side * (5.5f * dc.unit)),
                               color);
}

void drawMove(const DrawContext& dc) {
    const GizmoLayout& l = dc.layout;
    const GizmoHandle planes[3] = {GizmoHandle::MoveYZ, GizmoHandle::MoveZX, GizmoHandle::MoveXY};
    for (int k = 0; k < 3; ++k) {
        const float alpha = l.planeAlpha[k];
        if (alpha <= 0.0f)
            continue;
        const bool hot = dc.hot == planes[k];
        const ImU32 color = handleColor(dc, planes[k], kAxisColors[k]);
        const auto& q = l.planeQuad[k];
        dc.list->AddQuadFilled(toIm(q[0]), toIm(q[1]), toIm(q[2]), toIm(q[3]),
                               withAlpha(color, alpha * (hot ? 0.6f : 0.3f)));
        dc.list->AddQuad(toIm(q[0]), toIm(q[1]), toIm(q[2]), toIm(q[3]), withAlpha(color, alpha), 1.5f * dc.unit);
    }
    const GizmoHandle axes[3] = {GizmoHandle::MoveX, GizmoHandle::MoveY, GizmoHandle::MoveZ};
    for (int i = 0; i < 3; ++i)
        if (l.axisAlpha[i] > 0.0f)
            drawArrow(dc, l.axisStart[i], l.axisEnd[i],
                      withAlpha(handleColor(dc, axes[i], kAxisColors[i]), l.axisAlpha[i]));

    const float r = kGizmoDiscRadius * l.sizePx;
    if (dc.hot == GizmoHandle::MoveScreen)
        dc.list->AddCircleFilled(toIm(l.originScreen), r, withAlpha(kHighlightColor, 0.5f));
    dc.list->AddCircle(toIm(l.originScreen), r, handleColor(dc, GizmoHandle::MoveScreen, kScreenColor), 0,
                       2.0f * dc.unit);
}

void drawRotate(const DrawContext& dc) {
    const GizmoLayout& l = dc.layout;
    const GizmoHandle rings[3] = {GizmoHandle::RotateX, GizmoHandle::RotateY, GizmoHandle::RotateZ};
    for (int k = 0; k < 3; ++k) {
        if (l.ringAlpha[k] <= 0.0f)
            continue;
        const ImU32 color = withAlpha(handleColor(dc, rings[k], kAxisColors[k]), l.ringAlpha[k]);
        const float thickness = (dc.hot == rings[k] ? 3.5f : 2.5f) * dc.unit;
        // Only the half facing the viewer, as runs of consecutive front segments.
        bool open = false;
        for (int s = 0; s < kGizmoRingSegments; ++s) {
            if (!l.ringFront[k][s])
                continue;
            if (!open)
                dc.list->PathLineTo(toIm(l.ring[k][s]));
            dc.list->PathLineTo(toIm(l.ring[k][s + 1]));
            open = s + 1 < kGizmoRingSegments && l.ringFront[k][s + 1];
            if (!open)
                dc.list->PathStroke(color, 0, thickness);
        }
    }
    const float screenRadius = kGizmoScreenRing * l.sizePx;
    dc.list->AddCircle(toIm(l.originScreen), screenRadius, handleColor(dc, GizmoHandle::RotateScreen, kScreenColor),
                       kGizmoRingSegments, (dc.hot == GizmoHandle::RotateScreen ? 3.0f : 2.0f) * dc.unit);
    dc.list->AddCircleFilled(toIm(l.originScreen), 2.5f * dc.unit, kScreenColor);

    // The swept angle while turning, as a fan of thin triangles (it may exceed a half turn).
    if (gizmoHandleOperation(dc.drag.handle) == kGizmoRotate && dc.drag.angle != 0.0f) {
        const float radius = l.worldLength * (dc.drag.handle == GizmoHandle::RotateScreen ? kGizmoScreenRing : 1.0f);
        const int steps = std::clamp(int(std::abs(dc.drag.angle) / 6.2831853f * 64.0f) + 1, 1, 512);
        glm::vec2 previous;
        bool havePrevious = false;
        // Without anti-aliasing, neighbouring triangles of the fan leave no seams.
        const ImDrawListFlags flags = dc.list->Flags;
        dc.list->Flags &= ~ImDrawListFlags_AntiAliasedFill;
        for (int s = 0; s <= steps; ++s) {
            const float a = dc.drag.angle * float(s) / float(steps);
            const glm::vec3 dir = glm::mat3(glm::rotate(glm::mat4(1.0f), a, dc.drag.planeNormal)) * dc.drag.startVector;
            glm::vec2 p;
            const bool ok = gizmoProject(dc.camera, l.origin + dir * radius, &p);
            if (ok && havePrevious)
                dc.list->AddTriangleFilled(toIm(l.originScreen), toIm(previous), toIm(p),
                                           withAlpha(kHighlightColor, 0.25f));
            previous = p;
            havePrevious = ok;
        }
        dc.list->Flags = flags;
    }
}

void drawScale(const DrawContext& dc) {
    const GizmoLayout& l = dc.layout;
    const GizmoHandle axes[3] = {GizmoHandle::ScaleX, GizmoHandle::ScaleY, GizmoHandle::ScaleZ};
    const bool scaling = gizmoHandleOperation(dc.drag.handle) == kGizmoScale;
    for (int i = 0; i < 3; ++i) {
        if (l.axisAlpha[i] <= 0.0f)
            continue;
        // The axis stretches with the factor being applied.
        glm::vec2 end = l.axisEnd[i];
        if (scaling && dc.drag.scale[i] != 1.0f)
            gizmoProject(dc.camera, l.origin + l.axes[i] * (l.worldLength * dc.drag.scale[i]), &end);
        const ImU32 color = withAlpha(handleColor(dc, axes[i], kAxisColors[i]), l.axisAlpha[i]);
        dc.list->AddLine(toIm(l.axisStart[i]), toIm(end), color, 3.0f * dc.unit);
        const ImVec2 half(5.0f * dc.unit, 5.0f * dc.unit);
        dc.list->AddRectFilled(ImVec2(end.x - half.x, end.y - half.y), ImVec2(end.x + half.x, end.y + half.y), color);
    }
    const float r = kGizmoDiscRadius * l.sizePx;
    const bool hot = dc.hot == GizmoHandle::ScaleUniform;
    dc.list->AddCircleFilled(toIm(l.originScreen), r,
                             withAlpha(hot ? kHighlightColor : kScreenColor, hot ? 0.7f : 0.35f));
    dc.list->AddCircle(toIm(l.originScreen), r, handleColor(dc, GizmoHandle::ScaleUniform, kScreenColor), 0,
                       2.0f * dc.unit);
}

// What the drag is doing, in numbers, next to the gizmo.
void drawDragText(const DrawContext& dc) {
    const GizmoDrag& d = dc.drag;
    if (d.handle == GizmoHandle::None)
        return;
    const int axis = gizmoHandleAxis(d.handle);
    char text[96];
    switch (gizmoHandleOperation(d.handle)) {
    case kGizmoRotate:
        std::snprintf(text, sizeof text, "%s %.1f deg", axis >= 0 ? kAxisNames[axis] : "View", d.angle * kRadToDeg);
        break;
    case kGizmoScale:
        std::snprintf(text, sizeof text, "%s %.3f", axis >= 0 ? kAxisNames[axis] : "XYZ",
                      axis >= 0 ? d.scale[axis] : d.scale.x);
        break;
    default:
        if (d.handle == GizmoHandle::MoveX || d.handle == GizmoHandle::MoveY || d.handle == GizmoHandle::MoveZ)
            std::snprintf(text, sizeof text, "%s %.3f", kAxisNames[axis], glm::dot(d.delta, d.axes[axis]));
        else
            std::snprintf(text, sizeof text, "X %.3f  Y %.3f  Z %.3f", d.delta.x, d.delta.y, d.delta.z);
        break;
    }
    const ImVec2 pos(dc.layout.originScreen.x + 16.0f * dc.unit, dc.layout.originScreen.y + 16.0f * dc.unit);
    dc.list->AddText(ImVec2(pos.x + 1.0f, pos.y + 1.0f), IM_COL32(0, 0, 0, 200), text);
    dc.list->AddText(pos, IM_COL32(255, 255, 255, 255), text);
}

void drawGizmo(const DrawContext& dc) {
    const GizmoLayout& l = dc.layout;
    dc.list->PushClipRect(toIm(l.rectMin), toIm(l.rectMax), true);
    switch (l.operation) {
    case kGizmoRotate:
        drawRotate(dc);
        break;
    case kGizmoScale:
        drawScale(dc);
        break;
    default:
        drawMove(dc);
        break;
    }
    drawDragText(dc);
    dc.list->PopClipRect();
}

} // namespace

//-----------------------------------------------------------------------------
// [SECTION] TransformGizmo
//-----------------------------------------------------------------------------

void TransformGizmo::beginFrame() {
    if (!ImGui::GetCurrentContext())
        return;
    GizmoState& state = gizmoState();
    state.hovered = GizmoHandle::None;
    if (state.drag.handle != GizmoHandle::None && !ImGui::IsMouseDown(ImGuiMouseButton_Left))
        state.drag = GizmoDrag{};
}

bool TransformGizmo::isOver() {
    if (!ImGui::GetCurrentContext())
        return false;
    const GizmoState& state = gizmoState();
    const bool hovered = state.hovered != GizmoHandle::None && state.hoveredFrame == ImGui::GetFrameCount();
    return hovered || state.drag.handle != GizmoHandle::None;
}

bool TransformGizmo::isUsing() {
    return ImGui::GetCurrentContext() && gizmoState().drag.handle != GizmoHandle::None &&
           ImGui::IsMouseDown(ImGuiMouseButton_Left);
}

bool TransformGizmo::manipulate(const EditorSettings& settings, const glm::mat4& view, const glm::mat4& projection,
                                bool orthographic, const glm::vec2& rectPos, const glm::vec2& rectSize,
                                glm::mat4* matrix) {
    if (!matrix || !ImGui::GetCurrentContext())
        return false;
    GizmoState& state = gizmoState();
    const ImGuiIO& io = ImGui::GetIO();
    const ImGuiStyle& style = ImGui::GetStyle();
    const float sizePx = kGizmoSizePoints * style.FontScaleMain * style.FontScaleDpi;
    GizmoCamera camera;
    camera.view = view;
    camera.projection = projection;
    camera.orthographic = orthographic;
    camera.rectPos = rectPos;
    camera.rectSize = rectSize;
    const glm::vec2 mouse = ImGui::IsMousePosValid() ? glm::vec2(io.MousePos.x, io.MousePos.y) : glm::vec2(NAN);

    // A drag: the result comes from the press and the mouse now, never from the previous frame. A
    // gizmo drawn elsewhere while another one is dragged only shows itself.
    const ImGuiID id = ImGui::GetID("##transform_gizmo");
    bool changed = false;
    if (state.drag.handle != GizmoHandle::None && !ImGui::IsMouseDown(ImGuiMouseButton_Left))
        state.drag = GizmoDrag{};
    static const GizmoDrag kNoDrag;
    const bool owned = state.drag.handle != GizmoHandle::None && state.owner == id;
    const bool busyElsewhere = state.drag.handle != GizmoHandle::None && !owned;
    const GizmoDrag& drag = owned ? state.drag : kNoDrag;
    if (owned) {
        glm::mat4 result;
        if (updateGizmoDrag(&state.drag, camera, mouse, gizmoSnapStep(settings, state.drag.handle), &result) &&
            result != *matrix) {
            *matrix = result;
            changed = true;
        }
    }

    // While dragging, the gizmo keeps showing the dragged operation even if the settings change.
    const bool dragging = drag.handle != GizmoHandle::None;
    const int operation = dragging ? gizmoHandleOperation(drag.handle) : settings.gizmoOperation;
    const GizmoLayout layout =
        computeGizmoLayout(camera, operation, settings.gizmoOrientation == kGizmoLocal, sizePx, *matrix);

    GizmoHandle hot = drag.handle;
    if (!dragging && !busyElsewhere) {
        const bool blocked = !ImGui::IsWindowHovered() || ImGui::IsAnyItemActive();
        hot = blocked ? GizmoHandle::None : pickGizmoHandle(layout, mouse);
        if (hot != GizmoHandle::None) {
            state.hovered = hot;
            state.hoveredFrame = ImGui::GetFrameCount();
        }
        GizmoDrag started;
        if (hot != GizmoHandle::None && ImGui::IsMouseClicked(ImGuiMouseButton_Left) && !io.KeyAlt &&
            beginGizmoDrag(layout, camera, hot, mouse, *matrix, &started)) {
            state.drag = started;
            state.owner = id;
        }
    }

    if (layout.visible) {
        const DrawContext dc{ImGui::GetWindowDrawList(), layout, camera, drag, hot, sizePx / kGizmoSizePoints};
        drawGizmo(dc);
    }
    return changed;
}

} // namespace orva
