#include "editor/transform_gizmo.h"

#include <functional>

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>
#include <imgui.h>

#include "editor/gizmo_math.h"
#include "scene/orbit_camera.h"

namespace orva {
namespace {

// A real ImGui context without a platform or renderer backend; mouse input is fed through the event queue, one event
// per frame, as a backend would.
class TransformGizmoTest : public testing::Test {
protected:
    void SetUp() override {
        context = ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        io.DisplaySize = ImVec2(1024, 768);
        io.DeltaTime = 1.0f / 60.0f;
        // Texture updates are requested through the draw data and simply never served here.
        io.BackendFlags |= ImGuiBackendFlags_RendererHasTextures;

        OrbitCamera orbit;
        camera.view = orbit.view();
        camera.projection = orbit.projection(rectSize.x / rectSize.y);
        camera.rectPos = rectPos;
        camera.rectSize = rectSize;
        frame(); // the window exists (and can be hovered) from the second frame on
    }
    void TearDown() override { ImGui::DestroyContext(context); }

    // One frame: the gizmo in a full-screen "Viewport" window, drawn over a rectangle inside it, then
    // `after` (e.g. another window on top).
    bool frame(const std::function<void()>& after = {}) {
        ImGui::NewFrame();
        TransformGizmo::beginFrame();
        ImGui::SetNextWindowPos(ImVec2(0, 0));
        ImGui::SetNextWindowSize(ImGui::GetIO().DisplaySize);
        ImGui::Begin("Viewport", nullptr, ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove);
        const bool changed =
            TransformGizmo::manipulate(settings, camera.view, camera.projection, false, rectPos, rectSize, &matrix);
        over = TransformGizmo::isOver();
        using_ = TransformGizmo::isUsing();
        ImGui::End();
        if (after)
            after();
        ImGui::Render();
        return changed;
    }

    void moveMouse(const glm::vec2& p) { ImGui::GetIO().AddMousePosEvent(p.x, p.y); }
    void button(bool down) { ImGui::GetIO().AddMouseButtonEvent(ImGuiMouseButton_Left, down); }

    GizmoLayout layout() const {
        const float size = 100.0f * ImGui::GetStyle().FontScaleMain * ImGui::GetStyle().FontScaleDpi;
        return computeGizmoLayout(camera, settings.gizmoOperation, false, size, matrix);
    }
    glm::vec2 alongX(float t) const {
        const GizmoLayout l = layout();
        glm::vec2 p;
        gizmoProject(camera, l.origin + l.axes[0] * (l.worldLength * t), &p);
        return p;
    }

    ImGuiContext* context = nullptr;
    EditorSettings settings;
    GizmoCamera camera;
    const glm::vec2 rectPos{112.0f, 40.0f}, rectSize{800.0f, 600.0f};
    glm::mat4 matrix = glm::translate(glm::mat4(1.0f), glm::vec3(0.5f, 0.25f, -0.5f));
    bool over = false, using_ = false;
};

TEST_F(TransformGizmoTest, DraggingTheXArrowMovesAlongXOnly) {
    const glm::mat4 start = matrix;
    const glm::vec2 press = alongX(0.7f);

    moveMouse(press);
    EXPECT_FALSE(frame());
    EXPECT_TRUE(over) << "hovering the arrow";
    EXPECT_FALSE(using_);

    button(true);
    EXPECT_FALSE(frame()) << "the press itself changes nothing";
    EXPECT_TRUE(using_);

    // Along the arrow, off to the side, then beyond the view rectangle: the drag keeps following.
    const glm::vec2 dir = glm::normalize(alongX(1.0f) - alongX(0.0f));
    bool changed = false;
    for (const glm::vec2& p : {press + dir * 60.0f + glm::vec2(0, 25), press + dir * 150.0f,
                               glm::vec2(rectPos.x + rectSize.x + 40.0f, press.y)}) {
        moveMouse(p);
        changed |= frame();
        EXPECT_TRUE(using_);
    }
    EXPECT_TRUE(changed);
    const glm::vec3 moved = glm::vec3(matrix[3] - start[3]);
    EXPECT_GT(moved.x, 1.0f);
    EXPECT_EQ(moved.y, 0.0f);
    EXPECT_EQ(moved.z, 0.0f);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(matrix[i], start[i]);

    button(false);
    EXPECT_FALSE(frame());
    EXPECT_FALSE(using_);
    const glm::mat4 released = matrix;
    moveMouse(press);
    frame();
    EXPECT_EQ(matrix, released) << "moving after the release changes nothing";
}

TEST_F(TransformGizmoTest, SnappedDragMovesInWholeSteps) {
    settings.snap = true;
    settings.snapMove = 0.5f;
    const glm::mat4 start = matrix;
    const glm::vec2 press = alongX(0.7f);
    moveMouse(press);
    frame();
    button(true);
    frame();
    const glm::vec2 dir = glm::normalize(alongX(1.0f) - alongX(0.0f));
    for (float d : {10.0f, 45.0f, 90.0f, 133.0f}) {
        moveMouse(press + dir * d);
        frame();
        const float moved = matrix[3].x - start[3].x;
        EXPECT_FLOAT_EQ(moved, std::round(moved / 0.5f) * 0.5f) << "after " << d << " points";
    }
    EXPECT_GT(matrix[3].x - start[3].x, 0.9f);
    button(false);
    frame();
}

TEST_F(TransformGizmoTest, PressesThatAreNotForTheGizmoStartNothing) {
    const glm::vec2 press = alongX(0.7f);
    const glm::mat4 start = matrix;

    // Another window over the arrow takes the press.
    auto cover = [&] {
        ImGui::SetNextWindowPos(ImVec2(press.x - 30, press.y - 30));
        ImGui::SetNextWindowSize(ImVec2(60, 60));
        ImGui::Begin("Cover", nullptr, ImGuiWindowFlags_NoDecoration);
        ImGui::End();
    };
    moveMouse(press);
    frame(cover);
    frame(cover);
    EXPECT_FALSE(over);
    button(true);
    frame(cover);
    EXPECT_FALSE(using_);
    button(false);
    frame();

    // Alt + press orbits the camera instead.
    ImGui::GetIO().AddKeyEvent(ImGuiMod_Alt, true);
    frame();
    button(true);
    frame();
    EXPECT_FALSE(using_);
    moveMouse(press + glm::vec2(80, 0));
    frame();
    button(false);
    frame();
    ImGui::GetIO().AddKeyEvent(ImGuiMod_Alt, false);
    frame();
    EXPECT_EQ(matrix, start);

    // A press on empty space is not a drag either.
    moveMouse(glm::vec2(rectPos.x + 20, rectPos.y + 20));
    frame();
    button(true);
    frame();
    EXPECT_FALSE(using_);
    EXPECT_FALSE(over);
    button(false);
    frame();
}

TEST_F(TransformGizmoTest, AnotherGizmoIgnoresTheDragInProgress) {
    // A second gizmo in another window, for the same object seen the same way, while the first one's
    // X arrow is dragged: it must neither apply the drag a second time nor start one of its own.
    glm::mat4 other = matrix;
    const glm::mat4 start = matrix;
    bool otherChanged = false;
    auto second = [&] {
        ImGui::SetNextWindowPos(ImVec2(0, 0));
        ImGui::SetNextWindowSize(ImVec2(10, 10));
        ImGui::Begin("Second", nullptr, ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoInputs);
        otherChanged |=
            TransformGizmo::manipulate(settings, camera.view, camera.projection, false, rectPos, rectSize, &other);
        ImGui::End();
    };
    const glm::vec2 press = alongX(0.7f);
    moveMouse(press);
    frame(second);
    button(true);
    frame(second);
    moveMouse(press + glm::normalize(alongX(1.0f) - alongX(0.0f)) * 80.0f);
    frame(second);
    EXPECT_TRUE(using_);
    EXPECT_GT(matrix[3].x, start[3].x);
    EXPECT_FALSE(otherChanged);
    EXPECT_EQ(other, start);
    button(false);
    frame(second);
    EXPECT_FALSE(TransformGizmo::isUsing());
}

TEST_F(TransformGizmoTest, EveryOperationDrawsAndANullMatrixIsIgnored) {
    for (int op : {kGizmoMove, kGizmoRotate, kGizmoScale, 7}) {
        settings.gizmoOperation = op;
        moveMouse(alongX(0.5f));
        frame();
        EXPECT_GT(ImGui::GetDrawData()->TotalVtxCount, 0) << "operation " << op;
    }
    ImGui::NewFrame();
    TransformGizmo::beginFrame();
    ImGui::Begin("Viewport");
    EXPECT_FALSE(
        TransformGizmo::manipulate(settings, camera.view, camera.projection, false, rectPos, rectSize, nullptr));
    ImGui::End();
    ImGui::Render();
}

} // namespace
} // namespace orva
