import { describe, expect, it } from "vitest";
import { commands, formatShortcut, shortcutCommand, type KeyPress } from "../../src/app/commands";
import { decodeChanges, type WindowState } from "../../src/app/WindowState";
import { projectChanges, welcomeChanges } from "../support";

const welcome = decodeChanges(welcomeChanges()) as WindowState;
const project = decodeChanges(projectChanges()) as WindowState;

function target(keys: string): string | null {
    const parts = keys.split("+");
    const name = parts.pop() ?? "";
    const code = /^[a-z]$/i.test(name) ? `Key${name.toUpperCase()}` : name === "," ? "Comma" : name;
    const has = (modifier: string) => parts.includes(modifier);
    const press: KeyPress = {
        key: name,
        code,
        ctrlKey: has("Ctrl"),
        metaKey: has("Meta"),
        altKey: has("Alt"),
        shiftKey: has("Shift"),
    };
    return shortcutCommand(press)?.id ?? null;
}

describe("the menus", () => {
    it("offer Toggle Sidebar only while a project window is shown", () => {
        expect([welcome, project, null].map((state) => commands.toggleSidebar.isEnabled(state))).toEqual([
            false,
            true,
            false,
        ]);
    });
});

// A browser window keeps Ctrl-N, Ctrl-Shift-N, Ctrl-T, Ctrl-W, Ctrl-Shift-W and Ctrl-Q (with or without Shift).
const keptByTheBrowser = ["Ctrl+N", "Ctrl+Shift+N", "Ctrl+T", "Ctrl+Shift+T", "Ctrl+W", "Ctrl+Shift+W", "Ctrl+Q"];

describe("keyboard shortcuts", () => {
    it.each([
        ["newProject", "Ctrl+Alt+N"],
        ["openProject", "Ctrl+O"],
        ["closeProject", "Ctrl+Alt+W"],
        ["saveProject", "Ctrl+S"],
        ["newWindow", "Ctrl+Alt+Shift+N"],
        ["preferences", "Ctrl+,"],
        ["toggleSidebar", "Ctrl+Alt+S"],
        ["runPause", "Ctrl+R"],
        ["reset", "Ctrl+Shift+R"],
    ] as const)("show %s as %s, which reaches the page and runs it", (id, shown) => {
        expect(formatShortcut(commands[id].shortcut)).toBe(shown);
        expect(keptByTheBrowser).not.toContain(shown);
        expect(target(shown)).toBe(id);
    });

    it.each(["Ctrl+n", "Ctrl+w", "n", "Meta+r", "Ctrl+Meta+o", "Alt+r"])("run nothing for %s", (keys) => {
        expect(target(keys)).toBeNull();
    });
});
