import L from "leaflet";
import { describe, expect, it } from "vitest";
import "../water/stubResizeObserver";
import { type GeoBounds, viewX, viewY } from "../../src/simulation/lakeMapping";
import { RendererMap } from "../../src/simulation/RendererMap";
import { defaultTileSources } from "../../src/water/tileSources";

// Leaflet zooms in whole steps where it sees no CSS transforms, as in jsdom; every browser the page runs in has
// them.
Object.assign(L.Browser, { any3d: true });

/** A map of `width` × `height` view points (jsdom lays nothing out, so the size is given). */
function mapOfSize(width: number, height: number): RendererMap {
    const container = document.createElement("div");
    Object.defineProperty(container, "clientWidth", { value: width });
    Object.defineProperty(container, "clientHeight", { value: height });
    document.body.append(container);
    return new RendererMap(container, defaultTileSources.map, () => {});
}

/** Where the canvas's corners are drawn once the map has fitted the lake: [left, top, width, height]. */
function drawnCanvas(map: RendererMap, bounds: GeoBounds): number[] {
    const mapping = map.mapping(bounds);
    if (mapping === null) throw new Error("not fitted");
    const left = viewX(mapping, 0);
    const top = viewY(mapping, 0);
    return [left, top, viewX(mapping, 800) - left, viewY(mapping, 600) - top];
}

// Mercator makes a box 1° by 1° about 47.5° N 1.48 times as tall as wide; fitted with 24 points to spare on the
// tighter axis, centred. That the ratio is the same in any window is the renderer journey's; this is its value.
const tall = { south: 47, north: 48, west: 8, east: 9 };

describe("the renderer's map", () => {
    it.each([
        ["a tall lake in a wide window", tall, 1200, 700, [379.77, 24, 440.47, 652]],
        ["a tall lake in a tall window", tall, 700, 1000, [28.43, 24, 643.13, 952]],
    ] as const)("draws %s in its true proportions, letterboxed", (_, bounds, width, height, expected) => {
        const map = mapOfSize(width, height);
        expect(map.mapping(bounds)).toBeNull();
        expect(map.fit(bounds)).toBe(true);
        drawnCanvas(map, bounds).forEach((value, index) => expect(value).toBeCloseTo(expected[index] ?? NaN, 0));
    });

    it("lays the street map under the particles only while asked", () => {
        const map = mapOfSize(700, 500);
        map.fit(tall);
        const baseMaps = () => document.querySelectorAll(".leaflet-tile-pane .leaflet-layer").length;
        expect(baseMaps()).toBe(0);
        map.showTiles(true);
        expect(baseMaps()).toBe(1);
        map.showTiles(false);
        expect(baseMaps()).toBe(0);
        map.remove();
    });

    it("keeps its view while the map has no room to fit the lake", () => {
        const map = mapOfSize(40, 700);
        expect(map.fit(tall)).toBe(false);
        expect(map.mapping(tall)).toBeNull();
    });
});
