// The "Simulation Renderer" screen: the canvas with its elapsed-time badge, and the control bar below it. It
// keeps the renderer's view state and draws the latest particle frame on the browser's animation frames.
import { html, render, type TemplateResult } from "lit-html";
import { icon } from "../app/icons";
import type { SendIntent } from "../app/intents";
import type { LatestFrame } from "./LatestFrame";
import {
    beginPan,
    clampZoom,
    endPan,
    initialRendererView,
    maxZoom,
    minZoom,
    movePan,
    type PanGesture,
    type Point,
    type RendererViewState,
} from "./RendererViewState";
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
    private view_: RendererViewState = initialRendererView;
    private gesture_: PanGesture | null = null;
    private readonly drawer_ = new SceneDrawer();
    private drawnRevision_ = -1;
    private drawnModel_: SimulationState | null = null;
    private needsDraw_ = true;
    private animationFrame_: number | null = null;

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
    }

    /** Draws the controls again; the canvas follows on the next animation frame. */
    update(): void {
        if (this.model !== null) render(this.template(this.model), this);
        this.needsDraw_ = true;
    }

    private changeView(patch: Partial<RendererViewState>): void {
        this.view_ = { ...this.view_, ...patch };
        this.update();
    }

    private template(model: SimulationState): TemplateResult {
        const view = this.view_;
        const point = (event: PointerEvent): Point => ({ x: event.clientX, y: event.clientY });
        const onDown = (event: PointerEvent): void => {
            (event.currentTarget as Element).setPointerCapture(event.pointerId);
            this.gesture_ = beginPan(point(event));
        };
        const onMove = (event: PointerEvent): void => {
            if (this.gesture_ === null) return;
            const moved = movePan(this.view_, this.gesture_, point(event));
            this.gesture_ = moved.gesture;
            if (moved.view !== this.view_) this.changeView(moved.view);
        };
        const onUp = (event: PointerEvent): void => {
            if (this.gesture_ === null) return;
            const ended = endPan(this.view_, this.gesture_, point(event));
            this.gesture_ = null;
            if (ended !== this.view_) this.changeView(ended);
        };
        return html`<div class="detail-screen-main renderer-canvas-area">
                <canvas
                    class="renderer-canvas"
                    @pointerdown=${onDown}
                    @pointermove=${onMove}
                    @pointerup=${onUp}
                    @pointercancel=${onUp}
                ></canvas>
                ${
                    model.elapsed.isShown
                        ? html`<div class="renderer-badge" role="status" aria-label="Elapsed">
                              ${icon(model.elapsed.symbol)}<span>${model.elapsed.text}</span>
                          </div>`
                        : null
                }
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
                <div class="renderer-zoom">
                    ${icon("magnifyingglass.minus")}
                    <input
                        type="range"
                        aria-label="Zoom"
                        min=${minZoom}
                        max=${maxZoom}
                        step="any"
                        .value=${String(view.zoom)}
                        @input=${(event: Event) =>
                            this.changeView({ zoom: clampZoom(Number((event.target as HTMLInputElement).value)) })}
                    />
                    ${icon("magnifyingglass.plus")}
                </div>
                <label class="renderer-vectors">
                    <input
                        type="checkbox"
                        role="switch"
                        .checked=${view.showFlowVectors}
                        @change=${(event: Event) =>
                            this.changeView({ showFlowVectors: (event.target as HTMLInputElement).checked })}
                    />
                    <span>${model.vectorsLabel}</span>
                </label>
            </div>`;
    }

    private drawIfNeeded(): void {
        const canvas = this.querySelector<HTMLCanvasElement>(".renderer-canvas");
        const model = this.model;
        if (canvas === null || model === null) return;
        // The backing store follows the canvas's laid-out size in device pixels, so dots stay sharp.
        const width = canvas.clientWidth;
        const height = canvas.clientHeight;
        if (width === 0 || height === 0) return; // not laid out, or hidden: nothing to draw on
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
        const context = canvas.getContext("2d");
        if (context === null) return;
        this.drawer_.draw(context, {
            water: model.water,
            frame: this.frames?.frame ?? null,
            colorMode: model.colorMode,
            view: this.view_,
            size: { width, height },
            pixelRatio: ratio,
        });
        if (hasNewFrame) this.framesDrawn++;
        this.drawnRevision_ = revision;
        this.drawnModel_ = model;
        this.needsDraw_ = false;
    }
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
