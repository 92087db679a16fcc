// The analysis screen's part of the window state, `project.analysis`, and its decoder.
import { absentOr, array, type Decoder, DecodeError, nullable, number, object, oneOf, string } from "../app/decode";
import { type SymbolName, symbolName } from "../app/icons";
import { decodeDeposits, type DepositsState } from "./DepositsState";

export const cardColors = ["primary", "orange", "blue", "red"] as const;
export type CardColor = (typeof cardColors)[number];

/** One figure with its caption; `value` comes formatted with its unit. */
export interface MetricCard {
    title: string;
    value: string;
    icon: SymbolName;
    color: CardColor;
}

interface ChartBlock {
    title: string;
    icon: SymbolName;
    /** The text shown in place of the chart, or `null` when there is data to draw. */
    placeholder: string | null;
    xAxisTitle: string;
    yAxisTitle: string;
}

/** An ensemble's stuck particles across its members: at `time[i]` (s), the 5th, 50th and 95th percentile. */
export interface TimelineBand {
    /** "5–95 % of N members". */
    legend: string;
    time: number[];
    p5: number[];
    p50: number[];
    p95: number[];
}

/** Stuck particles over time, one point per sample: `time[i]` (s) and `stuck[i]` belong together. */
export interface TimelineChart extends ChartBlock {
    time: number[];
    stuck: number[];
    /** The last ensemble's band, until cleared; `null` without one (or from an app that does not send it). */
    band: TimelineBand | null;
}

export interface SpeedBar {
    /** The bin's label in the chart's unit, such as "0.5–1.0". */
    range: string;
    count: number;
}

export interface DistributionChart extends ChartBlock {
    /** The unit of the ranges, "m/s" or "mm/s". */
    unit: string;
    /** In the store's order, which is the category axis's order. */
    bars: SpeedBar[];
}

/** The seed of the current or last run and the command line that repeats that run. */
export interface RunSeed {
    value: number;
    command: string;
}

export interface AnalysisState {
    cards: MetricCard[];
    timeline: TimelineChart;
    distribution: DistributionChart;
    /** Where the last run's particles came to rest; `null` before a run (or from an app that does not send it). */
    deposits: DepositsState | null;
    /**
     * The last ensemble's probability map on the same grid and shore: per cell and stretch the percentage of its
     * members that left plastic there; `null` without an ensemble (or from an app that does not send it).
     */
    ensembleDeposits: DepositsState | null;
    /** `null` before the first run. */
    seed: RunSeed | null;
}

const chartBlock = {
    title: string,
    icon: symbolName,
    placeholder: nullable(string),
    xAxisTitle: string,
    yAxisTitle: string,
};

/** Throws unless every column of `columns` is as long as the first. */
function checkLengths(columns: Record<string, number[]>, path: string): void {
    const [first, ...others] = Object.entries(columns);
    for (const [name, values] of others) {
        if (first !== undefined && values.length !== first[1].length) {
            throw new DecodeError(
                `${path}: "${first[0]}" has ${first[1].length} values but "${name}" ${values.length}`,
            );
        }
    }
}

const decodeBand: Decoder<TimelineBand> = (value, path) => {
    const band = object<TimelineBand>({
        legend: string,
        time: array(number),
        p5: array(number),
        p50: array(number),
        p95: array(number),
    })(value, path);
    checkLengths({ time: band.time, p5: band.p5, p50: band.p50, p95: band.p95 }, path);
    return band;
};

const decodeTimeline: Decoder<TimelineChart> = (value, path) => {
    const timeline = object<TimelineChart>({
        ...chartBlock,
        time: array(number),
        stuck: array(number),
        band: absentOr(nullable(decodeBand)),
    })(value, path);
    checkLengths({ time: timeline.time, stuck: timeline.stuck }, path);
    return timeline;
};

export const decodeAnalysis: Decoder<AnalysisState | null> = nullable(
    object<AnalysisState>({
        cards: array(object<MetricCard>({ title: string, value: string, icon: symbolName, color: oneOf(cardColors) })),
        timeline: decodeTimeline,
        distribution: object<DistributionChart>({
            ...chartBlock,
            unit: string,
            bars: array(object<SpeedBar>({ range: string, count: number })),
        }),
        deposits: absentOr(decodeDeposits),
        ensembleDeposits: absentOr(decodeDeposits),
        seed: nullable(object<RunSeed>({ value: number, command: string })),
    }),
);
