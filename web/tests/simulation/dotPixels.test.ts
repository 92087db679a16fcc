import { describe, expect, it } from "vitest";
import {
    type DotColor,
    dotColor,
    dotMask,
    type PixelBuffer,
    pixelBuffer,
    stampDot,
} from "../../src/simulation/dotPixels";

const red = dotColor([255, 0, 0]);
const blue = dotColor([0, 0, 255]);

/** Guard pixels before and after the buffer, in the same memory, to catch writes that miss it. */
const guard = 16;
const guardValue = 0x7b;

function buffer(width: number, height: number): PixelBuffer {
    const memory = new Uint8ClampedArray((width * height + 2 * guard) * 4).fill(guardValue);
    const bytes = memory.subarray(guard * 4, (guard + width * height) * 4).fill(0);
    return pixelBuffer(bytes, width, height);
}

function guardsUntouched(pixels: PixelBuffer): boolean {
    const memory = new Uint8ClampedArray(pixels.bytes.buffer);
    const before = memory.subarray(0, guard * 4);
    const after = memory.subarray((guard + pixels.width * pixels.height) * 4);
    return [...before, ...after].every((value) => value === guardValue);
}

function rgba(pixels: PixelBuffer, x: number, y: number): number[] {
    const offset = (y * pixels.width + x) * 4;
    return [...pixels.bytes.subarray(offset, offset + 4)];
}

/** The pixels a dot touched, as "x,y". */
function touched(pixels: PixelBuffer): string[] {
    const result: string[] = [];
    for (let y = 0; y < pixels.height; y++) {
        for (let x = 0; x < pixels.width; x++) if ((rgba(pixels, x, y)[3] ?? 0) > 0) result.push(`${x},${y}`);
    }
    return result;
}

function stamp(pixels: PixelBuffer, diameter: number, x: number, y: number, color: DotColor = red): void {
    stampDot(pixels, dotMask(diameter), x, y, color);
}

describe("a dot's coverage", () => {
    it("adds up to the area of its circle", () => {
        for (const diameter of [1.5, 3, 4.5, 7.2, 30]) {
            const area = [...dotMask(diameter).coverage].reduce((sum, value) => sum + value / 255, 0);
            expect(area / ((Math.PI * diameter ** 2) / 4)).toBeCloseTo(1, 1);
        }
    });

    it("is a disc centred in its square, full inside and fading at the rim", () => {
        const mask = dotMask(6);
        const at = (x: number, y: number): number => mask.coverage[y * mask.side + x] ?? -1;
        expect(mask.side).toBe(8);
        expect(at(4, 4)).toBe(255);
        expect(at(0, 0)).toBe(0);
        for (let y = 0; y < mask.side; y++) {
            for (let x = 0; x < mask.side; x++) {
                expect(at(x, y)).toBe(at(mask.side - 1 - x, y));
                expect(at(x, y)).toBe(at(y, x));
            }
        }
        const rim = [...mask.coverage].filter((value) => value > 0 && value < 255);
        expect(rim.length).toBeGreaterThan(0);
    });
});

describe("stamping a dot", () => {
    it("centres it on the point it is given, opaque inside, in the byte order the buffer is read in", () => {
        const pixels = buffer(20, 12);
        stamp(pixels, 3, 10.2, 6.7, dotColor([10, 20, 30]));
        expect(rgba(pixels, 10, 6)).toEqual([10, 20, 30, 255]);
        const spots = touched(pixels).map((spot) => spot.split(",").map(Number));
        const xs = spots.map(([x]) => x ?? NaN);
        const ys = spots.map(([, y]) => y ?? NaN);
        expect([Math.min(...xs), Math.max(...xs), Math.min(...ys), Math.max(...ys)]).toEqual([9, 11, 5, 7]);
    });

    it.each([
        [-0.5, -0.5, [0, 0]],
        [10.5, 3, [9, 3]],
        [5, 6.5, [5, 5]],
        [-4, 3, null],
        [14, 3, null],
        [5, -4, null],
        [5, 10, null],
        [-100, -100, null],
    ] as const)(
        "clips a dot at (%d, %d) to the buffer, never wrapping round a row or writing past it",
        (x, y, inside) => {
            const pixels = buffer(10, 6);
            stamp(pixels, 5, x, y);
            expect(guardsUntouched(pixels)).toBe(true);
            const astray = touched(pixels).filter((spot) => {
                const [px = 0, py = 0] = spot.split(",").map(Number);
                return Math.abs(px + 0.5 - x) > 3 || Math.abs(py + 0.5 - y) > 3;
            });
            expect(astray).toEqual([]);
            if (inside === null) expect(touched(pixels)).toEqual([]);
            else expect(rgba(pixels, inside[0], inside[1])).toEqual([255, 0, 0, 255]);
        },
    );
});

describe("a dot's anti-aliased rim", () => {
    /** A rim pixel of a 3-pixel dot centred at (5.5, 5.5), and how much of it the dot covers, 0 to 1. */
    const mask = dotMask(3);
    const rimX = 6;
    const rimY = 4;
    const rimCoverage = (mask.coverage[(rimY - 3) * mask.side + (rimX - 3)] ?? 0) / 255;

    it("is the dot's colour, partly transparent, over an empty pixel", () => {
        expect(rimCoverage).toBeGreaterThan(0.05);
        expect(rimCoverage).toBeLessThan(0.95);
        const pixels = buffer(12, 12);
        stamp(pixels, 3, 5.5, 5.5, red);
        const [r, g, b, a] = rgba(pixels, rimX, rimY);
        expect([r, g, b]).toEqual([255, 0, 0]);
        expect(a).toBe(Math.round(255 * rimCoverage));
    });

    it("mixes with an opaque dot beneath in proportion to its coverage, which it covers inside", () => {
        const pixels = buffer(12, 12);
        stamp(pixels, 9, 6, 6, blue);
        stamp(pixels, 3, 5.5, 5.5, red);
        expect([rgba(pixels, 5, 5), rgba(pixels, 8, 6)]).toEqual([
            [255, 0, 0, 255],
            [0, 0, 255, 255],
        ]);
        const [r, g, b, a] = rgba(pixels, rimX, rimY);
        expect(a).toBe(255);
        expect(r).toBe(Math.round(255 * rimCoverage));
        expect(b).toBe(255 - (r ?? 0));
        expect(g).toBe(0);
    });

    it("lets what lies beneath show through where two rims overlap", () => {
        const pixels = buffer(12, 12);
        stamp(pixels, 3, 5.5, 5.5, blue);
        stamp(pixels, 3, 5.5, 5.5, red);
        const [r, , b, a] = rgba(pixels, rimX, rimY);
        const alpha = rimCoverage + rimCoverage * (1 - rimCoverage);
        expect((a ?? 0) / 255).toBeCloseTo(alpha, 1);
        expect(r).toBeGreaterThan(b ?? 255);
        expect(b).toBeGreaterThan(0);
    });
});
