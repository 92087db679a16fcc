// How a particle is coloured: stuck orange, sedimented dark blue, the rest by the project's colour mode.
import { isActiveBit, isMovingBit, isSedimentedBit, isStuckBit } from "./ParticleFrame";

/** Red, green and blue, 0 to 255. */
export type Rgb = [number, number, number];

export const colorModeUniform = 0;
export const colorModeBySpeed = 1;
export const colorModeByDepth = 2;

/** The platform's system orange, and the hue, saturation and brightness of a particle on the bottom. */
export const stuckColor: Rgb = [255, 149, 0];
export const sedimentedColor: Rgb = hsbToRgb(0.6, 0.8, 0.2);
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
 * Where a drifting particle lies on its mode's colour ramp, 0 to 1: depth in "Uniform" and "By Depth", speed
 * relative to the fastest particle of the frame (`speedScale`, px/s) in "By Speed".
 */
export function rampPosition(mode: number, z: number, waterDepth: number, speed: number, speedScale: number): number {
    if (mode === colorModeBySpeed) return speedScale > 0 ? Math.min(speed / speedScale, 1) : 0;
    return Math.min(depthFraction(z, waterDepth), 1);
}

/**
 * The colour at `position` of a mode's ramp. "Uniform" is light blue at the surface darkening with depth; "By
 * Depth" turns from cyan to violet on the way down; "By Speed" runs from blue when still to red when fastest.
 */
export function rampColor(mode: number, position: number): Rgb {
    if (mode === colorModeBySpeed) return hsbToRgb(0.6 * (1 - position), 0.8, 0.95);
    if (mode === colorModeByDepth) return hsbToRgb(0.5 + 0.25 * position, 0.8, 1 - 0.5 * position);
    return hsbToRgb(0.55, 0.7, 1 - 0.7 * position);
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
    speedScale: number,
): number {
    if (flags & isStuckBit) return 0;
    if (flags & isSedimentedBit) return 1;
    return 2 + Math.round(rampPosition(mode, z, waterDepth, speed, speedScale) * rampSteps);
}

/**
 * Whether a particle gets a flow vector: drifting, neither stuck nor on the bottom, and moving faster than
 * 0.1 px/s, which only the app can tell exactly at the threshold.
 */
export function hasFlowVector(flags: number): boolean {
    return isDrawn(flags) && (flags & (isStuckBit | isSedimentedBit | isMovingBit)) === isMovingBit;
}
