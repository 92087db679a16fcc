// UndoStack: the undo and redo steps of one window's edits, undone newest first.
#pragma once

#include <functional>
#include <vector>

namespace pelagrin {

/// Edits as pairs of actions, one that takes an edit back and one that makes it again. Undoing moves the
/// newest edit onto the redo list, redoing moves it back; a new edit forgets what could be redone. Neither
/// action records anything itself. App thread only.
class UndoStack {
public:
    /// Adds the edit about to happen: `undo` puts back what it changes, `redo` makes it again.
    void record(std::function<void()> undo, std::function<void()> redo);

    bool canUndo() const { return !done_.empty(); }
    bool canRedo() const { return !undone_.empty(); }

    /// Takes back the newest edit; only while `canUndo()`.
    void undo();
    /// Makes the newest undone edit again; only while `canRedo()`.
    void redo();

private:
    struct Step {
        std::function<void()> undo;
        std::function<void()> redo;
    };

    std::vector<Step> done_;
    std::vector<Step> undone_;
};

} // namespace pelagrin
