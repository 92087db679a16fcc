// The renderer's legend: what each colour means in the colour mode in use, with its range in metres or metres
// per second, and the flow vectors' length scale.
import { isSedimentedBit, isStuckBit, type ParticleFrame } from "./ParticleFrame";
import {
    colorModeByDepth,
    colorModeBySpeed,
    isDrawn,
    rampColor,
    type Rgb,
    sedimentedColor,
    stuckColor,
} from "./particleColors";

export interface LegendSwatch {
    label: string;
    /** A CSS colour. */
    color: string;
}

export interface Legend {
    title: string;
    /** The ramp drawn left to right as a CSS gradient, with its two ends' values; `null` in "Uniform". */
    ramp: { gradient: string; from: string; to: string } | null;
    swatches: LegendSwatch[];
    /** The flow vectors' length scale ("1 cm = 0.25 m/s"), while they are drawn. */
    vectors: string | null;
}

/** CSS px in a CSS centimetre: the unit the vectors' scale is stated in. */
export const pxPerCm = 96 / 2.54;

/** The slowest top a speed ramp gets, m/s: a still lake still gets a ramp that reads. */
const slowestSpeedTop = 0.01;

const css = ([r, g, b]: Rgb): string => `rgb(${r}, ${g}, ${b})`;

/** A number as a label: at most three significant digits, no trailing zeros. */
const figure = (value: number): string => String(Number(value.toPrecision(3)));

/** The least of 1, 2 and 5 times a power of ten that is at least `value` (> 0). */
export function niceCeiling(value: number): number {
    const power = 10 ** Math.floor(Math.log10(value));
    const step = [1, 2, 5, 10].find((factor) => factor * power >= value * (1 - 1e-9)) ?? 10;
    return Number((step * power).toPrecision(1));
}

/** The top of the speed ramp for a frame, m/s: a round figure at or above its fastest drifting particle. */
export function speedTopOf(frame: ParticleFrame, metresPerPx: number): number {
    let fastest = 0;
    for (let i = 0; i < frame.count; i++) {
        const flags = frame.flags[i] ?? 0;
        if (!isDrawn(flags) || (flags & (isStuckBit | isSedimentedBit)) !== 0) continue;
        fastest = Math.max(fastest, frame.speed[i] ?? 0);
    }
    return niceCeiling(Math.max(fastest * metresPerPx, slowestSpeedTop));
}

/** The speed one centimetre of flow vector stands for, m/s: the fastest vector is at most 2 cm long. */
export function vectorSpeedPerCm(speedTop: number): number {
    return speedTop / 2;
}

function rampGradient(mode: number): string {
    const stops = [0, 0.25, 0.5, 0.75, 1].map((at) => `${css(rampColor(mode, at))} ${at * 100}%`);
    return `linear-gradient(to right, ${stops.join(", ")})`;
}

/**
 * The legend for `mode` (0 "Uniform", 1 "By Speed", 2 "By Depth", others as 0), a water column `waterDepth`
 * deep (m), speeds up to `speedTop` (m/s), with the vectors' scale when `showsVectors`.
 */
export function legendOf(mode: number, waterDepth: number, speedTop: number, showsVectors: boolean): Legend {
    const kept = [
        { label: "Stranded", color: css(stuckColor) },
        { label: "Sedimented", color: css(sedimentedColor) },
    ];
    const vectors = showsVectors ? `Vectors: 1 cm = ${figure(vectorSpeedPerCm(speedTop))} m/s` : null;
    if (mode === colorModeByDepth) {
        const ramp = { gradient: rampGradient(mode), from: "0 m", to: `${figure(waterDepth)} m` };
        return { title: "By Depth", ramp, swatches: kept, vectors };
    }
    if (mode === colorModeBySpeed) {
        const ramp = { gradient: rampGradient(mode), from: "0 m/s", to: `${figure(speedTop)} m/s` };
        return { title: "By Speed", ramp, swatches: kept, vectors };
    }
    const drifting = { label: "In the water", color: css(rampColor(mode, 0)) };
    return { title: "Uniform", ramp: null, swatches: [drifting, ...kept], vectors };
}
