import { describe, expect, it } from "vitest";
import { modalKeyAction } from "../../src/app/keyboard";
import { initialViewState } from "../../src/app/ViewContext";
import { decodeChanges, type WindowState } from "../../src/app/WindowState";
import { projectChanges, welcomeChanges } from "../support";

const sheet = { projectName: "New Simulation", location: "/home/u/Documents", errorMessage: null, canCreate: true };
const dialog = {
    title: "Choose",
    confirm: "Choose",
    choosesFolders: true,
    folder: "/home/u",
    parent: "/home",
    entries: [],
    error: null,
};

const state = (changes: Record<string, unknown>) => decodeChanges(changes) as WindowState;
const intent = (value: Record<string, unknown>) => ({ kind: "intent", intent: value });
const withSheet = (createProject: Record<string, unknown>, fileDialog: unknown = null) =>
    state({ ...welcomeChanges(), createProject, fileDialog });
const alert = state(projectChanges({ showCloseAlert: true, isDirty: true }));

describe("Escape and Return act on the topmost sheet or dialog", () => {
    it.each([
        [
            "Escape cancels a folder dialog over the sheet",
            "Escape",
            withSheet(sheet, dialog),
            intent({ intent: "fileDialogCancel" }),
        ],
        [
            "Return chooses its folder",
            "Enter",
            withSheet(sheet, dialog),
            intent({ intent: "fileDialogChoose", path: "/home/u" }),
        ],
        ["Escape is the alert's Cancel", "Escape", alert, intent({ intent: "closeAlert", choice: "cancel" })],
        ["Return is not the alert's", "Enter", alert, null],
        ["other keys do nothing", "a", alert, null],
        ["Escape does nothing with nothing shown", "Escape", state(welcomeChanges()), null],
    ])("%s", (_, key, shown, action) => {
        expect(modalKeyAction(key, shown, initialViewState)).toEqual(action);
    });

    it("closes Preferences first with Escape", () => {
        expect(modalKeyAction("Escape", alert, { ...initialViewState, preferencesOpen: true })).toEqual({
            kind: "closePreferences",
        });
    });
});
