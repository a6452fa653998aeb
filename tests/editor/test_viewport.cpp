#include "editor/viewport.h"

#include <memory>

#include <gtest/gtest.h>

#include "document/document.h"
#include "editor/editor_settings.h"
#include "editor/gizmo_math.h"
#include "editor/transform_gizmo.h"
#include "gl_imgui_harness.h"
#include "render/renderer.h"

namespace orva {
namespace {

// [SECTION] Rules without a window

TEST(ViewportSelectOps, ModifierTables) {
    struct Case {
        bool shift, ctrl;
        SelectOp click, box;
    };
    // Shift wins over Ctrl in both gestures.
    const Case cases[] = {
        {false, false, SelectOp::Replace, SelectOp::Replace},
        {true, false, SelectOp::Toggle, SelectOp::Add},
        {false, true, SelectOp::Remove, SelectOp::Remove},
        {true, true, SelectOp::Toggle, SelectOp::Add},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(clickSelectOp(c.shift, c.ctrl), c.click) << "shift " << c.shift << " ctrl " << c.ctrl;
        EXPECT_EQ(boxSelectOp(c.shift, c.ctrl), c.box) << "shift " << c.shift << " ctrl " << c.ctrl;
    }
}

TEST(ViewportAxisIndicator, EntriesSortedByDepthAndClickViews) {
    OrbitCamera camera; // yaw 45, pitch 28: +X, +Y and +Z all face the viewer somewhat
    const auto entries = axisIndicatorEntries(camera.view(), glm::vec2(100, 100));
    for (size_t i = 1; i < entries.size(); ++i)
        EXPECT_LE(entries[i - 1].depth, entries[i].depth);
    for (const AxisIndicatorEntry& e : entries)
        EXPECT_LE(glm::distance(e.dot, glm::vec2(100, 100)), 42.0f * 0.78f + 1e-3f);
    // Looking from the front (yaw 0, pitch 0), +Y points straight up on screen.
    OrbitCamera front;
    front.setView(0, 0);
    for (const AxisIndicatorEntry& e : axisIndicatorEntries(front.view(), glm::vec2(0))) {
        if (e.axis == glm::vec3(0, 1, 0)) {
            EXPECT_NEAR(e.dot.y, -42.0f * 0.78f, 1e-3f);
        }
    }

    EXPECT_EQ(axisIndicatorView({1, 0, 0}, 33), glm::vec2(90, 0));
    EXPECT_EQ(axisIndicatorView({-1, 0, 0}, 33), glm::vec2(-90, 0));
    EXPECT_EQ(axisIndicatorView({0, 1, 0}, 33), glm::vec2(33, 89.5f));
    EXPECT_EQ(axisIndicatorView({0, -1, 0}, 33), glm::vec2(33, -89.5f));
    EXPECT_EQ(axisIndicatorView({0, 0, 1}, 33), glm::vec2(0, 0));
    EXPECT_EQ(axisIndicatorView({0, 0, -1}, 33), glm::vec2(180, 0));
}

// [SECTION] The panel driven like a user, with the real renderer

// A full-window viewport over three objects in a row: a cube (edge 2) at the origin, a sphere
// (radius 1) at x = 3 and a camera marker at x = -6, seen from the front-right and above.
class ViewportTest : public testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(harness.start(kDisplay, &error)) << error;
        ASSERT_TRUE(renderer.initialize(&error)) << error;
        doc.state = DocumentState{}; // an empty scene instead of the default one
        cube = doc.addPrimitive(PrimitiveType::Cube)->id;
        SceneObject* s = doc.addPrimitive(PrimitiveType::Sphere);
        s->transform.position = {3, 0, 0};
        sphere = s->id;
        SceneObject* c = doc.addCamera();
        c->transform.position = {-6, 0, 0};
        marker = c->id;
        doc.selectObjects({}, SelectOp::Replace);
        doc.camera.target = {0, 0, 0};
        doc.camera.distance = 14.0f;
        doc.camera.setView(30, 25);
        doc.undoStack.clear();

        viewport = std::make_unique<Viewport>(doc, renderer, settings);
        harness.body = [this] {
            TransformGizmo::beginFrame();
            ImGui::SetNextWindowPos(ImVec2(0, 0));
            ImGui::SetNextWindowSize(ImGui::GetIO().DisplaySize);
            viewport->draw(ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize);
        };
        harness.moveMouse(kDisplay * 0.5f);
        harness.frame(2);
    }
    void TearDown() override {
        viewport.reset();
        renderer.shutdown();
    }

    // Screen position (interface points) of a world point.
    glm::vec2 screenOf(const glm::vec3& world) const {
        glm::vec2 s(0.0f);
        EXPECT_TRUE(viewport->pickView().project(world, s));
        return s + viewport->panelPos;
    }
    GizmoCamera gizmoCamera() const {
        GizmoCamera g;
        const PickView v = viewport->pickView();
        g.view = v.view;
        g.projection = v.proj;
        g.rectPos = viewport->panelPos;
        g.rectSize = viewport->panelSize;
        return g;
    }
    GizmoLayout gizmoLayoutFor(uint32_t id) const {
        const float size = 100.0f * ImGui::GetStyle().FontScaleMain * ImGui::GetStyle().FontScaleDpi;
        return computeGizmoLayout(gizmoCamera(), settings.gizmoOperation, false, size, doc.state.scene.worldMatrix(id));
    }
    // A point of the screen showing object `id` that no gizmo handle (of the active object) is near,
    // so a press there selects instead of dragging.
    glm::vec2 clearPointOn(uint32_t id) const {
        const glm::vec2 centre = screenOf(glm::vec3(doc.state.scene.worldMatrix(id)[3]));
        const bool gizmo = doc.state.selection.active != kInvalidObject;
        const GizmoLayout layout = gizmo ? gizmoLayoutFor(doc.state.selection.active) : GizmoLayout{};
        for (float r = 0; r <= 60; r += 4)
            for (float a = 0; a < 6.28f; a += 0.2f) {
                const glm::vec2 p = centre + r * glm::vec2(std::cos(a), std::sin(a));
                if (pickObject(doc.state.scene, viewport->pickView(), p - viewport->panelPos, 12.0f) != id)
                    continue;
                bool nearHandle = false;
                for (float ox = -10; ox <= 10 && gizmo; ox += 5)
                    for (float oy = -10; oy <= 10; oy += 5)
                        nearHandle |= pickGizmoHandle(layout, p + glm::vec2(ox, oy)) != GizmoHandle::None;
                if (!nearHandle)
                    return p;
            }
        ADD_FAILURE() << "no free point on object " << id;
        return centre;
    }
    // An empty spot of the image: below the row of objects, away from the toolbar and indicator.
    glm::vec2 emptyPoint() const { return glm::vec2(kDisplay.x * 0.5f, kDisplay.y - 40.0f); }
    std::vector<uint32_t> selected() const { return doc.state.selection.ids; }

    static constexpr glm::vec2 kDisplay{800.0f, 500.0f};
    test::GlImguiHarness harness;
    Document doc;
    Renderer renderer;
    EditorSettings settings;
    std::unique_ptr<Viewport> viewport;
    uint32_t cube = 0, sphere = 0, marker = 0;
};

TEST_F(ViewportTest, PanelFillsTheWindowAndRendersAtItsPixelSize) {
    EXPECT_EQ(viewport->panelPos, glm::vec2(0, 0));
    EXPECT_EQ(viewport->panelSize, kDisplay);
    EXPECT_TRUE(viewport->hovered);
    EXPECT_NE(renderer.colorTexture(), 0u);

    // The scene image shows through: the panel's centre (the cube) is neither black nor left empty,
    // and the frame is kept for a person to look at.
    doc.selectObjects({cube}, SelectOp::Replace);
    harness.frame();
    const std::vector<uint8_t> rgba = harness.readPixels();
    const glm::vec2 c = screenOf({0, 0, 0});
    const size_t at = (size_t(kDisplay.y - 1 - c.y) * size_t(kDisplay.x) + size_t(c.x)) * 4;
    EXPECT_GT(int(rgba[at]) + rgba[at + 1] + rgba[at + 2], 30);
    EXPECT_TRUE(harness.saveBmp(std::string(ORVA_TEST_ARTIFACT_DIR) + "/viewport_panel.bmp"));
}

TEST_F(ViewportTest, ClickSelectsAndShiftClickToggles) {
    harness.click(clearPointOn(cube));
    EXPECT_EQ(selected(), std::vector<uint32_t>{cube});
    EXPECT_EQ(doc.state.selection.active, cube);

    // Shift-click another object: added and made active.
    harness.modifiers(true, false, false);
    harness.click(clearPointOn(sphere));
    EXPECT_EQ(selected(), (std::vector<uint32_t>{cube, sphere}));
    EXPECT_EQ(doc.state.selection.active, sphere);
    // Shift-click a selected object that is not active: it becomes active, stays selected.
    harness.click(clearPointOn(cube));
    EXPECT_EQ(selected(), (std::vector<uint32_t>{cube, sphere}));
    EXPECT_EQ(doc.state.selection.active, cube);
    // Shift-click the active object: deselected.
    harness.click(clearPointOn(cube));
    EXPECT_EQ(selected(), std::vector<uint32_t>{sphere});
    // Shift-click on nothing changes nothing.
    harness.click(emptyPoint());
    EXPECT_EQ(selected(), std::vector<uint32_t>{sphere});
    harness.modifiers(false, false, false);

    // A plain click on nothing empties the selection; selection is not an undo step.
    harness.click(emptyPoint());
    EXPECT_TRUE(selected().empty());
    EXPECT_EQ(doc.state.selection.active, kInvalidObject);
    EXPECT_TRUE(doc.undoStack.undoEntries.empty());
}

TEST_F(ViewportTest, ShortDragIsAClickAndLongerDragIsABox) {
    const glm::vec2 p = clearPointOn(cube);
    harness.dragMouse(p, p + glm::vec2(3, 0)); // under the 4-point threshold
    EXPECT_EQ(selected(), std::vector<uint32_t>{cube});
    EXPECT_FALSE(viewport->boxSelecting);

    // A box over the cube and the sphere (not the marker far left) replaces the selection.
    doc.selectObjects({marker}, SelectOp::Replace);
    doc.state.selection.active = kInvalidObject; // no gizmo in the way of the drag start
    const glm::vec2 a = screenOf({-1.2f, 1.2f, 1.2f}), b = screenOf({4.2f, -1.2f, -1.2f});
    const glm::vec2 lo = glm::min(a, b) - 10.0f, hi = glm::max(a, b) + 10.0f;
    harness.dragMouse(lo, hi);
    EXPECT_EQ(selected(), (std::vector<uint32_t>{cube, sphere}));
    EXPECT_FALSE(viewport->boxSelecting);
    EXPECT_EQ(viewport->drag, Viewport::DragNone);

    // Shift-box adds the marker; Ctrl-box removes what it covers.
    doc.state.selection.active = kInvalidObject;
    const glm::vec2 m = screenOf({-6, 0, 0});
    harness.modifiers(true, false, false);
    harness.dragMouse(m - 20.0f, m + 20.0f);
    EXPECT_EQ(selected(), (std::vector<uint32_t>{cube, sphere, marker}));
    harness.modifiers(false, true, false);
    doc.state.selection.active = kInvalidObject;
    harness.dragMouse(m - 20.0f, m + 20.0f);
    EXPECT_EQ(selected(), (std::vector<uint32_t>{cube, sphere}));
    harness.modifiers(false, false, false);
}

TEST_F(ViewportTest, DraggingTheXArrowMovesTheCubeAndItsChildOnceInOneUndoStep) {
    // A child above the cube, selected with it: it must move with the cube, not twice.
    SceneObject* child = doc.addPrimitive(PrimitiveType::Cube);
    child->transform.position = {0, 3, 0};
    ASSERT_TRUE(doc.setParent(child->id, cube));
    const uint32_t childId = child->id;
    doc.selectObjects({childId, cube}, SelectOp::Replace); // cube active
    doc.undoStack.clear();
    const glm::vec3 childWorld(doc.state.scene.worldMatrix(childId)[3]);
    harness.frame();

    const GizmoLayout layout = gizmoLayoutFor(cube);
    const glm::vec2 press = layout.axisStart[0] + (layout.axisEnd[0] - layout.axisStart[0]) * 0.7f;
    ASSERT_EQ(pickGizmoHandle(layout, press), GizmoHandle::MoveX);
    const glm::vec2 dir = glm::normalize(layout.axisEnd[0] - layout.originScreen);
    harness.dragMouse(press, press + dir * 80.0f);

    const SceneObject* moved = doc.state.scene.find(cube);
    EXPECT_GT(moved->transform.position.x, 0.3f);
    EXPECT_NEAR(moved->transform.position.y, 0.0f, 1e-4f);
    EXPECT_NEAR(moved->transform.position.z, 0.0f, 1e-4f);
    EXPECT_EQ(moved->transform.rotationEulerDeg, glm::vec3(0));
    EXPECT_EQ(moved->transform.scale, glm::vec3(1));
    const glm::vec3 childNow(doc.state.scene.worldMatrix(childId)[3]);
    EXPECT_NEAR(childNow.x, childWorld.x + moved->transform.position.x, 1e-4f) << "the child moved once";
    EXPECT_EQ(selected(), (std::vector<uint32_t>{childId, cube})) << "the press did not select";
    EXPECT_FALSE(viewport->gizmoDragging);
    EXPECT_FALSE(doc.interacting);

    ASSERT_EQ(doc.undoStack.undoEntries.size(), 1u);
    EXPECT_EQ(doc.undoStack.undoLabel(), "Move");
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(doc.state.scene.find(cube)->transform.position, glm::vec3(0));
    EXPECT_TRUE(doc.undoStack.undoEntries.empty());
}

TEST_F(ViewportTest, GizmoDragWithoutChangeRecordsNoUndoStep) {
    doc.selectObjects({cube}, SelectOp::Replace);
    harness.frame();
    const GizmoLayout layout = gizmoLayoutFor(cube);
    const glm::vec2 press = layout.axisStart[0] + (layout.axisEnd[0] - layout.axisStart[0]) * 0.7f;
    harness.moveMouse(press);
    harness.mouseButton(ImGuiMouseButton_Left, true);
    EXPECT_TRUE(viewport->gizmoDragging);
    EXPECT_TRUE(doc.interacting);
    harness.mouseButton(ImGuiMouseButton_Left, false);
    EXPECT_FALSE(viewport->gizmoDragging);
    EXPECT_FALSE(doc.interacting);
    EXPECT_TRUE(doc.undoStack.undoEntries.empty());
}

// The panel not drawn while the button is released (another layout for a frame, say): the next
// frame it is drawn must close the interaction, or undo would stay refused.
TEST_F(ViewportTest, ReleaseWhileThePanelIsNotDrawnEndsTheDrag) {
    doc.selectObjects({cube}, SelectOp::Replace);
    harness.frame();
    const GizmoLayout layout = gizmoLayoutFor(cube);
    const glm::vec2 press = layout.axisStart[0] + (layout.axisEnd[0] - layout.axisStart[0]) * 0.7f;
    harness.moveMouse(press);
    harness.mouseButton(ImGuiMouseButton_Left, true);
    harness.moveMouse(press + glm::normalize(layout.axisEnd[0] - layout.originScreen) * 40.0f);
    ASSERT_TRUE(viewport->gizmoDragging);
    ASSERT_TRUE(doc.interacting);

    const auto draw = harness.body;
    harness.body = [] { TransformGizmo::beginFrame(); };
    harness.mouseButton(ImGuiMouseButton_Left, false);
    harness.body = draw;
    harness.frame();
    EXPECT_FALSE(viewport->gizmoDragging);
    EXPECT_FALSE(doc.interacting);
    EXPECT_EQ(doc.undoStack.undoLabel(), "Move");
    EXPECT_GT(doc.state.scene.find(cube)->transform.position.x, 0.1f);
    EXPECT_TRUE(doc.undo());
    EXPECT_EQ(doc.state.scene.find(cube)->transform.position, glm::vec3(0));
}

TEST_F(ViewportTest, ToolbarButtonsChangeSettingsWithoutSelecting) {
    doc.selectObjects({cube}, SelectOp::Replace);
    float comboWidth = 0, moveWidth = 0, frameHeight = 0;
    const auto draw = harness.body;
    harness.body = [&] {
        draw();
        const ImGuiStyle& style = ImGui::GetStyle();
        frameHeight = ImGui::GetFrameHeight();
        comboWidth = frameHeight * 1.6f + ImGui::CalcTextSize("Object Mode").x;
        moveWidth = ImGui::CalcTextSize("Move").x + 2.0f * style.FramePadding.x;
    };
    harness.frame();
    // Object Mode: the combo, then Move and Rotate.
    const glm::vec2 rotate(8 + comboWidth + 12 + moveWidth + 4 + 6, 8 + frameHeight * 0.5f);
    harness.moveMouse(rotate);
    EXPECT_TRUE(viewport->toolbarHovered);
    EXPECT_FALSE(viewport->inputHovered);
    harness.click(rotate);
    EXPECT_EQ(settings.gizmoOperation, kGizmoRotate);
    EXPECT_EQ(selected(), std::vector<uint32_t>{cube}) << "a toolbar click is not a click on empty space";
    harness.click(rotate - glm::vec2(moveWidth * 0.5f + 4, 0));
    EXPECT_EQ(settings.gizmoOperation, kGizmoMove);
}

TEST_F(ViewportTest, EditModeBoxSelectsVisibleVerticesUnlessXray) {
    doc.selectObjects({cube}, SelectOp::Replace);
    ASSERT_TRUE(doc.enterEditMode());
    harness.frame();
    const Mesh* mesh = doc.editMesh();
    glm::vec2 lo(1e9f), hi(-1e9f);
    for (const Vertex& v : mesh->vertices) {
        lo = glm::min(lo, screenOf(v.position));
        hi = glm::max(hi, screenOf(v.position));
    }
    harness.dragMouse(lo - 10.0f, hi + 10.0f);
    const size_t visible = doc.selectedVertexCount();
    EXPECT_GE(visible, 4u);
    EXPECT_LT(visible, mesh->vertices.size()) << "the far corner is hidden behind the cube";

    settings.xray = true;
    doc.selectAllComponents(false);
    harness.dragMouse(lo - 10.0f, hi + 10.0f);
    EXPECT_EQ(doc.selectedVertexCount(), mesh->vertices.size());
}

TEST_F(ViewportTest, EditModeFaceClickSelectsTheFaceCornersAndGizmoMovesThem) {
    doc.selectObjects({cube}, SelectOp::Replace);
    ASSERT_TRUE(doc.enterEditMode());
    doc.setComponentType(ComponentType::Face);
    harness.frame();
    // The top face (y = 1), clicked away from its centre.
    harness.click(screenOf({0.5f, 1.0f, 0.5f}));
    Mesh* mesh = doc.editMesh();
    ASSERT_EQ(doc.selectedVertexCount(), 4u);
    for (size_t i = 0; i < mesh->vertices.size(); ++i)
        EXPECT_EQ(doc.state.vertexSelection[i] != 0, mesh->vertices[i].position.y > 0.5f) << "vertex " << i;

    // The gizmo now sits at the face centre: drag its X arrow.
    doc.undoStack.clear();
    const float size = 100.0f * ImGui::GetStyle().FontScaleMain * ImGui::GetStyle().FontScaleDpi;
    glm::mat4 m;
    ASSERT_TRUE(computeGizmoMatrix(doc, settings.gizmoOrientation, &m));
    const GizmoLayout layout = computeGizmoLayout(gizmoCamera(), kGizmoMove, false, size, m);
    const glm::vec2 press = layout.axisStart[0] + (layout.axisEnd[0] - layout.axisStart[0]) * 0.7f;
    ASSERT_EQ(pickGizmoHandle(layout, press), GizmoHandle::MoveX);
    const std::vector<Vertex> before = mesh->vertices;
    harness.dragMouse(press, press + glm::normalize(layout.axisEnd[0] - layout.originScreen) * 60.0f);

    mesh = doc.editMesh();
    for (size_t i = 0; i < mesh->vertices.size(); ++i) {
        const glm::vec3 d = mesh->vertices[i].position - before[i].position;
        if (before[i].position.y > 0.5f) {
            EXPECT_GT(d.x, 0.2f) << "vertex " << i;
        } else {
            EXPECT_EQ(d, glm::vec3(0)) << "vertex " << i;
        }
        EXPECT_NEAR(d.y, 0.0f, 1e-5f);
        EXPECT_NEAR(d.z, 0.0f, 1e-5f);
    }
    EXPECT_EQ(doc.undoStack.undoLabel(), "Move");
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(doc.editMesh()->vertices[0].position, before[0].position);
}

TEST_F(ViewportTest, EditModeEdgeClickSelectsItsTwoVerticesAndEmptyClickClears) {
    doc.selectObjects({cube}, SelectOp::Replace);
    ASSERT_TRUE(doc.enterEditMode());
    doc.setComponentType(ComponentType::Edge);
    harness.frame();
    // The top edge facing the camera, clicked off its middle so no gizmo is involved.
    harness.click(screenOf({0.3f, 1.0f, 1.0f}));
    const Mesh* mesh = doc.editMesh();
    ASSERT_EQ(doc.selectedVertexCount(), 2u);
    for (size_t i = 0; i < mesh->vertices.size(); ++i) {
        const glm::vec3 p = mesh->vertices[i].position;
        EXPECT_EQ(doc.state.vertexSelection[i] != 0, p.y > 0.5f && p.z > 0.5f) << "vertex " << i;
    }
    // Shift on empty space keeps the selection; a plain click there clears it.
    harness.modifiers(true, false, false);
    harness.click(emptyPoint());
    harness.modifiers(false, false, false);
    EXPECT_EQ(doc.selectedVertexCount(), 2u);
    harness.click(emptyPoint());
    EXPECT_EQ(doc.selectedVertexCount(), 0u);
    EXPECT_EQ(doc.state.mode, InteractionMode::Edit);
}

TEST_F(ViewportTest, CameraDragsAndWheel) {
    const glm::vec2 centre = emptyPoint();
    const float yaw = doc.camera.yawDeg, pitch = doc.camera.pitchDeg;
    harness.dragMouse(centre, centre + glm::vec2(50, 0), ImGuiMouseButton_Middle, 5);
    EXPECT_NEAR(doc.camera.yawDeg, yaw - 20.0f, 1e-3f);
    EXPECT_NEAR(doc.camera.pitchDeg, pitch, 1e-3f);
    EXPECT_EQ(viewport->drag, Viewport::DragNone);
    EXPECT_TRUE(selected().empty()) << "a camera drag never selects";

    // Alt + left drag orbits too and does not select.
    harness.modifiers(false, false, true);
    harness.dragMouse(centre, centre + glm::vec2(0, 10));
    harness.modifiers(false, false, false);
    EXPECT_NEAR(doc.camera.pitchDeg, pitch + 4.0f, 1e-3f);
    EXPECT_TRUE(selected().empty());

    // Right drag pans: the target moves, the angles stay.
    const glm::vec3 target = doc.camera.target;
    harness.dragMouse(centre, centre + glm::vec2(40, 0), ImGuiMouseButton_Right);
    EXPECT_GT(glm::distance(doc.camera.target, target), 0.01f);
    EXPECT_NEAR(doc.camera.pitchDeg, pitch + 4.0f, 1e-3f);

    const float distance = doc.camera.distance;
    harness.wheel(1.0f);
    EXPECT_NEAR(doc.camera.distance, distance * 0.88f, 1e-3f);
    harness.wheel(-2.0f);
    EXPECT_GT(doc.camera.distance, distance);
}

TEST_F(ViewportTest, ClickingTheYDotLooksStraightDownAndKeepsSelection) {
    doc.selectObjects({sphere}, SelectOp::Replace);
    harness.frame();
    const float yaw = doc.camera.yawDeg;
    const glm::vec2 centre(viewport->panelPos.x + viewport->panelSize.x - 56.0f, viewport->panelPos.y + 90.0f);
    glm::vec2 dot(0.0f);
    for (const AxisIndicatorEntry& e : axisIndicatorEntries(doc.camera.view(), centre))
        if (e.axis == glm::vec3(0, 1, 0))
            dot = e.dot;
    harness.click(dot);
    EXPECT_NEAR(doc.camera.pitchDeg, 89.5f, 1e-4f);
    EXPECT_NEAR(doc.camera.yawDeg, yaw, 1e-4f);
    EXPECT_EQ(selected(), std::vector<uint32_t>{sphere}) << "the indicator takes the click, not selection";
}

TEST_F(ViewportTest, FramingSelectedEmptyAndAll) {
    // Nothing selected: frames everything, like frameAll.
    viewport->frameSelected();
    const OrbitCamera all = doc.camera;
    doc.camera.target = {50, 50, 50};
    viewport->frameAll();
    EXPECT_EQ(doc.camera.target, all.target);
    EXPECT_EQ(doc.camera.distance, all.distance);

    doc.selectObjects({sphere}, SelectOp::Replace);
    viewport->frameSelected();
    EXPECT_NEAR(doc.camera.target.x, 3.0f, 1e-3f);
    EXPECT_LT(doc.camera.distance, all.distance);

    // An empty scene frames the 4 x 4 x 4 box at the origin.
    doc.state = DocumentState{};
    viewport->frameAll();
    EXPECT_NEAR(glm::length(doc.camera.target), 0.0f, 1e-4f);
}

TEST_F(ViewportTest, NarrowPanelStillDrawsAndSelects) {
    harness.body = [this] {
        TransformGizmo::beginFrame();
        ImGui::SetNextWindowPos(ImVec2(100, 50));
        ImGui::SetNextWindowSize(ImVec2(180, 500));
        viewport->draw(ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize);
    };
    harness.frame(2);
    EXPECT_EQ(viewport->panelPos, glm::vec2(100, 50));
    EXPECT_EQ(viewport->panelSize, glm::vec2(180, 500));
    harness.click(screenOf({0, 0, 0}) + glm::vec2(0, 5));
    EXPECT_EQ(selected(), std::vector<uint32_t>{cube});
    EXPECT_TRUE(harness.saveBmp(std::string(ORVA_TEST_ARTIFACT_DIR) + "/viewport_narrow.bmp"));
}

} // namespace
} // namespace orva
