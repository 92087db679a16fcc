// What every view is drawn from: the app's state, the page's own view state, and the ways back to the app.
import type { CommandContext, CommandId } from "./commands";
import type { SendIntent } from "./intents";
import type { ControlScreen } from "../projects/ProjectState";
import type { LatestFrame } from "../simulation/LatestFrame";
import type { WindowState } from "./WindowState";

/** Where a slider belongs: a parameter screen, whose controls go out as `setControl`, or the region screen. */
export type SliderScreen = ControlScreen | "region";

export interface Toast {
    id: number;
    text: string;
}

/** The state that lives only in the page: nothing here is the app's to know. */
export interface ViewState {
    /** The title of the open menu of the menu bar, or `null`. */
    openMenu: string | null;
    sidebarHidden: boolean;
    preferencesOpen: boolean;
    /** The entry selected in the file dialog, by path. */
    fileDialogSelection: string | null;
    /** The save dialog's name field as typed; `null` until then, showing the proposed name. */
    fileDialogName: string | null;
    /** The folder dialog's "New Folder" name field as typed; `null` while it is not shown. */
    fileDialogNewFolder: string | null;
    /** The listed file a save would write over, while the dialog asks whether to; else `null`. */
    fileDialogReplacing: string | null;
    /** The control being dragged, whose value the page shows as the pointer has it until the drag ends. */
    activeControl: { screen: SliderScreen; id: string } | null;
    /**
     * The number field being typed in, with what is wrong with its text once it has been refused; the app's
     * value does not overwrite it meanwhile.
     */
    typedField: { screen: SliderScreen; id: string; error: string | null } | null;
    /** The creation sheet's name field has the focus, so the app's echo of it must not move the caret. */
    editingProjectName: boolean;
    /** The onboarding has just been dismissed and is fading out; it takes no clicks meanwhile. */
    onboardingLeaving: boolean;
    /** The deposit map shows the last ensemble's probability rather than this run's deposits. */
    showsEnsembleProbability: boolean;
    toasts: Toast[];
    connection: "connecting" | "open" | "closed";
}

export const initialViewState: ViewState = {
    openMenu: null,
    sidebarHidden: false,
    preferencesOpen: false,
    fileDialogSelection: null,
    fileDialogName: null,
    fileDialogNewFolder: null,
    fileDialogReplacing: null,
    activeControl: null,
    typedField: null,
    editingProjectName: false,
    onboardingLeaving: false,
    showsEnsembleProbability: false,
    toasts: [],
    connection: "connecting",
};

export interface ViewContext {
    state: WindowState;
    view: ViewState;
    send: SendIntent;
    /** A control's value while it is being changed: throttled, the last one always sent. */
    changeControl(screen: SliderScreen, id: string, value: number, isFinal: boolean): void;
    /** What a control shows while the app holds `appValue`: the newest value given it, until the app has it. */
    shownValue(screen: SliderScreen, id: string, appValue: number): number;
    /** Changes the view state and draws again. */
    updateView(patch: Partial<ViewState>): void;
    runCommand(id: CommandId): void;
    commandContext: CommandContext;
    /** The newest particle frame from the app, for the simulation renderer. */
    particleFrames: LatestFrame;
}
