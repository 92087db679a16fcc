// What a detection shows over the map: the detecting card with its Cancel, and the message it leaves until
// dismissed, with Escape as the cancel's key.
import { html, type TemplateResult } from "lit-html";
import type { KeyPress } from "../app/commands";
import type { Intent } from "../app/intents";
import type { ViewContext } from "../app/ViewContext";
import type { WindowState } from "../app/WindowState";
import type { RegionState } from "./RegionState";

/** The card over the dimmed map while a detection runs, with its Cancel button. */
export function detectingOverlay(overlay: NonNullable<RegionState["overlay"]>, context: ViewContext): TemplateResult {
    return html`<div class="region-overlay">
        <div class="region-overlay-card" role="status">
            <span class="region-spinner" aria-hidden="true"></span>
            <div class="region-overlay-title">${overlay.title}</div>
            <div class="region-overlay-subtitle">${overlay.subtitle}</div>
            <button
                type="button"
                class="button region-overlay-cancel"
                aria-keyshortcuts=${overlay.cancel.shortcut}
                @click=${() => context.send({ intent: "cancelDetection" })}
            >
                ${overlay.cancel.label}
            </button>
        </div>
    </div>`;
}

/** The message a detection left, as an alert (a failure) or a status (a notice), with its Dismiss button. */
export function detectionMessage(region: RegionState, context: ViewContext): TemplateResult {
    const kind = region.bannerKind ?? "error";
    return html`<pelagrin-region-banner
        class="region-banner ${kind}"
        role=${kind === "error" ? "alert" : "status"}
        .text=${region.banner}
        .onDismiss=${() => context.send({ intent: "dismissDetectionMessage" })}
    ></pelagrin-region-banner>`;
}

/** Escape cancels the running detection while the region screen is shown. */
export function cancelDetectionIntent(press: KeyPress, state: WindowState): Intent | null {
    if (press.key !== "Escape" || state.project?.region?.isDetecting !== true) return null;
    return { intent: "cancelDetection" };
}
