import { describe, expect, it, vi } from "vitest";
import { mountApp, projectChanges } from "../support";
import { emptyAnalysis, filledAnalysis } from "./fixtures";

// The page's charts are drawn by Chart.js on a canvas, which this DOM lacks; what matters here is which chart
// the screen asks for and when.
const drawn = vi.hoisted(() => ({
    created: [] as { canvas: HTMLCanvasElement; type: string }[],
    updates: [] as unknown[],
    destroyed: 0,
}));
vi.mock("../../src/analysis/chartLibrary", () => ({
    createChart: (canvas: HTMLCanvasElement, config: { type: string }) => {
        drawn.created.push({ canvas, type: config.type });
        return { update: (next: unknown) => drawn.updates.push(next), destroy: () => void drawn.destroyed++ };
    },
}));

const onAnalysis = (analysis: Record<string, unknown>) => projectChanges({ selectedSection: "analysis", analysis });

describe("the analysis screen's charts", () => {
    it("appear with data and the run's seed, redraw in place as the state changes, and end with a reset", () => {
        const { container, socket } = mountApp(onAnalysis(emptyAnalysis()));
        expect(container.querySelector("canvas")).toBeNull();
        expect(drawn.created).toHaveLength(0);

        expect(container.querySelector(".run-seed")).toBeNull();

        socket.receiveState(onAnalysis(filledAnalysis()));
        expect(container.querySelector(".run-seed")?.textContent).toContain("Seed 12345");
        expect(container.querySelector(".chart-placeholder")).toBeNull();
        expect(drawn.created.map(({ type }) => type)).toEqual(["line", "bar"]);
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

        socket.receiveState(onAnalysis(emptyAnalysis()));
        expect(container.querySelectorAll(".chart-placeholder")).toHaveLength(2);
        expect(drawn.destroyed).toBe(2);
    });
});
