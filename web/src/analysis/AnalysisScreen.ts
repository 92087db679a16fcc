// The "Charts & Heatmaps" screen: "Export CSV", the metric cards, the accumulation timeline and the velocity
// distribution, or a placeholder where a chart has no data yet.
import "./analysis.css";
import { html, type TemplateResult } from "lit-html";
import { icon } from "../app/icons";
import type { SendIntent } from "../app/intents";
import type { ViewContext } from "../app/ViewContext";
import type { AnalysisState, DistributionChart, MetricCard, RunSeed, TimelineChart } from "./AnalysisState";
import { chartCanvas } from "./ChartCanvas";
import { type ChartConfig, distributionChart, timelineChart } from "./chartData";
import { depositMapView, exportDepositButtons } from "./DepositMapView";

function metricCard(card: MetricCard): TemplateResult {
    return html`<div class="metric-card">
        <div class="metric-card-icon metric-${card.color}">${icon(card.icon)}</div>
        <div class="metric-card-value">${card.value}</div>
        <div class="metric-card-title">${card.title}</div>
    </div>`;
}

/** Selectable, so that the command can be copied into a terminal. */
function seedLine(seed: RunSeed | null): TemplateResult | null {
    if (seed === null) return null;
    return html`<p class="run-seed">Seed ${seed.value} · repeat with <code>${seed.command}</code></p>`;
}

function chartPlaceholder(text: string): TemplateResult {
    return html`<div class="chart-placeholder">${text}</div>`;
}

/** `band` names an ensemble's band, drawn (and named beside the title) even before a single run. */
function chartBlock(
    block: TimelineChart | DistributionChart,
    config: () => ChartConfig,
    band: string | null = null,
): TemplateResult {
    return html`<section class="chart-block">
        <h3 class="chart-heading">
            ${icon(block.icon)}<span>${block.title}</span>
            ${band === null ? null : html`<span class="chart-band-legend">${band}</span>`}
        </h3>
        ${
            band !== null || block.placeholder === null
                ? html`<div class="chart-frame"><canvas aria-label=${block.title} ${chartCanvas(config())}></canvas></div>`
                : chartPlaceholder(block.placeholder)
        }
    </section>`;
}

/** "Export Ensemble…" (the files `pelagrin ensemble` writes, into a folder) and "Clear Ensemble". */
function ensembleButtons(send: SendIntent): TemplateResult {
    return html`<button type="button" class="button small" @click=${() => send({ intent: "exportEnsemble" })}>
            ${icon("square.and.arrow.up")}<span>Export Ensemble…</span>
        </button>
        <button type="button" class="button small" @click=${() => send({ intent: "clearEnsemble" })}>
            ${icon("xmark")}<span>Clear Ensemble</span>
        </button>`;
}

/** "This run" / "Ensemble probability": which of the two the deposit map shows, once there is an ensemble. */
function depositSwitch(isProbability: boolean, context: ViewContext): TemplateResult {
    const choice = (label: string, value: boolean) =>
        html`<label class="segment"
            ><input
                type="radio"
                name="deposit-view"
                .checked=${isProbability === value}
                @change=${() => context.updateView({ showsEnsembleProbability: value })}
            />${label}</label
        >`;
    return html`<div class="deposit-switch" role="radiogroup" aria-label="Deposit map shows">
        ${choice("This run", false)} ${choice("Ensemble probability", true)}
    </div>`;
}

export function analysisScreen(analysis: AnalysisState, context: ViewContext): TemplateResult {
    const send = context.send;
    const probability = analysis.ensembleDeposits;
    const showsProbability = probability !== null && context.view.showsEnsembleProbability;
    return html`<div class="analysis-screen">
        <div class="analysis-header">
            ${seedLine(analysis.seed)}
            <button type="button" class="button small export-csv" @click=${() => send({ intent: "exportCSV" })}>
                ${icon("square.and.arrow.up")}<span>Export CSV</span>
            </button>
            ${exportDepositButtons(analysis.deposits !== null, send)}
            ${analysis.timeline.band === null ? null : ensembleButtons(send)}
        </div>
        <div class="metric-grid">${analysis.cards.map(metricCard)}</div>
        <hr class="analysis-divider" />
        ${chartBlock(analysis.timeline, () => timelineChart(analysis.timeline), analysis.timeline.band?.legend ?? null)}
        <hr class="analysis-divider" />
        ${chartBlock(analysis.distribution, () => distributionChart(analysis.distribution))}
        <hr class="analysis-divider" />
        ${probability === null ? null : depositSwitch(showsProbability, context)}
        ${depositMapView(showsProbability ? probability : analysis.deposits)}
    </div>`;
}
