// The "Run Ensemble…" dialog, the running ensemble's progress with its "Stop", and the finished one's strip.
import { html, type TemplateResult } from "lit-html";
import type { SendIntent } from "../app/intents";
import type { EnsembleDialogState, EnsembleParameter, EnsembleState } from "./EnsembleState";

/** The command's NAME=LOW:HIGH of every row whose "on" box is ticked, as typed. */
export function variedTexts(form: HTMLFormElement): string[] {
    const rows = Array.from(form.querySelectorAll<HTMLTableRowElement>("tr[data-parameter]"));
    return rows
        .filter((row) => row.querySelector<HTMLInputElement>("input.vary-on")?.checked === true)
        .map((row) => {
            const field = (which: string) => row.querySelector<HTMLInputElement>(`input.vary-${which}`)?.value.trim();
            return `${row.dataset["parameter"]}=${field("low") ?? ""}:${field("high") ?? ""}`;
        });
}

function parameterRow(parameter: EnsembleParameter): TemplateResult {
    const range = `${parameter.min} to ${parameter.max}`;
    return html`<tr data-parameter=${parameter.name}>
        <td><input type="checkbox" class="vary-on" aria-label="Vary ${parameter.name}" /></td>
        <th scope="row">${parameter.name}</th>
        <td><input class="vary-low" aria-label="${parameter.name} low" title=${range} value=${parameter.low} /></td>
        <td><input class="vary-high" aria-label="${parameter.name} high" title=${range} value=${parameter.high} /></td>
    </tr>`;
}

export function ensembleDialog(dialog: EnsembleDialogState, send: SendIntent): TemplateResult {
    const run = (event: Event): void => {
        event.preventDefault();
        const form = event.target as HTMLFormElement;
        const text = (name: string) => (form.elements.namedItem(name) as HTMLInputElement).value.trim();
        send({ intent: "runEnsemble", members: text("members"), seed: text("seed"), vary: variedTexts(form) });
    };
    return html`<div class="modal-backdrop dialog-backdrop">
        <form class="dialog ensemble-dialog" role="dialog" aria-modal="true" aria-labelledby="ensemble-title" @submit=${run}>
            <h2 id="ensemble-title" class="dialog-title">Run Ensemble</h2>
            <label class="form-row">Members <input name="members" inputmode="numeric" value=${dialog.members} /></label>
            <label class="form-row">Seed <input name="seed" inputmode="numeric" placeholder="drawn" value=${dialog.seed} /></label>
            <table class="ensemble-parameters">
                <thead><tr><th>On</th><th>Parameter</th><th>Low</th><th>High</th></tr></thead>
                <tbody>${dialog.parameters.map(parameterRow)}</tbody>
            </table>
            ${dialog.error === null ? null : html`<p class="form-error" role="alert">${dialog.error}</p>`}
            <div class="dialog-buttons">
                <button type="button" class="button" @click=${() => send({ intent: "cancelEnsembleDialog" })}>Cancel</button>
                <button type="submit" class="button prominent">Run</button>
            </div>
        </form>
    </div>`;
}

/** "3 min 20 s left", "12 s left". */
export function timeLeftText(seconds: number | null): string {
    if (seconds === null) return "estimating time left";
    const whole = Math.round(seconds);
    return whole >= 60 ? `${Math.floor(whole / 60)} min ${whole % 60} s left` : `${whole} s left`;
}

/** While members run: how many are done and a "Stop"; afterwards a failure's message, if any. */
export function ensembleStatus(ensemble: EnsembleState, send: SendIntent): TemplateResult | null {
    const progress = ensemble.progress;
    if (progress !== null) {
        return html`<div class="ensemble-status" role="status">
            <progress max=${progress.total} value=${progress.done} aria-label="Ensemble progress"></progress>
            <span>Ensemble: ${progress.done} of ${progress.total} members done, ${timeLeftText(progress.secondsLeft)}</span>
            <button type="button" class="button small" @click=${() => send({ intent: "stopEnsemble" })}>Stop</button>
        </div>`;
    }
    if (ensemble.error !== null) {
        return html`<div class="ensemble-status" role="alert">The ensemble could not run: ${ensemble.error}</div>`;
    }
    return null;
}
