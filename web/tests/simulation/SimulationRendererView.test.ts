import { describe, expect, it } from "vitest";
import { type SimulationRendererElement, rendererTag } from "../../src/simulation/SimulationRendererView";
import { click, mountApp, projectChanges } from "../support";
import { bytes, documentedFrameHex } from "./frames";

function simulationState(overrides: Record<string, unknown> = {}): Record<string, unknown> {
    return {
        water: {
            vertices: [
                [0, 600],
                [800, 600],
                [400, 0],
            ],
            fill: [
                { location: 0, color: "rgba(0, 122, 255, 0.4)" },
                { location: 1, color: "rgba(50, 173, 230, 0.2)" },
            ],
            stroke: "rgba(0, 122, 255, 0.8)",
            lineWidth: 2,
        },
        colorMode: 0,
        isRunning: false,
        playPauseSymbol: "play.fill",
        speed: {
            label: "Speed",
            value: 1,
            choices: [
                { label: "1x", value: 1 },
                { label: "10x", value: 10 },
                { label: "60x", value: 60 },
                { label: "300x", value: 300 },
            ],
        },
        vectorsLabel: "Vectors",
        elapsed: { isShown: false, symbol: "clock", text: "00h 00m" },
        ...overrides,
    };
}

function mountRenderer(overrides: Record<string, unknown> = {}) {
    const mounted = mountApp(projectChanges({ selectedSection: "simulation", simulation: simulationState(overrides) }));
    const renderer = mounted.container.querySelector<SimulationRendererElement>(rendererTag);
    if (renderer === null) throw new Error("no renderer drawn");
    return { ...mounted, renderer };
}

describe("the simulation renderer screen", () => {
    it("lays out play/pause, the four speeds, the zoom slider and the vectors toggle", () => {
        const { renderer } = mountRenderer();
        const bar = renderer.querySelector(".renderer-control-bar")!;
        expect(bar.querySelector(".renderer-play-pause .icon")?.getAttribute("data-symbol")).toBe("play.fill");
        expect(bar.querySelector(".renderer-speed")?.textContent).toContain("Speed");
        expect([...bar.querySelectorAll("option")].map((option) => option.textContent)).toEqual(["1x", "10x", "60x", "300x"]);
        expect(bar.querySelector<HTMLSelectElement>("select")?.value).toBe("1");
        const zoom = bar.querySelector<HTMLInputElement>('input[type="range"]')!;
        expect([zoom.min, zoom.max, zoom.value]).toEqual(["0.2", "5", "1"]);
        expect(bar.querySelector(".renderer-vectors")?.textContent?.trim()).toBe("Vectors");
        expect(renderer.querySelector(".renderer-badge")).toBeNull();
    });

    it("sends play/pause and the chosen speed, and keeps zoom and vectors to itself", () => {
        const { renderer, socket } = mountRenderer();
        click(renderer.querySelector(".renderer-play-pause")!);
        const select = renderer.querySelector<HTMLSelectElement>("select")!;
        select.value = "60";
        select.dispatchEvent(new Event("change"));
        const zoom = renderer.querySelector<HTMLInputElement>('input[type="range"]')!;
        zoom.value = "2.5";
        zoom.dispatchEvent(new Event("input"));
        renderer.querySelector<HTMLInputElement>('input[type="checkbox"]')!.click();
        expect(socket.sent).toEqual([{ intent: "toolbarPlayPause" }, { intent: "setSpeed", value: 60 }]);
        expect(renderer.querySelector<HTMLInputElement>('input[type="range"]')?.value).toBe("2.5");
        expect(renderer.querySelector<HTMLInputElement>('input[type="checkbox"]')?.checked).toBe(true);
    });

    it("shows the elapsed-time badge and the pause symbol while a run goes", () => {
        const { renderer, socket } = mountRenderer();
        socket.receiveState(
            projectChanges({
                selectedSection: "simulation",
                simulation: simulationState({
                    isRunning: true,
                    playPauseSymbol: "pause.fill",
                    elapsed: { isShown: true, symbol: "clock", text: "01h 02m" },
                }),
            }),
        );
        expect(renderer.querySelector(".renderer-badge")?.textContent?.trim()).toBe("01h 02m");
        expect(renderer.querySelector(".renderer-badge .icon")?.getAttribute("data-symbol")).toBe("clock");
        expect(renderer.querySelector(".renderer-play-pause .icon")?.getAttribute("data-symbol")).toBe("pause.fill");
    });

    it("hands the newest binary frame to the renderer and skips one it cannot read", () => {
        const { renderer, socket } = mountRenderer();
        expect(renderer.frames?.frame).toBeNull();
        socket.receiveBinary(bytes(documentedFrameHex));
        expect(renderer.frames?.frame?.frameNumber).toBe(7);
        const revision = renderer.frames?.revision;
        const errors: unknown[] = [];
        const original = console.error;
        console.error = (...args: unknown[]) => errors.push(args);
        try {
            socket.receiveBinary(new ArrayBuffer(12));
        } finally {
            console.error = original;
        }
        expect(errors).toHaveLength(1);
        expect(renderer.frames?.revision).toBe(revision);
        expect(renderer.frames?.frame?.frameNumber).toBe(7);
    });

    it("refuses a state whose renderer part is malformed and keeps drawing the last good one", () => {
        const { socket, container } = mountRenderer();
        const original = console.error;
        console.error = () => {};
        try {
            socket.receiveState(
                projectChanges({ selectedSection: "simulation", simulation: simulationState({ water: { vertices: [[1]] } }) }),
            );
        } finally {
            console.error = original;
        }
        expect(container.querySelector(".toast")?.textContent).toContain(
            "project.simulation.water.vertices[0]: expected [x, y], found 1 numbers",
        );
        expect(container.querySelectorAll("option")).toHaveLength(4);
    });
});
