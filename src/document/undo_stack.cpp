#include "document/undo_stack.h"

#include <utility>

namespace orva {

namespace {

// Moves the back entry of `from` onto `to`, carrying its label and the current state, and makes
// the entry's state current. The two sides together never exceed the capacity: only push adds.
bool swapBack(std::deque<UndoStack::Entry>& from, std::deque<UndoStack::Entry>& to, DocumentState& current) {
    if (from.empty())
        return false;
    UndoStack::Entry entry = std::move(from.back());
    from.pop_back();
    to.push_back({std::move(entry.label), std::move(current)});
    current = std::move(entry.state);
    return true;
}

} // namespace

void UndoStack::push(std::string label, DocumentState state) {
    undoEntries.push_back({std::move(label), std::move(state)});
    while (undoEntries.size() > capacity)
        undoEntries.pop_front();
    redoEntries.clear();
}

bool UndoStack::undo(DocumentState& current) { return swapBack(undoEntries, redoEntries, current); }

bool UndoStack::redo(DocumentState& current) { return swapBack(redoEntries, undoEntries, current); }

void UndoStack::clear() {
    undoEntries.clear();
    redoEntries.clear();
}

const std::string& UndoStack::undoLabel() const {
    static const std::string kNone;
    return undoEntries.empty() ? kNone : undoEntries.back().label;
}

const std::string& UndoStack::redoLabel() const {
    static const std::string kNone;
    return redoEntries.empty() ? kNone : redoEntries.back().label;
}

} // namespace orva
