#include "editor/gizmo_math.h"

#include <cmath>
#include <limits>

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include "scene/orbit_camera.h"

namespace orva {
namespace {

constexpr float kSize = 100.0f; // gizmo axis length on screen
const glm::vec2 kRectPos(100.0f, 50.0f), kRectSize(800.0f, 600.0f);

// A view through the editor's own camera, shown in a rectangle that does not start at the window's
// corner (so screen mapping mistakes show).
GizmoCamera viewFrom(float yawDeg, float pitchDeg, bool orthographic = false) {
    OrbitCamera orbit;
    orbit.setView(yawDeg, pitchDeg);
    orbit.orthographic = orthographic;
    GizmoCamera camera;
    camera.view = orbit.view();
    camera.projection = orbit.projection(kRectSize.x / kRectSize.y);
    camera.orthographic = orthographic;
    camera.rectPos = kRectPos;
    camera.rectSize = kRectSize;
    return camera;
}

glm::vec2 project(const GizmoCamera& camera, const glm::vec3& p) {
    glm::vec2 s(0.0f);
    EXPECT_TRUE(gizmoProject(camera, p, &s)) << "point behind the eye";
    return s;
}

// Screen point a fraction `t` along axis `i` of the layout.
glm::vec2 alongAxis(const GizmoCamera& camera, const GizmoLayout& l, int i, float t) {
    return project(camera, l.origin + l.axes[i] * (l.worldLength * t));
}

struct DragResult {
    bool started = false;
    bool updated = false;
    glm::mat4 matrix{1.0f};
    GizmoDrag drag;
};

// Presses `handle` at `press`, then moves through `path`; the result of the last point is returned.
DragResult drag(const GizmoCamera& camera, int operation, bool local, const glm::mat4& start, GizmoHandle handle,
                const glm::vec2& press, std::initializer_list<glm::vec2> path, float snap = 0.0f) {
    DragResult r;
    r.matrix = start;
    const GizmoLayout layout = computeGizmoLayout(camera, operation, local, kSize, start);
    r.started = beginGizmoDrag(layout, camera, handle, press, start, &r.drag);
    if (!r.started)
        return r;
    for (const glm::vec2& p : path)
        r.updated = updateGizmoDrag(&r.drag, camera, p, snap, &r.matrix);
    return r;
}

void expectMatrixNear(const glm::mat4& got, const glm::mat4& want, float eps, const char* what) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(got[c][r], want[c][r], eps) << what << ": column " << c << " row " << r;
}

glm::mat4 translation(const glm::vec3& t) { return glm::translate(glm::mat4(1.0f), t); }

// [SECTION] Layout and picking

TEST(GizmoMath, ConstantScreenSizeInBothProjections) {
    // The axis length is 100 points wherever the object is: a pixel at depth w is 2w / (P11 * height).
    for (bool ortho : {false, true}) {
        const GizmoCamera camera = viewFrom(45.0f, 28.0f, ortho);
        for (const glm::vec3& at : {glm::vec3(0.0f), glm::vec3(3.0f, -1.0f, 2.0f)}) {
            const GizmoLayout l = computeGizmoLayout(camera, kGizmoMove, false, kSize, translation(at));
            ASSERT_TRUE(l.visible);
            // The axis most parallel to the screen is close to its full length.
            float longest = 0.0f;
            for (int i = 0; i < 3; ++i)
                longest = std::max(longest, glm::length(l.axisEnd[i] - l.originScreen));
            EXPECT_GT(longest, 85.0f) << (ortho ? "ortho" : "persp");
            EXPECT_LT(longest, 110.0f) << (ortho ? "ortho" : "persp");
        }
    }
    // Orthographic: the same world length at every depth, matching the camera's pan step per pixel.
    const GizmoCamera ortho = viewFrom(45.0f, 28.0f, true);
    const float near = computeGizmoLayout(ortho, kGizmoMove, false, kSize, translation({0, 0, 5})).worldLength;
    const float far = computeGizmoLayout(ortho, kGizmoMove, false, kSize, translation({0, 0, -5})).worldLength;
    EXPECT_NEAR(near, far, 1e-5f);
    EXPECT_NEAR(near, kSize * 2.0f * 12.0f * std::tan(25.0f * kDegToRad) / kRectSize.y, 1e-4f);
}

TEST(GizmoMath, PickFindsTheHandleUnderThePoint) {
    const GizmoCamera camera = viewFrom(45.0f, 28.0f);
    const glm::mat4 m(1.0f);
    const GizmoLayout move = computeGizmoLayout(camera, kGizmoMove, false, kSize, m);
    const GizmoLayout rotate = computeGizmoLayout(camera, kGizmoRotate, false, kSize, m);
    const GizmoLayout scale = computeGizmoLayout(camera, kGizmoScale, false, kSize, m);
    const float L = move.worldLength;
    // Ring points are taken on the half facing the viewer, away from where rings cross.
    const float c = std::cos(0.7f), s = std::sin(0.7f);

    struct Case {
        const char* what;
        const GizmoLayout& layout;
        glm::vec2 point;
        GizmoHandle want;
    };
    const Case cases[] = {
        {"X arrow", move, alongAxis(camera, move, 0, 0.7f), GizmoHandle::MoveX},
        {"Y arrow tip", move, alongAxis(camera, move, 1, 1.0f), GizmoHandle::MoveY},
        {"Z arrow, 4 points off the line", move, alongAxis(camera, move, 2, 0.6f) + glm::vec2(0, 4),
         GizmoHandle::MoveZ},
        {"centre disc", move, move.originScreen, GizmoHandle::MoveScreen},
        {"XY square", move, project(camera, glm::vec3(0.4f, 0.4f, 0.0f) * L), GizmoHandle::MoveXY},
        {"YZ square", move, project(camera, glm::vec3(0.0f, 0.4f, 0.4f) * L), GizmoHandle::MoveYZ},
        {"ZX square", move, project(camera, glm::vec3(0.4f, 0.0f, 0.4f) * L), GizmoHandle::MoveZX},
        {"empty space", move, move.originScreen + glm::vec2(-150, -150), GizmoHandle::None},
        {"beyond the arrow tip", move, alongAxis(camera, move, 0, 1.4f), GizmoHandle::None},
        {"outside the view rectangle", move, glm::vec2(50, 10), GizmoHandle::None},
        {"Z ring", rotate, project(camera, glm::vec3(c, s, 0) * L), GizmoHandle::RotateZ},
        {"X ring", rotate, project(camera, glm::vec3(0, c, s) * L), GizmoHandle::RotateX},
        {"Y ring", rotate, project(camera, glm::vec3(s, 0, c) * L), GizmoHandle::RotateY},
        {"screen ring", rotate, rotate.originScreen + glm::vec2(0, -kGizmoScreenRing * kSize),
         GizmoHandle::RotateScreen},
        {"inside the rings", rotate, rotate.originScreen, GizmoHandle::None},
        {"scale X", scale, alongAxis(camera, scale, 0, 0.7f), GizmoHandle::ScaleX},
        {"uniform scale", scale, scale.originScreen + glm::vec2(3, 2), GizmoHandle::ScaleUniform},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(pickGizmoHandle(k.layout, k.point), k.want)
            << k.what << " at (" << k.point.x << ", " << k.point.y << ")";
    }
}

TEST(GizmoMath, LineAcrossAPlaneSquareWinsOnlyRightOnTheLine) {
    // Hand-made layout: from some views the Z arrow runs straight through the XY square. A press on
    // the arrow must take the arrow, a press elsewhere in the square (or just outside it) the square.
    GizmoLayout l;
    l.visible = true;
    l.operation = kGizmoMove;
    l.sizePx = 100.0f; // pick radius 8 points
    l.rectMin = glm::vec2(0.0f);
    l.rectMax = glm::vec2(1000.0f);
    l.originScreen = glm::vec2(500, 500);
    l.axisAlpha = {1, 1, 1};
    l.planeAlpha = {0, 0, 1};
    l.axisStart = {glm::vec2(518, 500), glm::vec2(500, 482), glm::vec2(513, 487)};
    l.axisEnd = {glm::vec2(600, 500), glm::vec2(500, 400), glm::vec2(570, 430)};
    l.planeQuad[2] = {glm::vec2(530, 470), glm::vec2(550, 470), glm::vec2(550, 450), glm::vec2(530, 450)};

    struct Case {
        glm::vec2 point;
        GizmoHandle want;
    };
    const Case cases[] = {
        {{540, 460}, GizmoHandle::MoveZ},  // on the arrow, inside the square
        {{542, 459}, GizmoHandle::MoveZ},  // 2 points off the arrow
        {{546, 467}, GizmoHandle::MoveXY}, // inside, 9 points from the arrow
        {{532, 452}, GizmoHandle::MoveXY},
        {{552, 466}, GizmoHandle::MoveXY}, // 2 points outside the square, far from the arrow
        {{562, 466}, GizmoHandle::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pickGizmoHandle(l, c.point), c.want) << "at (" << c.point.x << ", " << c.point.y << ")";
}

TEST(GizmoMath, EdgeOnHandlesFadeAndCannotBeGrabbed) {
    // Looking straight down -Z: the Z axis points at the viewer, the YZ and ZX planes and the X and Y
    // rings are seen edge-on.
    const GizmoCamera front = viewFrom(0.0f, 0.0f);
    const GizmoLayout move = computeGizmoLayout(front, kGizmoMove, false, kSize, glm::mat4(1.0f));
    ASSERT_TRUE(move.visible);
    EXPECT_EQ(move.axisAlpha[2], 0.0f);
    EXPECT_EQ(move.planeAlpha[0], 0.0f);
    EXPECT_EQ(move.planeAlpha[1], 0.0f);
    EXPECT_EQ(move.axisAlpha[0], 1.0f);
    EXPECT_EQ(move.planeAlpha[2], 1.0f);

    const GizmoLayout rotate = computeGizmoLayout(front, kGizmoRotate, false, kSize, glm::mat4(1.0f));
    EXPECT_EQ(rotate.ringAlpha[0], 0.0f);
    EXPECT_EQ(rotate.ringAlpha[1], 0.0f);
    EXPECT_EQ(rotate.ringAlpha[2], 1.0f);
    // The X ring would be a vertical line through the centre; nothing is there to grab.
    EXPECT_EQ(pickGizmoHandle(rotate, rotate.originScreen + glm::vec2(0, -0.6f * kSize)), GizmoHandle::None);

    // Tilting the view a few degrees: the Z arrow is a short stub that still cannot be grabbed, and
    // becomes grabbable once it has turned far enough from the line of sight.
    struct Case {
        float pitch;
        bool grabbable;
    };
    const Case cases[] = {{3.0f, false}, {8.0f, false}, {12.0f, true}, {30.0f, true}};
    for (const Case& c : cases) {
        const GizmoCamera camera = viewFrom(0.0f, c.pitch);
        const GizmoLayout l = computeGizmoLayout(camera, kGizmoMove, false, kSize, glm::mat4(1.0f));
        const GizmoHandle got = pickGizmoHandle(l, l.axisEnd[2]);
        EXPECT_EQ(got == GizmoHandle::MoveZ, c.grabbable)
            << "pitch " << c.pitch << ": alpha " << l.axisAlpha[2] << ", picked " << int(got);
    }
}

TEST(GizmoMath, UnusableInputShowsNothing) {
    const GizmoCamera camera = viewFrom(45.0f, 28.0f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    glm::mat4 nanMatrix(1.0f);
    nanMatrix[3].x = nan;
    GizmoCamera emptyRect = camera;
    emptyRect.rectSize = glm::vec2(0.0f, 0.0f);
    GizmoCamera singular = camera;
    singular.projection = glm::mat4(0.0f);
    OrbitCamera orbit;
    const glm::vec3 behind = orbit.position() + (orbit.position() - orbit.target); // behind the eye

    struct Case {
        const char* what;
        GizmoCamera camera;
        glm::mat4 matrix;
        float size;
    };
    const Case cases[] = {
        {"NaN matrix", camera, nanMatrix, kSize},
        {"empty rectangle", emptyRect, glm::mat4(1.0f), kSize},
        {"zero projection", singular, glm::mat4(1.0f), kSize},
        {"origin behind the eye", camera, translation(behind), kSize},
        {"zero size", camera, glm::mat4(1.0f), 0.0f},
    };
    for (const Case& c : cases) {
        const GizmoLayout l = computeGizmoLayout(c.camera, kGizmoMove, true, c.size, c.matrix);
        EXPECT_FALSE(l.visible) << c.what;
        EXPECT_EQ(pickGizmoHandle(l, l.originScreen), GizmoHandle::None) << c.what;
        GizmoDrag d;
        EXPECT_FALSE(beginGizmoDrag(l, c.camera, GizmoHandle::MoveX, l.originScreen, c.matrix, &d)) << c.what;
    }
    // A NaN mouse picks nothing and moves nothing.
    const GizmoLayout l = computeGizmoLayout(camera, kGizmoMove, false, kSize, glm::mat4(1.0f));
    EXPECT_EQ(pickGizmoHandle(l, glm::vec2(nan, nan)), GizmoHandle::None);
    DragResult r = drag(camera, kGizmoMove, false, glm::mat4(1.0f), GizmoHandle::MoveX, alongAxis(camera, l, 0, 0.7f),
                        {glm::vec2(nan, 3.0f)});
    ASSERT_TRUE(r.started);
    EXPECT_FALSE(r.updated);
    EXPECT_EQ(r.matrix, glm::mat4(1.0f));
}

TEST(GizmoMath, DegenerateLocalAxesFallBackToWorld) {
    const GizmoCamera camera = viewFrom(45.0f, 28.0f);
    glm::mat4 flat = glm::scale(glm::mat4(1.0f), glm::vec3(2.0f, 0.0f, 1.0f)); // a zero-scaled axis
    const GizmoLayout l = computeGizmoLayout(camera, kGizmoMove, true, kSize, flat);
    ASSERT_TRUE(l.visible);
    EXPECT_EQ(l.axes[0], glm::vec3(1, 0, 0));
    EXPECT_EQ(l.axes[1], glm::vec3(0, 1, 0));
    EXPECT_EQ(l.axes[2], glm::vec3(0, 0, 1));
}

// [SECTION] Drags

TEST(GizmoMath, MoveAlongXChangesOnlyX) {
    struct Case {
        bool ortho;
        float distance; // along X from the press
        float snap;
        float want;
    };
    const Case cases[] = {
        {false, 1.3f, 0.0f, 1.3f}, {false, 1.3f, 0.25f, 1.25f}, {false, -0.7f, 0.25f, -0.75f},
        {true, 1.3f, 0.0f, 1.3f},  {true, 0.12f, 0.25f, 0.0f},  {true, 2.2f, 0.5f, 2.0f},
    };
    const glm::mat4 start = translation({0.5f, 0.25f, -1.0f}) * glm::rotate(glm::mat4(1.0f), 0.4f, glm::vec3(0, 1, 0));
    for (const Case& c : cases) {
        const GizmoCamera camera = viewFrom(45.0f, 28.0f, c.ortho);
        const GizmoLayout l = computeGizmoLayout(camera, kGizmoMove, false, kSize, start);
        const glm::vec2 press = alongAxis(camera, l, 0, 0.7f);
        ASSERT_EQ(pickGizmoHandle(l, press), GizmoHandle::MoveX);
        const glm::vec3 target = l.origin + glm::vec3(0.7f * l.worldLength + c.distance, 0, 0);
        // Wander off the axis on the way: only the last mouse position counts.
        const DragResult r = drag(camera, kGizmoMove, false, start, GizmoHandle::MoveX, press,
                                  {press + glm::vec2(40, 30), project(camera, target)}, c.snap);
        ASSERT_TRUE(r.started && r.updated);
        const glm::vec3 moved = glm::vec3(r.matrix[3]) - glm::vec3(start[3]);
        EXPECT_NEAR(moved.x, c.want, 1e-3f) << (c.ortho ? "ortho" : "persp") << " snap " << c.snap;
        EXPECT_EQ(moved.y, 0.0f);
        EXPECT_EQ(moved.z, 0.0f);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(r.matrix[i], start[i]) << "the rotation must not change";
    }
}

TEST(GizmoMath, PlaneMoveKeepsThePointUnderTheMouseAndSnapsBothAxes) {
    const GizmoCamera camera = viewFrom(30.0f, 40.0f);
    const glm::mat4 start = translation({1.0f, 0.5f, 0.0f});
    const GizmoLayout l = computeGizmoLayout(camera, kGizmoMove, false, kSize, start);
    const glm::vec2 press = project(camera, l.origin + glm::vec3(0.4f, 0.0f, 0.4f) * l.worldLength);
    ASSERT_EQ(pickGizmoHandle(l, press), GizmoHandle::MoveZX);
    const glm::vec3 startHit = l.origin + glm::vec3(0.4f, 0.0f, 0.4f) * l.worldLength;
    const glm::vec2 to = project(camera, startHit + glm::vec3(0.6f, 0.0f, -0.35f));

    DragResult r = drag(camera, kGizmoMove, false, start, GizmoHandle::MoveZX, press, {to});
    ASSERT_TRUE(r.updated);
    const glm::vec3 moved = glm::vec3(r.matrix[3] - start[3]);
    EXPECT_NEAR(moved.x, 0.6f, 1e-3f);
    EXPECT_EQ(moved.y, 0.0f);
    EXPECT_NEAR(moved.z, -0.35f, 1e-3f);

    r = drag(camera, kGizmoMove, false, start, GizmoHandle::MoveZX, press, {to}, 0.25f);
    const glm::vec3 snapped = glm::vec3(r.matrix[3] - start[3]);
    EXPECT_NEAR(snapped.x, 0.5f, 1e-5f);
    EXPECT_EQ(snapped.y, 0.0f);
    EXPECT_NEAR(snapped.z, -0.25f, 1e-5f);
}

TEST(GizmoMath, ScreenMoveFollowsTheMouseInTheViewPlane) {
    for (bool ortho : {false, true}) {
        const GizmoCamera camera = viewFrom(45.0f, 28.0f, ortho);
        const glm::mat4 start = translation({0.3f, 0.0f, 0.2f});
        const GizmoLayout l = computeGizmoLayout(camera, kGizmoMove, false, kSize, start);
        const glm::vec2 press = l.originScreen + glm::vec2(2, 1);
        ASSERT_EQ(pickGizmoHandle(l, press), GizmoHandle::MoveScreen);
        const glm::vec2 to = press + glm::vec2(120, -45);

        DragResult r = drag(camera, kGizmoMove, false, start, GizmoHandle::MoveScreen, press, {to});
        ASSERT_TRUE(r.updated);
        const glm::vec3 moved = glm::vec3(r.matrix[3] - start[3]);
        // The grabbed point stays under the mouse, and the motion is parallel to the view plane.
        const glm::vec2 screenMove = project(camera, r.drag.startHit + moved) - to;
        EXPECT_LT(glm::length(screenMove), 0.05f) << (ortho ? "ortho" : "persp");
        EXPECT_NEAR(glm::dot(moved, l.toEye), 0.0f, 1e-4f);
        EXPECT_GT(glm::length(moved), 0.5f);

        // Snapped: every world component is a whole number of steps.
        r = drag(camera, kGizmoMove, false, start, GizmoHandle::MoveScreen, press, {to}, 0.25f);
        const glm::vec3 snapped = glm::vec3(r.matrix[3] - start[3]);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(snapped[i], std::round(moved[i] / 0.25f) * 0.25f, 1e-5f) << "component " << i;
        }
    }
}

TEST(GizmoMath, RotateAboutZFollowsAMouseArc) {
    // Looking down -Z at an object away from the origin, scaled: the rotation is about the gizmo's
    // origin and keeps position and scale.
    for (bool ortho : {false, true}) {
        const GizmoCamera camera = viewFrom(0.0f, 0.0f, ortho);
        const glm::mat4 start = translation({0.5f, -0.25f, 0.0f}) * glm::scale(glm::mat4(1.0f), glm::vec3(2, 1, 1));
        const GizmoLayout l = computeGizmoLayout(camera, kGizmoRotate, false, kSize, start);
        const float radius = l.worldLength;
        auto onRing = [&](float degrees) {
            const float a = degrees * kDegToRad;
            return project(camera, l.origin + glm::vec3(std::cos(a), std::sin(a), 0.0f) * radius);
        };
        ASSERT_EQ(pickGizmoHandle(l, onRing(0.0f)), GizmoHandle::RotateZ);

        struct Case {
            std::initializer_list<float> arc; // degrees along the ring, counter-clockwise on screen
            float snap;
            float want;
        };
        const Case cases[] = {
            {{20, 50}, 0.0f, 50.0f},
            {{20, 50}, 15.0f, 45.0f},
            {{-10, -29}, 15.0f, -30.0f},
            {{60, 120, 170, 200}, 0.0f, 200.0f}, // past half a turn without jumping back
            {{60, 120, 170, 200}, 15.0f, 195.0f},
            {{100, 7}, 15.0f, 0.0f}, // back near the start: no rotation
        };
        for (const Case& c : cases) {
            GizmoDrag d;
            ASSERT_TRUE(beginGizmoDrag(l, camera, GizmoHandle::RotateZ, onRing(0.0f), start, &d));
            glm::mat4 m = start;
            for (float deg : c.arc)
                ASSERT_TRUE(updateGizmoDrag(&d, camera, onRing(deg), c.snap, &m));
            const glm::mat4 want = translation(glm::vec3(start[3])) *
                                   glm::rotate(glm::mat4(1.0f), c.want * kDegToRad, glm::vec3(0, 0, 1)) *
                                   glm::scale(glm::mat4(1.0f), glm::vec3(2, 1, 1));
            expectMatrixNear(m, want, 2e-3f, ortho ? "ortho" : "persp");
            EXPECT_NEAR(d.angle * kRadToDeg, c.want, c.snap > 0 ? 1e-3f : 0.1f);
        }
    }
}

TEST(GizmoMath, ScreenRingTurnsAboutTheLineOfSight) {
    const GizmoCamera camera = viewFrom(45.0f, 28.0f, true);
    const GizmoLayout l = computeGizmoLayout(camera, kGizmoRotate, false, kSize, glm::mat4(1.0f));
    const float r = kGizmoScreenRing * kSize;
    const glm::vec2 press = l.originScreen + glm::vec2(r, 0);
    ASSERT_EQ(pickGizmoHandle(l, press), GizmoHandle::RotateScreen);
    // A quarter turn counter-clockwise on screen (y grows downwards).
    const DragResult d =
        drag(camera, kGizmoRotate, false, glm::mat4(1.0f), GizmoHandle::RotateScreen, press,
             {l.originScreen + glm::vec2(r * 0.7f, -r * 0.7f), l.originScreen + glm::vec2(0, -r)}, 15.0f);
    ASSERT_TRUE(d.updated);
    EXPECT_NEAR(d.drag.angle * kRadToDeg, 90.0f, 1e-3f);
    // The line of sight itself does not move; a vector across the screen turns by 90 degrees.
    const glm::mat3 rot(d.matrix);
    EXPECT_LT(glm::length(rot * l.toEye - l.toEye), 1e-4f);
    const glm::vec3 across = glm::normalize(glm::cross(l.toEye, glm::vec3(0, 1, 0)));
    EXPECT_NEAR(glm::dot(rot * across, across), 0.0f, 1e-4f);
}

TEST(GizmoMath, ScaleAlongAnAxisAndUniformly) {
    const GizmoCamera camera = viewFrom(45.0f, 28.0f);
    const glm::mat4 start = translation({1, 0, 0}) * glm::rotate(glm::mat4(1.0f), 0.5f, glm::vec3(0, 0, 1));
    const GizmoLayout l = computeGizmoLayout(camera, kGizmoScale, false, kSize, start);
    const glm::vec2 press = alongAxis(camera, l, 0, 0.7f);
    ASSERT_EQ(pickGizmoHandle(l, press), GizmoHandle::ScaleX);

    struct Case {
        float to; // fraction of the axis length where the mouse ends
        float snap;
        float want;
    };
    const Case cases[] = {
        {1.4f, 0.0f, 2.0f},  {0.96f, 0.1f, 1.4f},
        {0.35f, 0.0f, 0.5f}, {-0.7f, 0.0f, 0.001f}, // through the origin: kept positive
        {0.02f, 0.1f, 0.1f},                        // snapped down to zero: the smallest positive step
        {0.02f, 0.3f, 0.1f},                        // 1 - 3 * 0.3
    };
    for (const Case& c : cases) {
        const DragResult r = drag(camera, kGizmoScale, false, start, GizmoHandle::ScaleX, press,
                                  {alongAxis(camera, l, 0, c.to)}, c.snap);
        ASSERT_TRUE(r.updated) << "to " << c.to;
        EXPECT_NEAR(r.drag.scale.x, c.want, 1e-3f) << "to " << c.to << " snap " << c.snap;
        const glm::mat4 want = start * glm::scale(glm::mat4(1.0f), glm::vec3(r.drag.scale.x, 1, 1));
        expectMatrixNear(r.matrix, want, 1e-5f, "scale X");
    }

    // Uniform: dragging right by one axis length doubles; 0.1 steps.
    const glm::vec2 centre = l.originScreen;
    ASSERT_EQ(pickGizmoHandle(l, centre), GizmoHandle::ScaleUniform);
    struct Uniform {
        float dx, snap, want;
    };
    const Uniform uniform[] = {{100, 0, 2.0f}, {53, 0.1f, 1.5f}, {-300, 0, 0.001f}, {-97, 0.1f, 0.1f}};
    for (const Uniform& u : uniform) {
        const DragResult r = drag(camera, kGizmoScale, false, start, GizmoHandle::ScaleUniform, centre,
                                  {centre + glm::vec2(u.dx, 40.0f)}, u.snap);
        ASSERT_TRUE(r.updated);
        expectMatrixNear(r.matrix, start * glm::scale(glm::mat4(1.0f), glm::vec3(u.want)), 1e-5f, "uniform");
    }
}

TEST(GizmoMath, LocalAndWorldOrientation) {
    // The object is turned 90 degrees about Z: its local X is world Y.
    const GizmoCamera camera = viewFrom(45.0f, 28.0f);
    const glm::mat4 start = glm::rotate(glm::mat4(1.0f), 90.0f * kDegToRad, glm::vec3(0, 0, 1));
    const GizmoLayout world = computeGizmoLayout(camera, kGizmoMove, false, kSize, start);
    const GizmoLayout local = computeGizmoLayout(camera, kGizmoMove, true, kSize, start);
    EXPECT_EQ(world.axes[0], glm::vec3(1, 0, 0));
    EXPECT_LT(glm::length(local.axes[0] - glm::vec3(0, 1, 0)), 1e-6f);

    // Moving the local X arrow moves along world Y.
    const glm::vec2 press = alongAxis(camera, local, 0, 0.7f);
    ASSERT_EQ(pickGizmoHandle(local, press), GizmoHandle::MoveX);
    const glm::vec3 target = local.origin + local.axes[0] * (0.7f * local.worldLength + 1.0f);
    DragResult r = drag(camera, kGizmoMove, true, start, GizmoHandle::MoveX, press, {project(camera, target)});
    EXPECT_LT(glm::length(glm::vec3(r.matrix[3]) - glm::vec3(0, 1, 0)), 1e-3f);

    // Rotating the local X ring turns about world Y.
    const GizmoLayout localRings = computeGizmoLayout(camera, kGizmoRotate, true, kSize, start);
    EXPECT_LT(glm::length(localRings.axes[0] - glm::vec3(0, 1, 0)), 1e-6f);

    // Scale always works along the object's own axes, even in world orientation.
    const GizmoLayout scale = computeGizmoLayout(camera, kGizmoScale, false, kSize, start);
    EXPECT_LT(glm::length(scale.axes[0] - glm::vec3(0, 1, 0)), 1e-6f);
    const glm::vec2 scalePress = alongAxis(camera, scale, 0, 0.7f);
    ASSERT_EQ(pickGizmoHandle(scale, scalePress), GizmoHandle::ScaleX);
    r = drag(camera, kGizmoScale, false, start, GizmoHandle::ScaleX, scalePress, {alongAxis(camera, scale, 0, 1.4f)});
    expectMatrixNear(r.matrix, start * glm::scale(glm::mat4(1.0f), glm::vec3(2, 1, 1)), 1e-3f, "world-mode scale");

    // Snapping happens in the gizmo's frame: 0.6 along a local axis turned 30 degrees snaps to 0.5
    // along that axis, not to world steps.
    const glm::mat4 turned = glm::rotate(glm::mat4(1.0f), 30.0f * kDegToRad, glm::vec3(0, 1, 0));
    const GizmoLayout t = computeGizmoLayout(camera, kGizmoMove, true, kSize, turned);
    const glm::vec2 tPress = alongAxis(camera, t, 0, 0.7f);
    ASSERT_EQ(pickGizmoHandle(t, tPress), GizmoHandle::MoveX);
    r = drag(camera, kGizmoMove, true, turned, GizmoHandle::MoveX, tPress,
             {project(camera, t.origin + t.axes[0] * (0.7f * t.worldLength + 0.6f))}, 0.25f);
    EXPECT_LT(glm::length(glm::vec3(r.matrix[3]) - t.axes[0] * 0.5f), 1e-4f);
}

TEST(GizmoMath, OrthographicSideView) {
    // A side view (looking down -X) in orthographic projection: Y and Z arrows work, X is edge-on.
    const GizmoCamera camera = viewFrom(90.0f, 0.0f, true);
    const glm::mat4 start = translation({0.0f, 1.0f, 2.0f});
    const GizmoLayout l = computeGizmoLayout(camera, kGizmoMove, false, kSize, start);
    ASSERT_TRUE(l.visible);
    EXPECT_EQ(l.axisAlpha[0], 0.0f);
    EXPECT_EQ(l.planeAlpha[0], 1.0f);
    const glm::vec2 press = alongAxis(camera, l, 1, 0.7f);
    ASSERT_EQ(pickGizmoHandle(l, press), GizmoHandle::MoveY);
    // In orthographic views the screen offset maps linearly: 100 points is one axis length.
    const DragResult r =
        drag(camera, kGizmoMove, false, start, GizmoHandle::MoveY, press, {press + glm::vec2(7, -100)});
    EXPECT_NEAR(r.matrix[3].y - start[3].y, l.worldLength, 1e-4f);
    EXPECT_EQ(r.matrix[3].x, start[3].x);
    EXPECT_EQ(r.matrix[3].z, start[3].z);
}

TEST(GizmoMath, UnusableSnapStepsMeanNoSnapping) {
    const GizmoCamera camera = viewFrom(45.0f, 28.0f);
    const GizmoLayout l = computeGizmoLayout(camera, kGizmoMove, false, kSize, glm::mat4(1.0f));
    const glm::vec2 press = alongAxis(camera, l, 0, 0.7f);
    const glm::vec2 to = project(camera, glm::vec3(0.7f * l.worldLength + 0.3f, 0, 0));
    for (float step : {0.0f, -0.25f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        const DragResult r = drag(camera, kGizmoMove, false, glm::mat4(1.0f), GizmoHandle::MoveX, press, {to}, step);
        ASSERT_TRUE(r.updated) << "step " << step;
        EXPECT_NEAR(r.matrix[3].x, 0.3f, 1e-3f) << "step " << step;
    }
}

TEST(GizmoMath, SnapStepFollowsTheHandlesOperation) {
    EditorSettings s;
    EXPECT_EQ(gizmoSnapStep(s, GizmoHandle::MoveX), 0.0f); // snapping off by default
    s.snap = true;
    EXPECT_EQ(gizmoSnapStep(s, GizmoHandle::MoveXY), 0.25f);
    EXPECT_EQ(gizmoSnapStep(s, GizmoHandle::MoveScreen), 0.25f);
    EXPECT_EQ(gizmoSnapStep(s, GizmoHandle::RotateScreen), 15.0f);
    EXPECT_EQ(gizmoSnapStep(s, GizmoHandle::ScaleUniform), 0.1f);
    EXPECT_EQ(gizmoSnapStep(s, GizmoHandle::None), 0.0f);
}

} // namespace
} // namespace orva
