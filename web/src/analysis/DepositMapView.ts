// The deposits block of the analysis screen: the map, its two legends with units, and the sentences naming
// where most of the plastic went.
import "./deposits.css";
import { html, nothing, type TemplateResult } from "lit-html";
import { icon } from "../app/icons";
import type { SendIntent } from "../app/intents";
import { bedLegend, type LegendScale, shoreLegend } from "./depositColors";
import "./DepositMapElement";
import type { DepositsState } from "./DepositsState";

function legend(title: string, scale: LegendScale): TemplateResult {
    return html`<figure class="deposit-legend" aria-label=${title}>
        <figcaption>${title}</figcaption>
        <div class="deposit-legend-bar" style="background: ${scale.gradient}"></div>
        <div class="deposit-legend-ends"><span>${scale.low}</span><span>${scale.high}</span></div>
    </figure>`;
}

/**
 * "Export Deposits" (the resting particles as GeoJSON) and "Export Heatmap" (the bed grid as NetCDF), through
 * the save dialog; there is nothing to export before a run.
 */
export function exportDepositButtons(hasDeposits: boolean, send: SendIntent): TemplateResult {
    const button = (intent: "exportDeposits" | "exportHeatmap", className: string, label: string) =>
        html`<button type="button" class="button small ${className}" ?disabled=${!hasDeposits}
            @click=${() => send({ intent })}>
            ${icon("square.and.arrow.up")}<span>${label}</span>
        </button>`;
    return html`${button("exportDeposits", "export-deposits", "Export Deposits")}
    ${button("exportHeatmap", "export-heatmap", "Export Heatmap")}`;
}

export function depositMapView(deposits: DepositsState | null): TemplateResult {
    const title = "Where the Particles Rest";
    return html`<section class="chart-block deposits-block">
        <h3 class="chart-heading">${icon("map")}<span>${title}</span></h3>
        ${
            deposits === null
                ? html`<div class="deposit-placeholder">Run simulation to see where the particles come to rest</div>`
                : html`<div class="deposit-layout">
                      <pelagrin-deposit-map class="deposit-map" role="img" aria-label="Deposit map" .model=${deposits}>
                      </pelagrin-deposit-map>
                      <div class="deposit-side">
                          ${legend(deposits.heatmap.legend, bedLegend(deposits.heatmap.max))}
                          ${legend(deposits.shore.legend, shoreLegend(deposits.shore.max))}
                          <ol class="deposit-top" aria-label="Most stranded shore">
                              ${deposits.top.map((sentence) => html`<li>${sentence}</li>`)}
                          </ol>
                          ${deposits.hotspot === null ? nothing : html`<p class="deposit-hotspot">${deposits.hotspot}</p>`}
                      </div>
                  </div>`
        }
    </section>`;
}
