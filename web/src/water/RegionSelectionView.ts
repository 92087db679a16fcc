// The region selection screen: the map with its base-map picker, failure banner and detecting overlay, and the
// control bar under it.
import { html, type TemplateResult } from "lit-html";
import { icon } from "../app/icons";
import type { ViewContext } from "../app/ViewContext";
import type { SliderControl } from "../projects/ControlState";
import { sliderInput } from "../projects/ParameterScreen";
import { detectingOverlay, detectionMessage } from "./DetectionStatus";
import { placeSearch } from "./PlaceSearch";
import "./RegionBanner";
import "./RegionMap";
import type { RegionControlBar, RegionMapState, RegionState } from "./RegionState";
import "./region.css";

function mapTypePicker(map: RegionMapState, context: ViewContext): TemplateResult {
    return html`<div class="segmented region-map-type" role="radiogroup" aria-label="Base map">
        ${map.mapTypeChoices.map(
            (choice) => html`<button
                type="button"
                role="radio"
                class="segment ${choice.value === map.mapType ? "selected" : ""}"
                aria-checked=${choice.value === map.mapType ? "true" : "false"}
                @click=${() => context.send({ intent: "setMapType", value: choice.value })}
            >
                ${choice.label}
            </button>`,
        )}
    </div>`;
}

function mapArea(region: RegionState, context: ViewContext): TemplateResult {
    return html`<div class="detail-screen-main region-map-area">
        <pelagrin-region-map class="region-map" .model=${region.map} .send=${context.send}></pelagrin-region-map>
        ${region.overlay === null ? null : detectingOverlay(region.overlay, context)}
        ${detectionMessage(region, context)} ${placeSearch(region.placeSearch, context)}
        ${
            region.appliedNotice === null
                ? null
                : html`<div class="region-applied-notice" role="status">${region.appliedNotice}</div>`
        }
        ${mapTypePicker(region.map, context)}
    </div>`;
}

/** A caption over its content, the shape of each group of the bar. */
function captioned(caption: TemplateResult | string, content: TemplateResult): TemplateResult {
    return html`<div class="region-group">
        <span class="region-caption">${caption}</span>
        <div class="region-group-content">${content}</div>
    </div>`;
}

function captionLabel(control: SliderControl): TemplateResult {
    return html`<label for=${`region-${control.id}`}>${control.label}</label>`;
}

function flowDirection(control: SliderControl, context: ViewContext): TemplateResult {
    return captioned(
        captionLabel(control),
        html`<span class="direction-icon" style=${`transform: rotate(${control.iconRotation ?? 0}deg)`}
                >${icon("arrow.up")}</span
            ><span class="region-value">${control.text}</span>${sliderInput("region", control, context)}`,
    );
}

function emissionRadius(control: SliderControl, context: ViewContext): TemplateResult {
    return captioned(
        captionLabel(control),
        html`${sliderInput("region", control, context)}<span class="region-value small">${control.text}</span>`,
    );
}

function emissionPart(region: RegionState, context: ViewContext): TemplateResult | null {
    const slider = region.sliders.find((control) => control.id === "emissionRadius");
    const warning = region.controlBar.emissionWarning;
    if (slider !== undefined) {
        return html`${emissionRadius(slider, context)}${
            warning === null
                ? null
                : html`<div class="region-emission-hint" role="alert">
                  ${icon("exclamationmark.triangle.fill")}<span>${warning}</span>
              </div>`
        }`;
    }
    const hint = region.controlBar.emissionHint;
    return hint === null
        ? null
        : html`<div class="region-emission-hint">${icon(hint.symbol)}<span>${hint.text}</span></div>`;
}

/** "Apply Region", with the reason it is disabled under it. */
function applyPart(bar: RegionControlBar, context: ViewContext): TemplateResult {
    const { apply } = bar;
    return html`<div class="region-apply-group">
        <button
            type="button"
            class="button prominent region-apply"
            ?disabled=${!apply.isEnabled}
            title=${apply.reason ?? ""}
            aria-describedby=${apply.reason === null ? "" : "region-apply-reason"}
            @click=${() => context.send({ intent: "applyRegion" })}
        >
            ${icon(apply.symbol)}<span>${apply.label}</span>
        </button>
        ${
            apply.reason === null
                ? null
                : html`<span id="region-apply-reason" class="region-apply-reason">${apply.reason}</span>`
        }
    </div>`;
}

function titleBlock(bar: RegionControlBar, context: ViewContext): TemplateResult {
    const { autoDetect, clear } = bar;
    return html`<div class="region-title-block">
        <div class="region-title">${bar.title}</div>
        <div class="region-subtitle">${bar.subtitle}</div>
        <div class="region-modes">
            <button
                type="button"
                class="button region-auto-detect ${autoDetect.isOn ? "on" : ""}"
                aria-pressed=${autoDetect.isOn ? "true" : "false"}
                title=${autoDetect.help}
                @click=${() => context.send({ intent: "setAutoDetect", value: !autoDetect.isOn })}
            >
                ${icon(autoDetect.symbol)}<span>${autoDetect.label}</span>
            </button>
            <span class="bar-divider" aria-hidden="true"></span>
            <button
                type="button"
                class="button destructive"
                ?disabled=${!clear.isEnabled}
                @click=${() => context.send({ intent: "clearRegion" })}
            >
                ${icon(clear.symbol)}<span>${clear.label}</span>
            </button>
        </div>
    </div>`;
}

function controlBar(region: RegionState, context: ViewContext): TemplateResult {
    const bar = region.controlBar;
    const flow = region.sliders.find((control) => control.id === "flowDirection");
    return html`<div class="control-bar region-control-bar">
        ${titleBlock(bar, context)}
        <span class="bar-divider tall" aria-hidden="true"></span>
        ${captioned(
            bar.vertexCount.label,
            html`<span class="region-count">${bar.vertexCount.value}</span
                ><span class="region-help">${bar.editHelp}</span>`,
        )}
        ${flow === undefined ? null : flowDirection(flow, context)} ${emissionPart(region, context)}
        ${applyPart(bar, context)}
    </div>`;
}

/** The screen for the project window's detail area. */
export function regionSelectionScreen(region: RegionState, context: ViewContext): TemplateResult {
    return html`<div class="detail-screen">${mapArea(region, context)} ${controlBar(region, context)}</div>`;
}
