// The in-app file dialog: the app lists the folders and files of the machine; the page lets the user walk them
// and, in a save dialog, name the file to write.
import { html, type TemplateResult } from "lit-html";
import { icon } from "./icons";
import type { Intent } from "./intents";
import type { ViewContext } from "./ViewContext";
import type { FileDialogState, FileEntry } from "./WindowState";

/**
 * The folder path is cut at its start (`direction: rtl`), which would move its leading "/" to the end; a
 * left-to-right mark ahead of it keeps the path in order.
 */
const leftToRight = "\u200e";

/** The name a save dialog's field shows: as typed, else the proposed one; `null` in other dialogs. */
export function saveName(dialog: FileDialogState, typedName: string | null): string | null {
    return dialog.fileName === null ? null : (typedName ?? dialog.fileName);
}

/** Whether a save dialog may write `name`: a plain file name with something before the required ending. */
export function isSavableName(dialog: FileDialogState, name: string): boolean {
    const extension = dialog.fileExtension ?? "";
    return name.length > extension.length && name.endsWith(extension) && !name.includes("/");
}

function saveIntent(dialog: FileDialogState, name: string): Intent | null {
    return isSavableName(dialog, name) ? { intent: "fileDialogSave", folder: dialog.folder, name } : null;
}

/**
 * What the confirm button does with the current selection: a folder dialog confirms the selected folder, or
 * the listed one when nothing is selected; a file dialog confirms the selected file; a save dialog saves the
 * name in its field into the listed folder. File and save dialogs walk into a selected folder. `null` while
 * there is nothing to confirm.
 */
export function confirmIntent(
    dialog: FileDialogState,
    selection: string | null,
    typedName: string | null = null,
): Intent | null {
    const entry = dialog.entries.find((item) => item.path === selection);
    if (dialog.choosesFolders) return { intent: "fileDialogChoose", path: entry?.path ?? dialog.folder };
    if (entry?.isFolder) return { intent: "fileDialogNavigate", path: entry.path };
    const name = saveName(dialog, typedName);
    if (name !== null) return saveIntent(dialog, name);
    return entry === undefined ? null : { intent: "fileDialogChoose", path: entry.path };
}

/** Double-click: into a folder, or confirm a file (in a save dialog: write over it). */
export function openIntent(dialog: FileDialogState, entry: FileEntry): Intent | null {
    if (entry.isFolder || dialog.choosesFolders) return { intent: "fileDialogNavigate", path: entry.path };
    if (dialog.fileName !== null) return saveIntent(dialog, entry.name);
    return { intent: "fileDialogChoose", path: entry.path };
}

function entryRow(dialog: FileDialogState, entry: FileEntry, context: ViewContext): TemplateResult {
    const isSelected = context.view.fileDialogSelection === entry.path;
    return html`<li>
        <button
            type="button"
            class="file-entry ${isSelected ? "selected" : ""}"
            aria-selected=${isSelected ? "true" : "false"}
            title=${entry.path}
            @click=${() =>
                context.updateView({
                    fileDialogSelection: entry.path,
                    // Picking a file in a save dialog names the file to replace.
                    ...(dialog.fileName !== null && !entry.isFolder ? { fileDialogName: entry.name } : {}),
                })}
            @dblclick=${() => {
                const intent = openIntent(dialog, entry);
                if (intent !== null) context.send(intent);
            }}
        >
            ${icon(entry.isFolder ? "folder" : "doc", entry.isFolder ? "entry-folder" : "entry-file")}
            <span>${entry.name}</span>
        </button>
    </li>`;
}

function nameField(name: string, context: ViewContext): TemplateResult {
    return html`<label class="file-name-field">
        <span>Save As:</span>
        <input
            type="text"
            class="text-field file-name"
            autocomplete="off"
            spellcheck="false"
            .value=${name}
            @input=${(event: Event) => context.updateView({ fileDialogName: (event.target as HTMLInputElement).value })}
        />
    </label>`;
}

export function fileDialog(dialog: FileDialogState, context: ViewContext): TemplateResult {
    const { send } = context;
    const confirm = confirmIntent(dialog, context.view.fileDialogSelection, context.view.fileDialogName);
    const name = saveName(dialog, context.view.fileDialogName);
    const parent = dialog.parent;
    return html`<div class="modal-backdrop dialog-backdrop">
        <div class="dialog file-dialog" role="dialog" aria-modal="true" aria-labelledby="file-dialog-title">
            <h2 id="file-dialog-title" class="dialog-title">${dialog.title}</h2>
            ${name === null ? null : nameField(name, context)}
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
                ${
                    dialog.entries.length === 0
                        ? html`<li class="file-entries-empty">This folder is empty.</li>`
                        : dialog.entries.map((entry) => entryRow(dialog, entry, context))
                }
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
