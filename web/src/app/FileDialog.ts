// The in-app file dialog: the app lists the folders and files of the machine; the page lets the user walk them
// and, in a save dialog, name the file to write.
import { html, type TemplateResult } from "lit-html";
import { icon } from "./icons";
import type { Intent } from "./intents";
import { displayPath } from "./pathText";
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

/** The listed file the user sees as `name`, which a save of that name would write over. */
function listedFile(dialog: FileDialogState, name: string): FileEntry | undefined {
    return dialog.entries.find((entry) => !entry.isFolder && displayPath(entry.name) === name);
}

type SaveIntent = Extract<Intent, { intent: "fileDialogSave" }>;

/** A save of `name`; over a listed file, by that file's own name text, so that its bytes are kept. */
function saveIntent(dialog: FileDialogState, name: string): SaveIntent | null {
    if (!isSavableName(dialog, name)) return null;
    return { intent: "fileDialogSave", folder: dialog.folder, name: listedFile(dialog, name)?.name ?? name };
}

/** The name to ask about before `intent` writes over a listed file, or `null` when there is nothing to ask. */
export function replaceQuestion(dialog: FileDialogState, intent: Intent | null): string | null {
    if (intent?.intent !== "fileDialogSave" || intent.replace === true) return null;
    const name = displayPath(intent.name);
    return listedFile(dialog, name) === undefined ? null : name;
}

/** Sends `intent`, or first asks whether to write over the file it names. */
function submit(dialog: FileDialogState, intent: Intent | null, context: ViewContext): void {
    if (intent === null) return;
    const question = replaceQuestion(dialog, intent);
    if (question === null) context.send(intent);
    else context.updateView({ fileDialogReplacing: question });
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
    if (dialog.fileName !== null) return saveIntent(dialog, displayPath(entry.name));
    return { intent: "fileDialogChoose", path: entry.path };
}

/** The confirmed answer to the replace question: the save, allowed to write over the file. */
export function replaceIntent(dialog: FileDialogState, name: string): Intent | null {
    const save = saveIntent(dialog, name);
    return save === null ? null : { ...save, replace: true };
}

function entryRow(dialog: FileDialogState, entry: FileEntry, context: ViewContext): TemplateResult {
    const isSelected = context.view.fileDialogSelection === entry.path;
    const name = displayPath(entry.name);
    // A folder dialog lists files only so that a folder of files does not look empty.
    const isGreyed = dialog.choosesFolders && !entry.isFolder;
    return html`<li>
        <button
            type="button"
            class="file-entry ${isSelected ? "selected" : ""}"
            aria-selected=${isSelected ? "true" : "false"}
            title=${displayPath(entry.path)}
            ?disabled=${isGreyed}
            @click=${() =>
                context.updateView({
                    fileDialogSelection: entry.path,
                    // Picking a file in a save dialog names the file to replace.
                    ...(dialog.fileName !== null && !entry.isFolder ? { fileDialogName: name } : {}),
                })}
            @dblclick=${() => submit(dialog, openIntent(dialog, entry), context)}
        >
            ${icon(entry.isFolder ? "folder" : "doc", entry.isFolder ? "entry-folder" : "entry-file")}
            <span>${name}</span>
        </button>
    </li>`;
}

function newFolderField(name: string, context: ViewContext): TemplateResult {
    // The field stays until the app lists the new folder, so that a refused name can be mended.
    const create = (): void => context.send({ intent: "fileDialogNewFolder", name });
    return html`<div class="new-folder-row">
        <input
            type="text"
            class="text-field new-folder-name"
            aria-label="New Folder Name"
            autocomplete="off"
            spellcheck="false"
            .value=${name}
            @input=${(event: Event) =>
                context.updateView({ fileDialogNewFolder: (event.target as HTMLInputElement).value })}
        />
        <button type="button" class="button small" @click=${() => context.updateView({ fileDialogNewFolder: null })}>
            Cancel
        </button>
        <button type="button" class="button small prominent" ?disabled=${name.trim() === ""} @click=${create}>
            Create
        </button>
    </div>`;
}

function replaceRow(dialog: FileDialogState, name: string, context: ViewContext): TemplateResult {
    return html`<div class="replace-question" role="alert">
        <p>“${name}” already exists. Do you want to replace it?</p>
        <button type="button" class="button small" @click=${() => context.updateView({ fileDialogReplacing: null })}>
            Cancel
        </button>
        <button
            type="button"
            class="button small prominent"
            @click=${() => {
                context.updateView({ fileDialogReplacing: null });
                submit(dialog, replaceIntent(dialog, name), context);
            }}
        >
            Replace
        </button>
    </div>`;
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
    const folder = displayPath(dialog.folder);
    const { fileDialogNewFolder: newFolder, fileDialogReplacing: replacing } = context.view;
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
                <span class="file-dialog-folder" title=${folder}>${leftToRight}${folder}</span>
                ${
                    dialog.choosesFolders
                        ? html`<button
                              type="button"
                              class="button small new-folder"
                              ?disabled=${newFolder !== null}
                              @click=${() => context.updateView({ fileDialogNewFolder: "untitled folder" })}
                          >
                              New Folder
                          </button>`
                        : null
                }
            </div>
            ${newFolder === null ? null : newFolderField(newFolder, context)}
            ${dialog.error === null ? null : html`<p class="dialog-error" role="alert">${dialog.error}</p>`}
            ${replacing === null ? null : replaceRow(dialog, replacing, context)}
            <ul class="file-entries" role="listbox" aria-label=${folder}>
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
                    @click=${() => submit(dialog, confirm, context)}
                >
                    ${dialog.confirm}
                </button>
            </div>
        </div>
    </div>`;
}
