import { describe, expect, it } from "vitest";
import "./stubResizeObserver";
import { mountApp, press, projectChanges } from "../support";
import { drawnRegion, freshRegion, regionWindow } from "./fixtures";

describe("the undo key on the region screen", () => {
    it("sends undo for Ctrl-Z and ⌘Z, redo for Ctrl-Shift-Z, ⇧⌘Z and Ctrl-Y, each while it applies", () => {
        const { socket } = mountApp(regionWindow(freshRegion()));
        press("z", { ctrlKey: true });
        press("y", { ctrlKey: true });
        socket.receiveState(regionWindow(drawnRegion()));
        press("z");
        press("Z", { ctrlKey: true, shiftKey: true });
        press("z", { ctrlKey: true, altKey: true });
        expect(socket.sent).toEqual([]);
        const taken = [press("z", { ctrlKey: true }), press("z", { metaKey: true })];
        socket.receiveState(regionWindow({ ...drawnRegion(), canUndo: false, canRedo: true }));
        press("z", { ctrlKey: true });
        taken.push(press("Z", { ctrlKey: true, shiftKey: true }), press("z", { metaKey: true, shiftKey: true }));
        taken.push(press("y", { ctrlKey: true }));
        press("Y", { ctrlKey: true, shiftKey: true });
        expect(socket.sent).toEqual([
            { intent: "undo" },
            { intent: "undo" },
            { intent: "redo" },
            { intent: "redo" },
            { intent: "redo" },
        ]);
        expect(taken.map((event) => event.defaultPrevented)).toEqual([true, true, true, true, true]);
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
