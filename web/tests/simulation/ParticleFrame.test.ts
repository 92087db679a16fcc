import { describe, expect, it } from "vitest";
import {
    decodeParticleFrame,
    FrameError,
    isActiveBit,
    isMovingBit,
    isStuckBit,
} from "../../src/simulation/ParticleFrame";
import { bytes, documentedFrameHex } from "./frames";

/** The documented frame with its bytes changed at `offset`. */
function patched(offset: number, values: number[]): ArrayBuffer {
    const frame = new Uint8Array(bytes(documentedFrameHex));
    frame.set(values, offset);
    return frame.buffer;
}

describe("particle frames", () => {
    it("read the header and every record of the app's encoding", () => {
        const frame = decodeParticleFrame(bytes(documentedFrameHex));
        expect(frame).toMatchObject({ frameNumber: 7, time: 3725.5, totalDuration: 43200, waterDepth: 10, count: 2 });
        const fields = (["x", "y", "z", "vx", "vy", "speed", "flags"] as const).map((name) => [...frame[name]]);
        expect(fields).toEqual([
            [1.5, 800],
            [-2, 600],
            [0.25, 10],
            [3, 0],
            [4, 0],
            [5, 0],
            [isActiveBit | isMovingBit, isActiveBit | isStuckBit],
        ]);
    });

    it("read an empty snapshot as a header alone", () => {
        const header = bytes(documentedFrameHex).slice(0, 40);
        new DataView(header).setUint32(12, 0, true);
        expect(decodeParticleFrame(header).count).toBe(0);
    });

    it("step over record fields a newer app appends", () => {
        const wide = new Uint8Array(40 + 2 * 32);
        const documented = new Uint8Array(bytes(documentedFrameHex));
        wide.set(documented.subarray(0, 40));
        wide.set(documented.subarray(40, 68), 40);
        wide.set(documented.subarray(68, 96), 72);
        new DataView(wide.buffer).setUint16(6, 32, true);
        const frame = decodeParticleFrame(wide.buffer);
        expect([...frame.x]).toEqual([1.5, 800]);
        expect([...frame.flags]).toEqual([isActiveBit | isMovingBit, isActiveBit | isStuckBit]);
    });

    it.each([
        [new ArrayBuffer(39), "39 bytes, shorter than its 40-byte header"],
        [patched(0, [0x51]), 'magic 0x4d524651 is not "PFRM"'],
        [patched(4, [2, 0]), "version 2, this page reads 1"],
        [patched(6, [24, 0]), "records of 24 bytes, at least 25 expected"],
        [patched(12, [3, 0, 0, 0]), "96 bytes, 3 particles need 124"],
        [bytes(documentedFrameHex).slice(0, 95), "95 bytes, 2 particles need 96"],
    ])("refuse bytes that are no frame this page reads (%#)", (frame, message) => {
        expect(() => decodeParticleFrame(frame)).toThrow(FrameError);
        expect(() => decodeParticleFrame(frame)).toThrow(`particle frame: ${message}`);
    });
});
