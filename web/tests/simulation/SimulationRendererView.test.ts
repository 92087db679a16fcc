import { describe, expect, it, vi } from "vitest";
import { type SimulationRendererElement, rendererTag } from "../../src/simulation/SimulationRendererView";
import { click, enter, mountApp, projectChanges } from "../support";
import { bytes, documentedFrameHex } from "./frames";

function onRenderer(water: Record<string, unknown> = {}) {
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
        playPauseSymbol: "play.fill",
        speed: { label: "Speed", value: 1, choices: [1, 10, 60, 300].map((value) => ({ label: `${value}x`, value })) },
        vectorsLabel: "Vectors",
        elapsed: { isShown: false, symbol: "clock", text: "00h 00m" },
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
