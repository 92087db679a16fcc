// Draws one picture of the renderer with the canvas 2-D API: the water polygon, the particles as dots and the
// flow vectors.
import type { ParticleFrame } from "./ParticleFrame";
import { colorIndex, colorModeBySpeed, hasFlowVector, isDrawn, palette, type Rgb, vectorColor } from "./particleColors";
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

function css([r, g, b]: Rgb): string {
    return `rgb(${r}, ${g}, ${b})`;
}

/** One dot per palette colour, drawn once per zoom and stamped for every particle of that colour. */
interface DotSprites {
    mode: number;
    diameterPx: number;
    /** Side of each sprite, device pixels: the dot and a pixel of anti-aliased edge round it. */
    sidePx: number;
    sprites: HTMLCanvasElement[];
}

function makeSprites(mode: number, diameterPx: number): DotSprites {
    const sidePx = Math.ceil(diameterPx) + 2;
    const sprites = palette(mode).map((color) => {
        const sprite = document.createElement("canvas");
        sprite.width = sidePx;
        sprite.height = sidePx;
        const context = sprite.getContext("2d");
        if (context !== null) {
            context.fillStyle = css(color);
            context.beginPath();
            context.arc(sidePx / 2, sidePx / 2, diameterPx / 2, 0, 2 * Math.PI);
            context.fill();
        }
        return sprite;
    });
    return { mode, diameterPx, sidePx, sprites };
}

export class SceneDrawer {
    // Filling thousands of anti-aliased circles is the slow part of a software canvas; copying a small
    // pre-drawn dot to a whole pixel is not.
    private sprites_: DotSprites | null = null;

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
            context.setTransform(ratio, 0, 0, ratio, 0, 0);
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
        const ratio = scene.pixelRatio;
        const diameterPx = dotDiameter * scene.view.zoom * ratio;
        if (this.sprites_?.mode !== scene.colorMode || this.sprites_.diameterPx !== diameterPx) {
            this.sprites_ = makeSprites(scene.colorMode, diameterPx);
        }
        const { sidePx, sprites } = this.sprites_;
        const half = sidePx / 2;
        const widthPx = scene.size.width * ratio;
        const heightPx = scene.size.height * ratio;
        const speedScale = scene.colorMode === colorModeBySpeed ? fastestDrawn(frame) : 0;
        context.setTransform(1, 0, 0, 1, 0, 0);
        for (let i = 0; i < frame.count; i++) {
            const flags = frame.flags[i] ?? 0;
            if (!isDrawn(flags)) continue;
            // The sprite's corner on a whole device pixel: a plain copy, no resampling.
            const left = Math.round(viewX(mapping, frame.x[i] ?? 0) * ratio - half);
            const top = Math.round(viewY(mapping, frame.y[i] ?? 0) * ratio - half);
            if (left > widthPx || top > heightPx || left < -sidePx || top < -sidePx) continue;
            const color = colorIndex(flags, scene.colorMode, frame.z[i] ?? 0, frame.waterDepth, frame.speed[i] ?? 0, speedScale);
            const sprite = sprites[color];
            if (sprite !== undefined) context.drawImage(sprite, left, top);
        }
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
function drawFlowVectors(context: CanvasRenderingContext2D, frame: ParticleFrame, mapping: ViewMapping, zoom: number): void {
    context.beginPath();
    for (let i = 0; i < frame.count; i++) {
        const vx = frame.vx[i] ?? 0;
        const vy = frame.vy[i] ?? 0;
        if (!hasFlowVector(frame.flags[i] ?? 0, vx, vy)) continue;
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
