// Particle frames for the renderer's tests, byte by byte as the app encodes them.

/** Bytes from space-separated hex pairs. */
export function bytes(hex: string): ArrayBuffer {
    const pairs = hex.trim().split(/\s+/);
    return new Uint8Array(pairs.map((pair) => parseInt(pair, 16))).buffer;
}

/**
 * The snapshot docs/protocol.md spells out (frame 7 at 3725.5 s of 43200 s, 10 m deep): a drifting particle
 * at (1.5, −2) and 0.25 m moving at (3, 4) px/s, and a stuck one at (800, 600) on the bottom.
 */
export const documentedFrameHex = `
    50 46 52 4d 01 00 1c 00 07 00 00 00 02 00 00 00 00 00 00 00 00 1b ad 40 00 00 00 00 00 18 e5 40
    00 00 00 00 00 00 24 40
    00 00 c0 3f 00 00 00 c0 00 00 80 3e 00 00 40 40 00 00 80 40 00 00 a0 40 09 00 00 00
    00 00 48 44 00 00 16 44 00 00 20 41 00 00 00 00 00 00 00 00 00 00 00 00 03 00 00 00`;
