import { describe, expect, it } from "vitest";
import { decodeParticleFrame } from "../../src/simulation/ParticleFrame";
import { legendOf, niceCeiling, speedTopOf } from "../../src/simulation/legend";
import { sedimentedColor, stuckColor } from "../../src/simulation/particleColors";
import { bytes, documentedFrameHex } from "./frames";

describe("the renderer's legend", () => {
    it.each([
        ["Uniform: one colour for all in the water", 0, false, null, ["In the water", "Stranded", "Sedimented"], null],
        ["an unknown mode as Uniform", 7, false, null, ["In the water", "Stranded", "Sedimented"], null],
        ["By Speed: the speed range in m/s", 1, false, ["0 m/s", "0.5 m/s"], ["Stranded", "Sedimented"], null],
        ["By Depth: the water column in m", 2, false, ["0 m", "12.5 m"], ["Stranded", "Sedimented"], null],
        ["flow vectors: their length scale", 2, true, ["0 m", "12.5 m"], ["Stranded", "Sedimented"], "1 cm = 0.25"],
    ] as const)("%s", (_, mode, showsVectors, range, swatches, vectors) => {
        const legend = legendOf(mode, 12.5, 0.5, showsVectors);
        expect(legend.ramp === null ? null : [legend.ramp.from, legend.ramp.to]).toEqual(range);
        expect(legend.swatches.map((swatch) => swatch.label)).toEqual(swatches);
        expect(legend.vectors).toBe(vectors === null ? null : `Vectors: ${vectors} m/s`);
    });

    it("shows the stranded and sedimented colours the particles are drawn in", () => {
        const css = ([red, green, blue]: readonly number[]) => `rgb(${red}, ${green}, ${blue})`;
        const swatches = legendOf(1, 10, 1, false).swatches.map((swatch) => swatch.color);
        expect(swatches).toEqual([css(stuckColor), css(sedimentedColor)]);
    });

    it("tops the speed ramp with a round figure at or above the fastest particle in the water", () => {
        expect([0.003, 0.01, 0.011, 0.3, 0.51, 7, 12].map(niceCeiling)).toEqual([0.005, 0.01, 0.02, 0.5, 1, 10, 20]);
        // A drifting particle at 5 px/s, and a stranded one.
        const frame = decodeParticleFrame(bytes(documentedFrameHex));
        expect(speedTopOf(frame, 0.1)).toBe(0.5);
        expect(speedTopOf(frame, 0.3)).toBe(2);
        expect(speedTopOf(frame, 0)).toBe(0.01);
    });
});
