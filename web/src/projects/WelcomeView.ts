// The welcome content: the ways into a project (new, open, recent).
import { html, type TemplateResult } from "lit-html";
import { icon, type SymbolName } from "../app/icons";
import type { SendIntent } from "../app/intents";
import { displayPath } from "../app/pathText";
import { truncateMiddle } from "../app/text";
import type { RecentProject, WelcomeState } from "./ProjectState";

/** The longest path a recent row shows in full; longer ones lose their middle. */
const recentPathLength = 64;

/** The application's icon, which the page also uses as its favicon. */
export function appIcon(): TemplateResult {
    return html`<img class="app-icon" src="app-icon.svg" width="72" height="72" alt="" />`;
}

function actionRow(symbol: SymbolName, title: string, subtitle: string, onClick: () => void): TemplateResult {
    return html`<button class="action-row" type="button" @click=${onClick}>
        <span class="action-tile">${icon(symbol)}</span>
        <span class="action-texts">
            <span class="action-title">${title}</span>
            <span class="action-subtitle">${subtitle}</span>
        </span>
        <span class="action-chevron">${icon("chevron.right")}</span>
    </button>`;
}

function recentRow(project: RecentProject, send: SendIntent): TemplateResult {
    const path = displayPath(project.path);
    return html`<li class="recent-item ${project.isMissing ? "missing" : ""}">
        <button
            class="recent-row"
            type="button"
            title=${project.isMissing ? `Missing: ${path}` : path}
            @click=${() => send({ intent: "openRecent", path: project.path })}
        >
            ${icon("doc.fill", "recent-icon")}
            <span class="recent-texts">
                <span class="recent-name">${displayPath(project.name)}</span>
                <span class="recent-path"
                    >${project.isMissing ? "Missing — " : ""}${truncateMiddle(path, recentPathLength)}</span
                >
            </span>
        </button>
        ${
            project.isMissing
                ? html`<button
                      class="button icon-button recent-remove"
                      type="button"
                      aria-label="Remove from List"
                      title="Remove from List"
                      @click=${() => send({ intent: "removeRecent", path: project.path })}
                  >
                      ${icon("xmark")}
                  </button>`
                : null
        }
    </li>`;
}

export function welcomeView(welcome: WelcomeState, send: SendIntent): TemplateResult {
    return html`<div class="welcome">
        <div class="welcome-left">
            <header class="welcome-header">
                ${appIcon()}
                <h1 class="welcome-name">Pelagrin</h1>
                <p class="welcome-tagline">Microplastic Particle Simulation</p>
            </header>
            <div class="welcome-actions">
                ${actionRow("plus", "New Project", "Create a new simulation", () => send({ intent: "showNewProject" }))}
                ${actionRow("folder", "Open...", "Browse your files", () => send({ intent: "showOpenDialog" }))}
            </div>
        </div>
        <div class="welcome-divider"></div>
        <div class="welcome-right">
            <h2 class="welcome-recent-heading">Recent Projects</h2>
            ${
                welcome.recent.length === 0
                    ? html`<div class="recent-empty">
                      ${icon("clock.arrow.circlepath", "recent-empty-icon")}
                      <p>No recent projects</p>
                  </div>`
                    : html`<ul class="recent-list">
                      ${welcome.recent.map((project) => recentRow(project, send))}
                  </ul>`
            }
        </div>
    </div>`;
}
