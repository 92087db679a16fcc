// The app's commands: the menu bar's menus and items, their keyboard shortcuts, and the mapping of a key press
// to the command it runs.
import type { Intent } from "./intents";
import type { SymbolName } from "./icons";
import type { WindowState } from "./WindowState";

/**
 * A key combination in the platform's terms: `command` is Ctrl, or ⌘ on a Mac; `control` is the Control key
 * beside it on a Mac, and Alt elsewhere, where Ctrl is already taken by `command`; `option` is Alt (⌥).
 */
export interface Shortcut {
    /** A lower-case letter, a digit or a punctuation key such as ",". */
    key: string;
    command?: boolean;
    shift?: boolean;
    option?: boolean;
    control?: boolean;
}

export type CommandId =
    | "newProject"
    | "openProject"
    | "closeProject"
    | "saveProject"
    | "newWindow"
    | "preferences"
    | "toggleSidebar"
    | "runPause"
    | "reset";

/** What a command may act on: the window's state, its socket and the page's own view state. */
export interface CommandContext {
    state: WindowState | null;
    send(intent: Intent): void;
    toggleSidebar(): void;
    openPreferences(): void;
    openNewWindow(): void;
}

export interface Command {
    id: CommandId;
    title: string;
    symbol: SymbolName;
    /** The shortcut the menu shows. */
    shortcut: Shortcut | null;
    /** Further keys for the same command, for the shortcuts a browser keeps for itself. */
    alternates: Shortcut[];
    isEnabled(state: WindowState | null): boolean;
    run(context: CommandContext): void;
}

const always = (): boolean => true;
const projectShown = (state: WindowState | null): boolean =>
    state !== null && state.root.openHome && state.project !== null;

export const commands: Record<CommandId, Command> = {
    newProject: {
        id: "newProject",
        title: "New Project…",
        symbol: "plus.app",
        shortcut: { key: "n", command: true },
        alternates: [{ key: "n", command: true, option: true }],
        isEnabled: always,
        run: (context) => context.send({ intent: "newProject" }),
    },
    openProject: {
        id: "openProject",
        title: "Open Project…",
        symbol: "folder",
        shortcut: { key: "o", command: true },
        alternates: [],
        isEnabled: always,
        run: (context) => context.send({ intent: "openProject" }),
    },
    closeProject: {
        id: "closeProject",
        title: "Close Project",
        symbol: "xmark.circle",
        shortcut: { key: "w", command: true, shift: true },
        alternates: [{ key: "w", command: true, option: true }],
        isEnabled: always,
        run: (context) => context.send({ intent: "closeProject" }),
    },
    saveProject: {
        id: "saveProject",
        title: "Save Project",
        symbol: "square.and.arrow.down",
        shortcut: { key: "s", command: true },
        alternates: [],
        isEnabled: always,
        run: (context) => context.send({ intent: "saveProject" }),
    },
    newWindow: {
        id: "newWindow",
        title: "New Window",
        symbol: "plus",
        shortcut: { key: "n", command: true, shift: true },
        alternates: [{ key: "n", command: true, shift: true, option: true }],
        isEnabled: always,
        run: (context) => context.openNewWindow(),
    },
    preferences: {
        id: "preferences",
        title: "Preferences…",
        symbol: "gearshape",
        shortcut: { key: ",", command: true },
        alternates: [],
        isEnabled: always,
        run: (context) => context.openPreferences(),
    },
    toggleSidebar: {
        id: "toggleSidebar",
        title: "Toggle Sidebar",
        symbol: "sidebar.left",
        shortcut: { key: "s", command: true, control: true },
        alternates: [],
        isEnabled: projectShown,
        run: (context) => {
            if (projectShown(context.state)) context.toggleSidebar();
        },
    },
    runPause: {
        id: "runPause",
        title: "Run / Pause",
        symbol: "playpause",
        shortcut: { key: "r", command: true },
        alternates: [],
        isEnabled: always,
        run: (context) => context.send({ intent: "runPause" }),
    },
    reset: {
        id: "reset",
        title: "Reset",
        symbol: "arrow.counterclockwise",
        shortcut: { key: "r", command: true, shift: true },
        alternates: [],
        isEnabled: always,
        run: (context) => context.send({ intent: "reset" }),
    },
};

export interface Menu {
    title: string;
    /** Command ids, with "separator" between groups. */
    items: (CommandId | "separator")[];
}

export const menus: Menu[] = [
    {
        title: "File",
        items: [
            "newProject",
            "openProject",
            "separator",
            "closeProject",
            "saveProject",
            "separator",
            "newWindow",
            "separator",
            "preferences",
        ],
    },
    { title: "View", items: ["toggleSidebar"] },
    { title: "Simulation", items: ["runPause", "reset"] },
];

/** Whether the page runs on a Mac keyboard, where Command is ⌘ and Control is its own key. */
export function detectMac(navigatorLike: { platform?: string; userAgent?: string } = navigator): boolean {
    return /Mac|iPhone|iPad/.test(navigatorLike.platform ?? "") || /Macintosh/.test(navigatorLike.userAgent ?? "");
}

function keyLabel(key: string): string {
    return key.length === 1 ? key.toUpperCase() : key;
}

/** A shortcut as a menu shows it: "⌃⇧⌘R" on a Mac, "Ctrl+Shift+R" elsewhere. */
export function formatShortcut(shortcut: Shortcut, isMac: boolean): string {
    if (isMac) {
        return (
            (shortcut.control ? "⌃" : "") +
            (shortcut.option ? "⌥" : "") +
            (shortcut.shift ? "⇧" : "") +
            (shortcut.command ? "⌘" : "") +
            keyLabel(shortcut.key)
        );
    }
    const parts: string[] = [];
    if (shortcut.command) parts.push("Ctrl");
    if (shortcut.control || shortcut.option) parts.push("Alt");
    if (shortcut.shift) parts.push("Shift");
    parts.push(keyLabel(shortcut.key));
    return parts.join("+");
}

/** The part of a keyboard event a shortcut is matched against. */
export interface KeyPress {
    key: string;
    code: string;
    ctrlKey: boolean;
    metaKey: boolean;
    altKey: boolean;
    shiftKey: boolean;
}

/**
 * The key pressed, independent of the modifiers: Shift turns "n" into "N" and a Mac's Option turns it into
 * "˜", so letters and digits are read from the physical key wherever the character is not a plain one.
 */
function pressedKey(press: KeyPress): string {
    const key = press.key.toLowerCase();
    if (/^[a-z0-9]$/.test(key)) return key;
    if (press.code.startsWith("Key")) return press.code.slice(3).toLowerCase();
    if (press.code.startsWith("Digit")) return press.code.slice(5);
    if (press.code === "Comma") return ",";
    return key;
}

export function matchesShortcut(press: KeyPress, shortcut: Shortcut, isMac: boolean): boolean {
    const command = isMac ? press.metaKey : press.ctrlKey;
    // Elsewhere than on a Mac, Alt stands for both Control and Option.
    const control = isMac ? press.ctrlKey : false;
    const alt = press.altKey;
    const wantsAlt = isMac ? Boolean(shortcut.option) : Boolean(shortcut.option || shortcut.control);
    return (
        pressedKey(press) === shortcut.key &&
        command === Boolean(shortcut.command) &&
        control === (isMac && Boolean(shortcut.control)) &&
        alt === wantsAlt &&
        press.shiftKey === Boolean(shortcut.shift) &&
        (isMac || !press.metaKey)
    );
}

/** The menu command a key press runs, if any. */
export function shortcutCommand(press: KeyPress, isMac: boolean): Command | null {
    for (const command of Object.values(commands)) {
        const keys = command.shortcut === null ? command.alternates : [command.shortcut, ...command.alternates];
        if (keys.some((shortcut) => matchesShortcut(press, shortcut, isMac))) return command;
    }
    return null;
}
