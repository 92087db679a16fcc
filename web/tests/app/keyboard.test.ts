import { describe, expect, it } from "vitest";
import { modalKeyAction } from "../../src/app/keyboard";
import { initialViewState } from "../../src/app/ViewContext";
import { decodeChanges, type WindowState } from "../../src/app/WindowState";
import { projectChanges, welcomeChanges } from "../support";

const sheet = { projectName: "New Simulation", location: "/home/u/Documents", errorMessage: null, canCreate: true };
const dialog = {
    title: "Choose Project Location",
    confirm: "Choose",
    choosesFolders: true,
    folder: "/home/u",
    parent: "/home",
    entries: [],
    error: null,
};

function state(changes: Record<string, unknown>): WindowState {
    return decodeChanges(changes) as WindowState;
}

describe("Escape and Return act on the topmost sheet or dialog", () => {
    it("Return creates from the creation sheet only while Create is enabled; Escape cancels it", () => {
        const shown = state({ ...welcomeChanges(), createProject: sheet });
        expect(modalKeyAction("Enter", shown, initialViewState)).toEqual({ kind: "intent", intent: { intent: "createProject" } });
        expect(modalKeyAction("Escape", shown, initialViewState)).toEqual({
            kind: "intent",
            intent: { intent: "cancelCreateProject" },
        });
        const disabled = state({ ...welcomeChanges(), createProject: { ...sheet, projectName: "  ", canCreate: false } });
        expect(modalKeyAction("Enter", disabled, initialViewState)).toBeNull();
    });

    it("a folder dialog over the sheet takes the keys first", () => {
        const both = state({ ...welcomeChanges(), createProject: sheet, fileDialog: dialog });
        expect(modalKeyAction("Escape", both, initialViewState)).toEqual({ kind: "intent", intent: { intent: "fileDialogCancel" } });
        expect(modalKeyAction("Enter", both, initialViewState)).toEqual({
            kind: "intent",
            intent: { intent: "fileDialogChoose", path: "/home/u" },
        });
    });

    it("Escape is the alert's Cancel and closes Preferences; other keys do nothing", () => {
        const alert = state(projectChanges({ showCloseAlert: true, isDirty: true }));
        expect(modalKeyAction("Escape", alert, initialViewState)).toEqual({
            kind: "intent",
            intent: { intent: "closeAlert", choice: "cancel" },
        });
        expect(modalKeyAction("Enter", alert, initialViewState)).toBeNull();
        expect(modalKeyAction("Escape", alert, { ...initialViewState, preferencesOpen: true })).toEqual({
            kind: "closePreferences",
        });
        expect(modalKeyAction("a", alert, initialViewState)).toBeNull();
        expect(modalKeyAction("Escape", state(welcomeChanges()), initialViewState)).toBeNull();
    });
});
