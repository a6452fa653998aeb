#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <imgui.h>

#include "document/picking.h"
#include "document/selection.h"
#include "editor/gizmo_drag.h"
#include "editor/toolbar_layout.h"
#include "scene/math.h"

// The "Viewport" panel: the document's scene rendered at the panel's pixel size and shown as an image,
// with camera moves (orbit, pan, zoom), click and box selection of objects (Object Mode) or vertices
// (Edit Mode), transform-gizmo drags that become one undo step each, a toolbar over the top-left and
// an axis indicator over the top-right. Screen positions are ImGui interface points; "panel-local"
// points have their origin at the image's top-left corner. Main thread only.
namespace orva {

class Document;
class Renderer;
struct EditorSettings;

// How a finished selection gesture combines with the selection, by the modifiers held on release.
// Click: Shift toggles, else Ctrl removes, else replaces. Box: Shift adds, else Ctrl removes, else replaces.
SelectOp clickSelectOp(bool shift, bool ctrl);
SelectOp boxSelectOp(bool shift, bool ctrl);

// Where the axis indicator's dots are drawn and what clicking them does.
struct AxisIndicatorEntry {
    glm::vec3 axis{0.0f};   // world direction
    ImU32 color = 0;        // opaque
    const char* label = ""; // empty for the negative axes
    bool positive = true;
    glm::vec2 dot{0.0f}; // screen position
    float depth = 0.0f;  // view-space z of the direction; larger points at the viewer
};
// The six entries (+X, +Y, +Z, -X, -Y, -Z) around `center` for `view`, sorted by ascending depth so
// that drawing them in order puts the one facing the viewer on top.
std::array<AxisIndicatorEntry, 6> axisIndicatorEntries(const glm::mat4& view, const glm::vec2& center);
// The (yaw, pitch) a click on the entry for `axis` asks for; the Y axes keep `currentYaw`.
glm::vec2 axisIndicatorView(const glm::vec3& axis, float currentYaw);

class Viewport {
public:
    enum Drag : int { DragNone = 0, DragOrbit = 1, DragPan = 2, DragZoom = 3, DragSelection = 4 };

    // The references must outlive the viewport.
    Viewport(Document& document, Renderer& renderer, EditorSettings& settings);

    // The whole panel for one frame, in the window "Viewport" (placed by the caller); `extraFlags`
    // are added to the window's own flags.
    void draw(ImGuiWindowFlags extraFlags = 0);
    // Aim the camera at the selection (all of the scene when nothing is selected) or at everything.
    void frameSelected();
    void frameAll();
    // Degrees; the camera keeps its target and distance.
    void setView(float yawDeg, float pitchDeg);
    // The view picking uses: the camera's matrices with the panel's aspect, and the panel size.
    PickView pickView() const;

    // Installed by the editor for messages meant for the status line.
    std::function<void(const std::string&)> onStatus;

    glm::vec2 panelPos{0.0f}; // screen rectangle of the image, interface points; size at least 1 x 1
    glm::vec2 panelSize{1.0f};
    bool hovered = false;        // the image is hovered (also while another item is active)
    bool inputHovered = false;   // the image is hovered and no toolbar, axis indicator or gizmo is in the way
    bool toolbarHovered = false; // some toolbar item is hovered or active this frame
    int drag = DragNone;
    glm::vec2 dragStart{0.0f}; // panel-local start of a selection drag
    bool boxSelecting = false; // the selection drag has moved far enough to be a box
    bool gizmoDragging = false;
    bool gizmoChanged = false; // the current gizmo drag has changed something
    glm::mat4 gizmoStart{1.0f};
    glm::mat4 gizmoCurrent{1.0f};
    GizmoDragRecord dragRecord; // what the current gizmo drag moves

private:
    void handleGizmo();
    void finishGizmoDrag();
    void drawToolbar();
    bool drawAxisIndicator();
    void handleCameraInput();
    void handleSelectionInput(bool inputHoveredNow);
    void clickSelect(const glm::vec2& point, SelectOp op);
    void boxSelect(const glm::vec2& a, const glm::vec2& b, SelectOp op);
    bool computeGizmoMatrix(glm::mat4* matrix);
    MeshPickContext editPickContext();

    Document& document_;
    Renderer& renderer_;
    EditorSettings& settings_;
    PickCache pickCache_;
    bool gizmoHot_ = false; // the gizmo is hovered or in use this frame
    // Toolbar layout buffers kept between frames so that an idle frame does not allocate.
    ToolbarLayoutInput toolbarInput_;
    std::vector<glm::vec2> toolbarPositions_;
};

} // namespace orva
