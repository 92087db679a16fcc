import { describe, expect, it } from "vitest";
import { commands, formatShortcut, shortcutCommand, type KeyPress } from "../../src/app/commands";
import { decodeChanges, type WindowState } from "../../src/app/WindowState";
import { projectChanges, welcomeChanges } from "../support";

const welcome = decodeChanges(welcomeChanges()) as WindowState;
const project = decodeChanges(projectChanges()) as WindowState;

function target(keys: string, isMac = false, key?: string): string | null {
    const parts = keys.split("+");
    const name = parts.pop() ?? "";
    const code = /^[a-z]$/i.test(name) ? `Key${name.toUpperCase()}` : name === "," ? "Comma" : name;
    const has = (modifier: string) => parts.includes(modifier);
    const press: KeyPress = {
        key: key ?? name,
        code,
        ctrlKey: has("Ctrl"),
        metaKey: has("Meta"),
        altKey: has("Alt"),
        shiftKey: has("Shift"),
    };
    return shortcutCommand(press, isMac)?.id ?? null;
}

describe("the menus", () => {
    it.each([
        ["closeProject", "Ctrl+Shift+W", "⇧⌘W"],
        ["preferences", "Ctrl+,", "⌘,"],
        ["toggleSidebar", "Ctrl+Alt+S", "⌃⌘S"],
        ["reset", "Ctrl+Shift+R", "⇧⌘R"],
    ] as const)("write %s's shortcut as %s, and %s on a Mac", (id, other, mac) => {
        const shortcut = commands[id].shortcut!;
        expect([formatShortcut(shortcut, false), formatShortcut(shortcut, true)]).toEqual([other, mac]);
    });

    it("offer Toggle Sidebar only while a project window is shown", () => {
        expect([welcome, project, null].map((state) => commands.toggleSidebar.isEnabled(state))).toEqual([
            false,
            true,
            false,
        ]);
    });
});

describe("keyboard shortcuts", () => {
    it.each([
        ["Ctrl+n", "newProject"],
        ["Ctrl+Shift+N", "newWindow"],
        ["Ctrl+o", "openProject"],
        ["Ctrl+s", "saveProject"],
        ["Ctrl+Shift+W", "closeProject"],
        ["Ctrl+r", "runPause"],
        ["Ctrl+Shift+R", "reset"],
        ["Ctrl+Alt+s", "toggleSidebar"],
        ["Ctrl+,", "preferences"],
        // Alternates with Alt for the keys a browser keeps for itself.
        ["Ctrl+Alt+n", "newProject"],
        ["Ctrl+Alt+w", "closeProject"],
        ["Ctrl+Alt+Shift+N", "newWindow"],
        // Only with their exact modifiers.
        ["Ctrl+w", null],
        ["n", null],
        ["Meta+r", null],
        ["Ctrl+Meta+o", null],
    ])("map %s to %s", (keys, command) => {
        expect(target(keys)).toBe(command);
    });

    it("use ⌘ for Command and Control for Control on a Mac, whatever character Option makes", () => {
        expect(target("Meta+n", true)).toBe("newProject");
        expect(target("Ctrl+n", true)).toBeNull();
        expect(target("Ctrl+Meta+s", true)).toBe("toggleSidebar");
        expect(target("Meta+Alt+n", true, "˜")).toBe("newProject");
    });
});
