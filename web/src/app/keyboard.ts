// The keys of the dialogs and sheets laid over a window: Escape cancels the topmost, Return confirms it.
import { confirmIntent } from "./FileDialog";
import type { Intent } from "./intents";
import type { ViewState } from "./ViewContext";
import type { WindowState } from "./WindowState";

export type ModalKeyAction = { kind: "intent"; intent: Intent } | { kind: "closePreferences" } | null;

/**
 * What Escape or Return does, given what is shown, from the top down: Preferences, the file dialog (it may
 * sit over the creation sheet), the creation sheet, the keep-changes alert.
 */
export function modalKeyAction(key: string, state: WindowState, view: ViewState): ModalKeyAction {
    if (key !== "Escape" && key !== "Enter") return null;
    const intent = (value: Intent | null): ModalKeyAction =>
        value === null ? null : { kind: "intent", intent: value };
    if (view.preferencesOpen) return key === "Escape" ? { kind: "closePreferences" } : null;
    if (state.fileDialog !== null) {
        return key === "Escape"
            ? intent({ intent: "fileDialogCancel" })
            : intent(confirmIntent(state.fileDialog, view.fileDialogSelection, view.fileDialogName));
    }
    if (state.createProject !== null) {
        if (key === "Escape") return intent({ intent: "cancelCreateProject" });
        return state.createProject.canCreate ? intent({ intent: "createProject" }) : null;
    }
    if (state.project !== null && state.project.showCloseAlert && key === "Escape") {
        return intent({ intent: "closeAlert", choice: "cancel" });
    }
    return null;
}
