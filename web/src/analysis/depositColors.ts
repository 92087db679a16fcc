// How the deposit map colours its figures: one ramp from clear to dark red for the bed, one from pale yellow to
// red for the shore, and the legend stops that name them.

/** An RGBA colour, each channel 0–255. */
export type Rgba = [number, number, number, number];

/** Cells without particles are left clear, so that the lake and its tiles show through. */
const clear: Rgba = [0, 0, 0, 0];
/** The bed ramp's ends: a faint orange for the sparsest cell with particles, a dark red for the densest. */
const bedLow: Rgba = [255, 200, 120, 110];
const bedHigh: Rgba = [165, 0, 38, 230];
/** The shore ramp's ends: a shore without stranded particles is a thin grey, the most crowded stretch red. */
export const shoreEmpty = "#8e8e93";
const shoreLow: Rgba = [255, 220, 90, 255];
const shoreHigh: Rgba = [215, 25, 28, 255];

function mix(a: Rgba, b: Rgba, t: number): Rgba {
    return a.map((channel, i) => Math.round(channel + ((b[i] ?? 0) - channel) * t)) as Rgba;
}

/** Where `value` lies between 0 and `max`, on a square-root scale so that a few crowded cells do not wash the rest out. */
export function rampPosition(value: number, max: number): number {
    if (!(max > 0) || !(value > 0)) return 0;
    return Math.sqrt(Math.min(value, max) / max);
}

/** A bed cell's colour: clear without particles, else along the ramp. */
export function bedColor(particlesPerKm2: number, max: number): Rgba {
    return particlesPerKm2 > 0 ? mix(bedLow, bedHigh, rampPosition(particlesPerKm2, max)) : clear;
}

/** A stretch of shore's stroke: grey without stranded particles, else along the ramp. */
export function shoreColor(per100m: number, max: number): string {
    if (!(per100m > 0)) return shoreEmpty;
    const [r, g, b] = mix(shoreLow, shoreHigh, rampPosition(per100m, max));
    return `rgb(${r}, ${g}, ${b})`;
}

/**
 * The grid as image pixels, four bytes a cell, north row first as an image is drawn (the grid's rows run from
 * the south).
 */
export function heatmapPixels(
    rows: number,
    columns: number,
    particlesPerKm2: number[],
    max: number,
): Uint8ClampedArray {
    const pixels = new Uint8ClampedArray(rows * columns * 4);
    for (let row = 0; row < rows; row++) {
        const imageRow = rows - 1 - row;
        for (let column = 0; column < columns; column++) {
            pixels.set(bedColor(particlesPerKm2[row * columns + column] ?? 0, max), (imageRow * columns + column) * 4);
        }
    }
    return pixels;
}

/** A legend's gradient and its end labels: 0 and the greatest value, rounded for reading. */
export interface LegendScale {
    gradient: string;
    low: string;
    high: string;
}

function rgbaText([r, g, b, a]: Rgba): string {
    return `rgba(${r}, ${g}, ${b}, ${(a / 255).toFixed(2)})`;
}

function figureText(value: number): string {
    return value >= 100 ? Math.round(value).toString() : value.toFixed(1);
}

function legendScale(low: Rgba, high: Rgba, max: number): LegendScale {
    return {
        gradient: `linear-gradient(to right, ${rgbaText(low)}, ${rgbaText(high)})`,
        low: "0",
        high: figureText(max),
    };
}

export const bedLegend = (max: number): LegendScale => legendScale(bedLow, bedHigh, max);
export const shoreLegend = (max: number): LegendScale => legendScale(shoreLow, shoreHigh, max);
