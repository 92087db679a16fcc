// The in-app file dialog: the app lists the folders and files of the machine; the page lets the user walk them.
import { html, type TemplateResult } from "lit-html";
import { icon } from "./icons";
import type { Intent } from "./intents";
import type { ViewContext } from "./ViewContext";
import type { FileDialogState, FileEntry } from "./WindowState";

/**
 * What the confirm button does with the current selection: a folder dialog confirms the selected folder, or
 * the listed one when nothing is selected; a file dialog confirms the selected file and walks into a selected
 * folder. `null` while there is nothing to confirm.
 */
/**
 * The folder path is cut at its start (`direction: rtl`), which would move its leading "/" to the end; a
 * left-to-right mark ahead of it keeps the path in order.
 */
const leftToRight = "\u200e";

export function confirmIntent(dialog: FileDialogState, selection: string | null): Intent | null {
    const entry = dialog.entries.find((item) => item.path === selection);
    if (dialog.choosesFolders) return { intent: "fileDialogChoose", path: entry?.path ?? dialog.folder };
    if (entry === undefined) return null;
    return entry.isFolder
        ? { intent: "fileDialogNavigate", path: entry.path }
        : { intent: "fileDialogChoose", path: entry.path };
}

/** Double-click: into a folder, or confirm a file. */
export function openIntent(dialog: FileDialogState, entry: FileEntry): Intent {
    if (entry.isFolder) return { intent: "fileDialogNavigate", path: entry.path };
    return dialog.choosesFolders
        ? { intent: "fileDialogNavigate", path: entry.path }
        : { intent: "fileDialogChoose", path: entry.path };
}

function entryRow(dialog: FileDialogState, entry: FileEntry, context: ViewContext): TemplateResult {
    const isSelected = context.view.fileDialogSelection === entry.path;
    return html`<li>
        <button
            type="button"
            class="file-entry ${isSelected ? "selected" : ""}"
            aria-selected=${isSelected ? "true" : "false"}
            title=${entry.path}
            @click=${() => context.updateView({ fileDialogSelection: entry.path })}
            @dblclick=${() => context.send(openIntent(dialog, entry))}
        >
            ${icon(entry.isFolder ? "folder" : "doc", entry.isFolder ? "entry-folder" : "entry-file")}
            <span>${entry.name}</span>
        </button>
    </li>`;
}

export function fileDialog(dialog: FileDialogState, context: ViewContext): TemplateResult {
    const { send } = context;
    const confirm = confirmIntent(dialog, context.view.fileDialogSelection);
    const parent = dialog.parent;
    return html`<div class="modal-backdrop dialog-backdrop">
        <div class="dialog file-dialog" role="dialog" aria-modal="true" aria-labelledby="file-dialog-title">
            <h2 id="file-dialog-title" class="dialog-title">${dialog.title}</h2>
            <div class="file-dialog-bar">
                <button
                    type="button"
                    class="button icon-button"
                    aria-label="Enclosing Folder"
                    title="Enclosing Folder"
                    ?disabled=${parent === null}
                    @click=${() => {
                        if (parent !== null) send({ intent: "fileDialogNavigate", path: parent });
                    }}
                >
                    ${icon("arrow.up")}
                </button>
                <span class="file-dialog-folder" title=${dialog.folder}>${leftToRight}${dialog.folder}</span>
            </div>
            ${dialog.error === null ? null : html`<p class="dialog-error" role="alert">${dialog.error}</p>`}
            <ul class="file-entries" role="listbox" aria-label=${dialog.folder}>
                ${dialog.entries.length === 0
                    ? html`<li class="file-entries-empty">This folder is empty.</li>`
                    : dialog.entries.map((entry) => entryRow(dialog, entry, context))}
            </ul>
            <div class="dialog-buttons">
                <button type="button" class="button" @click=${() => send({ intent: "fileDialogCancel" })}>
                    Cancel
                </button>
                <button
                    type="button"
                    class="button prominent"
                    ?disabled=${confirm === null}
                    @click=${() => {
                        if (confirm !== null) send(confirm);
                    }}
                >
                    ${dialog.confirm}
                </button>
            </div>
        </div>
    </div>`;
}
