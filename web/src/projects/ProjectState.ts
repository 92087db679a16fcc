// The projects part of a window's state as the app sends it: welcome, creation sheet, project window and the
// parameter screens, with their decoders.
import { absentOr, array, boolean, type Decoder, DecodeError, nullable, object, oneOf, string } from "../app/decode";
import { type AnalysisState, decodeAnalysis } from "../analysis/AnalysisState";
import { decodeEnsemble, type EnsembleState } from "../analysis/EnsembleState";
import { decodeSimulation, type SimulationState } from "../simulation/SimulationState";
import { decodeRegion, type RegionState } from "../water/RegionState";
import { type Control, decodeControl } from "./ControlState";

export type { Choice, ChoiceControl, Control, SliderControl, StepperControl } from "./ControlState";

/** One project of the recent list, as path text; `name` is the file name without its extension. */
export interface RecentProject {
    path: string;
    name: string;
    /** The file is gone. */
    isMissing: boolean;
}

export interface WelcomeState {
    /** Newest first. */
    recent: RecentProject[];
}

/** The creation sheet; `location` is the folder the project file goes into, as path text. */
export interface CreateProjectState {
    projectName: string;
    location: string;
    errorMessage: string | null;
    canCreate: boolean;
}

export const sidebarSections = ["region", "parameters", "particles", "simulation", "analysis"] as const;
export type SidebarSection = (typeof sidebarSections)[number];

/** The two screens drawn from their controls; also the `screen` argument of `setControl`. */
export type ControlScreen = "parameters" | "particles";

export interface ScreenSection {
    title: string;
    controls: Control[];
}

export interface ParameterScreenState {
    title: string;
    subtitle: string;
    sections: ScreenSection[];
}

export interface ProjectState {
    isLoaded: boolean;
    name: string;
    selectedSection: SidebarSection | null;
    isDirty: boolean;
    showCloseAlert: boolean;
    /** A recovery copy newer than the project file is offered. */
    showRestoreAlert: boolean;
    showOnboarding: boolean;
    parameters: ParameterScreenState | null;
    particles: ParameterScreenState | null;
    /** The analysis screen; `null` while no project is loaded. */
    analysis: AnalysisState | null;
    /** The simulation renderer; `null` while no project is loaded. */
    simulation: SimulationState | null;
    /** The region selection screen; `null` unless a project is loaded and the region section shown. */
    region: RegionState | null;
    /** The project's ensemble; `null` while no project is loaded (or from an app that does not send it). */
    ensemble: EnsembleState | null;
}

export const decodeWelcome: Decoder<WelcomeState> = object({
    recent: array(object<RecentProject>({ path: string, name: string, isMissing: boolean })),
});

export const decodeCreateProject: Decoder<CreateProjectState | null> = nullable(
    object<CreateProjectState>({
        projectName: string,
        location: string,
        errorMessage: nullable(string),
        canCreate: boolean,
    }),
);

const decodeScreen: Decoder<ParameterScreenState | null> = nullable(
    object<ParameterScreenState>({
        title: string,
        subtitle: string,
        sections: array(object<ScreenSection>({ title: string, controls: array(decodeControl) })),
    }),
);

export const decodeProject: Decoder<ProjectState | null> = nullable(
    object<ProjectState>({
        isLoaded: boolean,
        name: string,
        selectedSection: nullable(oneOf(sidebarSections)),
        isDirty: boolean,
        showCloseAlert: boolean,
        showRestoreAlert: boolean,
        showOnboarding: boolean,
        parameters: decodeScreen,
        particles: decodeScreen,
        analysis: decodeAnalysis,
        simulation: decodeSimulation,
        region: decodeRegion,
        ensemble: absentOr(decodeEnsemble),
    }),
);

export { DecodeError };
