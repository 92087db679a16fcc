import { describe, expect, it } from "vitest";
import { decodeAnalysis, type AnalysisState } from "../../src/analysis/AnalysisState";
import {
    barColors,
    barTooltip,
    countTick,
    distributionChart,
    timelineChart,
    timelineTooltip,
    timeTick,
} from "../../src/analysis/chartData";
import { filledAnalysis } from "./fixtures";

const analysis = decodeAnalysis(filledAnalysis(), "analysis") as AnalysisState;

describe("the timeline chart", () => {
    it("draws one smooth, filled line of stuck particles over time, with the axis titles", () => {
        const config = timelineChart(analysis.timeline);
        expect(config.type).toBe("line");
        const [dataset] = config.data.datasets;
        expect(config.data.datasets).toHaveLength(1);
        expect(dataset?.data).toEqual([
            { x: 0.5, y: 0 },
            { x: 12.5, y: 4 },
        ]);
        expect(dataset).toMatchObject({ fill: "origin", cubicInterpolationMode: "monotone", pointRadius: 0 });
        expect(config.options?.scales?.["x"]).toMatchObject({
            type: "linear",
            title: { display: true, text: "Time (s)" },
        });
        expect(config.options?.scales?.["y"]).toMatchObject({ title: { display: true, text: "Particles" } });
        expect(config.options?.plugins?.legend?.display).toBe(false);
    });

    it("marks a lone sample so that it can be seen", () => {
        const config = timelineChart({ ...analysis.timeline, time: [3], stuck: [4] });
        expect(config.data.datasets[0]?.data).toEqual([{ x: 3, y: 4 }]);
        expect(config.data.datasets[0]?.pointRadius).toBeGreaterThan(0);
    });
});

describe("the distribution chart", () => {
    it("draws one bar per range in the store's order, each its own colour, without a legend", () => {
        const config = distributionChart(analysis.distribution);
        expect(config.type).toBe("bar");
        expect(config.data.labels).toEqual(["0-60", "60-120", "120-180", "180-240", "240-300"]);
        expect(config.data.datasets[0]?.data).toEqual([5, 0, 1, 0, 0]);
        const colors = config.data.datasets[0]?.backgroundColor as string[];
        expect(new Set(colors).size).toBe(5);
        expect(config.options?.plugins?.legend?.display).toBe(false);
        expect(config.options?.scales?.["x"]).toMatchObject({
            type: "category",
            title: { text: "Speed Range (px/s)" },
        });
        expect(config.options?.scales?.["y"]).toMatchObject({ beginAtZero: true, title: { text: "Particle Count" } });
    });

    it("gives five empty bins five bars of height zero", () => {
        const bars = ["0-60", "60-120", "120-180", "180-240", "240-300"].map((range) => ({ range, count: 0 }));
        const config = distributionChart({ ...analysis.distribution, bars });
        expect(config.data.datasets[0]?.data).toEqual([0, 0, 0, 0, 0]);
        expect(barColors(bars)).toHaveLength(5);
    });
});

describe("the chart formats", () => {
    it("labels count ticks with whole particles only", () => {
        expect([0, 1, 2000, 0.5, "3"].map(countTick)).toEqual(["0", "1", "2000", "", "3"]);
    });

    it("labels time ticks in seconds with at most one decimal", () => {
        expect([0, 12.5, 1000, 0.25, 7.04].map(timeTick)).toEqual(["0", "12.5", "1000", "0.3", "7"]);
    });

    it("names the values in the tooltips", () => {
        expect(timelineTooltip(12.5, 4)).toEqual(["Time: 12.5 s", "Stuck: 4"]);
        expect(barTooltip({ range: "60-120", count: 7 })).toEqual(["Range: 60-120 px/s", "Count: 7"]);
    });
});
