import { describe, expect, it, vi } from "vitest";
import { type SimulationRendererElement, rendererTag } from "../../src/simulation/SimulationRendererView";
import { click, enter, mountApp, projectChanges } from "../support";
import "../water/stubResizeObserver";
import { bytes, documentedFrameHex } from "./frames";

function onRenderer(water: Record<string, unknown> = {}, run: Record<string, unknown> = {}) {
    const simulation = {
        water: {
            vertices: [
                [0, 600],
                [800, 600],
                [400, 0],
            ],
            fill: [],
            stroke: "blue",
            lineWidth: 2,
            geoBounds: { south: 47, north: 48, west: 8, east: 9 },
            ...water,
        },
        colorMode: 0,
        waterDepth: 10,
        metresPerPx: 95,
        isRunning: false,
        runState: "idle",
        notice: null,
        playPauseSymbol: "play.fill",
        speed: { label: "Speed", value: 1, choices: [1, 10, 60, 300].map((value) => ({ label: `${value}x`, value })) },
        vectorsLabel: "Vectors",
        elapsed: { isShown: false, symbol: "clock", text: "00h 00m" },
        ...run,
    };
    return projectChanges({ selectedSection: "simulation", simulation });
}

function mountRenderer() {
    const mounted = mountApp(onRenderer());
    const renderer = mounted.container.querySelector<SimulationRendererElement>(rendererTag);
    if (renderer === null) throw new Error("no renderer drawn");
    return { ...mounted, renderer };
}

describe("the simulation renderer screen", () => {
    it("sends play/pause and the speed, but keeps the map and vectors switches to itself across states", () => {
        const { renderer, socket } = mountRenderer();
        const switches = () => [...renderer.querySelectorAll<HTMLInputElement>('input[role="switch"]')];
        click(renderer.querySelector(".renderer-play-pause")!);
        enter(renderer.querySelector("select")!, "60", "change");
        for (const toggle of switches()) toggle.click();
        socket.receiveState(onRenderer({}, { colorMode: 2 }));
        expect(socket.sent).toEqual([{ intent: "toolbarPlayPause" }, { intent: "setSpeed", value: 60 }]);
        expect(switches().map((toggle) => [toggle.parentElement?.textContent?.trim(), toggle.checked])).toEqual([
            ["Vectors", true],
            ["Map", true],
        ]);
        const legend = renderer.querySelector('[aria-label="Legend"]');
        expect(legend?.querySelector("figcaption")?.textContent).toBe("By Depth");
        expect(legend?.querySelector(".renderer-legend-range")?.textContent).toBe("0 m10 m");
        expect(legend?.textContent).toContain("Vectors: 1 cm = ");
    });

    // The badge's text and the measured speeds are the first-hour journey's; the notice only a paused run has.
    it("says how Play goes on from a paused run, and nothing of it once the run is over", () => {
        const { renderer, socket } = mountRenderer();
        const notice = "Paused. Play resumes the run; after a change to the project's setup it starts a new one.";
        const paused = { isShown: true, symbol: "clock", text: "Paused at 1 h 02 min" };
        socket.receiveState(onRenderer({}, { runState: "paused", notice, elapsed: paused }));
        expect(renderer.querySelector('[role="note"]')?.textContent).toBe(notice);
        socket.receiveState(onRenderer({}, { runState: "finished", elapsed: { ...paused, text: "Finished" } }));
        expect(renderer.querySelector('[role="note"]')).toBeNull();
    });

    it("hands the newest binary frame to the renderer and skips one it cannot read", () => {
        const { renderer, socket } = mountRenderer();
        expect(renderer.frames?.frame).toBeNull();
        socket.receiveBinary(bytes(documentedFrameHex));
        const revision = renderer.frames?.revision;
        const log = vi.spyOn(console, "error").mockImplementation(() => {});
        socket.receiveBinary(new ArrayBuffer(12));
        expect(log).toHaveBeenCalledOnce();
        log.mockRestore();
        expect(renderer.frames?.revision).toBe(revision);
        expect(renderer.frames?.frame?.frameNumber).toBe(7);
    });

    it.each([
        [{ vertices: [[1]] }, "project.simulation.water.vertices[0]: expected [x, y], found 1 numbers"],
        [
            { geoBounds: { south: 48, north: 47, west: 8, east: 9 } },
            "project.simulation.water.geoBounds: expected south < north and west < east",
        ],
    ])("refuses a malformed water outline and keeps the last good screen: %j", (water, message) => {
        const { socket, container } = mountRenderer();
        const log = vi.spyOn(console, "error").mockImplementation(() => {});
        socket.receiveState(onRenderer(water));
        log.mockRestore();
        expect(container.querySelector(".toast")?.textContent).toContain(message);
        expect(container.querySelectorAll(rendererTag + " option")).toHaveLength(4);
    });
});
