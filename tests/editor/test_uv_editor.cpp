#include "editor/uv_editor.h"

#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <imgui.h>
#include <imgui_internal.h>

#include "document/document.h"
#include "io/image.h"
#include "render/gl_test_context.h"
#include "render/renderer.h"

namespace orva {
namespace {

constexpr uint32_t kCube = 2; // the default scene's Cube, whose mesh the fixture replaces

// Two quads side by side that share the edge 1-4 in 3D but not in UV space: A's right side sits at
// u = 0.4, B's left side at u = 0.6. Picking the point (0.4, 0) must not take B's corner, and
// welding across the seam has two split points to join.
//   A = face 0: vertices 0 1 4 3, B = face 1: vertices 1 2 5 4.
Mesh seamMesh() {
    Mesh m;
    for (float x : {0.0f, 1.0f, 2.0f})
        m.addVertex(glm::vec3(x, 0.0f, 0.0f));
    for (float x : {0.0f, 1.0f, 2.0f})
        m.addVertex(glm::vec3(x, 1.0f, 0.0f));
    m.addFace({0, 1, 4, 3}, {{0.0f, 0.0f}, {0.4f, 0.0f}, {0.4f, 0.4f}, {0.0f, 0.4f}});
    m.addFace({1, 2, 5, 4}, {{0.6f, 0.0f}, {1.0f, 0.0f}, {1.0f, 0.4f}, {0.6f, 0.4f}});
    return m;
}

std::vector<glm::vec2> allUvs(const Mesh& mesh) {
    std::vector<glm::vec2> out;
    for (const Face& f : mesh.faces)
        out.insert(out.end(), f.uvs.begin(), f.uvs.end());
    return out;
}

// The view frames the unit square with a 5 % margin, so UV points a little below 0 are still on the
// canvas (boxes start there).
// A real ImGui context without a platform or renderer backend. Input goes through the event queue,
// one event per frame, as a backend would send it. The panel fills an 800 x 600 window at the origin.
class UvEditorTest : public testing::Test {
protected:
    void SetUp() override {
        context = ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        io.DisplaySize = ImVec2(1024, 768);
        io.DeltaTime = 1.0f / 60.0f;
        io.BackendFlags |= ImGuiBackendFlags_RendererHasTextures;

        doc.state.scene.find(kCube)->mesh = std::make_unique<Mesh>(seamMesh());
        EXPECT_TRUE(doc.enterEditMode());
        editor.statusCallback = [this](const std::string& m) { messages.push_back(m); };
        frame();
        frame();                        // the window can be hovered from the second frame on
        moveTo(screenOf({0.5f, 0.8f})); // an empty spot of the canvas: keys reach the panel
    }
    void TearDown() override { ImGui::DestroyContext(context); }

    void frame() {
        ImGui::NewFrame();
        ImGui::SetNextWindowPos(ImVec2(0, 0));
        ImGui::SetNextWindowSize(ImVec2(800, 600));
        editor.draw(&open, ImGuiWindowFlags_NoMove);
        ImGui::Render();
    }

    Mesh& mesh() { return *doc.state.scene.find(kCube)->mesh; }
    glm::vec2 screenOf(const glm::vec2& uv) const { return editor.view.toScreen(uv); }

    void moveTo(const glm::vec2& p) {
        ImGui::GetIO().AddMousePosEvent(p.x, p.y);
        frame();
    }
    void button(bool down, ImGuiMouseButton b = ImGuiMouseButton_Left) {
        ImGui::GetIO().AddMouseButtonEvent(b, down);
        frame();
    }
    void click(const glm::vec2& p, ImGuiMouseButton b = ImGuiMouseButton_Left) {
        moveTo(p);
        button(true, b);
        button(false, b);
    }
    // A left drag in steps, so the drag threshold is crossed while the button is down.
    void drag(const glm::vec2& from, const glm::vec2& to) {
        moveTo(from);
        button(true);
        for (int i = 1; i <= 4; ++i)
            moveTo(from + (to - from) * (float(i) / 4.0f));
        button(false);
    }
    void key(ImGuiKey k, bool down) {
        ImGui::GetIO().AddKeyEvent(k, down);
        frame();
    }
    void press(ImGuiKey k) {
        key(k, true);
        key(k, false);
    }

    // Finds a toolbar item by hovering over the toolbar until ImGui reports it hovered.
    glm::vec2 findItem(ImGuiID id, const char* what) {
        ImGuiWindow* window = ImGui::FindWindowByName("UV Editor");
        for (float y = window->Pos.y + 4.0f; y < window->Pos.y + 120.0f; y += 6.0f)
            for (float x = window->Pos.x + 4.0f; x < window->Pos.x + window->Size.x; x += 8.0f) {
                moveTo(glm::vec2(x, y));
                if (ImGui::GetCurrentContext()->HoveredId == id)
                    return glm::vec2(x, y);
            }
        ADD_FAILURE() << "no item " << what;
        return glm::vec2(-1.0f);
    }
    glm::vec2 findButton(const char* label) {
        return findItem(ImHashStr(label, 0, ImGui::FindWindowByName("UV Editor")->ID), label);
    }
    // The U half of the "Selection U/V" drag: a two-component drag pushes the label, then the index.
    glm::vec2 findUField() {
        const ImGuiID field = ImHashStr("##uvcenter", 0, ImGui::FindWindowByName("UV Editor")->ID);
        const int index = 0;
        return findItem(ImHashStr("", 0, ImHashData(&index, sizeof(index), field)), "##uvcenter");
    }
    void clickButton(const char* label) { click(findButton(label)); }

    ImGuiContext* context = nullptr;
    Document doc;
    Renderer renderer; // never initialised: the scene has no texture to ask it for
    UvEditor editor{doc, renderer};
    bool open = true;
    std::vector<std::string> messages;
};

const uv::Corner kA0{0, 0}, kA1{0, 1}, kA2{0, 2}, kA3{0, 3}, kB0{1, 0}, kB3{1, 3};

TEST_F(UvEditorTest, ClickSelectsOnlyTheSideOfTheSeamThatWasHitAndEmptyClickClears) {
    ASSERT_EQ(doc.state.componentType, ComponentType::Vertex);
    click(screenOf({0.4f, 0.0f}));
    EXPECT_EQ(editor.selection, (std::vector<uv::Corner>{kA1}));

    // Shift toggles another point in, Ctrl removes it again.
    key(ImGuiMod_Shift, true);
    click(screenOf({0.6f, 0.0f}));
    key(ImGuiMod_Shift, false);
    EXPECT_EQ(editor.selection, (std::vector<uv::Corner>{kA1, kB0}));
    key(ImGuiMod_Ctrl, true);
    click(screenOf({0.4f, 0.0f}));
    key(ImGuiMod_Ctrl, false);
    EXPECT_EQ(editor.selection, (std::vector<uv::Corner>{kB0}));

    click(screenOf({0.5f, 0.8f})); // nothing there
    EXPECT_TRUE(editor.selection.empty());
    EXPECT_TRUE(doc.undoStack.undoEntries.empty()) << "selecting UVs is not an undo step";
}

TEST_F(UvEditorTest, PickingFollowsTheComponentTypeAndIslandsStopAtSeams) {
    struct Case {
        ComponentType type;
        glm::vec2 at;
        std::vector<uv::Corner> expected;
    };
    const Case cases[] = {
        {ComponentType::Vertex, {0.4f, 0.0f}, {kA1}},    // not B's corner across the seam
        {ComponentType::Edge, {0.4f, 0.2f}, {kA1, kA2}}, // A's right side
        {ComponentType::Face, {0.8f, 0.2f}, {kB0, {1, 1}, {1, 2}, kB3}},
        {ComponentType::Vertex, {0.5f, 0.8f}, {}},
        {ComponentType::Face, {0.5f, 0.2f}, {}}, // in the gap between the quads
    };
    for (const Case& c : cases) {
        doc.setComponentType(c.type);
        EXPECT_EQ(editor.elementAt(editor.currentTarget(), c.at), c.expected)
            << "type " << int(c.type) << " at " << c.at.x << ", " << c.at.y;
    }

    doc.setComponentType(ComponentType::Vertex);
    moveTo(screenOf({0.2f, 0.2f}));
    press(ImGuiKey_L);
    EXPECT_EQ(editor.selection, (std::vector<uv::Corner>{kA0, kA1, kA2, kA3}));
    moveTo(screenOf({0.5f, 0.8f}));
    press(ImGuiKey_L);
    EXPECT_EQ(messages.back(), "No UV island under the mouse.");

    editor.selection = {kB0};
    clickButton("Island");
    EXPECT_EQ(editor.selection, (std::vector<uv::Corner>{kB0, {1, 1}, {1, 2}, kB3}));
}

TEST_F(UvEditorTest, BoxSelectsReplacesAddsAndInFaceModeNeedsWholeFaces) {
    // From empty canvas around quad A.
    drag(screenOf({-0.04f, -0.04f}), screenOf({0.5f, 0.5f}));
    EXPECT_EQ(editor.selection, (std::vector<uv::Corner>{kA0, kA1, kA2, kA3}));
    EXPECT_EQ(editor.modal, UvEditor::Modal::None);

    // A drag starting on a selected point with Shift held still boxes, and adds. (The box's top edge
    // runs through the start point, so B's top-left corner may fall either side of it.)
    key(ImGuiMod_Shift, true);
    drag(screenOf({0.0f, 0.4f}), screenOf({0.7f, -0.04f}));
    key(ImGuiMod_Shift, false);
    for (const uv::Corner c : {kA0, kA1, kA2, kA3, kB0})
        EXPECT_TRUE(uv::contains(editor.selection, c)) << c.face << "/" << c.corner;
    EXPECT_FALSE(uv::contains(editor.selection, uv::Corner{1, 1}));
    EXPECT_EQ(editor.modal, UvEditor::Modal::None);
    EXPECT_EQ(allUvs(mesh()), allUvs(seamMesh())) << "a box never moves UVs";

    // Face mode: the same box covers only half of B, so only A is taken.
    press(ImGuiKey_3);
    ASSERT_EQ(doc.state.componentType, ComponentType::Face);
    drag(screenOf({-0.04f, -0.04f}), screenOf({0.7f, 0.5f}));
    EXPECT_EQ(editor.selection, (std::vector<uv::Corner>{kA0, kA1, kA2, kA3}));
}

TEST_F(UvEditorTest, DraggingAnUnselectedPointSelectsAndMovesItAsOneUndoStep) {
    const glm::vec2 from = screenOf({0.0f, 0.4f});
    drag(from, from + glm::vec2(40.0f, 0.0f));
    EXPECT_EQ(editor.selection, (std::vector<uv::Corner>{kA3}));
    EXPECT_EQ(editor.modal, UvEditor::Modal::None);
    EXPECT_FALSE(doc.interacting);
    const glm::vec2 moved = mesh().faces[0].uvs[3];
    EXPECT_NEAR(moved.x, 40.0f / editor.view.zoom, 1e-4f);
    EXPECT_NEAR(moved.y, 0.4f, 1e-5f);
    ASSERT_EQ(doc.undoStack.undoEntries.size(), 1u);
    EXPECT_EQ(doc.undoStack.undoLabel(), "Move UVs");

    ASSERT_TRUE(doc.undo());
    frame();
    EXPECT_EQ(allUvs(mesh()), allUvs(seamMesh()));
    EXPECT_EQ(editor.selection, (std::vector<uv::Corner>{kA3})) << "the corner still exists after undo";
}

TEST_F(UvEditorTest, ModalMoveSnapsLocksAxesAndCancelRestoresTheStart) {
    press(ImGuiKey_G);
    EXPECT_EQ(editor.modal, UvEditor::Modal::None);
    EXPECT_EQ(messages, (std::vector<std::string>{"Select UVs first (click, drag a box, or A for all)."}));

    press(ImGuiKey_A);
    ASSERT_EQ(editor.selection.size(), 8u);
    const glm::vec2 start = screenOf({0.5f, 0.5f});
    moveTo(start);
    press(ImGuiKey_G);
    ASSERT_EQ(editor.modal, UvEditor::Modal::Move);
    EXPECT_TRUE(doc.interacting);

    // Ctrl snaps to 1/16: 0.1 UV to the right and 0.03 up become (0.125, 0).
    key(ImGuiMod_Ctrl, true);
    moveTo(screenOf({0.6f, 0.53f}));
    EXPECT_NEAR(mesh().faces[0].uvs[0].x, 0.125f, 1e-5f);
    EXPECT_NEAR(mesh().faces[0].uvs[0].y, 0.0f, 1e-5f);
    key(ImGuiMod_Ctrl, false);

    // Y locks the move to V; pressing it again frees it.
    press(ImGuiKey_Y);
    moveTo(screenOf({0.7f, 0.6f}));
    EXPECT_NEAR(mesh().faces[0].uvs[0].x, 0.0f, 1e-5f);
    EXPECT_NEAR(mesh().faces[0].uvs[0].y, 0.1f, 1e-4f);
    press(ImGuiKey_Y);
    moveTo(screenOf({0.7f, 0.6f + 1e-3f}));
    EXPECT_NEAR(mesh().faces[0].uvs[0].x, 0.2f, 1e-4f);

    // The editor's Ctrl+Z cancels first: start UVs back, nothing recorded, undo possible again.
    editor.cancelModal();
    EXPECT_EQ(editor.modal, UvEditor::Modal::None);
    EXPECT_FALSE(doc.interacting);
    EXPECT_EQ(allUvs(mesh()), allUvs(seamMesh()));
    EXPECT_TRUE(doc.undoStack.undoEntries.empty());

    // A right click cancels just the same.
    press(ImGuiKey_G);
    moveTo(start + glm::vec2(30.0f, 10.0f));
    click(start + glm::vec2(30.0f, 10.0f), ImGuiMouseButton_Right);
    EXPECT_EQ(editor.modal, UvEditor::Modal::None);
    EXPECT_EQ(allUvs(mesh()), allUvs(seamMesh()));
    EXPECT_TRUE(doc.undoStack.undoEntries.empty());
}

// The three modal transforms about the pivot (0.5, 0.2), the centre of all UVs, read at A's first
// corner (0, 0), which sits 0.5 left of and 0.2 below the pivot.
TEST_F(UvEditorTest, ModalTransformsFollowTheMouseWithLocksAndSnapping) {
    struct Case {
        const char* what;
        UvEditor::Modal kind;
        int axisLock;
        bool snap;
        glm::vec2 mouse; // the modal starts with the mouse at (1, 0.2)
        glm::vec2 expected;
    };
    const Case cases[] = {
        {"move", UvEditor::Modal::Move, -1, false, {1.1f, 0.25f}, {0.1f, 0.05f}},
        {"move snapped to 1/16", UvEditor::Modal::Move, -1, true, {1.1f, 0.23f}, {0.125f, 0.0f}},
        {"move along U", UvEditor::Modal::Move, 0, false, {1.1f, 0.25f}, {0.1f, 0.0f}},
        {"rotate a quarter turn", UvEditor::Modal::Rotate, -1, false, {0.5f, 0.7f}, {0.7f, -0.3f}},
        {"rotate snapped to 15 degrees", UvEditor::Modal::Rotate, -1, true, {0.5f, 0.71f}, {0.7f, -0.3f}},
        {"scale twice", UvEditor::Modal::Scale, -1, false, {1.5f, 0.2f}, {-0.5f, -0.2f}},
        {"scale V only", UvEditor::Modal::Scale, 1, false, {1.5f, 0.2f}, {0.0f, -0.2f}},
        {"scale snapped to 0.1", UvEditor::Modal::Scale, -1, true, {1.52f, 0.2f}, {-0.5f, -0.2f}},
    };
    for (const Case& c : cases) {
        editor.selection.clear();
        editor.selectAll(editor.currentTarget());
        const UvEditor::Target target = editor.currentTarget();
        editor.beginModal(c.kind, target, false, {1.0f, 0.2f});
        ASSERT_EQ(editor.modal, c.kind) << c.what;
        editor.axisLock = c.axisLock;
        editor.updateModal(target, c.mouse, c.snap);
        const glm::vec2 uv = mesh().faces[0].uvs[0];
        EXPECT_NEAR(uv.x, c.expected.x, 1e-4f) << c.what;
        EXPECT_NEAR(uv.y, c.expected.y, 1e-4f) << c.what;
        editor.finishModal(true);
        EXPECT_FALSE(doc.interacting) << c.what;
        ASSERT_TRUE(doc.undo()) << c.what;
        EXPECT_EQ(allUvs(mesh()), allUvs(seamMesh())) << c.what;
    }
}

TEST_F(UvEditorTest, DraggingTheSelectionFieldMovesTheSelectionAsOneUndoStep) {
    click(screenOf({0.0f, 0.0f}));
    ASSERT_EQ(editor.selection, (std::vector<uv::Corner>{kA0}));
    const glm::vec2 field = findUField();
    moveTo(field);
    button(true);
    for (int i = 1; i <= 4; ++i)
        moveTo(field + glm::vec2(5.0f * float(i), 0.0f));
    EXPECT_TRUE(doc.interacting);
    button(false);
    EXPECT_FALSE(doc.interacting);
    EXPECT_GT(mesh().faces[0].uvs[0].x, 0.05f) << "20 pixels at 0.005 per pixel";
    EXPECT_EQ(mesh().faces[0].uvs[0].y, 0.0f);
    ASSERT_EQ(doc.undoStack.undoEntries.size(), 1u);
    EXPECT_EQ(doc.undoStack.undoLabel(), "Move UVs");
}

TEST_F(UvEditorTest, AModalEndsUnrecordedWhenTheMeshChangesUnderneath) {
    press(ImGuiKey_A);
    moveTo(screenOf({0.5f, 0.5f}));
    press(ImGuiKey_S);
    ASSERT_EQ(editor.modal, UvEditor::Modal::Scale);
    moveTo(screenOf({0.9f, 0.9f}));
    // Someone else replaces the mesh (as an undo would) while the scale runs.
    doc.state.scene.find(kCube)->mesh = std::make_unique<Mesh>(seamMesh());
    frame();
    EXPECT_EQ(editor.modal, UvEditor::Modal::None);
    EXPECT_FALSE(doc.interacting);
    EXPECT_TRUE(doc.undoStack.undoEntries.empty());
    click(screenOf({0.9f, 0.9f})); // the click that would have confirmed changes nothing now
    EXPECT_EQ(allUvs(mesh()), allUvs(seamMesh()));
}

TEST_F(UvEditorTest, WeldJoinsTheSplitPointsOnceThenReportsNothingToDo) {
    clickButton("Weld");
    EXPECT_EQ(messages.back(), "Select the UV points to weld first.");

    // Both sides of the seam: A's right side and B's left side.
    drag(screenOf({0.3f, -0.04f}), screenOf({0.7f, 0.5f}));
    ASSERT_EQ(editor.selection, (std::vector<uv::Corner>{kA1, kA2, kB0, kB3}));
    clickButton("Weld");
    EXPECT_EQ(messages.back(), "Welded 2 UV point(s)");
    EXPECT_NEAR(mesh().faces[0].uvs[1].x, 0.5f, 1e-5f);
    EXPECT_NEAR(mesh().faces[1].uvs[0].x, 0.5f, 1e-5f);
    ASSERT_EQ(doc.undoStack.undoEntries.size(), 1u);
    EXPECT_EQ(doc.undoStack.undoLabel(), "Weld UVs");

    clickButton("Weld");
    EXPECT_EQ(messages.back(), "Nothing to weld: the selected points are not split.");
    EXPECT_EQ(doc.undoStack.undoEntries.size(), 1u);
}

TEST_F(UvEditorTest, OneShotCommandsActOnEverythingWhenNothingIsSelected) {
    // Fit 0-1 on all shown UVs: they span [0, 1] x [0, 0.4] already, so only a uniform fit keeps them.
    editor.fitSelection(editor.currentTarget());
    EXPECT_EQ(doc.undoStack.undoLabel(), "Fit UVs");
    EXPECT_NEAR(mesh().faces[1].uvs[1].x, 1.0f, 1e-5f);
    EXPECT_NEAR(mesh().faces[1].uvs[2].y, 0.4f, 1e-5f);

    // A single point has zero extent: fitting it does nothing, not even an undo step.
    click(screenOf({0.0f, 0.0f}));
    const size_t steps = doc.undoStack.undoEntries.size();
    editor.fitSelection(editor.currentTarget());
    EXPECT_EQ(doc.undoStack.undoEntries.size(), steps);

    editor.selection.clear();
    clickButton("Flip V");
    EXPECT_EQ(doc.undoStack.undoLabel(), "Flip UVs");
    EXPECT_NEAR(mesh().faces[0].uvs[0].y, 0.4f, 1e-5f);
    EXPECT_NEAR(mesh().faces[0].uvs[3].y, 0.0f, 1e-5f);
}

TEST_F(UvEditorTest, LayoutButtonCallsBackAndNamesTheOtherLayout) {
    int calls = 0;
    editor.layoutCallback = [&] { ++calls; };
    frame();
    clickButton("Large View");
    EXPECT_EQ(calls, 1);
    editor.separateDock = true;
    frame();
    clickButton("Small View");
    EXPECT_EQ(calls, 2);
}

TEST_F(UvEditorTest, AnotherEditObjectClearsTheSelectionAndReframes) {
    press(ImGuiKey_A);
    ASSERT_FALSE(editor.selection.empty());
    editor.view.zoom = 5000.0f;
    doc.exitEditMode();
    doc.selectObjects({1}, SelectOp::Replace); // the Plane
    ASSERT_TRUE(doc.enterEditMode());
    frame();
    EXPECT_TRUE(editor.selection.empty());
    EXPECT_LT(editor.view.zoom, 1000.0f);
}

TEST_F(UvEditorTest, OutsideEditModeThePanelOnlyPreviews) {
    doc.exitEditMode();
    frame();
    EXPECT_TRUE(editor.currentTarget().mesh != nullptr);
    press(ImGuiKey_A);
    drag(screenOf({-0.04f, -0.04f}), screenOf({0.5f, 0.5f}));
    EXPECT_TRUE(editor.selection.empty());
    EXPECT_EQ(allUvs(mesh()), allUvs(seamMesh()));

    doc.selectObjects({}, SelectOp::Replace);
    frame();
    EXPECT_EQ(editor.currentTarget().mesh, nullptr);
}

// The texture repeats once per UV cell, its first row along each cell's top edge (V = v + 1); only
// the cell (0, 0) is drawn untinted, and beyond 400 visible cells only that cell is drawn at all.
TEST_F(UvEditorTest, TextureBackgroundTilesUnitCellsUprightAndGivesUpWhenTooMany) {
    std::string error;
    ASSERT_TRUE(test::ensureGlContext(&error)) << error;
    const int material = doc.activeMaterialIndex(true);
    ASSERT_GE(material, 0);
    ASSERT_TRUE(doc.setMaterialTexture(material, io::makeCheckerTexture(8, 2), "checker"));
    const uint32_t handle = renderer.textureHandle(doc.state.scene.textures.back().data);
    ASSERT_NE(handle, 0u);

    // The image quads of the panel's draw list: (top-left position of each untinted quad, count).
    struct Images {
        int quads = 0, untinted = 0;
        glm::vec2 untintedTopLeft{0.0f};
    };
    auto images = [&] {
        frame();
        Images out;
        const ImDrawList* list = ImGui::FindWindowByName("UV Editor")->DrawList;
        for (const ImDrawCmd& cmd : list->CmdBuffer) {
            // The font atlas is never uploaded here, so only raw texture ids are compared.
            if (cmd.TexRef._TexData != nullptr || cmd.TexRef._TexID != ImTextureID(handle))
                continue;
            for (unsigned i = 0; i < cmd.ElemCount; i += 6) {
                ++out.quads;
                for (unsigned k = 0; k < 6; ++k) {
                    const ImDrawVert& v =
                        list->VtxBuffer[int(cmd.VtxOffset + list->IdxBuffer[int(cmd.IdxOffset + i + k)])];
                    if (v.col == IM_COL32_WHITE && v.uv.x == 0.0f && v.uv.y == 0.0f) {
                        ++out.untinted;
                        out.untintedTopLeft = glm::vec2(v.pos.x, v.pos.y);
                        break;
                    }
                }
            }
        }
        return out;
    };

    // The framed view shows u in about [-0.45, 1.45] and v in [-0.06, 1.06]: 3 x 3 cells.
    const Images framed = images();
    EXPECT_EQ(framed.quads, 9);
    EXPECT_EQ(framed.untinted, 1);
    const glm::vec2 topLeft = screenOf({0.0f, 1.0f});
    EXPECT_NEAR(framed.untintedTopLeft.x, topLeft.x, 0.5f);
    EXPECT_NEAR(framed.untintedTopLeft.y, topLeft.y, 0.5f);

    editor.view.zoom = UvView::kMinZoom; // hundreds of thousands of cells
    const Images far = images();
    EXPECT_EQ(far.quads, 1);
    EXPECT_EQ(far.untinted, 1);
}

} // namespace
} // namespace orva
