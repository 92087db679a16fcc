import { describe, expect, it } from "vitest";
import "./stubResizeObserver";
import { mountApp, press, projectChanges } from "../support";
import { drawnRegion, regionWindow } from "./fixtures";

describe("the undo key on the region screen", () => {
    const both = { canUndo: true, canRedo: true };
    it.each([
        ["Ctrl-Z", "z", { ctrlKey: true }, both, "undo"],
        ["⌘Z", "z", { metaKey: true }, both, "undo"],
        ["Ctrl-Shift-Z", "Z", { ctrlKey: true, shiftKey: true }, both, "redo"],
        ["⇧⌘Z", "z", { metaKey: true, shiftKey: true }, both, "redo"],
        ["Ctrl-Y", "y", { ctrlKey: true }, both, "redo"],
        ["Z alone", "z", {}, both, null],
        ["Ctrl-Alt-Z", "z", { ctrlKey: true, altKey: true }, both, null],
        ["Ctrl-Shift-Y", "Y", { ctrlKey: true, shiftKey: true }, both, null],
        ["Ctrl-Z with nothing to undo", "z", { ctrlKey: true }, { canUndo: false, canRedo: true }, null],
        ["Ctrl-Y with nothing to redo", "y", { ctrlKey: true }, { canUndo: true, canRedo: false }, null],
    ] as const)("sends for %s its intent, if any", (_, key, modifiers, can, intent) => {
        const { socket } = mountApp(regionWindow({ ...drawnRegion(), ...can }));
        const event = press(key, modifiers);
        expect(socket.sent).toEqual(intent === null ? [] : [{ intent }]);
        expect(event.defaultPrevented).toBe(intent !== null);
    });

    it.each([
        ["another screen", projectChanges({ selectedSection: "parameters" })],
        ["the onboarding", regionWindow(drawnRegion(), { showOnboarding: true })],
        ["the close alert", regionWindow(drawnRegion(), { showCloseAlert: true })],
        [
            "the creation sheet",
            {
                ...regionWindow(drawnRegion()),
                createProject: { projectName: "Untitled", location: "/home", errorMessage: null, canCreate: true },
            },
        ],
    ])("leaves the key alone on %s", (_, changes) => {
        const { socket } = mountApp(changes);
        press("z", { ctrlKey: true });
        expect(socket.sent).toEqual([]);
    });

    it("leaves Ctrl-Z to a text field, but not to a slider", () => {
        const { socket, container } = mountApp(regionWindow(drawnRegion()));
        const field = document.createElement("input");
        document.body.append(field);
        press("z", { ctrlKey: true }, field);
        press("z", { ctrlKey: true }, container.querySelector("#region-flowDirection")!);
        expect(socket.sent).toEqual([{ intent: "undo" }]);
    });
});
