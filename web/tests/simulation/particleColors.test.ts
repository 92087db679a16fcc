import { describe, expect, it } from "vitest";
import { isActiveBit, isMovingBit, isSedimentedBit, isStuckBit } from "../../src/simulation/ParticleFrame";
import {
    colorIndex,
    colorModeByDepth,
    colorModeBySpeed,
    colorModeUniform,
    hasFlowVector,
    hsbToRgb,
    isDrawn,
    palette,
    sedimentedColor,
    stuckColor,
} from "../../src/simulation/particleColors";

const drifting = isActiveBit;

/** The colour a particle is drawn in. */
const colorOf = (flags: number, mode: number, z: number, depth: number, speed = 0, speedScale = 0) =>
    palette(mode)[colorIndex(flags, mode, z, depth, speed, speedScale)];

describe("particle colours", () => {
    it("convert hue, saturation and brightness to red, green and blue", () => {
        expect([hsbToRgb(0, 1, 1), hsbToRgb(1 / 3, 1, 1), hsbToRgb(2 / 3, 1, 0.5), hsbToRgb(0.3, 0, 0.2)]).toEqual([
            [255, 0, 0],
            [0, 255, 0],
            [0, 0, 128],
            [51, 51, 51],
        ]);
    });

    it.each([
        ["uniform, surface: light blue", colorModeUniform, 0, 10, 0, 0, [0.55, 0.7, 1]],
        ["uniform, half way", colorModeUniform, 5, 10, 0, 0, [0.55, 0.7, 0.65]],
        ["uniform, below the bottom: as dark as the bottom", colorModeUniform, 30, 10, 0, 0, [0.55, 0.7, 0.3]],
        ["uniform, infinite depth quotient: the bottom", colorModeUniform, 2, 0, 0, 0, [0.55, 0.7, 0.3]],
        ["uniform, undefined depth quotient: the surface", colorModeUniform, 0, 0, 0, 0, [0.55, 0.7, 1]],
        ["uniform, above the surface", colorModeUniform, -1, 10, 0, 0, [0.55, 0.7, 1]],
        ["uniform, no depth", colorModeUniform, NaN, 10, 0, 0, [0.55, 0.7, 1]],
        ["by speed, still: blue", colorModeBySpeed, 3, 10, 0, 8, [0.6, 0.8, 0.95]],
        ["by speed, the fastest: red", colorModeBySpeed, 3, 10, 8, 8, [0, 0.8, 0.95]],
        ["by speed, nothing moving", colorModeBySpeed, 3, 10, 4, 0, [0.6, 0.8, 0.95]],
        ["by depth, surface: cyan", colorModeByDepth, 0, 10, 0, 0, [0.5, 0.8, 1]],
        ["by depth, bottom: violet", colorModeByDepth, 10, 10, 0, 0, [0.75, 0.8, 0.5]],
        ["an unknown mode as uniform", 9, 5, 10, 0, 0, [0.55, 0.7, 0.65]],
    ] as const)("draw a drifting particle %s", (_, mode, z, depth, speed, scale, [h, s, b]) => {
        expect(colorOf(drifting, mode, z, depth, speed, scale)).toEqual(hsbToRgb(h, s, b));
    });

    it("draw a stuck particle orange even when sedimented, and a sedimented one dark blue, in every mode", () => {
        expect(stuckColor).toEqual([255, 149, 0]);
        expect(sedimentedColor).toEqual(hsbToRgb(0.6, 0.8, 0.2));
        for (const mode of [colorModeUniform, colorModeBySpeed, colorModeByDepth, 7]) {
            expect(colorOf(drifting | isStuckBit | isSedimentedBit, mode, 10, 10)).toEqual(stuckColor);
            expect(colorOf(drifting | isSedimentedBit, mode, 10, 10)).toEqual(sedimentedColor);
        }
    });

    it("leave out particles not yet released", () => {
        expect([0, isStuckBit, drifting].map(isDrawn)).toEqual([false, false, true]);
    });

    it("give flow vectors to drifting particles the app marks as moving only", () => {
        const cases = [
            [drifting, false],
            [drifting | isMovingBit, true],
            [drifting | isMovingBit | isStuckBit, false],
            [drifting | isMovingBit | isSedimentedBit, false],
            [isMovingBit, false],
        ] as const;
        expect(cases.map(([flags]) => hasFlowVector(flags))).toEqual(cases.map(([, hasVector]) => hasVector));
    });
});
