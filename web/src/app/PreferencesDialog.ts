// The Preferences dialog: the app's settings, one toggle for now.
import { html, type TemplateResult } from "lit-html";
import { live } from "lit-html/directives/live.js";
import { icon } from "./icons";
import type { ViewContext } from "./ViewContext";
import type { PreferencesState } from "./WindowState";

export function preferencesDialog(preferences: PreferencesState, context: ViewContext): TemplateResult {
    const close = (): void => context.updateView({ preferencesOpen: false });
    return html`<div class="modal-backdrop dialog-backdrop">
        <div class="dialog preferences" role="dialog" aria-modal="true" aria-labelledby="preferences-title">
            <div class="dialog-titlebar">
                <button type="button" class="window-close" aria-label="Close" title="Close" @click=${close}>
                    ${icon("xmark")}
                </button>
                <h2 id="preferences-title" class="dialog-title">Preferences</h2>
            </div>
            <section class="form-section">
                <h3 class="form-section-title">General</h3>
                <div class="form-group">
                    <label class="toggle-row">
                        <span>Open last project on launch</span>
                        <input
                            type="checkbox"
                            class="switch"
                            role="switch"
                            .checked=${live(preferences.autoOpenLastProject)}
                            @change=${(event: Event) =>
                                context.send({
                                    intent: "setAutoOpenLastProject",
                                    value: (event.target as HTMLInputElement).checked,
                                })}
                        />
                    </label>
                </div>
            </section>
        </div>
    </div>`;
}
