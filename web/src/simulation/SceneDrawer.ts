// Draws one picture of the renderer with the canvas 2-D API: the water polygon, the particles as dots on a layer
// of their own and the flow vectors, all through the one affine mapping of simulation px onto the view.
import type { ParticleFrame } from "./ParticleFrame";
import { type DotColor, type DotMask, dotColor, dotMask, stampDot } from "./dotPixels";
import { type ViewMapping, viewX, viewY } from "./lakeMapping";
import { ParticleLayer } from "./ParticleLayer";
import { colorIndex, hasFlowVector, isDrawn, palette, vectorColor } from "./particleColors";
import type { WaterState } from "./SimulationState";

export interface Scene {
    water: WaterState | null;
    frame: ParticleFrame | null;
    colorMode: number;
    mapping: ViewMapping;
    /** The view in points. */
    size: { width: number; height: number };
    /** Device pixels per point; the context is drawn in device pixels. */
    pixelRatio: number;
    /** The base map lies under the canvas: the water is outlined, not filled. */
    showsMap: boolean;
    /** The speed at the top of the "By Speed" ramp, px/s. */
    speedTop: number;
    /** Flow vectors' length per unit of speed, view points per px/s; 0 draws none. */
    vectorLength: number;
}

/** A dot's diameter, and a flow vector's line width, view points. */
const dotDiameter = 3;
const vectorLineWidth = 1.5;
/** A flow vector shorter than this is not drawn, view points: it would be a speck under its dot. */
const shortestVector = 0.5;

export class SceneDrawer {
    private readonly layer_ = new ParticleLayer();
    // Made again only when the pixel ratio or the colour mode changes, not for every picture.
    private mask_: DotMask | null = null;
    private colors_: { mode: number; colors: DotColor[] } | null = null;

    draw(context: CanvasRenderingContext2D, scene: Scene): void {
        const ratio = scene.pixelRatio;
        context.setTransform(ratio, 0, 0, ratio, 0, 0);
        context.clearRect(0, 0, scene.size.width, scene.size.height);
        if (scene.water !== null && scene.water.vertices.length > 0) drawWater(context, scene);
        if (scene.frame !== null) {
            this.drawParticles(context, scene, scene.frame);
            if (scene.vectorLength > 0) drawFlowVectors(context, scene.frame, scene.mapping, scene.vectorLength);
        }
    }

    /** In snapshot order, so later particles lie on top. */
    private drawParticles(context: CanvasRenderingContext2D, scene: Scene, frame: ParticleFrame): void {
        const pixels = this.layer_.begin(context.canvas.width, context.canvas.height);
        if (pixels === null) return;
        const ratio = scene.pixelRatio;
        const diameterPx = dotDiameter * ratio;
        if (this.mask_?.diameter !== diameterPx) this.mask_ = dotMask(diameterPx);
        if (this.colors_?.mode !== scene.colorMode) {
            this.colors_ = { mode: scene.colorMode, colors: palette(scene.colorMode).map(dotColor) };
        }
        const mask = this.mask_;
        const { colors } = this.colors_;
        // The mapping in device pixels, hoisted out of the loop.
        const ax = scene.mapping.scaleX * ratio;
        const bx = scene.mapping.originX * ratio;
        const ay = scene.mapping.scaleY * ratio;
        const by = scene.mapping.originY * ratio;
        for (let i = 0; i < frame.count; i++) {
            const flags = frame.flags[i] ?? 0;
            if (!isDrawn(flags)) continue;
            const z = frame.z[i] ?? 0;
            const speed = frame.speed[i] ?? 0;
            const color = colors[colorIndex(flags, scene.colorMode, z, frame.waterDepth, speed, scene.speedTop)];
            if (color === undefined) continue;
            stampDot(pixels, mask, ax * (frame.x[i] ?? 0) + bx, ay * (frame.y[i] ?? 0) + by, color);
        }
        this.layer_.drawOnto(context);
    }
}

function drawWater(context: CanvasRenderingContext2D, scene: Scene): void {
    const { water, mapping } = scene;
    if (water === null) return;
    context.beginPath();
    for (const [x, y] of water.vertices) {
        context.lineTo(viewX(mapping, x), viewY(mapping, y));
    }
    context.closePath();
    if (!scene.showsMap) {
        const gradient = context.createLinearGradient(0, 0, 0, scene.size.height);
        for (const stop of water.fill) gradient.addColorStop(stop.location, stop.color);
        context.fillStyle = gradient;
        context.fill();
    }
    context.strokeStyle = water.stroke;
    context.lineWidth = water.lineWidth;
    context.lineJoin = "round";
    context.stroke();
}

/**
 * Each line starts at the particle and points where it moves on the view; its length is its speed at
 * `length` view points per px/s, so that the legend's "1 cm = … m/s" holds whatever the zoom.
 */
function drawFlowVectors(
    context: CanvasRenderingContext2D,
    frame: ParticleFrame,
    mapping: ViewMapping,
    length: number,
): void {
    context.beginPath();
    for (let i = 0; i < frame.count; i++) {
        if (!hasFlowVector(frame.flags[i] ?? 0)) continue;
        const dx = mapping.scaleX * (frame.vx[i] ?? 0);
        const dy = mapping.scaleY * (frame.vy[i] ?? 0);
        const drawn = Math.hypot(dx, dy);
        const vectorLength = (frame.speed[i] ?? 0) * length;
        if (drawn === 0 || vectorLength < shortestVector) continue;
        const stretch = vectorLength / drawn;
        const x = viewX(mapping, frame.x[i] ?? 0);
        const y = viewY(mapping, frame.y[i] ?? 0);
        context.moveTo(x, y);
        context.lineTo(x + dx * stretch, y + dy * stretch);
    }
    context.strokeStyle = vectorColor;
    context.lineWidth = vectorLineWidth;
    context.stroke();
}
