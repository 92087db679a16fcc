// The binary particle frames the app sends: one snapshot of the run, decoded into one column per field.

/** "PFRM" read as a little-endian 32-bit number. */
export const frameMagic = 0x4d524650;
export const frameVersion = 1;
export const frameHeaderBytes = 40;
/** The record fields this page reads end here; a newer app may append more to each record. */
const minimumRecordBytes = 25;

export const isActiveBit = 1;
export const isStuckBit = 2;
export const isSedimentedBit = 4;
/** |velocity| > 0.1 px/s, the flow vector's test, made by the app before the velocity is narrowed to 32 bits. */
export const isMovingBit = 8;

/** One snapshot: positions and velocities in simulation px and px/s, depths in metres, times in seconds. */
export interface ParticleFrame {
    frameNumber: number;
    time: number;
    totalDuration: number;
    /** The depth particles are shaded against, m. */
    waterDepth: number;
    count: number;
    x: Float32Array;
    y: Float32Array;
    z: Float32Array;
    vx: Float32Array;
    vy: Float32Array;
    speed: Float32Array;
    /** `isActiveBit`, `isStuckBit`, `isSedimentedBit` and `isMovingBit` of each particle. */
    flags: Uint8Array;
}

/** Thrown for bytes that are not a particle frame this page can read. */
export class FrameError extends Error {
    override name = "FrameError";
}

/** Reads a frame; throws FrameError naming what is wrong with it. */
export function decodeParticleFrame(buffer: ArrayBuffer): ParticleFrame {
    if (buffer.byteLength < frameHeaderBytes) {
        throw new FrameError(
            `particle frame: ${buffer.byteLength} bytes, shorter than its ${frameHeaderBytes}-byte header`,
        );
    }
    const view = new DataView(buffer);
    const magic = view.getUint32(0, true);
    if (magic !== frameMagic) throw new FrameError(`particle frame: magic 0x${magic.toString(16)} is not "PFRM"`);
    const version = view.getUint16(4, true);
    if (version !== frameVersion)
        throw new FrameError(`particle frame: version ${version}, this page reads ${frameVersion}`);
    const recordBytes = view.getUint16(6, true);
    if (recordBytes < minimumRecordBytes) {
        throw new FrameError(
            `particle frame: records of ${recordBytes} bytes, at least ${minimumRecordBytes} expected`,
        );
    }
    const count = view.getUint32(12, true);
    const expected = frameHeaderBytes + count * recordBytes;
    if (buffer.byteLength !== expected) {
        throw new FrameError(`particle frame: ${buffer.byteLength} bytes, ${count} particles need ${expected}`);
    }
    const frame: ParticleFrame = {
        frameNumber: view.getUint32(8, true),
        count,
        time: view.getFloat64(16, true),
        totalDuration: view.getFloat64(24, true),
        waterDepth: view.getFloat64(32, true),
        x: new Float32Array(count),
        y: new Float32Array(count),
        z: new Float32Array(count),
        vx: new Float32Array(count),
        vy: new Float32Array(count),
        speed: new Float32Array(count),
        flags: new Uint8Array(count),
    };
    for (let i = 0, at = frameHeaderBytes; i < count; i++, at += recordBytes) {
        frame.x[i] = view.getFloat32(at, true);
        frame.y[i] = view.getFloat32(at + 4, true);
        frame.z[i] = view.getFloat32(at + 8, true);
        frame.vx[i] = view.getFloat32(at + 12, true);
        frame.vy[i] = view.getFloat32(at + 16, true);
        frame.speed[i] = view.getFloat32(at + 20, true);
        frame.flags[i] = view.getUint8(at + 24);
    }
    return frame;
}
