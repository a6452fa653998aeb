#include "editor/gizmo_drag.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include "document/document.h"
#include "editor/editor_settings.h"

namespace orva {
namespace {

void expectNear(const glm::vec3& a, const glm::vec3& b, float eps = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, eps) << "x of (" << a.x << ", " << a.y << ", " << a.z << ")";
    EXPECT_NEAR(a.y, b.y, eps) << "y of (" << a.x << ", " << a.y << ", " << a.z << ")";
    EXPECT_NEAR(a.z, b.z, eps) << "z of (" << a.x << ", " << a.y << ", " << a.z << ")";
}

glm::mat4 translation(const glm::vec3& t) { return glm::translate(glm::mat4(1.0f), t); }

// A parent turned and scaled, so that moving its child in world space needs the parent's inverse,
// and a naive matrix decomposition would disturb the child's rotation and scale.
struct ParentChild {
    Document doc;
    uint32_t parent = 0, child = 0;
    ParentChild() {
        SceneObject* p = doc.addPrimitive(PrimitiveType::Cube);
        p->transform.position = {1, 0, 0};
        p->transform.rotationEulerDeg = {0, 90, 0};
        p->transform.scale = {2, 2, 2};
        parent = p->id;
        SceneObject* c = doc.addPrimitive(PrimitiveType::Cube);
        c->transform.position = {3, 0, 0};
        c->transform.rotationEulerDeg = {10, 20, 30};
        c->transform.scale = {1, 0.5f, 1};
        child = c->id;
        EXPECT_TRUE(doc.setParent(child, parent));
    }
};

TEST(GizmoDrag, ChildOfADraggedParentIsNotRecorded) {
    ParentChild s;
    s.doc.selectObjects({s.child, s.parent}, SelectOp::Replace);
    const GizmoDragRecord record = recordGizmoDrag(s.doc);
    ASSERT_EQ(record.objects.size(), 1u);
    EXPECT_EQ(record.objects[0].first, s.parent);
}

TEST(GizmoDrag, MoveChangesOnlyThePositionOfAChildUnderATurnedParent) {
    ParentChild s;
    s.doc.selectObjects({s.child}, SelectOp::Replace);
    const Transform before = s.doc.state.scene.find(s.child)->transform;
    const glm::vec3 worldBefore(s.doc.state.scene.worldMatrix(s.child)[3]);
    const GizmoDragRecord record = recordGizmoDrag(s.doc);

    glm::mat4 start;
    ASSERT_TRUE(computeGizmoMatrix(s.doc, kGizmoWorld, &start));
    // Applied twice: the result comes from the recorded start each time, never accumulates.
    for (int i = 0; i < 2; ++i)
        applyGizmoDrag(s.doc, record, kGizmoMove, start, translation(glm::vec3(0.5f, 0, -1)) * start);

    const Transform& after = s.doc.state.scene.find(s.child)->transform;
    expectNear(glm::vec3(s.doc.state.scene.worldMatrix(s.child)[3]), worldBefore + glm::vec3(0.5f, 0, -1));
    EXPECT_EQ(after.rotationEulerDeg, before.rotationEulerDeg);
    EXPECT_EQ(after.scale, before.scale);
}

TEST(GizmoDrag, RotateAppliesTheChangeToEachRecordedWorldMatrix) {
    ParentChild s;
    s.doc.selectObjects({s.parent}, SelectOp::Replace);
    const glm::mat4 childWorld = s.doc.state.scene.worldMatrix(s.child);
    const GizmoDragRecord record = recordGizmoDrag(s.doc);
    glm::mat4 start;
    ASSERT_TRUE(computeGizmoMatrix(s.doc, kGizmoWorld, &start));
    const glm::mat4 turn = glm::rotate(glm::mat4(1.0f), glm::radians(45.0f), glm::vec3(0, 0, 1));
    const glm::mat4 current = translation(glm::vec3(start[3])) * turn * translation(-glm::vec3(start[3])) * start;
    applyGizmoDrag(s.doc, record, kGizmoRotate, start, current);

    // The child followed its parent: the same change applied to its world matrix.
    const glm::mat4 expected = current * glm::inverse(start) * childWorld;
    const glm::mat4 got = s.doc.state.scene.worldMatrix(s.child);
    for (int c = 0; c < 4; ++c)
        expectNear(glm::vec3(got[c]), glm::vec3(expected[c]), 1e-3f);
}

TEST(GizmoDrag, GizmoMatrixNeedsASelectedExistingActiveObject) {
    Document doc;
    doc.state = DocumentState{};
    glm::mat4 m(1.0f);
    EXPECT_FALSE(computeGizmoMatrix(doc, kGizmoWorld, &m));
    SceneObject* cube = doc.addPrimitive(PrimitiveType::Cube);
    cube->transform.position = {2, 3, 4};
    ASSERT_TRUE(computeGizmoMatrix(doc, kGizmoWorld, &m));
    expectNear(glm::vec3(m[3]), {2, 3, 4});
    // Active but no longer selected (a state a broken file could hold): no gizmo.
    doc.state.selection.ids.clear();
    EXPECT_FALSE(computeGizmoMatrix(doc, kGizmoWorld, &m));
}

// Edit Mode on a cube that is moved, turned and scaled: the gizmo sits at the mean world position
// of the selected vertices, and a world-space move reaches the local positions through the inverse.
TEST(GizmoDrag, EditModeGizmoAndVertexMove) {
    Document doc;
    SceneObject* cube = doc.addPrimitive(PrimitiveType::Cube);
    cube->transform.position = {5, 0, 0};
    cube->transform.rotationEulerDeg = {0, 0, 90};
    cube->transform.scale = {3, 3, 3};
    ASSERT_TRUE(doc.enterEditMode());
    glm::mat4 m;
    EXPECT_FALSE(computeGizmoMatrix(doc, kGizmoWorld, &m)) << "nothing selected";

    doc.selectVertices({0, 1}, SelectOp::Replace);
    Mesh* mesh = doc.editMesh();
    const glm::mat4 world = doc.state.scene.worldMatrix(cube->id);
    const glm::vec3 w0(world * glm::vec4(mesh->vertices[0].position, 1));
    const glm::vec3 w1(world * glm::vec4(mesh->vertices[1].position, 1));
    const glm::vec3 untouched = mesh->vertices[2].position;

    ASSERT_TRUE(computeGizmoMatrix(doc, kGizmoWorld, &m));
    expectNear(glm::vec3(m[3]), (w0 + w1) * 0.5f);
    expectNear(glm::vec3(m[0]), {1, 0, 0});
    glm::mat4 local;
    ASSERT_TRUE(computeGizmoMatrix(doc, kGizmoLocal, &local));
    expectNear(glm::vec3(local[0]), {0, 1, 0}); // turned 90 degrees about Z, scale removed
    expectNear(glm::vec3(local[1]), {-1, 0, 0});

    GizmoDragRecord record = recordGizmoDrag(doc);
    ASSERT_EQ(record.vertices.size(), 2u);
    record.vertices.emplace_back(999u, glm::vec3(0)); // out of range: skipped, no crash
    const uint64_t revision = mesh->revision;
    applyGizmoDrag(doc, record, kGizmoMove, m, translation(glm::vec3(0, 0, 2)) * m);

    expectNear(glm::vec3(world * glm::vec4(mesh->vertices[0].position, 1)), w0 + glm::vec3(0, 0, 2));
    expectNear(glm::vec3(world * glm::vec4(mesh->vertices[1].position, 1)), w1 + glm::vec3(0, 0, 2));
    EXPECT_EQ(mesh->vertices[2].position, untouched);
    EXPECT_GT(mesh->revision, revision);
}

// An object flattened to zero on one axis has no inverse: turning it, or moving its children or
// vertices through it, must leave it unchanged instead of filling it with NaN. Moving it still works.
TEST(GizmoDrag, ZeroScaleNeverSpreadsNan) {
    ParentChild s;
    s.doc.state.scene.find(s.parent)->transform.scale = {0, 2, 2};
    const glm::mat4 turn = glm::rotate(glm::mat4(1.0f), glm::radians(30.0f), glm::vec3(0, 1, 0));

    s.doc.selectObjects({s.parent}, SelectOp::Replace);
    glm::mat4 start;
    ASSERT_TRUE(computeGizmoMatrix(s.doc, kGizmoWorld, &start));
    GizmoDragRecord record = recordGizmoDrag(s.doc);
    const Transform parentBefore = s.doc.state.scene.find(s.parent)->transform;
    applyGizmoDrag(s.doc, record, kGizmoRotate, start, turn * start);
    EXPECT_EQ(s.doc.state.scene.find(s.parent)->transform.rotationEulerDeg, parentBefore.rotationEulerDeg);
    applyGizmoDrag(s.doc, record, kGizmoMove, start, translation(glm::vec3(1, 0, 0)) * start);
    expectNear(s.doc.state.scene.find(s.parent)->transform.position, parentBefore.position + glm::vec3(1, 0, 0));

    // The child sits under the flattened parent: a move cannot be mapped into its parent's space.
    s.doc.selectObjects({s.child}, SelectOp::Replace);
    ASSERT_TRUE(computeGizmoMatrix(s.doc, kGizmoWorld, &start));
    record = recordGizmoDrag(s.doc);
    const glm::vec3 childBefore = s.doc.state.scene.find(s.child)->transform.position;
    applyGizmoDrag(s.doc, record, kGizmoMove, start, translation(glm::vec3(1, 0, 0)) * start);
    EXPECT_EQ(s.doc.state.scene.find(s.child)->transform.position, childBefore);

    // Edit Mode on the flattened parent: its vertices stay put.
    s.doc.selectObjects({s.parent}, SelectOp::Replace);
    ASSERT_TRUE(s.doc.enterEditMode());
    s.doc.selectAllComponents(true);
    ASSERT_TRUE(computeGizmoMatrix(s.doc, kGizmoLocal, &start));
    EXPECT_EQ(glm::vec3(start[0]), glm::vec3(1, 0, 0)) << "a zero axis falls back to the world axis";
    const std::vector<Vertex> vertices = s.doc.editMesh()->vertices;
    applyGizmoDrag(s.doc, recordGizmoDrag(s.doc), kGizmoMove, start, translation(glm::vec3(0, 1, 0)) * start);
    for (size_t i = 0; i < vertices.size(); ++i)
        EXPECT_EQ(s.doc.editMesh()->vertices[i].position, vertices[i].position) << "vertex " << i;
}

} // namespace
} // namespace orva
