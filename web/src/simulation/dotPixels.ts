// Particle dots written straight into an RGBA pixel buffer: a software canvas fills or stamps each dot through
// its whole drawing pipeline, which at tens of thousands of dots per picture is far slower than a few array
// writes.
import type { Rgb } from "./particleColors";

/** Straight (not premultiplied) RGBA, row after row, as `ImageData` holds it. */
export interface PixelBuffer {
    width: number;
    height: number;
    bytes: Uint8ClampedArray;
    /** The same memory a pixel at a time, for the opaque inside of a dot. */
    words: Uint32Array;
}

export function pixelBuffer(bytes: Uint8ClampedArray, width: number, height: number): PixelBuffer {
    return { width, height, bytes, words: new Uint32Array(bytes.buffer, bytes.byteOffset, width * height) };
}

/** How much of each pixel of a square round a dot the dot covers, 0 to 255. */
export interface DotMask {
    /** Device pixels. */
    diameter: number;
    /** Side of the square, device pixels: the dot and a pixel of anti-aliased edge round it. */
    side: number;
    /** `side` × `side`, row after row. */
    coverage: Uint8Array;
}

/** Samples per pixel along each axis: 64 levels of coverage, finer than the eye tells on a dot's rim. */
const samplesPerAxis = 8;

export function dotMask(diameter: number): DotMask {
    const side = Math.ceil(diameter) + 2;
    const centre = side / 2;
    const radiusSquared = (diameter / 2) ** 2;
    const coverage = new Uint8Array(side * side);
    for (let row = 0; row < side; row++) {
        for (let column = 0; column < side; column++) {
            let inside = 0;
            for (let sy = 0; sy < samplesPerAxis; sy++) {
                const dy = row + (sy + 0.5) / samplesPerAxis - centre;
                for (let sx = 0; sx < samplesPerAxis; sx++) {
                    const dx = column + (sx + 0.5) / samplesPerAxis - centre;
                    if (dx * dx + dy * dy <= radiusSquared) inside++;
                }
            }
            coverage[row * side + column] = Math.round((255 * inside) / samplesPerAxis ** 2);
        }
    }
    return { diameter, side, coverage };
}

/** A dot's colour, and the same opaque as one word of the buffer in the machine's byte order. */
export interface DotColor {
    rgb: Rgb;
    word: number;
}

export function dotColor(rgb: Rgb): DotColor {
    const word = new Uint32Array(1);
    new Uint8Array(word.buffer).set([...rgb, 255]);
    return { rgb, word: word[0] ?? 0 };
}

/**
 * Lays a dot centred at (`x`, `y`), device pixels, over what the buffer holds; whatever of it falls outside is
 * left out. Its square sits on whole pixels, so that the mask is copied, never resampled.
 */
export function stampDot(pixels: PixelBuffer, mask: DotMask, x: number, y: number, color: DotColor): void {
    const { side, coverage } = mask;
    const left = Math.round(x - side / 2);
    const top = Math.round(y - side / 2);
    const firstColumn = Math.max(0, -left);
    const endColumn = Math.min(side, pixels.width - left);
    const firstRow = Math.max(0, -top);
    const endRow = Math.min(side, pixels.height - top);
    for (let row = firstRow; row < endRow; row++) {
        let pixel = (top + row) * pixels.width + left + firstColumn;
        let sample = row * side + firstColumn;
        for (let column = firstColumn; column < endColumn; column++, pixel++, sample++) {
            const covered = coverage[sample] ?? 0;
            if (covered === 255) pixels.words[pixel] = color.word;
            else if (covered > 0) blendOver(pixels.bytes, pixel * 4, color.rgb, covered);
        }
    }
}

/** Porter-Duff "over" of `rgb` at opacity `alpha` (0 to 255) onto the straight RGBA pixel at `offset`. */
function blendOver(bytes: Uint8ClampedArray, offset: number, [r, g, b]: Rgb, alpha: number): void {
    const under = ((bytes[offset + 3] ?? 0) * (255 - alpha)) / 255;
    const total = alpha + under;
    bytes[offset] = (r * alpha + (bytes[offset] ?? 0) * under) / total;
    bytes[offset + 1] = (g * alpha + (bytes[offset + 1] ?? 0) * under) / total;
    bytes[offset + 2] = (b * alpha + (bytes[offset + 2] ?? 0) * under) / total;
    bytes[offset + 3] = total;
}
