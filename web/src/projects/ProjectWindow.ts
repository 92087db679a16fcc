// The project window's content: sidebar of screens, toolbar, detail area, onboarding and the keep-changes alert.
import { html, type TemplateResult } from "lit-html";
import { alertDialog, type AlertButton } from "../app/AlertView";
import { icon, type SymbolName } from "../app/icons";
import type { Intent, SendIntent } from "../app/intents";
import type { ViewContext } from "../app/ViewContext";
import type { ControllerState } from "../app/WindowState";
import { simulationRenderer } from "../simulation/SimulationRendererView";
import { analysisScreen } from "../analysis/AnalysisScreen";
import { ensembleDialog, ensembleStatus } from "../analysis/EnsembleDialog";
import { regionSelectionScreen } from "../water/RegionSelectionView";
import { parameterScreen } from "./ParameterScreen";
import type { ProjectState, SidebarSection } from "./ProjectState";

interface SidebarRow {
    title: string;
    symbol: SymbolName;
    section: SidebarSection;
}

export const sidebar: { header: string; rows: SidebarRow[] }[] = [
    { header: "Region & Map", rows: [{ title: "Select Region", symbol: "map", section: "region" }] },
    {
        header: "Simulation Setup",
        rows: [
            { title: "Physical Parameters", symbol: "slider.horizontal.3", section: "parameters" },
            { title: "Particle Settings", symbol: "circle.grid.2x2", section: "particles" },
        ],
    },
    {
        header: "Run Simulation",
        rows: [{ title: "Simulation Renderer", symbol: "play.circle", section: "simulation" }],
    },
    { header: "Analysis", rows: [{ title: "Charts & Heatmaps", symbol: "chart.xyaxis.line", section: "analysis" }] },
];

function sidebarView(project: ProjectState, send: SendIntent): TemplateResult {
    return html`<nav class="sidebar" aria-label="Sections">
        ${sidebar.map(
            (group) => html`<div class="sidebar-group">
                <h3 class="sidebar-header">${group.header}</h3>
                <ul>
                    ${group.rows.map(
                        (row) => html`<li>
                            <button
                                type="button"
                                class="sidebar-row ${project.selectedSection === row.section ? "selected" : ""}"
                                aria-current=${project.selectedSection === row.section ? "page" : "false"}
                                data-section=${row.section}
                                @click=${() => send({ intent: "selectSection", section: row.section })}
                            >
                                ${icon(row.symbol)}<span>${row.title}</span>
                            </button>
                        </li>`,
                    )}
                </ul>
            </div>`,
        )}
    </nav>`;
}

function toolbar(controller: ControllerState, send: SendIntent): TemplateResult {
    const isRunning = controller.isRunning;
    return html`<div class="toolbar" role="toolbar">
        <button type="button" class="toolbar-button" @click=${() => send({ intent: "toolbarReset" })}>
            ${icon("arrow.counterclockwise")}<span>Reset</span>
        </button>
        <button
            type="button"
            class="toolbar-button play-pause"
            aria-label=${isRunning ? "Pause" : "Play"}
            title=${isRunning ? "Pause" : "Play"}
            @click=${() => send({ intent: "toolbarPlayPause" })}
        >
            ${icon(isRunning ? "pause.fill" : "play.fill")}
        </button>
        <span class="toolbar-separator" aria-hidden="true"></span>
        <button type="button" class="toolbar-button" @click=${() => send({ intent: "toolbarSave" })}>
            ${icon("square.and.arrow.down")}<span>Save</span>
        </button>
    </div>`;
}

function placeholder(symbol: SymbolName, title: string, text: string): TemplateResult {
    return html`<div class="placeholder">
        ${icon(symbol, "placeholder-icon")}
        <h2 class="placeholder-title">${title}</h2>
        <p class="placeholder-text">${text}</p>
    </div>`;
}

function detail(project: ProjectState, context: ViewContext): TemplateResult | null {
    if (!project.isLoaded) {
        return placeholder("folder.badge.questionmark", "No Project Loaded", "Open a .pelagrinproj file to begin.");
    }
    const section = project.selectedSection;
    switch (section) {
        case null:
            return null;
        case "parameters":
        case "particles": {
            const content = project[section];
            return content === null ? null : parameterScreen(section, content, context);
        }
        case "simulation":
            return project.simulation === null
                ? null
                : simulationRenderer(project.simulation, context.particleFrames, context.send);
        case "analysis":
            return project.analysis === null ? null : analysisScreen(project.analysis, context);
        case "region":
            return project.region === null ? null : regionSelectionScreen(project.region, context);
    }
}

const features: { symbol: SymbolName; title: string; description: string }[] = [
    { symbol: "map.fill", title: "1. Define Region", description: "Start by selecting your water body on the map." },
    {
        symbol: "slider.horizontal.3",
        title: "2. Configure Physics",
        description: "Set flow speed, depth, and wind parameters.",
    },
    {
        symbol: "play.circle.fill",
        title: "3. Run Simulation",
        description: "Watch particles interact with realistic fluid dynamics.",
    },
];

/** How long the onboarding takes to fade out once dismissed, ms; the stylesheet's `fade-out` of it. */
export const onboardingFadeMs = 250;

/** The onboarding card over a dimmed backdrop; `isLeaving` while it fades out after its dismissal. */
export function onboardingOverlay(send: SendIntent, isLeaving: boolean): TemplateResult {
    const dismiss = (): void => send({ intent: "dismissOnboarding" });
    // Only a click that lands on the backdrop itself dismisses; clicks on the card stay with the card.
    const onBackdropClick = (event: MouseEvent): void => {
        if (event.target === event.currentTarget) dismiss();
    };
    return html`<div class="onboarding-backdrop ${isLeaving ? "is-leaving" : ""}" @click=${onBackdropClick}>
        <div class="onboarding-card" role="dialog" aria-modal="true" aria-labelledby="onboarding-title">
            <div class="onboarding-header">
                ${icon("hand.wave.fill", "onboarding-wave")}
                <h2 id="onboarding-title">Welcome to Pelagrin!</h2>
            </div>
            <div class="feature-rows">
                ${features.map(
                    (feature) => html`<div class="feature-row">
                        ${icon(feature.symbol, "feature-icon")}
                        <div>
                            <div class="feature-title">${feature.title}</div>
                            <div class="feature-description">${feature.description}</div>
                        </div>
                    </div>`,
                )}
            </div>
            <button type="button" class="button prominent large" @click=${dismiss}>Get Started</button>
        </div>
    </div>`;
}

/** An alert of the project window, its buttons sending their intents. */
function alert(
    id: string,
    title: string,
    message: string,
    buttons: ProjectAlertButton[],
    send: SendIntent,
): TemplateResult {
    return alertDialog({
        id,
        symbol: "drop",
        title,
        message,
        buttons: buttons.map((button) => ({
            title: button.title,
            style: button.style,
            run: () => send(button.intent),
        })),
    });
}

interface ProjectAlertButton {
    title: string;
    style: AlertButton["style"];
    intent: Intent;
}

export function closeAlert(send: SendIntent): TemplateResult {
    return alert(
        "close-alert",
        "Do you want to keep the changes?",
        "If you discard, your recent simulation settings and results will be lost.",
        [
            { title: "Save", style: "prominent", intent: { intent: "closeAlert", choice: "save" } },
            { title: "Discard Changes", style: "destructive", intent: { intent: "closeAlert", choice: "discard" } },
            { title: "Cancel", style: "", intent: { intent: "closeAlert", choice: "cancel" } },
        ],
        send,
    );
}

/** Offers the changes a window kept when it went without saving. */
export function restoreAlert(send: SendIntent): TemplateResult {
    return alert(
        "restore-alert",
        "Restore unsaved changes?",
        "This project has changes that were not saved when its window closed.",
        [
            { title: "Restore", style: "prominent", intent: { intent: "restoreAlert", choice: "restore" } },
            { title: "Discard", style: "destructive", intent: { intent: "restoreAlert", choice: "discard" } },
        ],
        send,
    );
}

/** `windowControls` is the window's close button, drawn at the top left as a desktop window has it. */
export function projectWindow(
    project: ProjectState,
    context: ViewContext,
    windowControls: TemplateResult,
): TemplateResult {
    const { send } = context;
    const hidden = context.view.sidebarHidden;
    return html`<div class="project-window ${hidden ? "sidebar-hidden" : ""}">
        ${
            hidden
                ? null
                : html`<aside class="sidebar-column">
                  <div class="titlebar">${windowControls}</div>
                  ${sidebarView(project, send)}
              </aside>`
        }
        <div class="detail-column">
            <div class="titlebar">
                ${hidden ? windowControls : null}
                <span class="window-title">${context.state.root.title}</span>
                ${toolbar(context.state.controller, send)}
            </div>
            ${project.ensemble ? ensembleStatus(project.ensemble, send) : null}
            <main class="detail">
                ${detail(project, context)}
                ${
                    project.showOnboarding || context.view.onboardingLeaving
                        ? onboardingOverlay(send, !project.showOnboarding)
                        : null
                }
            </main>
        </div>
        ${project.showCloseAlert ? closeAlert(send) : null} ${project.showRestoreAlert ? restoreAlert(send) : null}
        ${project.ensemble?.dialog ? ensembleDialog(project.ensemble.dialog, send) : null}
    </div>`;
}
