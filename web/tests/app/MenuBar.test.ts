import { describe, expect, it } from "vitest";
import { byText, click, mountApp, press, projectChanges, welcomeChanges } from "../support";

function item(container: HTMLElement, menu: string, title: string): HTMLButtonElement {
    click(byText(container, ".menu-title", menu));
    return byText<HTMLButtonElement>(container, ".menu-items .menu-item", title);
}

describe("the in-page menu bar", () => {
    it("runs the item clicked and closes, and closes on a click outside", () => {
        const { container, socket } = mountApp(projectChanges());
        click(item(container, "File", "New Project…"));
        expect(container.querySelector(".menu-items")).toBeNull();
        for (const title of ["Open Project…", "Close Project", "Save Project"]) click(item(container, "File", title));
        for (const title of ["Run / Pause", "Reset"]) click(item(container, "Simulation", title));
        expect(socket.sent).toEqual([
            { intent: "newProject" },
            { intent: "openProject" },
            { intent: "closeProject" },
            { intent: "saveProject" },
            { intent: "toolbarPlayPause" },
            { intent: "toolbarReset" },
        ]);
        click(byText(container, ".menu-title", "File"));
        click(document.body);
        expect(container.querySelector(".menu-items")).toBeNull();
    });

    it("opens a new window of the app from New Window, by menu and by its Alt key", () => {
        const { container, windows } = mountApp(welcomeChanges());
        click(item(container, "File", "New Window"));
        press("N", { ctrlKey: true, altKey: true, shiftKey: true });
        expect(windows.opened).toBe(2);
    });
});

describe("shortcuts in the page", () => {
    it("run their command and keep the browser's own meaning of the key from running", () => {
        const { socket } = mountApp(projectChanges());
        const taken = [press("r", { ctrlKey: true }), press("s", { ctrlKey: true }), press("o", { ctrlKey: true })];
        expect(press("x", { ctrlKey: true }).defaultPrevented).toBe(false);
        expect(taken.map((event) => event.defaultPrevented)).toEqual([true, true, true]);
        expect(socket.sent).toEqual([
            { intent: "toolbarPlayPause" },
            { intent: "saveProject" },
            { intent: "openProject" },
        ]);
    });

    it("are shown in the menus as they are pressed, and Run / Pause waits for a project", () => {
        const { container, socket } = mountApp(welcomeChanges());
        const runPause = item(container, "Simulation", "Run / Pause");
        expect(runPause.querySelector(".menu-item-shortcut")?.textContent).toBe("Ctrl+R");
        expect(runPause.disabled).toBe(true);
        expect(press("r", { ctrlKey: true }).defaultPrevented).toBe(true);
        expect(socket.sent).toEqual([]);
    });
});

describe("the Preferences dialog", () => {
    it("shows the toggle with the app's value, sends a change, follows the app and closes on Escape", () => {
        const { container, socket } = mountApp(welcomeChanges());
        click(item(container, "File", "Preferences…"));
        const toggle = () => container.querySelector<HTMLInputElement>('.preferences input[type="checkbox"]')!;
        expect(toggle().checked).toBe(true);
        toggle().checked = false;
        toggle().dispatchEvent(new Event("change", { bubbles: true }));
        expect(socket.sent).toEqual([{ intent: "setAutoOpenLastProject", value: false }]);
        socket.receiveState({ preferences: { autoOpenLastProject: false } });
        expect(toggle().checked).toBe(false);
        press("Escape");
        expect(container.querySelector(".preferences")).toBeNull();
    });
});
