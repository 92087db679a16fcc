// Ctrl-Z (⌘Z) on the region screen: takes back the newest polygon edit, when the app says there is one.
import type { KeyPress } from "../app/commands";
import type { Intent } from "../app/intents";
import type { ViewState } from "../app/ViewContext";
import type { WindowState } from "../app/WindowState";

/** Z with Ctrl, or with ⌘ on a Mac keyboard, and neither Alt nor Shift (Shift-Z would be a redo). */
export function isUndoKey(press: KeyPress): boolean {
    const key = press.key.toLowerCase() === "z" || press.code === "KeyZ";
    return key && (press.ctrlKey || press.metaKey) && !press.altKey && !press.shiftKey;
}

/** A text field keeps its own undo of what was typed. */
export function isTextEntry(target: EventTarget | null): boolean {
    if (!(target instanceof HTMLElement)) return false;
    if (target.isContentEditable || target instanceof HTMLTextAreaElement) return true;
    return target instanceof HTMLInputElement && !["range", "checkbox", "radio", "button"].includes(target.type);
}

/**
 * The `undo` a key press sends: only for the undo key, while the region screen is shown with nothing laid over
 * it (a sheet, a dialog, an alert, the onboarding, Preferences), outside a text field, and while the app says
 * an undo applies.
 */
export function regionUndoIntent(
    press: KeyPress,
    state: WindowState,
    view: ViewState,
    isTyping: boolean,
): Intent | null {
    if (!isUndoKey(press) || isTyping || view.preferencesOpen) return null;
    if (state.createProject !== null || state.fileDialog !== null) return null;
    const project = state.project;
    if (project === null || project.showCloseAlert || project.showOnboarding) return null;
    return project.region?.canUndo === true ? { intent: "undo" } : null;
}
