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

/**
 * The values the page has given its controls that the app has not yet taken, keyed by screen and control. The
 * app's answers trail the key presses, so while the app holds one of the older values given the page keeps
 * showing the newest; the app's value wins again once it is the newest, or one the page never gave (an undo, a
 * file read).
 */
export class LocalControlValues {
    private readonly entries_ = new Map<string, { appValue: number; given: number[] }>();

    /** What the control `key` shows while the app holds `appValue`. */
    shown(key: string, appValue: number): number {
        const entry = this.entries_.get(key) ?? { appValue, given: [] };
        this.entries_.set(key, entry);
        const newest = entry.given.at(-1);
        // An unchanged app value is no answer: the control is drawn again for some other reason.
        const isAnswer = entry.appValue !== appValue;
        entry.appValue = appValue;
        if (newest === undefined) return appValue;
        if (!isAnswer || (appValue !== newest && entry.given.includes(appValue))) return newest;
        entry.given = [];
        return appValue;
    }

    /** Records a value the page sends (or is about to send) for `key`. */
    give(key: string, value: number): void {
        const entry = this.entries_.get(key) ?? { appValue: Number.NaN, given: [] };
        if (entry.given.at(-1) !== value) entry.given.push(value);
        this.entries_.set(key, entry);
    }

    /** Forgets every value given, for when the app has refused one: what it holds is shown again. */
    forget(): void {
        for (const entry of this.entries_.values()) entry.given = [];
    }
}
