import { describe, expect, it } from "vitest";
import { isActiveBit, isSedimentedBit, isStuckBit } from "../../src/simulation/ParticleFrame";
import {
    colorIndex,
    colorModeByDepth,
    colorModeBySpeed,
    colorModeUniform,
    hasFlowVector,
    hsbToRgb,
    isDrawn,
    palette,
    rampColor,
    type Rgb,
    sedimentedColor,
    stuckColor,
} from "../../src/simulation/particleColors";

const drifting = isActiveBit;

/** The colour a particle is drawn in. */
function colorOf(flags: number, mode: number, z: number, depth: number, speed = 0, speedScale = 0): Rgb | undefined {
    return palette(mode)[colorIndex(flags, mode, z, depth, speed, speedScale)];
}

const brightness = (rgb: Rgb | undefined): number => Math.max(...(rgb ?? [NaN])) / 255;

describe("hue, saturation and brightness", () => {
    it("convert to red, green and blue", () => {
        expect(hsbToRgb(0, 1, 1)).toEqual([255, 0, 0]);
        expect(hsbToRgb(1 / 3, 1, 1)).toEqual([0, 255, 0]);
        expect(hsbToRgb(2 / 3, 1, 0.5)).toEqual([0, 0, 128]);
        expect(hsbToRgb(0.3, 0, 0.2)).toEqual([51, 51, 51]);
    });
});

describe("particle colours", () => {
    it("shade drifting particles from light blue at the surface to dark at the bottom", () => {
        expect(colorOf(drifting, colorModeUniform, 0, 10)).toEqual(hsbToRgb(0.55, 0.7, 1));
        expect(brightness(colorOf(drifting, colorModeUniform, 5, 10))).toBeCloseTo(0.65, 2);
        expect(colorOf(drifting, colorModeUniform, 5, 10)).toEqual(rampColor(colorModeUniform, 0.5));
        expect(brightness(colorOf(drifting, colorModeUniform, 30, 10))).toBeCloseTo(0.3, 2);
    });

    it("treat an infinite depth quotient as the bottom and an undefined or negative one as the surface", () => {
        const surface = colorOf(drifting, colorModeUniform, 0, 10);
        const bottom = colorOf(drifting, colorModeUniform, 10, 10);
        expect(colorOf(drifting, colorModeUniform, 2, 0)).toEqual(bottom);
        expect(colorOf(drifting, colorModeUniform, 0, 0)).toEqual(surface);
        expect(colorOf(drifting, colorModeUniform, -1, 10)).toEqual(surface);
        expect(colorOf(drifting, colorModeUniform, NaN, 10)).toEqual(surface);
    });

    it("draw a stuck particle orange even on the bottom, and a sedimented one dark blue, in every mode", () => {
        for (const mode of [colorModeUniform, colorModeBySpeed, colorModeByDepth, 7]) {
            expect(colorOf(drifting | isStuckBit | isSedimentedBit, mode, 10, 10)).toEqual(stuckColor);
            expect(colorOf(drifting | isSedimentedBit, mode, 10, 10)).toEqual(sedimentedColor);
        }
        expect(stuckColor).toEqual([255, 149, 0]);
        expect(sedimentedColor).toEqual(hsbToRgb(0.6, 0.8, 0.2));
        expect(brightness(sedimentedColor)).toBeCloseTo(0.2, 2);
    });

    it("colour by speed from blue to red against the fastest particle", () => {
        expect(colorOf(drifting, colorModeBySpeed, 3, 10, 0, 8)).toEqual(hsbToRgb(0.6, 0.8, 0.95));
        expect(colorOf(drifting, colorModeBySpeed, 3, 10, 8, 8)).toEqual(hsbToRgb(0, 0.8, 0.95));
        expect(colorOf(drifting, colorModeBySpeed, 3, 10, 4, 0)).toEqual(hsbToRgb(0.6, 0.8, 0.95));
    });

    it("colour by depth from cyan to violet", () => {
        expect(colorOf(drifting, colorModeByDepth, 0, 10)).toEqual(hsbToRgb(0.5, 0.8, 1));
        expect(colorOf(drifting, colorModeByDepth, 10, 10)).toEqual(hsbToRgb(0.75, 0.8, 0.5));
    });

    it("draw an unknown colour mode as the uniform one", () => {
        expect(palette(9)).toEqual(palette(colorModeUniform));
    });

    it("leave out particles not yet released", () => {
        expect(isDrawn(0)).toBe(false);
        expect(isDrawn(isStuckBit)).toBe(false);
        expect(isDrawn(drifting)).toBe(true);
    });
});

describe("flow vectors", () => {
    it("go with drifting particles faster than 0.1 px/s only", () => {
        expect(hasFlowVector(drifting, 0.1, 0)).toBe(false);
        expect(hasFlowVector(drifting, 0, 0.11)).toBe(true);
        expect(hasFlowVector(drifting | isStuckBit, 5, 5)).toBe(false);
        expect(hasFlowVector(drifting | isSedimentedBit, 5, 5)).toBe(false);
        expect(hasFlowVector(0, 5, 5)).toBe(false);
    });
});
