#pragma once

#include <array>

#include "editor/editor_settings.h"
#include "scene/math.h"

// The geometry of the transform gizmo without any drawing: where its handles lie on screen, which
// handle is under a point, and the matrix a drag produces. TransformGizmo draws and reads the mouse;
// everything it decides comes from here, so it can be checked without a window.
//
// Spaces: the gizmo matrix is a world matrix (column-major, column vectors); screen points are
// interface points with the origin at the top-left of the window and y growing downwards, the same
// space as the rectangle the view is shown in. Handle sizes are fractions of the axis length, so the
// whole gizmo grows with its on-screen size (GizmoLayout::sizePx).
namespace orva {

enum class GizmoHandle : int {
    None = 0,
    MoveX,
    MoveY,
    MoveZ,
    MoveYZ,
    MoveZX,
    MoveXY,     // plane handles, named by their plane; gizmoHandleAxis gives the normal
    MoveScreen, // the centre disc: moves in the plane facing the viewer
    RotateX,
    RotateY,
    RotateZ,
    RotateScreen, // the outer ring: turns about the line of sight
    ScaleX,
    ScaleY,
    ScaleZ,
    ScaleUniform, // the centre disc: one factor on all three local axes
};

// kGizmoMove, kGizmoRotate or kGizmoScale for a handle; Move for None.
int gizmoHandleOperation(GizmoHandle handle);
// 0, 1 or 2 for an axis, a ring or a plane handle (a plane gives its normal axis); -1 otherwise.
int gizmoHandleAxis(GizmoHandle handle);

// How the view is seen: the camera matrices and the screen rectangle they are shown in.
struct GizmoCamera {
    glm::mat4 view{1.0f};
    glm::mat4 projection{1.0f}; // OpenGL clip space (depth -1 to 1); perspective or orthographic
    bool orthographic = false;
    glm::vec2 rectPos{0.0f};
    glm::vec2 rectSize{1.0f};
};

// Screen position of a world point; false when it lies on or behind the eye (perspective).
bool gizmoProject(const GizmoCamera& camera, const glm::vec3& world, glm::vec2* screen);
// World-space line through a screen point, starting on the near plane, direction unit length.
// False when the camera matrices cannot be inverted.
bool gizmoScreenRay(const GizmoCamera& camera, const glm::vec2& screen, Ray* ray);

// Handle shapes, in fractions of the axis length (on screen for the disc, ring and pick radii).
inline constexpr float kGizmoAxisStart = 0.18f; // axis handles start here, clear of the centre disc
inline constexpr float kGizmoPlaneMin = 0.3f;   // plane handles span this square of their two axes
inline constexpr float kGizmoPlaneMax = 0.5f;
inline constexpr float kGizmoDiscRadius = 0.08f; // centre disc
inline constexpr float kGizmoScreenRing = 1.2f;  // screen rotation ring
inline constexpr float kGizmoPickRadius = 0.08f; // how far from a line a press still hits it
// A handle is drawn with alpha 0 to 1 as it turns away from facing the viewer; below this it cannot
// be grabbed (an edge-on handle would give wild results).
inline constexpr float kGizmoPickableAlpha = 0.5f;
inline constexpr int kGizmoRingSegments = 64;

// Everything needed to draw and hit-test the gizmo for one frame.
struct GizmoLayout {
    bool visible = false; // false when the origin is behind the eye or the input is unusable
    int operation = kGizmoMove;
    glm::vec2 rectMin{0.0f}, rectMax{0.0f}; // the camera rectangle; handles are hit only inside it
    float sizePx = 100.0f;                  // axis length on screen, interface points
    float worldLength = 1.0f;               // the same length in world units at the origin
    glm::vec3 origin{0.0f};                 // translation of the gizmo matrix
    std::array<glm::vec3, 3> axes{glm::vec3(1, 0, 0), glm::vec3(0, 1, 0), glm::vec3(0, 0, 1)}; // unit
    glm::vec3 toEye{0, 0, 1}; // unit, from the origin towards the viewer
    glm::vec2 originScreen{0.0f};
    std::array<glm::vec2, 3> axisStart{}; // screen position of origin + axis * worldLength * kGizmoAxisStart
    std::array<glm::vec2, 3> axisEnd{};   // screen position of origin + axis * worldLength
    std::array<float, 3> axisAlpha{};     // move and scale axes
    std::array<float, 3> planeAlpha{};    // move planes, by normal axis
    std::array<float, 3> ringAlpha{};     // rotation rings
    std::array<std::array<glm::vec2, 4>, 3> planeQuad{}; // by normal axis
    // Rotation rings as closed polylines; only segments marked front (the half facing the viewer)
    // are drawn and hit.
    std::array<std::array<glm::vec2, kGizmoRingSegments + 1>, 3> ring{};
    std::array<std::array<bool, kGizmoRingSegments>, 3> ringFront{};
};

// Lays the gizmo out around `matrix`. Orientation: the matrix's normalised axes when `local` is set or
// the operation is Scale (scale always works along the object's own axes), the world axes otherwise;
// a matrix whose axes are degenerate falls back to the world axes. `sizePx` is the axis length on screen.
GizmoLayout computeGizmoLayout(const GizmoCamera& camera, int operation, bool local, float sizePx,
                               const glm::mat4& matrix);

// The handle under `mouse`: the nearest one within the pick radius, None when there is none, when the
// mouse is outside the camera rectangle or the layout is not visible. The inside of an area handle (a
// plane or the centre disc) counts as half the pick radius away, so a line drawn across it still wins
// when the mouse is right on the line. Faded handles (alpha below kGizmoPickableAlpha) are skipped.
GizmoHandle pickGizmoHandle(const GizmoLayout& layout, const glm::vec2& mouse);

// One drag, from the press to the release. The result of every frame is computed again from the
// start matrix and the current mouse, so snapping never accumulates error.
struct GizmoDrag {
    GizmoHandle handle = GizmoHandle::None;
    glm::mat4 startMatrix{1.0f};
    glm::vec3 origin{0.0f};
    std::array<glm::vec3, 3> axes{};
    glm::vec3 planeNormal{0.0f}; // plane of a plane, screen or ring drag
    glm::vec3 startHit{0.0f};    // where the press met the handle's line or plane
    glm::vec3 startVector{0.0f}; // rotation: unit vector from the origin to startHit
    float startParam = 0.0f;     // axis drags: position of startHit along the axis
    glm::vec2 startMouse{0.0f};
    float sizePx = 100.0f;
    // Results of the last update, for feedback while dragging.
    float rawAngle = 0.0f; // rotation, radians, unwrapped so that turning past 180 degrees goes on
    float angle = 0.0f;    // rotation, radians, after snapping
    glm::vec3 delta{0.0f}; // move: world translation after snapping
    glm::vec3 scale{1.0f}; // scale: factor per local axis after snapping
};

// Starts a drag of `handle` pressed at `mouse` on the gizmo laid out for `matrix`. False (and `drag`
// unchanged) when the handle is None or the press does not meet the handle's line or plane.
bool beginGizmoDrag(const GizmoLayout& layout, const GizmoCamera& camera, GizmoHandle handle, const glm::vec2& mouse,
                    const glm::mat4& matrix, GizmoDrag* drag);

// The gizmo matrix for the mouse at `mouse`. `snapStep` is the step of the drag's operation (metres,
// degrees or scale step); zero, negative or not finite means no snapping. Translation is snapped along
// the moved axes of the drag's orientation, rotation in whole steps of degrees, scale factors to
// 1 + k * step. Scale factors never drop below the smallest positive step (0.001 without snapping).
// False, with `result` unchanged, when the mouse ray misses the handle's line or plane this frame.
bool updateGizmoDrag(GizmoDrag* drag, const GizmoCamera& camera, const glm::vec2& mouse, float snapStep,
                     glm::mat4* result);

// The step of the settings for `handle`'s operation when snapping is on, else 0.
float gizmoSnapStep(const EditorSettings& settings, GizmoHandle handle);

} // namespace orva
