import { describe, expect, it, vi } from "vitest";
import { type SimulationRendererElement, rendererTag } from "../../src/simulation/SimulationRendererView";
import { click, enter, mountApp, projectChanges } from "../support";
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
            ...water,
        },
        colorMode: 0,
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
    it("sends play/pause and the speed, but keeps zoom and vectors to itself across states", () => {
        const { renderer, socket } = mountRenderer();
        click(renderer.querySelector(".renderer-play-pause")!);
        enter(renderer.querySelector("select")!, "60", "change");
        enter(renderer.querySelector<HTMLInputElement>('input[type="range"]')!, "2.5");
        renderer.querySelector<HTMLInputElement>('input[type="checkbox"]')!.click();
        socket.receiveState(onRenderer());
        expect(socket.sent).toEqual([{ intent: "toolbarPlayPause" }, { intent: "setSpeed", value: 60 }]);
        expect(renderer.querySelector<HTMLInputElement>('input[type="range"]')?.value).toBe("2.5");
        expect(renderer.querySelector<HTMLInputElement>('input[type="checkbox"]')?.checked).toBe(true);
    });

    it("shows where a paused or finished run stands, and the measured speed of each choice", () => {
        const { renderer, socket } = mountRenderer();
        expect(renderer.querySelector('[role="status"]')).toBeNull();
        const notice = "Paused. Play resumes the run; after a change to the project's setup it starts a new one.";
        const paused = { isShown: true, symbol: "clock", text: "Paused at 1 h 02 min" };
        socket.receiveState(onRenderer({}, { runState: "paused", notice, elapsed: paused }));
        expect(renderer.querySelector('[role="status"]')?.textContent?.trim()).toBe("Paused at 1 h 02 min");
        expect(renderer.querySelector('[role="note"]')?.textContent).toBe(notice);

        const finished = {
            isShown: true,
            symbol: "clock",
            text: "Finished at 12 h 00 min · 3 active · 1 stranded · 0 sedimented",
        };
        const choices = [{ label: "10x · 9.6 s/s", value: 10 }];
        socket.receiveState(
            onRenderer({}, { runState: "finished", elapsed: finished, speed: { label: "Speed", value: 10, choices } }),
        );
        expect(renderer.querySelector('[role="status"]')?.textContent?.trim()).toBe(finished.text);
        expect(renderer.querySelector('[role="note"]')).toBeNull();
        expect(renderer.querySelector("option")?.textContent).toBe("10x · 9.6 s/s");
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

    it("refuses a state whose water outline is malformed and keeps the last good screen", () => {
        const { socket, container } = mountRenderer();
        const log = vi.spyOn(console, "error").mockImplementation(() => {});
        socket.receiveState(onRenderer({ vertices: [[1]] }));
        log.mockRestore();
        expect(container.querySelector(".toast")?.textContent).toContain(
            "project.simulation.water.vertices[0]: expected [x, y], found 1 numbers",
        );
        expect(container.querySelectorAll(rendererTag + " option")).toHaveLength(4);
    });
});
