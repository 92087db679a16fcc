import { describe, expect, it } from "vitest";
import { decodeAnalysis, type AnalysisState } from "../../src/analysis/AnalysisState";
import type { TooltipItem } from "chart.js";
import { countTick, distributionChart, timelineChart, timeStep, timeTick } from "../../src/analysis/chartData";
import { filledAnalysis } from "./fixtures";

const analysis = decodeAnalysis(filledAnalysis(), "analysis") as AnalysisState;

describe("the charts", () => {
    it("draw the timeline as one line of stuck particles over time, under the state's axis titles", () => {
        const config = timelineChart({ ...analysis.timeline, xAxisTitle: "T", yAxisTitle: "N" });
        expect(config.data.datasets.map((dataset) => dataset.data)).toEqual([
            [
                { x: 0.5, y: 0 },
                { x: 12.5, y: 4 },
            ],
        ]);
        expect(config.options?.scales?.["x"]).toMatchObject({ type: "linear", title: { text: "T" } });
        expect(config.options?.scales?.["y"]).toMatchObject({ title: { text: "N" } });
        expect(config.data.datasets[0]?.pointRadius).toBe(0);
        const lone = timelineChart({ ...analysis.timeline, time: [3], stuck: [4] });
        expect(lone.data.datasets[0]?.pointRadius, "a lone sample is marked so that it can be seen").toBeGreaterThan(0);
    });

    it("draw an ensemble's band under the run's line: its 95th percentile filled down to its 5th, the median dashed", () => {
        const band = { legend: "5–95 % of 3 members", time: [0.5, 12.5], p5: [0, 1], p50: [0, 2], p95: [1, 6] };
        const config = timelineChart({ ...analysis.timeline, band });
        const datasets = config.data.datasets;
        expect(datasets.map((dataset) => [dataset.label, dataset.fill])).toEqual([
            ["5th percentile", false],
            ["5–95 % of 3 members", "-1"],
            ["Median", false],
            ["Stuck", "origin"],
        ]);
        expect(datasets[1]?.data).toEqual([
            { x: 0.5, y: 1 },
            { x: 12.5, y: 6 },
        ]);
        expect(datasets[2]?.borderDash).toEqual([6, 4]);
        const legend = config.options?.plugins?.legend;
        expect(legend?.display).toBe(true);
        const shown = datasets.filter((dataset) =>
            legend?.labels?.filter?.call(undefined as never, { text: dataset.label } as never, undefined as never),
        );
        expect(shown.map((dataset) => dataset.label)).toEqual(["5–95 % of 3 members", "Median", "Stuck"]);
        expect(timelineChart(analysis.timeline).options?.plugins?.legend?.display, "no legend for a single run").toBe(
            false,
        );
    });

    it("draw one bar per range in the store's order, zero-height bars included", () => {
        const config = distributionChart(analysis.distribution);
        expect(config.data.labels).toEqual(["0–5", "5–10", "10–15", "15–20", "20–25"]);
        expect(config.data.datasets[0]?.data).toEqual([5, 0, 1, 0, 0]);
    });
});

describe("the chart formats", () => {
    it("label count ticks with whole particles only, and time ticks as h:mm a whole number of minutes apart", () => {
        expect([0, 1, 2000, 0.5, "3"].map(countTick)).toEqual(["0", "1", "2000", "", "3"]);
        expect([0, 59.9, 65, 3600, 43200, "7260"].map(timeTick)).toEqual([
            "0:00",
            "0:00",
            "0:01",
            "1:00",
            "12:00",
            "2:01",
        ]);
        expect([0, 60, 480, 481, 43200, 1e6].map(timeStep)).toEqual([60, 60, 60, 120, 7200, 172800]);
    });

    it("name the values in the tooltips, which follow the pointer without a hit on a point or bar", () => {
        const line = timelineChart(analysis.timeline).options;
        const bars = distributionChart(analysis.distribution).options;
        expect(line?.interaction).toMatchObject({ intersect: false });
        expect(bars?.interaction).toMatchObject({ intersect: false });
        const point = { parsed: { x: 3725.5, y: 4 } } as TooltipItem<"line">;
        expect(line?.plugins?.tooltip?.callbacks?.label?.call(undefined as never, point)).toEqual([
            "Time: 1:02:05",
            "Stuck: 4",
        ]);
        const bar = { dataIndex: 2 } as TooltipItem<"bar">;
        expect(bars?.plugins?.tooltip?.callbacks?.label?.call(undefined as never, bar)).toEqual([
            "Range: 10–15 mm/s",
            "Count: 1",
        ]);
    });
});
