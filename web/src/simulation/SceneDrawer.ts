// Draws one picture of the renderer with the canvas 2-D API: the water polygon, the particles as dots on a layer
// of their own and the flow vectors.
import type { ParticleFrame } from "./ParticleFrame";
import { type DotColor, type DotMask, dotColor, dotMask, stampDot } from "./dotPixels";
import { ParticleLayer } from "./ParticleLayer";
import { colorIndex, colorModeBySpeed, hasFlowVector, isDrawn, palette, vectorColor } from "./particleColors";
import { type RendererViewState, type Size, type ViewMapping, viewMapping, viewX, viewY } from "./RendererViewState";
import type { WaterState } from "./SimulationState";

export interface Scene {
    water: WaterState | null;
    frame: ParticleFrame | null;
    colorMode: number;
    view: RendererViewState;
    /** The view in points. */
    size: Size;
    /** Device pixels per point; the context is drawn in device pixels. */
    pixelRatio: number;
}

/** A dot's diameter at zoom 1, and a flow vector's line width, view points. */
const dotDiameter = 3;
const vectorLineWidth = 2;

export class SceneDrawer {
    private readonly layer_ = new ParticleLayer();
    // Made again only when the zoom or the colour mode changes, not for every picture of a pan.
    private mask_: DotMask | null = null;
    private colors_: { mode: number; colors: DotColor[] } | null = null;

    draw(context: CanvasRenderingContext2D, scene: Scene): void {
        const ratio = scene.pixelRatio;
        context.setTransform(ratio, 0, 0, ratio, 0, 0);
        context.clearRect(0, 0, scene.size.width, scene.size.height);
        const mapping = viewMapping(scene.view, scene.size);
        if (scene.water !== null && scene.water.vertices.length > 0) {
            drawWater(context, scene.water, mapping, scene.view.zoom, scene.size);
        }
        if (scene.frame !== null) {
            this.drawParticles(context, scene, scene.frame, mapping);
            if (scene.view.showFlowVectors) drawFlowVectors(context, scene.frame, mapping, scene.view.zoom);
        }
    }

    /** In snapshot order, so later particles lie on top. */
    private drawParticles(
        context: CanvasRenderingContext2D,
        scene: Scene,
        frame: ParticleFrame,
        mapping: ViewMapping,
    ): void {
        const pixels = this.layer_.begin(context.canvas.width, context.canvas.height);
        if (pixels === null) return;
        const ratio = scene.pixelRatio;
        const diameterPx = dotDiameter * scene.view.zoom * ratio;
        if (this.mask_?.diameter !== diameterPx) this.mask_ = dotMask(diameterPx);
        if (this.colors_?.mode !== scene.colorMode) {
            this.colors_ = { mode: scene.colorMode, colors: palette(scene.colorMode).map(dotColor) };
        }
        const mask = this.mask_;
        const { colors } = this.colors_;
        const speedScale = scene.colorMode === colorModeBySpeed ? fastestDrawn(frame) : 0;
        for (let i = 0; i < frame.count; i++) {
            const flags = frame.flags[i] ?? 0;
            if (!isDrawn(flags)) continue;
            const z = frame.z[i] ?? 0;
            const speed = frame.speed[i] ?? 0;
            const color = colors[colorIndex(flags, scene.colorMode, z, frame.waterDepth, speed, speedScale)];
            if (color === undefined) continue;
            const x = viewX(mapping, frame.x[i] ?? 0) * ratio;
            const y = viewY(mapping, frame.y[i] ?? 0) * ratio;
            stampDot(pixels, mask, x, y, color);
        }
        this.layer_.drawOnto(context);
    }
}

function drawWater(
    context: CanvasRenderingContext2D,
    water: WaterState,
    mapping: ViewMapping,
    zoom: number,
    size: Size,
): void {
    context.beginPath();
    for (const [x, y] of water.vertices) {
        context.lineTo(viewX(mapping, x), viewY(mapping, y));
    }
    context.closePath();
    const gradient = context.createLinearGradient(0, 0, 0, size.height);
    for (const stop of water.fill) gradient.addColorStop(stop.location, stop.color);
    context.fillStyle = gradient;
    context.fill();
    context.strokeStyle = water.stroke;
    context.lineWidth = water.lineWidth * zoom;
    context.lineJoin = "round";
    context.stroke();
}

/** Each line runs from the particle to where its velocity takes it in one second. */
function drawFlowVectors(
    context: CanvasRenderingContext2D,
    frame: ParticleFrame,
    mapping: ViewMapping,
    zoom: number,
): void {
    context.beginPath();
    for (let i = 0; i < frame.count; i++) {
        const vx = frame.vx[i] ?? 0;
        const vy = frame.vy[i] ?? 0;
        if (!hasFlowVector(frame.flags[i] ?? 0)) continue;
        const x = frame.x[i] ?? 0;
        const y = frame.y[i] ?? 0;
        context.moveTo(viewX(mapping, x), viewY(mapping, y));
        context.lineTo(viewX(mapping, x + vx), viewY(mapping, y + vy));
    }
    context.strokeStyle = vectorColor;
    context.lineWidth = vectorLineWidth * zoom;
    context.stroke();
}

/** The highest speed among the drawn particles of a frame, px/s: the top of the "By Speed" ramp. */
function fastestDrawn(frame: ParticleFrame): number {
    let fastest = 0;
    for (let i = 0; i < frame.count; i++) {
        const speed = frame.speed[i] ?? 0;
        if (isDrawn(frame.flags[i] ?? 0) && speed > fastest) fastest = speed;
    }
    return fastest;
}
