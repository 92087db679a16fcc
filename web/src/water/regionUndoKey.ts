// Ctrl-Z on the region screen takes back the newest polygon edit, Ctrl-Shift-Z or Ctrl-Y makes it
// again, when the app says there is one.
import type { KeyPress } from "../app/commands";
import type { Intent } from "../app/intents";
import type { ViewState } from "../app/ViewContext";
import type { WindowState } from "../app/WindowState";

/** What a key press asks of the edit history: Z with Ctrl (or Meta), and neither Alt nor Shift, undoes; with Shift, or
 * Y with Ctrl and without Shift, redoes. */
export function historyKey(press: KeyPress): "undo" | "redo" | null {
    if (!(press.ctrlKey || press.metaKey) || press.altKey) return null;
    const isZ = press.key.toLowerCase() === "z" || press.code === "KeyZ";
    const isY = press.key.toLowerCase() === "y" || press.code === "KeyY";
    if (isZ) return press.shiftKey ? "redo" : "undo";
    return isY && !press.shiftKey ? "redo" : null;
}

/** A text field keeps its own undo of what was typed. */
export function isTextEntry(target: EventTarget | null): boolean {
    if (!(target instanceof HTMLElement)) return false;
    if (target.isContentEditable || target instanceof HTMLTextAreaElement) return true;
    return target instanceof HTMLInputElement && !["range", "checkbox", "radio", "button"].includes(target.type);
}

/**
 * The `undo` or `redo` a key press sends: only for their keys, while the region screen is shown with nothing
 * laid over it (a sheet, a dialog, an alert, the onboarding, Preferences), outside a text field, and while the
 * app says it applies.
 */
export function regionUndoIntent(
    press: KeyPress,
    state: WindowState,
    view: ViewState,
    isTyping: boolean,
): Intent | null {
    const step = historyKey(press);
    if (step === null || isTyping || view.preferencesOpen) return null;
    if (state.createProject !== null || state.fileDialog !== null) return null;
    const project = state.project;
    if (project === null || project.showCloseAlert || project.showOnboarding) return null;
    const region = project.region;
    if (region === null || region === undefined) return null;
    return (step === "undo" ? region.canUndo : region.canRedo) ? { intent: step } : null;
}
