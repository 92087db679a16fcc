// The state of one main window as the app sends it, and the decoding of a `changes` object into it.
import {
    absentOr,
    boolean,
    type Decoder,
    DecodeError,
    nullable,
    number,
    object,
    record,
    array,
    string,
} from "./decode";
import {
    type CreateProjectState,
    decodeCreateProject,
    decodeProject,
    decodeWelcome,
    type ProjectState,
    type WelcomeState,
} from "../projects/ProjectState";

export interface RootState {
    /** true: the project window content; false: the welcome content. */
    openHome: boolean;
    /** "Pelagrin" or the project's name. */
    title: string;
    isDocumentEdited: boolean;
}

/** Paths and names here are the app's path text (see pathText.ts): shown decoded, sent back as they came. */
export interface FileEntry {
    name: string;
    /** Absolute. */
    path: string;
    isFolder: boolean;
}

export interface FileDialogState {
    title: string;
    /** The confirm button's title. */
    confirm: string;
    choosesFolders: boolean;
    /** The folder listed, absolute. */
    folder: string;
    /** `null` at the root of the file system. */
    parent: string | null;
    /** Folders first, then by name. */
    entries: FileEntry[];
    error: string | null;
    /** A save dialog's proposed file name; `null` in a dialog that opens or chooses. */
    fileName: string | null;
    /** The ending a saved file's name must have, such as ".csv"; `null` where `fileName` is. */
    fileExtension: string | null;
}

/** A message from the app the window shows until dismissed. */
export interface AlertState {
    title: string;
    message: string;
}

export interface PreferencesState {
    autoOpenLastProject: boolean;
}

export interface ControllerState {
    isRunning: boolean;
    /** Simulation seconds. */
    currentTime: number;
    /** Simulation seconds. */
    totalDuration: number;
}

export interface WindowState {
    root: RootState;
    welcome: WelcomeState;
    createProject: CreateProjectState | null;
    fileDialog: FileDialogState | null;
    alert: AlertState | null;
    preferences: PreferencesState;
    project: ProjectState | null;
    controller: ControllerState;
}

const decoders: { [K in keyof WindowState]-?: Decoder<WindowState[K]> } = {
    root: object<RootState>({ openHome: boolean, title: string, isDocumentEdited: boolean }),
    welcome: decodeWelcome,
    createProject: decodeCreateProject,
    fileDialog: nullable(
        object<FileDialogState>({
            title: string,
            confirm: string,
            choosesFolders: boolean,
            folder: string,
            parent: nullable(string),
            entries: array(object<FileEntry>({ name: string, path: string, isFolder: boolean })),
            error: nullable(string),
            fileName: absentOr(string),
            fileExtension: absentOr(string),
        }),
    ),
    alert: nullable(object<AlertState>({ title: string, message: string })),
    preferences: object<PreferencesState>({ autoOpenLastProject: boolean }),
    project: decodeProject,
    controller: object<ControllerState>({ isRunning: boolean, currentTime: number, totalDuration: number }),
};

export const windowStateKeys = Object.keys(decoders) as (keyof WindowState)[];

/**
 * The keys of a `changes` object that this page knows, each decoded; keys it does not know are left out, so
 * that a newer app can add some. Throws DecodeError naming the first field that is wrong.
 */
export function decodeChanges(value: unknown): Partial<WindowState> {
    const source = record(value, "changes");
    const changes: Partial<Record<keyof WindowState, unknown>> = {};
    for (const key of windowStateKeys) {
        if (key in source) changes[key] = decoders[key](source[key], key);
    }
    return changes as Partial<WindowState>;
}

export { DecodeError };
