// The particles' own canvas, the size of the view in device pixels: its pixels are written directly, then laid
// over the picture in one copy. `putImageData` replaces pixels rather than blending them, hence a canvas of its
// own instead of writing into the picture.
import { type PixelBuffer, pixelBuffer } from "./dotPixels";

interface Surface {
    canvas: HTMLCanvasElement;
    context: CanvasRenderingContext2D;
    image: ImageData;
    pixels: PixelBuffer;
}

export class ParticleLayer {
    // Kept from picture to picture: a view-sized buffer per picture would be megabytes of garbage each frame.
    private surface_: Surface | null = null;

    /** The layer's pixels for a picture of `width` × `height` device pixels, cleared; `null` without a 2-D canvas. */
    begin(width: number, height: number): PixelBuffer | null {
        const surface = this.surfaceOf(width, height);
        surface?.pixels.words.fill(0);
        return surface?.pixels ?? null;
    }

    /** Lays what `begin` handed out over `context` at its top-left corner, one layer pixel to one of its pixels. */
    drawOnto(context: CanvasRenderingContext2D): void {
        if (this.surface_ === null) return;
        const { canvas, context: own, image } = this.surface_;
        own.putImageData(image, 0, 0);
        context.save();
        context.setTransform(1, 0, 0, 1, 0, 0);
        context.drawImage(canvas, 0, 0);
        context.restore();
    }

    private surfaceOf(width: number, height: number): Surface | null {
        const current = this.surface_;
        if (current !== null && current.image.width === width && current.image.height === height) return current;
        const canvas = current?.canvas ?? document.createElement("canvas");
        canvas.width = width;
        canvas.height = height;
        const context = current?.context ?? canvas.getContext("2d");
        if (context === null) return null;
        const image = context.createImageData(width, height);
        this.surface_ = { canvas, context, image, pixels: pixelBuffer(image.data, width, height) };
        return this.surface_;
    }
}
