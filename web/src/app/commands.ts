// The app's commands: the menu bar's menus and items, their keyboard shortcuts, and the mapping of a key press
// to the command it runs.
import type { Intent } from "./intents";
import type { SymbolName } from "./icons";
import type { WindowState } from "./WindowState";

/**
 * A key combination that reaches the page. A browser window keeps Ctrl-N, Ctrl-Shift-N, Ctrl-T, Ctrl-W,
 * Ctrl-Shift-W and Ctrl-Q for itself whatever the page does, so commands that would take those add Alt.
 */
export interface Shortcut {
    /** A lower-case letter, a digit or a punctuation key such as ",". */
    key: string;
    ctrl?: boolean;
    alt?: boolean;
    shift?: boolean;
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
    | "reset"
    | "runEnsemble";

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
    /** The shortcut the menu shows and the page takes. */
    shortcut: Shortcut;
    isEnabled(state: WindowState | null): boolean;
    run(context: CommandContext): void;
}

const always = (): boolean => true;
const projectShown = (state: WindowState | null): boolean =>
    state !== null && state.root.openHome && state.project !== null;

/** A project is open and neither a run nor an ensemble is going. */
const ensembleCanRun = (state: WindowState | null): boolean =>
    projectShown(state) && state?.project?.ensemble?.canRun === true;

export const commands: Record<CommandId, Command> = {
    newProject: {
        id: "newProject",
        title: "New Project…",
        symbol: "plus.app",
        shortcut: { key: "n", ctrl: true, alt: true },
        isEnabled: always,
        run: (context) => context.send({ intent: "newProject" }),
    },
    openProject: {
        id: "openProject",
        title: "Open Project…",
        symbol: "folder",
        shortcut: { key: "o", ctrl: true },
        isEnabled: always,
        run: (context) => context.send({ intent: "openProject" }),
    },
    closeProject: {
        id: "closeProject",
        title: "Close Project",
        symbol: "xmark.circle",
        shortcut: { key: "w", ctrl: true, alt: true },
        isEnabled: always,
        run: (context) => context.send({ intent: "closeProject" }),
    },
    saveProject: {
        id: "saveProject",
        title: "Save Project",
        symbol: "square.and.arrow.down",
        shortcut: { key: "s", ctrl: true },
        isEnabled: always,
        run: (context) => context.send({ intent: "saveProject" }),
    },
    newWindow: {
        id: "newWindow",
        title: "New Window",
        symbol: "plus",
        shortcut: { key: "n", ctrl: true, alt: true, shift: true },
        isEnabled: always,
        run: (context) => context.openNewWindow(),
    },
    preferences: {
        id: "preferences",
        title: "Preferences…",
        symbol: "gearshape",
        shortcut: { key: ",", ctrl: true },
        isEnabled: always,
        run: (context) => context.openPreferences(),
    },
    toggleSidebar: {
        id: "toggleSidebar",
        title: "Toggle Sidebar",
        symbol: "sidebar.left",
        shortcut: { key: "s", ctrl: true, alt: true },
        isEnabled: projectShown,
        run: (context) => {
            if (projectShown(context.state)) context.toggleSidebar();
        },
    },
    runPause: {
        id: "runPause",
        title: "Run / Pause",
        symbol: "playpause",
        shortcut: { key: "r", ctrl: true },
        isEnabled: projectShown,
        run: (context) => context.send({ intent: "toolbarPlayPause" }),
    },
    reset: {
        id: "reset",
        title: "Reset",
        symbol: "arrow.counterclockwise",
        shortcut: { key: "r", ctrl: true, shift: true },
        isEnabled: projectShown,
        run: (context) => context.send({ intent: "toolbarReset" }),
    },
    runEnsemble: {
        id: "runEnsemble",
        title: "Run Ensemble…",
        symbol: "square.stack.3d.up",
        shortcut: { key: "e", ctrl: true, shift: true },
        isEnabled: ensembleCanRun,
        run: (context) => {
            if (ensembleCanRun(context.state)) context.send({ intent: "showEnsembleDialog" });
        },
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
    { title: "Simulation", items: ["runPause", "reset", "separator", "runEnsemble"] },
];

function keyLabel(key: string): string {
    return key.length === 1 ? key.toUpperCase() : key;
}

/** A shortcut as a menu shows it: "Ctrl+Shift+R". */
export function formatShortcut(shortcut: Shortcut): string {
    const parts: string[] = [];
    if (shortcut.ctrl) parts.push("Ctrl");
    if (shortcut.alt) parts.push("Alt");
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
 * The key pressed, independent of the modifiers: Shift turns "n" into "N" and some layouts give Alt-letters
 * other characters, so letters and digits are read from the physical key wherever the character is not a plain
 * one.
 */
function pressedKey(press: KeyPress): string {
    const key = press.key.toLowerCase();
    if (/^[a-z0-9]$/.test(key)) return key;
    if (press.code.startsWith("Key")) return press.code.slice(3).toLowerCase();
    if (press.code.startsWith("Digit")) return press.code.slice(5);
    if (press.code === "Comma") return ",";
    return key;
}

export function matchesShortcut(press: KeyPress, shortcut: Shortcut): boolean {
    return (
        pressedKey(press) === shortcut.key &&
        press.ctrlKey === Boolean(shortcut.ctrl) &&
        press.altKey === Boolean(shortcut.alt) &&
        press.shiftKey === Boolean(shortcut.shift) &&
        !press.metaKey
    );
}

/** The menu command a key press runs, if any. */
export function shortcutCommand(press: KeyPress): Command | null {
    for (const command of Object.values(commands)) {
        if (matchesShortcut(press, command.shortcut)) return command;
    }
    return null;
}
