// The controls the app describes for its screens (sliders, pickers, segmented controls, steppers), with their
// decoders.
import { absentOr, array, type Decoder, nullable, number, object, oneOf, record, string } from "../app/decode";

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

const decodeChoices = array(object<Choice>({ label: string, value: number }));

const controlFields = { id: string, label: string, value: number, tooltip: absentOr(string) };

export const decodeSlider: Decoder<SliderControl> = object<SliderControl>({
    ...controlFields,
    kind: oneOf(["slider"]),
    text: string,
    min: number,
    max: number,
    step: nullable(number),
    iconRotation: absentOr(number),
});

export const decodeControl: Decoder<Control> = (value, path) => {
    const kind = oneOf(["slider", "picker", "segmented", "stepper"])(record(value, path)["kind"], `${path}.kind`);
    switch (kind) {
        case "slider":
            return decodeSlider(value, path);
        case "picker":
        case "segmented":
            return object<ChoiceControl>({
                ...controlFields,
                kind: oneOf(["picker", "segmented"]),
                choices: decodeChoices,
            })(value, path);
        case "stepper":
            return object<StepperControl>({
                ...controlFields,
                kind: oneOf(["stepper"]),
                min: number,
                max: number,
                step: number,
            })(value, path);
    }
};
