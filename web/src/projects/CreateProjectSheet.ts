// The creation sheet: a project's name and the folder its file goes into.
import { html, noChange, type TemplateResult } from "lit-html";
import { live } from "lit-html/directives/live.js";
import { icon } from "../app/icons";
import { displayPath } from "../app/pathText";
import { truncateMiddle } from "../app/text";
import type { ViewContext } from "../app/ViewContext";
import type { CreateProjectState } from "./ProjectState";

const locationLength = 56;

export function createProjectSheet(sheet: CreateProjectState, context: ViewContext): TemplateResult {
    const { send } = context;
    return html`<div class="modal-backdrop sheet-backdrop">
        <form
            class="sheet create-sheet"
            role="dialog"
            aria-modal="true"
            aria-labelledby="create-title"
            @submit=${(event: Event) => event.preventDefault()}
        >
            <h2 id="create-title" class="sheet-title">Create New Project</h2>
            <div class="sheet-fields">
                <label class="field">
                    <span class="field-label">Project Name</span>
                    <input
                        class="text-field"
                        type="text"
                        name="projectName"
                        placeholder="My Simulation"
                        autocomplete="off"
                        autofocus
                        spellcheck="false"
                        .value=${context.view.editingProjectName ? noChange : live(sheet.projectName)}
                        @focus=${() => context.updateView({ editingProjectName: true })}
                        @blur=${() => context.updateView({ editingProjectName: false })}
                        @input=${(event: Event) =>
                            send({ intent: "setProjectName", value: (event.target as HTMLInputElement).value })}
                    />
                </label>
                <div class="field">
                    <span class="field-label">Where</span>
                    <div class="location-row">
                        ${icon("folder", "location-icon")}
                        <span class="location-text" title=${displayPath(sheet.location)}
                            >${truncateMiddle(displayPath(sheet.location), locationLength)}</span
                        >
                        <button class="button small" type="button" @click=${() => send({ intent: "chooseFolder" })}>
                            Choose...
                        </button>
                    </div>
                </div>
            </div>
            ${sheet.errorMessage === null ? null : html`<p class="sheet-error" role="alert">${sheet.errorMessage}</p>`}
            <div class="sheet-buttons">
                <button class="button" type="button" @click=${() => send({ intent: "cancelCreateProject" })}>
                    Cancel
                </button>
                <button
                    class="button prominent"
                    type="button"
                    ?disabled=${!sheet.canCreate}
                    @click=${() => send({ intent: "createProject" })}
                >
                    Create
                </button>
            </div>
        </form>
    </div>`;
}
