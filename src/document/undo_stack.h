#pragma once

#include "document/document_state.h"

#include <cstddef>
#include <deque>
#include <string>

// The document's undo and redo history of whole-state snapshots, each with the label the Edit
// menu shows after "Undo " or "Redo ". Entries are moved in and out, never copied: the document
// copies its state once, when it takes a checkpoint.
namespace orva {

class UndoStack {
public:
    struct Entry {
        std::string label;
        DocumentState state;
    };

    std::deque<Entry> undoEntries; // oldest first; the back is undone next
    std::deque<Entry> redoEntries; // the back is redone next
    size_t capacity = 100;         // the most undo entries kept

    explicit UndoStack(size_t capacity = 100) : capacity(capacity) {}

    // Records `state` as it was before a change; drops the oldest entries beyond the capacity and
    // ends the redo branch.
    void push(std::string label, DocumentState state);
    // Swap `current` with the most recent snapshot of one side; false (and `current` untouched)
    // when that side is empty. The entry moved to the other side keeps the label.
    bool undo(DocumentState& current);
    bool redo(DocumentState& current);
    void clear();

    // Labels of the next undo and redo, empty when there is none.
    const std::string& undoLabel() const;
    const std::string& redoLabel() const;
};

} // namespace orva
