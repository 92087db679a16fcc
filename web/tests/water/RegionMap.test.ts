import { describe, expect, it } from "vitest";
import "./stubResizeObserver";
import type { Intent } from "../../src/app/intents";
import type { RegionMapElement } from "../../src/water/RegionMap";
import "../../src/water/RegionMap";
import type { RegionMapState } from "../../src/water/RegionState";
import { tileSourcesFrom } from "../../src/water/tileSources";
import { drawnRegion, freshRegion } from "./fixtures";

function mapState(region: Record<string, unknown>, patch: Partial<RegionMapState> = {}): RegionMapState {
    return { ...(region["map"] as RegionMapState), ...patch };
}

function mountMap(model: RegionMapState): { element: RegionMapElement; sent: Intent[] } {
    document.body.innerHTML = "";
    const element = document.createElement("pelagrin-region-map") as RegionMapElement;
    const sent: Intent[] = [];
    element.send = (intent) => sent.push(intent);
    element.model = model;
    document.body.append(element);
    return { element, sent };
}

/** Each tile layer shown, bottom first, as its first tile's address without the tile's own part. */
const tileServices = (element: Element) =>
    [...element.querySelectorAll(".leaflet-tile-pane .leaflet-layer")].map((layer) =>
        (layer.querySelector("img")?.src ?? "").replace(/(\/tile)?\/\d+\/\d+\/\d+(\.png)?$/, ""),
    );

describe("the region map's clicks", () => {
    it("send the point clicked with each modifier key as it was held", () => {
        const { element, sent } = mountMap(mapState(freshRegion()));
        const held = [{}, { altKey: true }, { shiftKey: true }, { ctrlKey: true }, { metaKey: true, altKey: true }];
        for (const keys of held) element.dispatchEvent(new MouseEvent("click", { bubbles: true, ...keys }));
        expect(sent.map((intent) => intent.intent === "mapClick" && [intent.alt, intent.shift, intent.ctrl, intent.meta])).toEqual([
            [false, false, false, false],
            [true, false, false, false],
            [false, true, false, false],
            [false, false, true, false],
            [true, false, false, true],
        ]);
        for (const intent of sent) {
            if (intent.intent !== "mapClick") throw new Error(`not a map click: ${intent.intent}`);
            // The map opens on the app's region: a click on it lands within that region's 8° span.
            expect(Math.abs(intent.latitude - 39)).toBeLessThan(4);
            expect(Math.abs(intent.longitude - 35)).toBeLessThan(4);
        }
    });

    it("reach the newest send function the page gave", () => {
        const { element, sent } = mountMap(mapState(freshRegion()));
        const later: Intent[] = [];
        element.send = (intent) => later.push(intent);
        element.dispatchEvent(new MouseEvent("click", { bubbles: true }));
        expect([sent.length, later.length]).toEqual([0, 1]);
    });
});

describe("the region map's layers", () => {
    it("draws the pins as CSS markers titled as the app names them", () => {
        const { element } = mountMap(mapState(drawnRegion()));
        const pins = [...element.querySelectorAll<HTMLElement>(".leaflet-marker-pane .region-marker")];
        expect(pins.map((pin) => [pin.title, pin.classList.contains(`region-marker-${pin.title.toLowerCase()}`)])).toEqual([
            ["Selected", true],
            ["Emission", true],
        ]);
        expect(element.querySelector(".leaflet-marker-pane img")).toBeNull();
    });

    it("fills the polygon in system blue with an opaque 2 px outline, and draws none below 3 vertices", () => {
        const drawn = mapState(drawnRegion());
        const { element } = mountMap(drawn);
        const path = element.querySelector(".leaflet-overlay-pane path")!;
        expect(["stroke", "stroke-opacity", "stroke-width", "fill", "fill-opacity"].map((name) => path.getAttribute(name))).toEqual([
            "#007aff",
            "1",
            "2",
            "#007aff",
            "0.25",
        ]);
        element.model = { ...drawn, polygon: drawn.polygon!.slice(0, 2) };
        expect(element.querySelector(".leaflet-overlay-pane path")).toBeNull();
        element.model = { ...drawn, polygon: null, markers: [] };
        expect(element.querySelector(".leaflet-overlay-pane path, .region-marker")).toBeNull();
    });

    it("changes the base map's tiles and credit without making a new map", () => {
        const { element } = mountMap(mapState(freshRegion()));
        const container = element.querySelector(".leaflet-map-pane");
        const credit = () => element.querySelector(".leaflet-control-attribution")?.textContent ?? "";
        expect(tileServices(element)).toEqual([
            "https://server.arcgisonline.com/ArcGIS/rest/services/World_Imagery/MapServer",
            "https://server.arcgisonline.com/ArcGIS/rest/services/Reference/World_Boundaries_and_Places/MapServer",
        ]);
        element.model = mapState(freshRegion(), { mapType: 0 });
        expect(tileServices(element)).toEqual(["https://tile.openstreetmap.org"]);
        expect(credit()).toContain("OpenStreetMap contributors");
        expect(credit()).not.toContain("Esri");
        element.model = mapState(freshRegion(), { mapType: 1 });
        expect(tileServices(element)).toEqual(["https://server.arcgisonline.com/ArcGIS/rest/services/World_Imagery/MapServer"]);
        expect(credit()).toContain("Esri");
        expect(element.querySelector(".leaflet-map-pane")).toBe(container);
    });

    it("takes its tiles from the sources it is given", () => {
        document.body.innerHTML = "";
        const element = document.createElement("pelagrin-region-map") as RegionMapElement;
        element.sources = tileSourcesFrom("?mapTiles=http://127.0.0.1:9/osm/{z}/{x}/{y}.png");
        element.model = mapState(freshRegion(), { mapType: 0 });
        document.body.append(element);
        expect(element.querySelector<HTMLImageElement>(".leaflet-tile")?.src).toMatch(/^http:\/\/127\.0\.0\.1:9\/osm\/\d+\/\d+\/\d+\.png$/);
    });
});
