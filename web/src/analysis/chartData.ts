// The two charts of the analysis screen as Chart.js configurations, built from the state alone.
import type { ChartConfiguration, ScriptableContext, TooltipItem } from "chart.js";
import type { DistributionChart, SpeedBar, TimelineBand, TimelineChart } from "./AnalysisState";

export type TimelineConfig = ChartConfiguration<"line", { x: number; y: number }[]>;
export type DistributionConfig = ChartConfiguration<"bar", number[], string>;
export type ChartConfig = TimelineConfig | DistributionConfig;

export const orange = "#ff9f0a";

/** A tick on a count axis: whole particles only, no thousands separator. */
export function countTick(value: number | string): string {
    const count = Number(value);
    return Number.isInteger(count) ? String(count) : "";
}

const twoDigits = (value: number) => String(value).padStart(2, "0");

/** A tick on the time axis: simulation seconds as hours and whole minutes, "h:mm" (0:00, 1:05, 12:00). */
export function timeTick(value: number | string): string {
    const minutes = Math.floor(Number(value) / 60);
    return `${Math.floor(minutes / 60)}:${twoDigits(minutes % 60)}`;
}

/** Steps of the time axis, s: whole minutes and hours, so that no two ticks read alike. */
const timeSteps = [1, 2, 5, 10, 15, 30, 60, 120, 180, 360, 720, 1440].map((minutes) => minutes * 60);
const mostTimeTicks = 8;

/** The time axis's step for samples up to `lastTime` (s): the smallest of `timeSteps` giving at most 8 ticks. */
export function timeStep(lastTime: number): number {
    const step = timeSteps.find((candidate) => lastTime / candidate <= mostTimeTicks);
    return step ?? Math.ceil(lastTime / mostTimeTicks / 86400) * 86400;
}

/** The tooltip of one timeline point, in the chart's value names. */
function timelineTooltip(time: number, stuck: number): string[] {
    return [`Time: ${timeTick(time)}:${twoDigits(Math.floor(time % 60))}`, `Stuck: ${stuck}`];
}

/** The tooltip of one bar, in the chart's value names. */
function barTooltip(bar: SpeedBar, unit: string): string[] {
    return [`Range: ${bar.range} ${unit}`, `Count: ${bar.count}`];
}

/** One colour per bar, from blue for the slowest through green and yellow to red for the fastest. */
export function barColors(bars: SpeedBar[]): string[] {
    const last = Math.max(bars.length - 1, 1);
    return bars.map((_, index) => `hsl(${Math.round(210 - (210 * index) / last)}, 85%, 55%)`);
}

/** Top to bottom, from the orange at `alpha` to transparent; a flat colour before the chart has its area. */
function verticalFade(alpha: number): (context: ScriptableContext<"line">) => CanvasGradient | string {
    const colour = (a: number) => `rgba(255, 159, 10, ${a})`;
    return ({ chart }) => {
        const { ctx, chartArea } = chart;
        if (chartArea === undefined) return colour(alpha);
        const gradient = ctx.createLinearGradient(0, chartArea.top, 0, chartArea.bottom);
        gradient.addColorStop(0, colour(alpha));
        gradient.addColorStop(1, colour(0));
        return gradient;
    };
}

/** Left to right, a light orange into the full one. */
function horizontalOrange({ chart }: ScriptableContext<"line">): CanvasGradient | string {
    const { ctx, chartArea } = chart;
    if (chartArea === undefined) return orange;
    const gradient = ctx.createLinearGradient(chartArea.left, 0, chartArea.right, 0);
    gradient.addColorStop(0, "rgba(255, 159, 10, 0.6)");
    gradient.addColorStop(1, orange);
    return gradient;
}

function axisTitle(text: string) {
    return { display: true, text };
}

export const bandBlue = "rgba(10, 132, 255, 0.25)";
export const medianBlue = "#0a84ff";

type TimelineDataset = TimelineConfig["data"]["datasets"][number];

/**
 * An ensemble's band as three lines: the 5th percentile (no legend entry of its own), the 95th filled down to it
 * under the band's legend, and the median dashed.
 */
export function bandDatasets(band: TimelineBand): TimelineDataset[] {
    // The decoder has checked that the columns are equally long.
    const series = (values: number[]) => band.time.map((time, index) => ({ x: time, y: values[index] ?? 0 }));
    const line = { borderWidth: 1, pointRadius: 0, cubicInterpolationMode: "monotone" as const };
    return [
        { ...line, label: "5th percentile", data: series(band.p5), borderColor: bandBlue, fill: false },
        {
            ...line,
            label: band.legend,
            data: series(band.p95),
            borderColor: bandBlue,
            backgroundColor: bandBlue,
            fill: "-1",
        },
        { ...line, label: "Median", data: series(band.p50), borderColor: medianBlue, borderDash: [6, 4], fill: false },
    ];
}

/**
 * Stuck particles over time: a smooth orange line over an area filled at 10 % opacity; with an ensemble's band,
 * the band and its median under it and a legend.
 */
export function timelineChart(timeline: TimelineChart): TimelineConfig {
    // The decoder has checked that both columns are equally long.
    const points = timeline.time.map((time, index) => ({ x: time, y: timeline.stuck[index] ?? 0 }));
    const band = timeline.band === null ? [] : bandDatasets(timeline.band);
    const lastTime = Math.max(timeline.time.at(-1) ?? 0, timeline.band?.time.at(-1) ?? 0);
    return {
        type: "line",
        data: {
            datasets: [
                ...band,
                {
                    label: "Stuck",
                    data: points,
                    borderColor: horizontalOrange,
                    backgroundColor: verticalFade(0.1),
                    borderWidth: 2,
                    fill: "origin",
                    cubicInterpolationMode: "monotone",
                    // A lone sample still needs a mark to be seen.
                    pointRadius: points.length === 1 ? 3 : 0,
                    pointBackgroundColor: orange,
                },
            ],
        },
        options: {
            animation: false,
            responsive: true,
            maintainAspectRatio: false,
            parsing: false,
            // The line draws no points, so the tooltip follows the pointer's time rather than waiting for a hit.
            interaction: { mode: "nearest", axis: "x", intersect: false },
            plugins: {
                legend: {
                    display: band.length > 0,
                    // The band's lower edge is drawn by the entry of the band itself.
                    labels: { filter: (item) => item.text !== "5th percentile" },
                },
                tooltip: {
                    callbacks: {
                        title: () => "",
                        label: (item: TooltipItem<"line">) =>
                            (item.dataset?.label ?? "Stuck") === "Stuck"
                                ? timelineTooltip(item.parsed.x ?? 0, item.parsed.y ?? 0)
                                : `${item.dataset.label ?? ""}: ${item.parsed.y ?? 0}`,
                    },
                },
            },
            scales: {
                x: {
                    type: "linear",
                    title: axisTitle(timeline.xAxisTitle),
                    ticks: { callback: timeTick, stepSize: timeStep(lastTime) },
                },
                y: {
                    type: "linear",
                    beginAtZero: true,
                    title: axisTitle(timeline.yAxisTitle),
                    ticks: { callback: countTick },
                },
            },
        },
    };
}

/** One bar per speed range in the store's order, each range its own colour, no legend. */
export function distributionChart(distribution: DistributionChart): DistributionConfig {
    const bars = distribution.bars;
    return {
        type: "bar",
        data: {
            labels: bars.map((bar) => bar.range),
            datasets: [{ label: "Count", data: bars.map((bar) => bar.count), backgroundColor: barColors(bars) }],
        },
        options: {
            animation: false,
            responsive: true,
            maintainAspectRatio: false,
            // Anywhere in a bar's column, so that an empty bar tells its range too.
            interaction: { mode: "index", intersect: false },
            plugins: {
                legend: { display: false },
                tooltip: {
                    callbacks: {
                        title: () => "",
                        label: (item: TooltipItem<"bar">) => {
                            const bar = bars[item.dataIndex];
                            return bar === undefined ? [] : barTooltip(bar, distribution.unit);
                        },
                    },
                },
            },
            scales: {
                x: { type: "category", title: axisTitle(distribution.xAxisTitle) },
                y: {
                    type: "linear",
                    beginAtZero: true,
                    title: axisTitle(distribution.yAxisTitle),
                    ticks: { callback: countTick },
                },
            },
        },
    };
}
