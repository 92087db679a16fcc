// UndoStack: last in, first out.
#include "app/UndoStack.hpp"

#include <cassert>
#include <utility>

namespace pelagrin {

void UndoStack::registerUndo(std::function<void()> action) {
    actions_.push_back(std::move(action));
}

void UndoStack::undo() {
    assert(canUndo());
    // Taken off first, so that the action finds the stack as it will stay.
    const std::function<void()> action = std::move(actions_.back());
    actions_.pop_back();
    action();
}

} // namespace pelagrin
