// Alerts: the one look of every alert, and the window's alert, a message from the app (a project that did not
// open, an export's outcome) until "OK".
import { html, type TemplateResult } from "lit-html";
import { icon, type SymbolName } from "./icons";
import type { SendIntent } from "./intents";
import type { AlertState } from "./WindowState";

/** One button of an alert, drawn in its style. */
export interface AlertButton {
    title: string;
    style: "prominent" | "destructive" | "";
    run: () => void;
}

/** What an alert says. `id` is added to its class and names its title and message (`<id>-title`, `<id>-message`). */
export interface AlertContent {
    id: string;
    /** The symbol above the title; null for none. */
    symbol: SymbolName | null;
    title: string;
    message: string;
    buttons: AlertButton[];
}

/** `alert` over a backdrop that blocks the window; `backdropClass` is added to the backdrop's class. */
export function alertDialog(alert: AlertContent, backdropClass = ""): TemplateResult {
    return html`<div class="modal-backdrop ${backdropClass}">
        <div
            class="alert ${alert.id}"
            role="alertdialog"
            aria-modal="true"
            aria-labelledby="${alert.id}-title"
            aria-describedby="${alert.id}-message"
        >
            ${alert.symbol === null ? null : icon(alert.symbol, "alert-icon")}
            <h2 id="${alert.id}-title" class="alert-title">${alert.title}</h2>
            <p id="${alert.id}-message" class="alert-message">${alert.message}</p>
            <div class="alert-buttons">
                ${alert.buttons.map(
                    (button) =>
                        html`<button type="button" class="button ${button.style}" @click=${button.run}>
                            ${button.title}
                        </button>`,
                )}
            </div>
        </div>
    </div>`;
}

export function alertView(alert: AlertState, send: SendIntent): TemplateResult {
    return alertDialog({
        id: "app-alert",
        symbol: "exclamationmark.triangle",
        title: alert.title,
        message: alert.message,
        buttons: [{ title: "OK", style: "prominent", run: () => send({ intent: "dismissAlert" }) }],
    });
}
