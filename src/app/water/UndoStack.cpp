// UndoStack: edits moved between the done and undone lists.
#include "app/water/UndoStack.hpp"

#include <cassert>
#include <utility>

namespace pelagrin {

void UndoStack::record(std::function<void()> undo, std::function<void()> redo) {
    done_.push_back({std::move(undo), std::move(redo)});
    undone_.clear();
}

void UndoStack::undo() {
    assert(canUndo());
    // Moved first, so that the action finds the lists as they will stay.
    undone_.push_back(std::move(done_.back()));
    done_.pop_back();
    undone_.back().undo();
}

void UndoStack::redo() {
    assert(canRedo());
    done_.push_back(std::move(undone_.back()));
    undone_.pop_back();
    done_.back().redo();
}

} // namespace pelagrin
