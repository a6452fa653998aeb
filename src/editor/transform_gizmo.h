#pragma once

#include "editor/editor_settings.h"
#include "scene/math.h"

// The move, rotate and scale gizmo drawn over the 3D view with ImGui's draw list. The state of the drag
// in progress is kept inside the implementation between frames; it belongs to the manipulate call that
// started it (its window and ID stack), so another gizmo drawn meanwhile only shows itself.
//
// Move shows three axis arrows, three plane squares and a centre disc that moves in the plane facing
// the viewer; Rotate three axis rings and an outer ring about the line of sight; Scale three axes and a
// centre disc for a uniform factor (scale always works along the object's own axes, whatever the
// orientation). Handles seen edge-on fade out and cannot be grabbed. A drag starts with a left press on
// a handle while the current window is hovered (and Alt is not held, which orbits the camera), follows
// the mouse even outside the view, and ends on release.
namespace orva {

class TransformGizmo {
public:
    // Once per frame, after ImGui::NewFrame: forgets last frame's hovered handle and ends a drag whose
    // button was released while the gizmo was not drawn.
    static void beginFrame();
    // A handle is under the mouse this frame, or a drag is in progress.
    static bool isOver();
    // A drag is in progress (from the press to the release).
    static bool isUsing();
    // Draws the gizmo for `matrix` (a world matrix) into the current window's draw list, clipped to the
    // view rectangle (interface points, screen space), and handles the mouse. `view` and `projection`
    // are the camera's; `orthographic` says which kind the projection is. Operation, orientation and
    // snapping come from `settings`. While a drag runs, `matrix` becomes the drag's result computed from
    // the matrix at the press; returns true when it changed `matrix` this frame. A null `matrix`, or no
    // ImGui context, draws nothing and returns false.
    static bool manipulate(const EditorSettings& settings, const glm::mat4& view, const glm::mat4& projection,
                           bool orthographic, const glm::vec2& rectPos, const glm::vec2& rectSize, glm::mat4* matrix);
};

} // namespace orva
