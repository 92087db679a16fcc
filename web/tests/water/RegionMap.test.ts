import { describe, expect, it } from "vitest";
import "./stubResizeObserver";
import type { Intent } from "../../src/app/intents";
import type { RegionMapElement } from "../../src/water/RegionMap";
import "../../src/water/RegionMap";
import type { RegionMapState } from "../../src/water/RegionState";
import { tileSourcesFrom, type TileSources } from "../../src/water/tileSources";
import { drawnRegion, freshRegion } from "./fixtures";

const mapState = (region: Record<string, unknown>, patch: Partial<RegionMapState> = {}): RegionMapState => ({
    ...(region["map"] as RegionMapState),
    ...patch,
});

function mountMap(model: RegionMapState, sources?: TileSources) {
    document.body.innerHTML = "";
    const element = document.createElement("pelagrin-region-map") as RegionMapElement;
    const sent: Intent[] = [];
    element.send = (intent) => sent.push(intent);
    if (sources !== undefined) element.sources = sources;
    element.model = model;
    document.body.append(element);
    return { element, sent };
}

/** Each tile layer shown, bottom first, as its first tile's address without the tile's own part. */
const tileServices = (element: Element) =>
    [...element.querySelectorAll(".leaflet-tile-pane .leaflet-layer")].map((layer) =>
        (layer.querySelector("img")?.src ?? "").replace(/(\/tile)?\/\d+\/\d+\/\d+(\.png)?$/, ""),
    );

describe("the region map", () => {
    it("sends the point clicked with the modifier keys held, to the newest send function", () => {
        const { element, sent } = mountMap(mapState(freshRegion()));
        element.dispatchEvent(new MouseEvent("click", { bubbles: true, shiftKey: true }));
        const later: Intent[] = [];
        element.send = (intent) => later.push(intent);
        element.dispatchEvent(new MouseEvent("click", { bubbles: true, metaKey: true, altKey: true }));
        expect([...sent, ...later]).toMatchObject([
            { intent: "mapClick", alt: false, shift: true, ctrl: false, meta: false },
            { intent: "mapClick", alt: true, shift: false, ctrl: false, meta: true },
        ]);
        for (const intent of sent) {
            if (intent.intent !== "mapClick") throw new Error(`not a map click: ${intent.intent}`);
            // The map opens on the app's region: a click on it lands within that region's 8° span.
            expect(Math.abs(intent.latitude - 39)).toBeLessThan(4);
            expect(Math.abs(intent.longitude - 35)).toBeLessThan(4);
        }
    });

    it("draws titled CSS pins and an outlined polygon, and no polygon below 3 vertices", () => {
        const drawn = mapState(drawnRegion());
        const { element } = mountMap(drawn);
        const pins = [...element.querySelectorAll<HTMLElement>(".leaflet-marker-pane .region-marker")];
        expect(
            pins.map((pin) => [pin.title, pin.classList.contains(`region-marker-${pin.title.toLowerCase()}`)]),
        ).toEqual([
            ["Selected", true],
            ["Emission", true],
        ]);
        expect(element.querySelector(".leaflet-marker-pane img")).toBeNull();
        const path = element.querySelector(".leaflet-overlay-pane path")!;
        const style = ["stroke", "stroke-opacity", "stroke-width", "fill", "fill-opacity"].map((a) =>
            path.getAttribute(a),
        );
        expect(style).toEqual(["#007aff", "1", "2", "#007aff", "0.25"]);
        element.model = { ...drawn, polygon: drawn.polygon!.slice(0, 2) };
        expect(element.querySelector(".leaflet-overlay-pane path")).toBeNull();
        element.model = { ...drawn, polygon: null, markers: [] };
        expect(element.querySelector(".leaflet-overlay-pane path, .region-marker")).toBeNull();
    });

    it("changes the base map's tiles and credit without making a new map", () => {
        const { element } = mountMap(mapState(freshRegion()));
        const pane = element.querySelector(".leaflet-map-pane");
        const credit = () => element.querySelector(".leaflet-control-attribution")?.textContent ?? "";
        const arcgis = "https://server.arcgisonline.com/ArcGIS/rest/services";
        expect(tileServices(element)).toEqual([
            `${arcgis}/World_Imagery/MapServer`,
            `${arcgis}/Reference/World_Boundaries_and_Places/MapServer`,
        ]);
        element.model = mapState(freshRegion(), { mapType: 0 });
        expect(tileServices(element)).toEqual(["https://tile.openstreetmap.org"]);
        expect(credit()).toContain("OpenStreetMap contributors");
        expect(credit()).not.toContain("Esri");
        element.model = mapState(freshRegion(), { mapType: 1 });
        expect(tileServices(element)).toEqual([`${arcgis}/World_Imagery/MapServer`]);
        expect(credit()).toContain("Esri");
        expect(element.querySelector(".leaflet-map-pane")).toBe(pane);
    });

    it("takes its tiles from the sources it is given", () => {
        const sources = tileSourcesFrom("?mapTiles=http://127.0.0.1:9/osm/{z}/{x}/{y}.png");
        const { element } = mountMap(mapState(freshRegion(), { mapType: 0 }), sources);
        expect(element.querySelector<HTMLImageElement>(".leaflet-tile")?.src).toMatch(
            /^http:\/\/127\.0\.0\.1:9\/osm\/\d+\/\d+\/\d+\.png$/,
        );
    });
});
