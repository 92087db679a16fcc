import { beforeEach, describe, expect, it, vi } from "vitest";
import { byText, click, mountApp, projectChanges } from "../support";
import { emptyAnalysis, filledAnalysis } from "./fixtures";

// The page's charts are drawn by Chart.js on a canvas, which this DOM lacks; what matters here is which chart
// the screen asks for and when.
const drawn = vi.hoisted(() => ({
    created: [] as { canvas: HTMLCanvasElement; config: unknown }[],
    updates: [] as unknown[],
    destroyed: 0,
}));
vi.mock("../../src/analysis/chartLibrary", () => ({
    createChart: (canvas: HTMLCanvasElement, config: unknown) => {
        drawn.created.push({ canvas, config });
        return { update: (next: unknown) => drawn.updates.push(next), destroy: () => void drawn.destroyed++ };
    },
}));

function onAnalysis(analysis: Record<string, unknown> | null) {
    return projectChanges({ selectedSection: "analysis", analysis });
}

function texts(container: HTMLElement, selector: string): string[] {
    return [...container.querySelectorAll(selector)].map((element) => element.textContent?.trim() ?? "");
}

describe("the analysis screen", () => {
    beforeEach(() => {
        drawn.created.length = 0;
        drawn.updates.length = 0;
        drawn.destroyed = 0;
    });

    it("shows the five cards and both placeholders while the store is empty", () => {
        const { container } = mountApp(onAnalysis(emptyAnalysis()));
        expect(texts(container, ".metric-card-value")).toEqual(["0", "0", "0", "0.0 px/s", "0.0 px/s"]);
        expect(texts(container, ".metric-card-title")).toEqual([
            "Total Particles",
            "Accumulated",
            "Active Flow",
            "Avg Speed (Active)",
            "Max Speed",
        ]);
        expect(container.querySelector(".metric-card-icon.metric-red [data-symbol]")?.getAttribute("data-symbol")).toBe(
            "gauge.with.dots.needle.100percent",
        );
        expect(texts(container, ".chart-heading")).toEqual(["Accumulation Timeline", "Velocity Distribution"]);
        expect(texts(container, ".chart-placeholder")).toEqual(["Run simulation to gather data", "No data"]);
        expect(container.querySelector("canvas")).toBeNull();
        expect(drawn.created).toHaveLength(0);
    });

    it("draws both charts once there is data, and redraws them in place as the state changes", () => {
        const { container, socket } = mountApp(onAnalysis(emptyAnalysis()));
        socket.receiveState(onAnalysis(filledAnalysis()));
        expect(container.querySelector(".chart-placeholder")).toBeNull();
        expect(drawn.created.map(({ config }) => (config as { type: string }).type)).toEqual(["line", "bar"]);
        expect(drawn.created.every(({ canvas }) => canvas.isConnected)).toBe(true);

        const later = filledAnalysis();
        later["timeline"] = { ...(later["timeline"] as object), time: [0.5, 12.5, 13.5], stuck: [0, 4, 6] };
        socket.receiveState(onAnalysis(later));
        expect(drawn.created).toHaveLength(2);
        const timeline = drawn.updates.find((config) => (config as { type: string }).type === "line") as {
            data: { datasets: { data: unknown }[] };
        };
        expect(timeline.data.datasets[0]?.data).toEqual([
            { x: 0.5, y: 0 },
            { x: 12.5, y: 4 },
            { x: 13.5, y: 6 },
        ]);

        // A reset brings the placeholders back and ends the charts with their canvases.
        socket.receiveState(onAnalysis(emptyAnalysis()));
        expect(texts(container, ".chart-placeholder")).toEqual(["Run simulation to gather data", "No data"]);
        expect(drawn.destroyed).toBe(2);
    });

    it("asks the app to export the timeline", () => {
        const { container, socket } = mountApp(onAnalysis(emptyAnalysis()));
        click(byText(container, "button", "Export CSV"));
        expect(socket.sent).toEqual([{ intent: "exportCSV" }]);
    });
});
