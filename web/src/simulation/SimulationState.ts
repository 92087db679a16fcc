// The simulation renderer's part of the window state as the app sends it, with its decoder.
import { array, boolean, type Decoder, DecodeError, nullable, number, object, oneOf, string } from "../app/decode";
import type { GeoBounds } from "./lakeMapping";

export interface GradientStop {
    /** 0 at the top of the view, 1 at its bottom. */
    location: number;
    /** A CSS colour. */
    color: string;
}

export interface WaterState {
    /** The polygon in simulation px, `[x, y]` each, in order; empty without a region. */
    vertices: [number, number][];
    fill: GradientStop[];
    stroke: string;
    /** The outline's width, view points. */
    lineWidth: number;
    /** The degrees the canvas spans; `null` without a region. */
    geoBounds: GeoBounds | null;
}

export interface SpeedChoice {
    label: string;
    value: number;
}

/** Where the run stands: none or stopped, going, held by Pause, at its duration. */
export type RunState = "idle" | "running" | "paused" | "finished";

export interface SimulationState {
    water: WaterState;
    /** The particle settings' colour mode: 0 "Uniform", 1 "By Speed", 2 "By Depth"; others draw as 0. */
    colorMode: number;
    /** The depth "By Depth" ramps over, from the surface, m. */
    waterDepth: number;
    /** Metres on the ground per simulation px: turns speeds in px/s into m/s. */
    metresPerPx: number;
    isRunning: boolean;
    runState: RunState;
    /** What Play will do, while paused. */
    notice: string | null;
    playPauseSymbol: "play.fill" | "pause.fill";
    /** Each choice's label names its measured rate once known ("10x · 9.6 s/s"). */
    speed: { label: string; value: number; choices: SpeedChoice[] };
    vectorsLabel: string;
    /** The clock while running; "Paused at …" or "Finished at … · counts" after; hidden while idle. */
    elapsed: { isShown: boolean; symbol: "clock"; text: string };
}

const vertex: Decoder<[number, number]> = (value, path) => {
    const pair = array(number)(value, path);
    if (pair.length !== 2) throw new DecodeError(`${path}: expected [x, y], found ${pair.length} numbers`);
    return [pair[0] ?? 0, pair[1] ?? 0];
};

const geoBounds: Decoder<GeoBounds> = (value, path) => {
    const bounds = object<GeoBounds>({ south: number, north: number, west: number, east: number })(value, path);
    if (!(bounds.south < bounds.north && bounds.west < bounds.east))
        throw new DecodeError(`${path}: expected south < north and west < east`);
    return bounds;
};

const positive: Decoder<number> = (value, path) => {
    const n = number(value, path);
    if (!(n > 0)) throw new DecodeError(`${path}: expected a positive number, found ${n}`);
    return n;
};

export const decodeSimulation: Decoder<SimulationState | null> = nullable(
    object<SimulationState>({
        water: object<WaterState>({
            vertices: array(vertex),
            fill: array(object<GradientStop>({ location: number, color: string })),
            stroke: string,
            lineWidth: number,
            geoBounds: nullable(geoBounds),
        }),
        colorMode: number,
        waterDepth: number,
        metresPerPx: positive,
        isRunning: boolean,
        runState: oneOf(["idle", "running", "paused", "finished"]),
        notice: nullable(string),
        playPauseSymbol: oneOf(["play.fill", "pause.fill"]),
        speed: object({
            label: string,
            value: number,
            choices: array(object<SpeedChoice>({ label: string, value: number })),
        }),
        vectorsLabel: string,
        elapsed: object({ isShown: boolean, symbol: oneOf(["clock"]), text: string }),
    }),
);
