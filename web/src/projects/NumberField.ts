// The number field beside a slider or stepper, where a value can be typed instead of dragged or stepped.
import { html, noChange, type TemplateResult } from "lit-html";
import { live } from "lit-html/directives/live.js";
import type { SliderScreen, ViewContext } from "../app/ViewContext";
import type { SliderControl, StepperControl } from "./ControlState";

/** What was typed as a number in `[min, max]` (a whole one for a stepper), or the message saying what is wanted. */
export function typedNumber(text: string, control: SliderControl | StepperControl): number | { error: string } {
    const isWhole = control.kind === "stepper";
    const wanted = `Enter a ${isWhole ? "whole " : ""}number from ${control.min} to ${control.max}`;
    const trimmed = text.trim();
    // Number() also takes "" (what a number input holds when its text is no number), "0x10" and "1e3".
    if (!/^[-+]?(\d+\.?\d*|\.\d+)$/.test(trimmed)) return { error: wanted };
    const value = Number(trimmed);
    if (value < control.min || value > control.max || (isWhole && !Number.isInteger(value))) return { error: wanted };
    return value;
}

/**
 * The field showing `value`; Enter or leaving it sends what was typed, Escape puts the value back. While it is
 * typed in, or holds a refused entry, the app's value does not overwrite it.
 */
export function numberField(
    screen: SliderScreen,
    control: SliderControl | StepperControl,
    value: number,
    context: ViewContext,
): TemplateResult {
    const typed = context.view.typedField;
    const isTyped = typed !== null && typed.screen === screen && typed.id === control.id;
    const error = isTyped ? typed.error : null;
    const errorId = `${screen}-${control.id}-error`;
    const apply = (input: HTMLInputElement): void => {
        if (!isTyped) return;
        const result = typedNumber(input.value, control);
        if (typeof result === "number") {
            context.changeControl(screen, control.id, result, true);
            context.updateView({ typedField: null });
        } else {
            context.updateView({ typedField: { screen, id: control.id, error: result.error } });
        }
    };
    const onKeyDown = (event: KeyboardEvent): void => {
        const input = event.target as HTMLInputElement;
        if (event.key === "Enter") {
            event.preventDefault();
            apply(input);
        } else if (event.key === "Escape") {
            event.preventDefault();
            input.value = String(value);
            context.updateView({ typedField: null });
        }
    };
    const onInput = (): void => {
        if (!isTyped || error !== null) context.updateView({ typedField: { screen, id: control.id, error: null } });
    };
    return html`<span class="number-field">
        <input
            class="control-number ${error === null ? "" : "invalid"}"
            type="number"
            min=${control.min}
            max=${control.max}
            step=${control.kind === "stepper" ? 1 : (control.step ?? "any")}
            aria-label=${control.label}
            aria-invalid=${error === null ? "false" : "true"}
            aria-describedby=${error === null ? "" : errorId}
            .value=${isTyped ? noChange : live(String(value))}
            @input=${onInput}
            @keydown=${onKeyDown}
            @blur=${(event: FocusEvent) => apply(event.target as HTMLInputElement)}
        />
        ${error === null ? null : html`<span class="control-error" id=${errorId} role="alert">${error}</span>`}
    </span>`;
}
