// The projects part of a window's state as the app sends it: welcome, creation sheet, project window and the
// parameter screens, with their decoders.
import {
    absentOr,
    array,
    boolean,
    type Decoder,
    DecodeError,
    nullable,
    number,
    object,
    oneOf,
    record,
    string,
} from "../app/decode";
import { type AnalysisState, decodeAnalysis } from "../analysis/AnalysisState";
import { decodeSimulation, type SimulationState } from "../simulation/SimulationState";

/** One project of the recent list; `name` is the file name without its extension. */
export interface RecentProject {
    path: string;
    name: string;
}

export interface WelcomeState {
    /** Newest first. */
    recent: RecentProject[];
}

/** The creation sheet; `location` is the folder the project file goes into, as a path. */
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

export interface Choice {
    label: string;
    value: number;
}

interface ControlBase {
    id: string;
    label: string;
    /** What the model holds; may lie outside the control's range when a project file says so. */
    value: number;
    tooltip: string | null;
}

export interface SliderControl extends ControlBase {
    kind: "slider";
    /** The value as the screen shows it, already formatted with its unit. */
    text: string;
    min: number;
    max: number;
    /** `null` for a continuous slider. */
    step: number | null;
    /** Degrees clockwise for the arrow beside the label, or `null` where the control has none. */
    iconRotation: number | null;
}

export interface ChoiceControl extends ControlBase {
    kind: "picker" | "segmented";
    choices: Choice[];
}

export interface StepperControl extends ControlBase {
    kind: "stepper";
    min: number;
    max: number;
    step: number;
}

export type Control = SliderControl | ChoiceControl | StepperControl;

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
    showOnboarding: boolean;
    parameters: ParameterScreenState | null;
    particles: ParameterScreenState | null;
    /** The analysis screen; `null` while no project is loaded. */
    analysis: AnalysisState | null;
    /** The simulation renderer; `null` while no project is loaded. */
    simulation: SimulationState | null;
}

export const decodeWelcome: Decoder<WelcomeState> = object({
    recent: array(object<RecentProject>({ path: string, name: string })),
});

export const decodeCreateProject: Decoder<CreateProjectState | null> = nullable(
    object<CreateProjectState>({
        projectName: string,
        location: string,
        errorMessage: nullable(string),
        canCreate: boolean,
    }),
);

const decodeChoices = array(object<Choice>({ label: string, value: number }));

const decodeControl: Decoder<Control> = (value, path) => {
    const kind = oneOf(["slider", "picker", "segmented", "stepper"])(record(value, path)["kind"], `${path}.kind`);
    const common = { id: string, label: string, value: number, tooltip: absentOr(string) };
    switch (kind) {
        case "slider":
            return object<SliderControl>({
                ...common,
                kind: oneOf(["slider"]),
                text: string,
                min: number,
                max: number,
                step: nullable(number),
                iconRotation: absentOr(number),
            })(value, path);
        case "picker":
        case "segmented":
            return object<ChoiceControl>({
                ...common,
                kind: oneOf(["picker", "segmented"]),
                choices: decodeChoices,
            })(value, path);
        case "stepper":
            return object<StepperControl>({
                ...common,
                kind: oneOf(["stepper"]),
                min: number,
                max: number,
                step: number,
            })(value, path);
    }
};

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
        showOnboarding: boolean,
        parameters: decodeScreen,
        particles: decodeScreen,
        analysis: decodeAnalysis,
        simulation: decodeSimulation,
    }),
);

export { DecodeError };
