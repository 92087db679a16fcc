import { describe, expect, it } from "vitest";
import "./stubResizeObserver";
import { mountApp, press, projectChanges } from "../support";
import { drawnRegion, freshRegion, regionWindow } from "./fixtures";

describe("the undo key on the region screen", () => {
    it("sends undo for Ctrl-Z and for ⌘Z while the app says an undo applies", () => {
        const { socket } = mountApp(regionWindow(drawnRegion()));
        const ctrl = press("z", { ctrlKey: true });
        const meta = press("z", { metaKey: true });
        expect(socket.sent).toEqual([{ intent: "undo" }, { intent: "undo" }]);
        expect([ctrl.defaultPrevented, meta.defaultPrevented]).toEqual([true, true]);
    });

    it("sends nothing with nothing to undo, for Z without Ctrl or ⌘, or with Shift or Alt", () => {
        const { socket } = mountApp(regionWindow(freshRegion()));
        press("z", { ctrlKey: true });
        socket.receiveState(regionWindow(drawnRegion()));
        press("z");
        press("Z", { ctrlKey: true, shiftKey: true });
        press("z", { ctrlKey: true, altKey: true });
        expect(socket.sent).toEqual([]);
    });

    it("leaves the key alone on other screens and while something lies over the region screen", () => {
        const covered = [
            projectChanges({ selectedSection: "parameters" }),
            regionWindow(drawnRegion(), { showOnboarding: true }),
            regionWindow(drawnRegion(), { showCloseAlert: true }),
            {
                ...regionWindow(drawnRegion()),
                createProject: { projectName: "Untitled", location: "/home", errorMessage: null, canCreate: true },
            },
        ];
        for (const changes of covered) {
            const { socket } = mountApp(changes);
            press("z", { ctrlKey: true });
            expect(socket.sent).toEqual([]);
        }
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
