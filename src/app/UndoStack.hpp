// UndoStack: the undo steps of one window's edits, undone newest first, with no redo.
#pragma once

#include <functional>
#include <vector>

namespace pelagrin {

/// Undo actions in the order they were registered. Undoing runs and forgets the newest one; nothing is kept
/// for a redo, and an action registers nothing itself. App thread only.
class UndoStack {
public:
    /// Adds `action`, which puts back what the edit about to happen changes.
    void registerUndo(std::function<void()> action);

    bool canUndo() const { return !actions_.empty(); }

    /// Runs the newest action and drops it; only while `canUndo()`.
    void undo();

private:
    std::vector<std::function<void()>> actions_;
};

} // namespace pelagrin
