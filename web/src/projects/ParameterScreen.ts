// A parameter screen drawn from the controls the app describes: sliders, pickers, segmented controls, steppers.
import { html, noChange, type TemplateResult } from "lit-html";
import { live } from "lit-html/directives/live.js";
import { icon } from "../app/icons";
import { numberField } from "./NumberField";
import type { SliderScreen, ViewContext } from "../app/ViewContext";
import type {
    ChoiceControl,
    Control,
    ControlScreen,
    ParameterScreenState,
    SliderControl,
    StepperControl,
} from "./ProjectState";

/** The index of the choice holding `value`, or -1 when none does (a picker then shows no selection). */
export function selectedChoice(control: ChoiceControl): number {
    return control.choices.findIndex((choice) => choice.value === control.value);
}

/** The stepper's next value from `value` one step down or up, kept in its range. */
export function stepperValue(control: StepperControl, value: number, direction: -1 | 1): number {
    const next = value + direction * control.step;
    return Math.min(control.max, Math.max(control.min, next));
}

/**
 * A slider's track, which shows the pointer's value while it is dragged (the app's echo lags behind it) and
 * the app's value otherwise; its id is `${screen}-${control.id}`.
 */
export function sliderInput(screen: SliderScreen, control: SliderControl, context: ViewContext): TemplateResult {
    const active = context.view.activeControl;
    const isDragging = active !== null && active.screen === screen && active.id === control.id;
    const read = (event: Event): number => Number((event.target as HTMLInputElement).value);
    const onInput = (event: Event): void => {
        if (!isDragging) context.updateView({ activeControl: { screen, id: control.id } });
        context.changeControl(screen, control.id, read(event), false);
    };
    const onChange = (event: Event): void => {
        context.changeControl(screen, control.id, read(event), true);
        context.updateView({ activeControl: null });
    };
    return html`<input
        id=${`${screen}-${control.id}`}
        class="slider"
        type="range"
        min=${control.min}
        max=${control.max}
        step=${control.step === null ? "any" : control.step}
        .value=${isDragging ? noChange : live(String(context.shownValue(screen, control.id, control.value)))}
        @input=${onInput}
        @change=${onChange}
    />`;
}

function slider(screen: ControlScreen, control: SliderControl, context: ViewContext): TemplateResult {
    return html`<div class="control slider-control" data-control=${control.id} title=${control.tooltip ?? ""}>
        <div class="control-header">
            <label class="control-label" for=${`${screen}-${control.id}`}>${control.label}</label>
            ${
                control.iconRotation === null
                    ? null
                    : html`<span class="direction-icon" style=${`transform: rotate(${control.iconRotation}deg)`}
                      >${icon("arrow.right")}</span
                  >`
            }
            <span class="control-value">${control.text}</span>
        </div>
        <div class="slider-row">
            ${sliderInput(screen, control, context)}
            ${numberField(screen, control, context.shownValue(screen, control.id, control.value), context)}
        </div>
    </div>`;
}

function picker(screen: ControlScreen, control: ChoiceControl, context: ViewContext): TemplateResult {
    const selected = selectedChoice(control);
    const onChange = (event: Event): void => {
        // Index 0 is the blank entry that stands for "no selection".
        const choice = control.choices[(event.target as HTMLSelectElement).selectedIndex - 1];
        if (choice !== undefined) context.changeControl(screen, control.id, choice.value, true);
    };
    // A drop-down always shows one of its entries, so a value that matches no choice selects a blank one;
    // `live` compares with what the element shows, which the user may have changed without the app agreeing.
    return html`<div class="control picker-control" data-control=${control.id} title=${control.tooltip ?? ""}>
        <label class="control-label" for=${`${screen}-${control.id}`}>${control.label}</label>
        <select id=${`${screen}-${control.id}`} class="picker" @change=${onChange}>
            <option value="" hidden .selected=${live(selected === -1)}></option>
            ${control.choices.map(
                (choice, index) =>
                    html`<option value=${index} .selected=${live(index === selected)}>${choice.label}</option>`,
            )}
        </select>
    </div>`;
}

function segmented(screen: ControlScreen, control: ChoiceControl, context: ViewContext): TemplateResult {
    const selected = selectedChoice(control);
    return html`<div class="control segmented-control" data-control=${control.id} title=${control.tooltip ?? ""}>
        <span class="control-label">${control.label}</span>
        <div class="segmented" role="radiogroup" aria-label=${control.label}>
            ${control.choices.map(
                (choice, index) => html`<button
                    type="button"
                    role="radio"
                    class="segment ${index === selected ? "selected" : ""}"
                    aria-checked=${index === selected ? "true" : "false"}
                    @click=${() => context.changeControl(screen, control.id, choice.value, true)}
                >
                    ${choice.label}
                </button>`,
            )}
        </div>
    </div>`;
}

function stepper(screen: ControlScreen, control: StepperControl, context: ViewContext): TemplateResult {
    const value = context.shownValue(screen, control.id, control.value);
    const step = (direction: -1 | 1) => () =>
        context.changeControl(screen, control.id, stepperValue(control, value, direction), true);
    return html`<div class="control stepper-control" data-control=${control.id} title=${control.tooltip ?? ""}>
        <span class="control-label">${control.label}</span>
        <div class="stepper">
            <button
                type="button"
                class="stepper-button"
                aria-label="Decrement"
                ?disabled=${value <= control.min}
                @click=${step(-1)}
            >
                ${icon("minus")}
            </button>
            <button
                type="button"
                class="stepper-button"
                aria-label="Increment"
                ?disabled=${value >= control.max}
                @click=${step(1)}
            >
                ${icon("plus")}
            </button>
        </div>
        ${numberField(screen, control, value, context)}
    </div>`;
}

function control(screen: ControlScreen, item: Control, context: ViewContext): TemplateResult {
    switch (item.kind) {
        case "slider":
            return slider(screen, item, context);
        case "picker":
            return picker(screen, item, context);
        case "segmented":
            return segmented(screen, item, context);
        case "stepper":
            return stepper(screen, item, context);
    }
}

export function parameterScreen(
    screen: ControlScreen,
    content: ParameterScreenState,
    context: ViewContext,
): TemplateResult {
    return html`<div class="parameter-screen" data-screen=${screen}>
        <header class="screen-header">
            <h2 class="screen-title">${content.title}</h2>
            <p class="screen-subtitle">${content.subtitle}</p>
        </header>
        <hr class="divider" />
        <div class="form">
            ${content.sections.map(
                (section) => html`<section class="form-section">
                    <h3 class="form-section-title">${section.title}</h3>
                    <div class="form-group">${section.controls.map((item) => control(screen, item, context))}</div>
                </section>`,
            )}
        </div>
    </div>`;
}
