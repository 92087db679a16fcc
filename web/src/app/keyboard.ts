// The keys of the dialogs and sheets laid over a window: Escape cancels the topmost, Enter confirms it.
import { confirmIntent, replaceIntent, replaceQuestion } from "./FileDialog";
import type { Intent } from "./intents";
import type { ViewState } from "./ViewContext";
import type { WindowState } from "./WindowState";

export type ModalKeyAction =
    | { kind: "intent"; intent: Intent }
    | { kind: "closePreferences" }
    | { kind: "view"; patch: Partial<ViewState> }
    | null;

/**
 * What Escape or Enter does, given what is shown, from the top down: Preferences, the app's alert, the file
 * dialog (it may sit over the creation sheet; its replace question first), the creation sheet, the
 * keep-changes alert.
 */
export function modalKeyAction(key: string, state: WindowState, view: ViewState): ModalKeyAction {
    if (key !== "Escape" && key !== "Enter") return null;
    const intent = (value: Intent | null): ModalKeyAction =>
        value === null ? null : { kind: "intent", intent: value };
    if (view.preferencesOpen) return key === "Escape" ? { kind: "closePreferences" } : null;
    if (state.alert !== null) return intent({ intent: "dismissAlert" });
    const dialog = state.fileDialog;
    if (dialog !== null && view.fileDialogNewFolder !== null) {
        return key === "Escape"
            ? { kind: "view", patch: { fileDialogNewFolder: null } }
            : intent({ intent: "fileDialogNewFolder", name: view.fileDialogNewFolder });
    }
    if (dialog !== null && view.fileDialogReplacing !== null) {
        return key === "Escape"
            ? { kind: "view", patch: { fileDialogReplacing: null } }
            : intent(replaceIntent(dialog, view.fileDialogReplacing));
    }
    if (dialog !== null) {
        if (key === "Escape") return intent({ intent: "fileDialogCancel" });
        const confirm = confirmIntent(dialog, view.fileDialogSelection, view.fileDialogName);
        const question = replaceQuestion(dialog, confirm);
        return question === null ? intent(confirm) : { kind: "view", patch: { fileDialogReplacing: question } };
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
