// The "Charts & Heatmaps" screen: "Export CSV", the metric cards, the accumulation timeline and the velocity
// distribution, or a placeholder where a chart has no data yet.
import "./analysis.css";
import { html, type TemplateResult } from "lit-html";
import { icon } from "../app/icons";
import type { SendIntent } from "../app/intents";
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

function chartBlock(block: TimelineChart | DistributionChart, config: () => ChartConfig): TemplateResult {
    return html`<section class="chart-block">
        <h3 class="chart-heading">${icon(block.icon)}<span>${block.title}</span></h3>
        ${
            block.placeholder === null
                ? html`<div class="chart-frame"><canvas aria-label=${block.title} ${chartCanvas(config())}></canvas></div>`
                : chartPlaceholder(block.placeholder)
        }
    </section>`;
}

export function analysisScreen(analysis: AnalysisState, send: SendIntent): TemplateResult {
    return html`<div class="analysis-screen">
        <div class="analysis-header">
            ${seedLine(analysis.seed)}
            <button type="button" class="button small export-csv" @click=${() => send({ intent: "exportCSV" })}>
                ${icon("square.and.arrow.up")}<span>Export CSV</span>
            </button>
            ${exportDepositButtons(analysis.deposits !== null, send)}
        </div>
        <div class="metric-grid">${analysis.cards.map(metricCard)}</div>
        <hr class="analysis-divider" />
        ${chartBlock(analysis.timeline, () => timelineChart(analysis.timeline))}
        <hr class="analysis-divider" />
        ${chartBlock(analysis.distribution, () => distributionChart(analysis.distribution))}
        <hr class="analysis-divider" />
        ${depositMapView(analysis.deposits)}
    </div>`;
}
