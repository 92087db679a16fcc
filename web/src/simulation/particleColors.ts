// How a particle is coloured: stranded orange, sedimented brown, the rest by the project's colour mode.
import { isActiveBit, isSedimentedBit, isStuckBit } from "./ParticleFrame";

/** Red, green and blue, 0 to 255. */
export type Rgb = [number, number, number];

export const colorModeUniform = 0;
export const colorModeBySpeed = 1;
export const colorModeByDepth = 2;

/**
 * The platform's system orange and system brown: neither lies on a ramp, and brown stays apart from the water
 * fill and the map's water, which a dark blue on the bottom did not.
 */
export const stuckColor: Rgb = [255, 149, 0];
export const sedimentedColor: Rgb = [162, 132, 94];
/** The platform's system yellow, for flow vectors at opacity 0.8. */
export const vectorColor = "rgba(255, 204, 0, 0.8)";

/** Hue, saturation and brightness, each 0 to 1, as red, green and blue. */
export function hsbToRgb(hue: number, saturation: number, brightness: number): Rgb {
    const sector = (((hue % 1) + 1) % 1) * 6;
    const channel = (n: number): number => {
        const k = (n + sector) % 6;
        const weight = Math.max(0, Math.min(k, 4 - k, 1));
        return Math.round(255 * brightness * (1 - saturation * weight));
    };
    return [channel(5), channel(3), channel(1)];
}

/** Depth as a fraction of the water column; a negative or undefined quotient counts as the surface. */
export function depthFraction(z: number, waterDepth: number): number {
    const d = z / waterDepth;
    return d >= 0 ? d : 0;
}

/**
 * Where a drifting particle lies on its mode's colour ramp, 0 to 1: depth from the surface to `waterDepth` in
 * "By Depth", speed from standstill to `speedTop` (px/s) in "By Speed", always 0 in "Uniform".
 */
export function rampPosition(mode: number, z: number, waterDepth: number, speed: number, speedTop: number): number {
    if (mode === colorModeBySpeed) return speedTop > 0 ? Math.min(speed / speedTop, 1) : 0;
    if (mode === colorModeByDepth) return Math.min(depthFraction(z, waterDepth), 1);
    return 0;
}

/**
 * The colour at `position` of a mode's ramp. "Uniform" is one light blue; "By Depth" turns from cyan to violet
 * on the way down; "By Speed" runs from blue when still through green to lime, clear of the stranded orange.
 */
export function rampColor(mode: number, position: number): Rgb {
    if (mode === colorModeBySpeed) return hsbToRgb(0.65 - 0.45 * position, 0.85, 0.95);
    if (mode === colorModeByDepth) return hsbToRgb(0.5 + 0.25 * position, 0.8, 1 - 0.5 * position);
    return hsbToRgb(0.55, 0.7, 1);
}

/** Whether a particle with `flags` is drawn at all: one not yet released is not. */
export function isDrawn(flags: number): boolean {
    return (flags & isActiveBit) !== 0;
}

/** Ramp colours between the surface (or standstill) and the bottom (or the fastest), ends included. */
export const rampSteps = 100;

/**
 * The colours a frame is drawn in for `mode`: stuck, sedimented, then `rampSteps` + 1 evenly spaced along the
 * ramp, close enough that neighbours differ by about one step of an 8-bit channel.
 */
export function palette(mode: number): Rgb[] {
    const ramp = Array.from({ length: rampSteps + 1 }, (_, step) => rampColor(mode, step / rampSteps));
    return [stuckColor, sedimentedColor, ...ramp];
}

/** The entry of `palette(mode)` a drawn particle takes. */
export function colorIndex(
    flags: number,
    mode: number,
    z: number,
    waterDepth: number,
    speed: number,
    speedTop: number,
): number {
    if (flags & isStuckBit) return 0;
    if (flags & isSedimentedBit) return 1;
    return 2 + Math.round(rampPosition(mode, z, waterDepth, speed, speedTop) * rampSteps);
}

/**
 * Whether a particle gets a flow vector: drifting, neither stuck nor on the bottom. Not the app's moving flag:
 * vectors are drawn to a scale in metres per second, and on a large lake a real current is far below its
 * 0.1 px/s; too short a line is left out when drawn instead.
 */
export function hasFlowVector(flags: number): boolean {
    return isDrawn(flags) && (flags & (isStuckBit | isSedimentedBit)) === 0;
}
