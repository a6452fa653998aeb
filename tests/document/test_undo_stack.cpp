#include "document/undo_stack.h"

#include <gtest/gtest.h>

namespace orva {
namespace {

// A state told apart by its one object's name.
DocumentState stateNamed(const std::string& name) {
    DocumentState s;
    s.scene.createObject(ObjectType::Mesh, name);
    return s;
}

std::string nameOf(const DocumentState& s) { return s.scene.objects.empty() ? "" : s.scene.objects[0]->name; }

TEST(UndoStack, KeepsOnlyTheLastHundredSteps) {
    UndoStack stack;
    for (int i = 0; i < 101; ++i)
        stack.push("Step " + std::to_string(i), stateNamed("S" + std::to_string(i)));
    DocumentState current = stateNamed("now");
    int undone = 0;
    while (stack.undo(current))
        ++undone;
    EXPECT_EQ(undone, 100);
    EXPECT_EQ(nameOf(current), "S1") << "the oldest step was dropped";
    EXPECT_TRUE(stack.undoLabel().empty());
    EXPECT_EQ(stack.redoLabel(), "Step 1");
}

TEST(UndoStack, EmptyHistoryChangesNothing) {
    UndoStack stack;
    DocumentState current = stateNamed("now");
    EXPECT_FALSE(stack.undo(current));
    EXPECT_FALSE(stack.redo(current));
    EXPECT_EQ(nameOf(current), "now");
    EXPECT_TRUE(stack.undoLabel().empty());
    EXPECT_TRUE(stack.redoLabel().empty());
}

TEST(UndoStack, LabelsTravelWithTheirEntriesAndAPushEndsTheRedoBranch) {
    UndoStack stack;
    DocumentState current = stateNamed("c");
    stack.push("First", stateNamed("a"));
    stack.push("Second", stateNamed("b"));
    ASSERT_TRUE(stack.undo(current));
    EXPECT_EQ(nameOf(current), "b");
    EXPECT_EQ(stack.undoLabel(), "First");
    EXPECT_EQ(stack.redoLabel(), "Second");
    stack.push("Third", stateNamed("x"));
    EXPECT_TRUE(stack.redoLabel().empty());
    EXPECT_FALSE(stack.redo(current));
    EXPECT_EQ(nameOf(current), "b");
}

// Snapshots are moved, never copied: after undo and redo the very same objects and meshes are
// current again (a copy would give every mesh a fresh uid).
TEST(UndoStack, UndoRedoMovesTheSameObjects) {
    UndoStack stack;
    stack.push("Edit", stateNamed("before"));
    DocumentState current = stateNamed("after");
    current.selection.add(current.scene.objects[0]->id);
    const SceneObject* object = current.scene.objects[0].get();
    const Mesh* mesh = object->mesh.get();
    const uint64_t uid = mesh->uid;

    ASSERT_TRUE(stack.undo(current));
    EXPECT_EQ(nameOf(current), "before");
    ASSERT_TRUE(stack.redo(current));
    EXPECT_EQ(current.scene.objects[0].get(), object);
    EXPECT_EQ(current.scene.objects[0]->mesh.get(), mesh);
    EXPECT_EQ(current.scene.objects[0]->mesh->uid, uid);
    EXPECT_EQ(current.selection.ids, std::vector<uint32_t>{object->id});
    EXPECT_EQ(stack.undoLabel(), "Edit");
}

TEST(UndoStack, ClearEmptiesBothSides) {
    UndoStack stack;
    DocumentState current;
    stack.push("A", stateNamed("a"));
    stack.push("B", stateNamed("b"));
    stack.undo(current);
    stack.clear();
    EXPECT_TRUE(stack.undoEntries.empty());
    EXPECT_TRUE(stack.redoEntries.empty());
}

} // namespace
} // namespace orva
