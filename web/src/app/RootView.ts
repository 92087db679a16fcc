// The whole page of one main window: menu bar, welcome or project content, and what is laid over them.
import { html, type TemplateResult } from "lit-html";
import { createProjectSheet } from "../projects/CreateProjectSheet";
import { projectWindow } from "../projects/ProjectWindow";
import { welcomeView } from "../projects/WelcomeView";
import { alertDialog, alertView } from "./AlertView";
import { fileDialog } from "./FileDialog";
import { icon } from "./icons";
import { menuBar } from "./MenuBar";
import { preferencesDialog } from "./PreferencesDialog";
import type { ViewContext } from "./ViewContext";
import type { RootState } from "./WindowState";

/** The browser's title for the window; the edited marker is a word there, as a title bar has no dot. */
export function documentTitle(root: RootState | null): string {
    if (root === null) return "Pelagrin";
    return root.isDocumentEdited ? `${root.title} — Edited` : root.title;
}

/**
 * The close button of the window's own chrome. A project window asks the app, which may stop to ask about
 * unsaved changes; the welcome window simply closes, where the browser lets a page close itself.
 */
export function windowControls(context: ViewContext, closeWindow: () => void): TemplateResult {
    const root = context.state.root;
    const showsProject = root.openHome && context.state.project !== null;
    const onClick = (): void => {
        if (showsProject) context.send({ intent: "closeRequest" });
        else closeWindow();
    };
    return html`<div class="window-controls">
        <button
            type="button"
            class="window-close ${root.isDocumentEdited ? "edited" : ""}"
            aria-label="Close"
            title="Close"
            @click=${onClick}
        >
            ${icon("xmark")}
        </button>
    </div>`;
}

function content(context: ViewContext, closeWindow: () => void): TemplateResult | null {
    const { state } = context;
    const controls = windowControls(context, closeWindow);
    if (!state.root.openHome) {
        return html`<div class="window-area welcome-area">
            <div class="window welcome-window">${controls} ${welcomeView(state.welcome, context.send)}</div>
        </div>`;
    }
    if (state.project === null) return null;
    return html`<div class="window-area project-area">
        <div class="window project-frame">${projectWindow(state.project, context, controls)}</div>
    </div>`;
}

function toasts(context: ViewContext): TemplateResult {
    return html`<div class="toasts" aria-live="polite">
        ${context.view.toasts.map(
            (toast) =>
                html`<div class="toast" role="status">${icon("exclamationmark.triangle")}<span>${toast.text}</span></div>`,
        )}
    </div>`;
}

export function rootView(context: ViewContext, closeWindow: () => void): TemplateResult {
    const { state, view } = context;
    return html`${menuBar(context)} ${content(context, closeWindow)}
    ${state.createProject === null ? null : createProjectSheet(state.createProject, context)}
    ${state.fileDialog === null ? null : fileDialog(state.fileDialog, context)}
    ${state.alert === null ? null : alertView(state.alert, context.send)}
    ${view.preferencesOpen ? preferencesDialog(state.preferences, context) : null} ${toasts(context)}
    ${view.connection === "closed" ? disconnected() : null}`;
}

/** Before the app's first state arrives, and after the connection is gone. */
export function waitingView(connection: "connecting" | "open" | "closed"): TemplateResult {
    return connection === "closed"
        ? disconnected()
        : html`<div class="waiting">${icon("drop", "waiting-icon")}<p>Connecting to Pelagrin…</p></div>`;
}

function disconnected(): TemplateResult {
    return alertDialog(
        {
            id: "disconnected-alert",
            symbol: null,
            title: "Pelagrin is not connected",
            message: "This window has lost its connection to the app. Reload it once Pelagrin runs.",
            buttons: [{ title: "Reload", style: "prominent", run: () => location.reload() }],
        },
        "disconnected",
    );
}
