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

const vertex = (latitude: number, longitude: number) => ({ latitude, longitude });

/** Where a click on the map's middle lands: the view's centre, as the map itself reports it. */
function clickedPoint(element: RegionMapElement, sent: Intent[]) {
    element.dispatchEvent(new MouseEvent("click", { bubbles: true }));
    const intent = sent.pop();
    if (intent?.intent !== "mapClick") throw new Error("no map click");
    return intent;
}

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
    });

    it("moves its view once for each request of the app and leaves it alone otherwise", () => {
        const fresh = mapState(freshRegion());
        const { element, sent } = mountMap(fresh);
        const near = (point: { latitude: number; longitude: number }, latitude: number, longitude: number) =>
            Math.abs(point.latitude - latitude) < 0.5 && Math.abs(point.longitude - longitude) < 0.5;
        expect(near(clickedPoint(element, sent), 39, 35)).toBe(true);
        const lake = { sequence: 2, center: vertex(47.4, 8.5), span: { latitudeDelta: 0.1, longitudeDelta: 0.1 } };
        element.model = { ...fresh, viewRequest: lake };
        expect(near(clickedPoint(element, sent), 47.4, 8.5)).toBe(true);
        element.model = { ...fresh, viewRequest: { ...lake, center: vertex(0, 0) } };
        expect(near(clickedPoint(element, sent), 47.4, 8.5)).toBe(true);
    });

    // How the outline grows click by click is the region journey's; here, what a redraw keeps and what it clears.
    it("draws the lake and its release disc, keeps an unchanged outline's handles, and clears", () => {
        const drawn = mapState(drawnRegion());
        const { element } = mountMap(drawn);
        const fills = [...element.querySelectorAll(".leaflet-overlay-pane path")].map((path) =>
            path.getAttribute("fill"),
        );
        expect(fills).toEqual(["#007aff", "#34c759"]);
        const handle = element.querySelector(".region-vertex");
        element.model = { ...drawn };
        expect(element.querySelector(".region-vertex"), "an unchanged outline keeps its handles").toBe(handle);
        const pins = [...element.querySelectorAll<HTMLElement>(".leaflet-marker-pane .region-marker")];
        expect(pins.map((pin) => pin.title)).toEqual(["Selected", "Emission"]);
        element.model = { ...drawn, polygon: null, markers: [], vertexHandles: [], emissionDisc: null };
        expect(element.querySelector(".leaflet-overlay-pane path, .region-marker, .region-vertex")).toBeNull();
    });

    it("sends a vertex's deletion on a right-click or an Alt-click, and nothing on a plain click", () => {
        const { element, sent } = mountMap(mapState(drawnRegion()));
        const handles = [...element.querySelectorAll(".region-vertex")];
        handles[1]!.dispatchEvent(new MouseEvent("contextmenu", { bubbles: true }));
        handles[2]!.dispatchEvent(new MouseEvent("click", { bubbles: true }));
        handles[3]!.dispatchEvent(new MouseEvent("click", { bubbles: true, altKey: true }));
        expect(sent).toEqual([
            { intent: "deleteVertex", index: 1 },
            { intent: "deleteVertex", index: 3 },
        ]);
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
