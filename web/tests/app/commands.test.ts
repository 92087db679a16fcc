import { describe, expect, it } from "vitest";
import { commands, formatShortcut, menus, shortcutTarget, type KeyPress } from "../../src/app/commands";
import { decodeChanges, type WindowState } from "../../src/app/WindowState";
import { projectChanges, welcomeChanges } from "../support";

const welcome = decodeChanges(welcomeChanges()) as WindowState;
const project = decodeChanges(projectChanges()) as WindowState;

function key(keyName: string, modifiers: Partial<KeyPress> = {}): KeyPress {
    const code = /^[a-z]$/i.test(keyName) ? `Key${keyName.toUpperCase()}` : keyName === "," ? "Comma" : keyName;
    return { key: keyName, code, ctrlKey: false, metaKey: false, altKey: false, shiftKey: false, ...modifiers };
}

function target(press: KeyPress, state: WindowState | null = welcome, isMac = false): string | null {
    const found = shortcutTarget(press, state, isMac);
    return found === null ? null : found.kind === "toolbarSave" ? "toolbarSave" : found.command.id;
}

describe("the menu bar", () => {
    it("has File, View and Simulation with their titles in order", () => {
        const titles = menus.map((menu) => [
            menu.title,
            menu.items.map((item) => (item === "separator" ? "—" : commands[item].title)),
        ]);
        expect(titles).toEqual([
            [
                "File",
                ["New Project…", "Open Project…", "—", "Close Project", "Save Project", "—", "New Window", "—", "Preferences…"],
            ],
            ["View", ["Toggle Sidebar"]],
            ["Simulation", ["Run / Pause", "Reset"]],
        ]);
    });

    it("shows each item's symbol and shortcut, Ctrl elsewhere and ⌘ on a Mac", () => {
        const shown = (isMac: boolean) =>
            Object.fromEntries(
                Object.values(commands).map((command) => [
                    command.title,
                    `${command.symbol} ${command.shortcut === null ? "" : formatShortcut(command.shortcut, isMac)}`,
                ]),
            );
        expect(shown(false)).toEqual({
            "New Project…": "plus.app Ctrl+N",
            "Open Project…": "folder Ctrl+O",
            "Close Project": "xmark.circle Ctrl+Shift+W",
            "Save Project": "square.and.arrow.down Ctrl+S",
            "New Window": "plus Ctrl+Shift+N",
            "Preferences…": "gearshape Ctrl+,",
            "Toggle Sidebar": "sidebar.left Ctrl+Alt+S",
            "Run / Pause": "playpause Ctrl+R",
            Reset: "arrow.counterclockwise Ctrl+Shift+R",
        });
        expect(shown(true)).toMatchObject({
            "New Project…": "plus.app ⌘N",
            "Close Project": "xmark.circle ⇧⌘W",
            "Toggle Sidebar": "sidebar.left ⌃⌘S",
            Reset: "arrow.counterclockwise ⇧⌘R",
        });
    });

    it("offers Toggle Sidebar only while a project window is shown", () => {
        expect(commands.toggleSidebar.isEnabled(welcome)).toBe(false);
        expect(commands.toggleSidebar.isEnabled(project)).toBe(true);
        expect(commands.toggleSidebar.isEnabled(null)).toBe(false);
    });
});

describe("keyboard shortcuts", () => {
    it("map Ctrl with the exact modifiers to their command", () => {
        expect(target(key("n", { ctrlKey: true }))).toBe("newProject");
        expect(target(key("N", { ctrlKey: true, shiftKey: true }))).toBe("newWindow");
        expect(target(key("o", { ctrlKey: true }))).toBe("openProject");
        expect(target(key("W", { ctrlKey: true, shiftKey: true }))).toBe("closeProject");
        expect(target(key("r", { ctrlKey: true }))).toBe("runPause");
        expect(target(key("R", { ctrlKey: true, shiftKey: true }))).toBe("reset");
        expect(target(key("s", { ctrlKey: true, altKey: true }))).toBe("toggleSidebar");
        expect(target(key(",", { ctrlKey: true }))).toBe("preferences");
    });

    it("leave keys without their modifiers alone", () => {
        expect(target(key("w", { ctrlKey: true }))).toBeNull();
        expect(target(key("n"))).toBeNull();
        expect(target(key("r", { metaKey: true }))).toBeNull();
        expect(target(key("o", { ctrlKey: true, metaKey: true }))).toBeNull();
    });

    it("have alternates with Alt for the keys a browser keeps for itself", () => {
        expect(target(key("n", { ctrlKey: true, altKey: true }))).toBe("newProject");
        expect(target(key("w", { ctrlKey: true, altKey: true }))).toBe("closeProject");
        expect(target(key("N", { ctrlKey: true, altKey: true, shiftKey: true }))).toBe("newWindow");
    });

    it("use ⌘ for Command and Control for Control on a Mac, whatever character Option makes", () => {
        expect(target(key("n", { metaKey: true }), welcome, true)).toBe("newProject");
        expect(target(key("n", { ctrlKey: true }), welcome, true)).toBeNull();
        expect(target(key("s", { metaKey: true, ctrlKey: true }), project, true)).toBe("toggleSidebar");
        expect(target({ ...key("n", { metaKey: true, altKey: true }), key: "˜" }, welcome, true)).toBe("newProject");
    });

    it("send Ctrl-S to the toolbar's Save while a project is shown, else to the menu's Save Project", () => {
        expect(target(key("s", { ctrlKey: true }), project)).toBe("toolbarSave");
        expect(target(key("s", { ctrlKey: true }), welcome)).toBe("saveProject");
    });
});
