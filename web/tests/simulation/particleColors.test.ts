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
const colorOf = (flags: number, mode: number, z: number, depth: number, speed = 0, speedTop = 0) =>
    palette(mode)[colorIndex(flags, mode, z, depth, speed, speedTop)];

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
        ["uniform, at the surface: one light blue", colorModeUniform, 0, 10, 0, 0, [0.55, 0.7, 1]],
        ["uniform, at the bottom: the same blue", colorModeUniform, 10, 10, 5, 8, [0.55, 0.7, 1]],
        ["an unknown mode as uniform", 9, 5, 10, 0, 0, [0.55, 0.7, 1]],
        ["by depth, surface: cyan", colorModeByDepth, 0, 10, 0, 0, [0.5, 0.8, 1]],
        ["by depth, half way", colorModeByDepth, 5, 10, 0, 0, [0.625, 0.8, 0.75]],
        ["by depth, bottom: violet", colorModeByDepth, 10, 10, 0, 0, [0.75, 0.8, 0.5]],
        ["by depth, below the bottom: as the bottom", colorModeByDepth, 30, 10, 0, 0, [0.75, 0.8, 0.5]],
        ["by depth, infinite depth quotient: the bottom", colorModeByDepth, 2, 0, 0, 0, [0.75, 0.8, 0.5]],
        ["by depth, undefined depth quotient: the surface", colorModeByDepth, 0, 0, 0, 0, [0.5, 0.8, 1]],
        ["by depth, above the surface or no depth", colorModeByDepth, NaN, 10, 0, 0, [0.5, 0.8, 1]],
        ["by speed, still: blue", colorModeBySpeed, 3, 10, 0, 8, [0.65, 0.85, 0.95]],
        ["by speed, at the ramp's top: lime", colorModeBySpeed, 3, 10, 8, 8, [0.2, 0.85, 0.95]],
        ["by speed, beyond the top: as the top", colorModeBySpeed, 3, 10, 20, 8, [0.2, 0.85, 0.95]],
        ["by speed, no top yet", colorModeBySpeed, 3, 10, 4, 0, [0.65, 0.85, 0.95]],
    ] as const)("draw a drifting particle %s", (_, mode, z, depth, speed, top, [h, s, b]) => {
        expect(colorOf(drifting, mode, z, depth, speed, top)).toEqual(hsbToRgb(h, s, b));
    });

    it("draw a stranded particle orange even when sedimented, and a sedimented one brown, in every mode", () => {
        for (const mode of [colorModeUniform, colorModeBySpeed, colorModeByDepth, 7]) {
            expect(colorOf(drifting | isStuckBit | isSedimentedBit, mode, 10, 10)).toEqual(stuckColor);
            expect(colorOf(drifting | isSedimentedBit, mode, 10, 10)).toEqual(sedimentedColor);
        }
    });

    it.each([
        [0, false, false],
        [isStuckBit, false, false],
        [drifting, true, true],
        [drifting | isMovingBit, true, true],
        [drifting | isMovingBit | isStuckBit, true, false],
        [drifting | isMovingBit | isSedimentedBit, true, false],
        [isMovingBit, false, false],
    ])(
        "draw flags %i: drawn %s, with a flow vector %s however slowly the app finds it moving",
        (flags, drawn, vector) => {
            expect([isDrawn(flags), hasFlowVector(flags)]).toEqual([drawn, vector]);
        },
    );
});
