// The "Simulation Renderer" screen: the lake on a map in true proportion with the particles over it, the badge,
// legend and north arrow, and the control bar below. It keeps its own view flags and draws the latest particle
// frame on the browser's animation frames.
import { html, render, type TemplateResult } from "lit-html";
import { icon } from "../app/icons";
import type { SendIntent } from "../app/intents";
import { tileSourcesFrom } from "../water/tileSources";
import type { LatestFrame } from "./LatestFrame";
import { type GeoBounds, openWaterBounds } from "./lakeMapping";
import { type Legend, legendOf, pxPerCm, speedTopOf, vectorSpeedPerCm } from "./legend";
import { colorModeBySpeed } from "./particleColors";
import { RendererMap } from "./RendererMap";
import { SceneDrawer } from "./SceneDrawer";
import type { SimulationState } from "./SimulationState";
import "./renderer.css";

export const rendererTag = "pelagrin-simulation-renderer";

export class SimulationRendererElement extends HTMLElement {
    frames: LatestFrame | null = null;
    send: SendIntent = () => {};
    /** Particle frames drawn since the screen appeared; what a measurement of the drawing counts. */
    framesDrawn = 0;

    private model_: SimulationState | null = null;
    private showsVectors_ = false;
    private showsMap_ = false;
    private map_: RendererMap | null = null;
    private readonly canvas_ = document.createElement("canvas");
    private resizeObserver_: ResizeObserver | null = null;
    /** The bounds the view was last fitted to, as JSON: other bounds (another lake) fit again. */
    private fittedBounds_: string | null = null;
    /** The view is the last fit, untouched by the user since: a resize fits it again. */
    private keepsFit_ = false;
    /** The speed ramp's top, m/s: it only grows during a run, so that colours and legend hold still. */
    private speedTop_ = 0;
    /** The time of the frame the top was last taken from, s. */
    private speedTopTime_ = -Infinity;
    private readonly drawer_ = new SceneDrawer();
    private drawnRevision_ = -1;
    private drawnModel_: SimulationState | null = null;
    private needsDraw_ = true;
    private animationFrame_: number | null = null;

    constructor() {
        super();
        this.canvas_.className = "renderer-canvas";
    }

    /** Set by the page on every state: the app's part of the screen. */
    get model(): SimulationState | null {
        return this.model_;
    }

    set model(model: SimulationState | null) {
        this.model_ = model;
        if (this.isConnected) this.update();
    }

    connectedCallback(): void {
        this.update();
        const tick = (): void => {
            this.drawIfNeeded();
            this.animationFrame_ = requestAnimationFrame(tick);
        };
        this.animationFrame_ = requestAnimationFrame(tick);
    }

    disconnectedCallback(): void {
        if (this.animationFrame_ !== null) cancelAnimationFrame(this.animationFrame_);
        this.animationFrame_ = null;
        this.resizeObserver_?.disconnect();
        this.resizeObserver_ = null;
        this.map_?.remove();
        this.map_ = null;
        this.fittedBounds_ = null;
    }

    /** Draws the controls again, and makes the map once its place exists; the canvas follows on the next frame. */
    update(): void {
        if (this.model === null) return;
        render(this.template(this.model), this);
        this.needsDraw_ = true;
        const container = this.querySelector<HTMLElement>(".renderer-map");
        if (this.map_ !== null || container === null) return;
        const map = new RendererMap(container, tileSourcesFrom(window.location.search).map, () => {
            this.needsDraw_ = true;
        });
        this.map_ = map;
        map.showTiles(this.showsMap_);
        container.append(this.canvas_);
        this.resizeObserver_ = new ResizeObserver(() => {
            map.resize();
            if (this.keepsFit_) this.fit();
        });
        this.resizeObserver_.observe(container);
        for (const type of ["wheel", "pointerdown", "keydown"]) {
            container.addEventListener(type, () => (this.keepsFit_ = false), { passive: true });
        }
    }

    /** The degrees the canvas spans: the region's, or the open water's stand-in. */
    private bounds(model: SimulationState): GeoBounds {
        return model.water.geoBounds ?? openWaterBounds;
    }

    /** Shows the whole lake with a margin round it. */
    fit(): void {
        const model = this.model;
        if (model === null || this.map_ === null) return;
        const bounds = this.bounds(model);
        if (!this.map_.fit(bounds)) return;
        this.fittedBounds_ = JSON.stringify(bounds);
        this.keepsFit_ = true;
    }

    private legend(model: SimulationState): Legend {
        return legendOf(model.colorMode, model.waterDepth, this.speedTop_, this.showsVectors_);
    }

    private template(model: SimulationState): TemplateResult {
        const legend = this.legend(model);
        const toggle = (label: string, isOn: boolean, change: (isOn: boolean) => void) =>
            html`<label class="renderer-toggle">
                <input
                    type="checkbox"
                    role="switch"
                    .checked=${isOn}
                    @change=${(event: Event) => change((event.target as HTMLInputElement).checked)}
                />
                <span>${label}</span>
            </label>`;
        return html`<div class="detail-screen-main renderer-canvas-area">
                <div class="renderer-map"></div>
                ${
                    model.elapsed.isShown
                        ? html`<div class="renderer-badge" role="status" aria-label="Elapsed">
                              ${icon(model.elapsed.symbol)}<span>${model.elapsed.text}</span>
                          </div>`
                        : null
                }
                <div class="renderer-north" role="img" aria-label="North is up">
                    <svg viewBox="0 0 16 24" aria-hidden="true"><path d="M8 1 14 17 8 13 2 17z" /></svg>
                    <span>N</span>
                </div>
                ${legendTemplate(legend)}
                ${model.notice === null ? null : html`<p class="renderer-notice" role="note">${model.notice}</p>`}
            </div>
            <div class="control-bar renderer-control-bar">
                <button
                    type="button"
                    class="renderer-play-pause"
                    aria-label=${model.isRunning ? "Pause" : "Play"}
                    @click=${() => this.send({ intent: "toolbarPlayPause" })}
                >
                    ${icon(model.playPauseSymbol)}
                </button>
                <span class="bar-divider" aria-hidden="true"></span>
                <label class="renderer-speed">
                    <span>${model.speed.label}</span>
                    <select
                        .value=${String(model.speed.value)}
                        @change=${(event: Event) =>
                            this.send({ intent: "setSpeed", value: Number((event.target as HTMLSelectElement).value) })}
                    >
                        ${model.speed.choices.map(
                            (choice) => html`<option value=${String(choice.value)}>${choice.label}</option>`,
                        )}
                    </select>
                </label>
                <button type="button" class="renderer-fit" title="Show the whole lake" @click=${() => this.fit()}>
                    Fit
                </button>
                ${toggle(model.vectorsLabel, this.showsVectors_, (isOn) => {
                    this.showsVectors_ = isOn;
                    this.update();
                })}
                ${toggle("Map", this.showsMap_, (isOn) => {
                    this.showsMap_ = isOn;
                    this.map_?.showTiles(isOn);
                    this.update();
                })}
            </div>`;
    }

    /** The speed ramp's top for the newest frame, m/s; a frame earlier than the last one starts a new run. */
    private followSpeedTop(model: SimulationState): void {
        const frame = this.frames?.frame ?? null;
        const needsSpeeds = model.colorMode === colorModeBySpeed || this.showsVectors_;
        if (frame === null || !needsSpeeds) return;
        const top = speedTopOf(frame, model.metresPerPx);
        const isNewRun = frame.time < this.speedTopTime_;
        this.speedTopTime_ = frame.time;
        const next = isNewRun ? top : Math.max(top, this.speedTop_);
        if (next !== this.speedTop_) {
            this.speedTop_ = next;
            render(this.template(model), this);
        }
    }

    private drawIfNeeded(): void {
        const canvas = this.canvas_;
        const model = this.model;
        if (this.map_ === null || model === null) return;
        // The backing store follows the canvas's laid-out size in device pixels, so dots stay sharp.
        const width = canvas.clientWidth;
        const height = canvas.clientHeight;
        if (width === 0 || height === 0) return; // not laid out, or hidden: nothing to draw on
        const bounds = this.bounds(model);
        if (this.fittedBounds_ !== JSON.stringify(bounds)) this.fit();
        const mapping = this.map_.mapping(bounds);
        if (mapping === null) return;
        const ratio = window.devicePixelRatio || 1;
        const pixelWidth = Math.round(width * ratio);
        const pixelHeight = Math.round(height * ratio);
        if (canvas.width !== pixelWidth || canvas.height !== pixelHeight) {
            canvas.width = pixelWidth;
            canvas.height = pixelHeight;
            this.needsDraw_ = true;
        }
        const revision = this.frames?.revision ?? 0;
        const hasNewFrame = revision !== this.drawnRevision_;
        if (!hasNewFrame && !this.needsDraw_ && model === this.drawnModel_) return;
        if (hasNewFrame) this.followSpeedTop(model);
        const context = canvas.getContext("2d");
        if (context === null) return;
        const speedTopPx = this.speedTop_ / model.metresPerPx;
        this.drawer_.draw(context, {
            water: model.water,
            frame: this.frames?.frame ?? null,
            colorMode: model.colorMode,
            mapping,
            size: { width, height },
            pixelRatio: ratio,
            showsMap: this.showsMap_,
            speedTop: speedTopPx,
            vectorLength: this.showsVectors_ && speedTopPx > 0 ? pxPerCm / vectorSpeedPerCm(speedTopPx) : 0,
        });
        if (hasNewFrame) this.framesDrawn++;
        this.drawnRevision_ = revision;
        this.drawnModel_ = model;
        this.needsDraw_ = false;
    }
}

function legendTemplate(legend: Legend): TemplateResult {
    return html`<figure class="renderer-legend" aria-label="Legend">
        <figcaption>${legend.title}</figcaption>
        ${
            legend.ramp === null
                ? null
                : html`<div class="renderer-legend-ramp" style="background: ${legend.ramp.gradient}"></div>
                      <div class="renderer-legend-range"><span>${legend.ramp.from}</span><span>${legend.ramp.to}</span></div>`
        }
        <ul>
            ${legend.swatches.map(
                (swatch) =>
                    html`<li><span class="renderer-legend-swatch" style="background: ${swatch.color}"></span>${swatch.label}</li>`,
            )}
        </ul>
        ${legend.vectors === null ? null : html`<p>${legend.vectors}</p>`}
    </figure>`;
}

if (customElements.get(rendererTag) === undefined) customElements.define(rendererTag, SimulationRendererElement);

/** The screen for the project window's detail area; `frames` holds what the app last sent. */
export function simulationRenderer(model: SimulationState, frames: LatestFrame, send: SendIntent): TemplateResult {
    return html`<pelagrin-simulation-renderer
        class="detail-screen"
        .model=${model}
        .frames=${frames}
        .send=${send}
    ></pelagrin-simulation-renderer>`;
}
