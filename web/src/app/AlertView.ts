// The window's alert: a message from the app (a project that did not open, an export's outcome) until "OK".
import { html, type TemplateResult } from "lit-html";
import { icon } from "./icons";
import type { SendIntent } from "./intents";
import type { AlertState } from "./WindowState";

export function alertView(alert: AlertState, send: SendIntent): TemplateResult {
    return html`<div class="modal-backdrop">
        <div
            class="alert app-alert"
            role="alertdialog"
            aria-modal="true"
            aria-labelledby="app-alert-title"
            aria-describedby="app-alert-message"
        >
            ${icon("exclamationmark.triangle", "alert-icon")}
            <h2 id="app-alert-title" class="alert-title">${alert.title}</h2>
            <p id="app-alert-message" class="alert-message">${alert.message}</p>
            <div class="alert-buttons">
                <button type="button" class="button prominent" @click=${() => send({ intent: "dismissAlert" })}>
                    OK
                </button>
            </div>
        </div>
    </div>`;
}
