import { describe, expect, it } from "vitest";
import { byText, click, mountApp, press, projectChanges, welcomeChanges } from "../support";

function openMenu(container: HTMLElement, title: string): HTMLElement {
    click(byText(container, ".menu-title", title));
    return container.querySelector<HTMLElement>(".menu-items")!;
}

describe("the in-page menu bar", () => {
    it("opens a menu with its items' titles, symbols and shortcuts, and closes on a click outside", () => {
        const { container } = mountApp(welcomeChanges());
        const items = openMenu(container, "Simulation");
        expect(
            [...items.querySelectorAll(".menu-item")].map((item) => [
                item.querySelector(".menu-item-title")?.textContent,
                item.querySelector(".icon")?.getAttribute("data-symbol"),
                item.querySelector(".menu-item-shortcut")?.textContent,
            ]),
        ).toEqual([
            ["Run / Pause", "playpause", "Ctrl+R"],
            ["Reset", "arrow.counterclockwise", "Ctrl+Shift+R"],
        ]);
        click(document.body);
        expect(container.querySelector(".menu-items")).toBeNull();
    });

    it("shows Mac shortcuts on a Mac", () => {
        const { container } = mountApp(welcomeChanges(), { isMac: true });
        const items = openMenu(container, "File");
        expect(byText(items, ".menu-item", "Close Project").querySelector(".menu-item-shortcut")?.textContent).toBe("⇧⌘W");
    });

    it("runs the item clicked and closes", () => {
        const { container, socket } = mountApp(welcomeChanges());
        click(byText(openMenu(container, "File"), ".menu-item", "New Project…"));
        expect(container.querySelector(".menu-items")).toBeNull();
        click(byText(openMenu(container, "File"), ".menu-item", "Open Project…"));
        click(byText(openMenu(container, "File"), ".menu-item", "Close Project"));
        click(byText(openMenu(container, "File"), ".menu-item", "Save Project"));
        click(byText(openMenu(container, "Simulation"), ".menu-item", "Run / Pause"));
        click(byText(openMenu(container, "Simulation"), ".menu-item", "Reset"));
        expect(socket.sent).toEqual([
            { intent: "newProject" },
            { intent: "openProject" },
            { intent: "closeProject" },
            { intent: "runPause" },
            { intent: "reset" },
        ]);
    });

    it("opens a new window of the app from New Window, by menu and by its Alt key", () => {
        const mounted = mountApp(welcomeChanges());
        click(byText(openMenu(mounted.container, "File"), ".menu-item", "New Window"));
        press("N", { ctrlKey: true, altKey: true, shiftKey: true });
        expect(mounted.windowsOpened).toBe(2);
    });

    it("offers Toggle Sidebar only in a project window", () => {
        const welcome = mountApp(welcomeChanges());
        expect(byText<HTMLButtonElement>(openMenu(welcome.container, "View"), ".menu-item", "Toggle Sidebar").disabled).toBe(true);
        const project = mountApp(projectChanges());
        click(byText(openMenu(project.container, "View"), ".menu-item", "Toggle Sidebar"));
        expect(project.container.querySelector(".sidebar")).toBeNull();
    });
});

describe("shortcuts in the page", () => {
    it("run their command and keep the browser's own meaning of the key from running", () => {
        const { socket } = mountApp(projectChanges());
        expect(press("r", { ctrlKey: true }).defaultPrevented).toBe(true);
        expect(press("s", { ctrlKey: true }).defaultPrevented).toBe(true);
        press("o", { ctrlKey: true });
        expect(press("x", { ctrlKey: true }).defaultPrevented).toBe(false);
        expect(socket.sent).toEqual([{ intent: "runPause" }, { intent: "toolbarSave" }, { intent: "openProject" }]);
    });

    it("take Ctrl-S on the welcome content without saving anything", () => {
        const { socket } = mountApp(welcomeChanges());
        expect(press("s", { ctrlKey: true }).defaultPrevented).toBe(true);
        expect(socket.sent).toEqual([]);
    });
});

describe("the Preferences dialog", () => {
    it("shows the General toggle with the app's value and sends a change", () => {
        const { container, socket } = mountApp(welcomeChanges());
        click(byText(openMenu(container, "File"), ".menu-item", "Preferences…"));
        const dialog = container.querySelector(".preferences")!;
        expect(dialog.querySelector(".form-section-title")?.textContent).toBe("General");
        const toggle = dialog.querySelector<HTMLInputElement>('input[type="checkbox"]')!;
        expect(byText(dialog, "label", "Open last project on launch")).toBeTruthy();
        expect(toggle.checked).toBe(true);
        toggle.checked = false;
        toggle.dispatchEvent(new Event("change", { bubbles: true }));
        expect(socket.sent).toEqual([{ intent: "setAutoOpenLastProject", value: false }]);
        socket.receiveState({ preferences: { autoOpenLastProject: false } });
        expect(container.querySelector<HTMLInputElement>('.preferences input[type="checkbox"]')!.checked).toBe(false);
        press("Escape");
        expect(container.querySelector(".preferences")).toBeNull();
    });
});
