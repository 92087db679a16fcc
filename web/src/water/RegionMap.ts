// The region screen's map: one Leaflet map, created when the element is first shown and kept across redraws,
// whose layers follow the app's state, whose clicks and vertex drags become intents, and whose view moves
// only when the app asks and is otherwise the user's.
import L from "leaflet";
import "leaflet/dist/leaflet.css";
import type { SendIntent } from "../app/intents";
import { mapClickIntent, pointArguments } from "./mapClickIntent";
import { areaBounds, type MapLayerPlan, mapLayerPlan, waterBlue } from "./mapLayerPlan";
import { mapViewIntent } from "./mapViewIntent";
import type { RegionMapState } from "./RegionState";
import { type TileSource, type TileSources, tileSourcesFrom } from "./tileSources";

export const regionMapTag = "pelagrin-region-map";

/** How long the view must rest before it is reported, ms: a drag or a wheel spin is told once, at its end. */
export const viewReportDelay = 400;

export class RegionMapElement extends HTMLElement {
    send: SendIntent = () => {};
    /** Read from the page's address when the element is made; see `tileSourcesFrom`. */
    sources: TileSources = tileSourcesFrom(window.location.search);

    private model_: RegionMapState | null = null;
    private map_: L.Map | null = null;
    private resizeObserver_: ResizeObserver | null = null;
    private readonly overlays_ = L.layerGroup();
    /** The tile layers made so far, by URL, so that switching base maps back and forth reuses them. */
    private readonly tileLayers_ = new Map<string, L.TileLayer>();
    private shownTiles_: L.TileLayer[] = [];
    /** The sequence of the last view request applied; a new map applies the one it is given. */
    private shownViewRequest_: number | null = null;
    private viewReport_: ReturnType<typeof setTimeout> | undefined;
    /**
     * What the shapes and pins were last drawn from. An update that leaves them as they were (the clock of a run
     * going on, a slider) redraws nothing, so that a vertex being dragged is not dropped from under the pointer
     * and a long coastline is not laid out again.
     */
    private drawnOverlays_: string | null = null;

    get model(): RegionMapState | null {
        return this.model_;
    }

    set model(model: RegionMapState | null) {
        this.model_ = model;
        this.show();
    }

    connectedCallback(): void {
        this.show();
    }

    disconnectedCallback(): void {
        this.resizeObserver_?.disconnect();
        this.resizeObserver_ = null;
        clearTimeout(this.viewReport_);
        this.map_?.remove();
        this.map_ = null;
        this.shownViewRequest_ = null;
        this.drawnOverlays_ = null;
        this.shownTiles_ = [];
        this.tileLayers_.clear();
    }

    /** The map needs its place in the page before it can be made; made once, it only changes its layers. */
    private show(): void {
        const model = this.model_;
        if (model === null || !this.isConnected) return;
        if (this.map_ === null) this.map_ = this.createMap();
        const request = model.viewRequest;
        if (request.sequence !== this.shownViewRequest_) {
            this.shownViewRequest_ = request.sequence;
            this.map_.fitBounds(areaBounds(request), { animate: false });
        }
        this.draw(this.map_, model);
    }

    private createMap(): L.Map {
        // Shift is a way to place the emission point and a double click is two vertex clicks, so neither may
        // zoom the map.
        const map = L.map(this, { boxZoom: false, doubleClickZoom: false });
        map.on("click", (event: L.LeafletMouseEvent) => {
            this.send(mapClickIntent(event.latlng, event.originalEvent));
        });
        map.on("moveend", () => {
            clearTimeout(this.viewReport_);
            this.viewReport_ = setTimeout(() => this.reportView(map), viewReportDelay);
        });
        this.overlays_.addTo(map);
        this.resizeObserver_ = new ResizeObserver(() => map.invalidateSize());
        this.resizeObserver_.observe(this);
        return map;
    }

    private reportView(map: L.Map): void {
        const bounds = map.getBounds();
        const intent = mapViewIntent({
            south: bounds.getSouth(),
            west: bounds.getWest(),
            north: bounds.getNorth(),
            east: bounds.getEast(),
        });
        if (intent !== null) this.send(intent);
    }

    /** The base layers set when the map type changed; the rest rebuilt from scratch whenever it changed. */
    private draw(map: L.Map, model: RegionMapState): void {
        const plan = mapLayerPlan(model, this.sources);
        const tiles = plan.tiles.map((source) => this.tileLayer(source));
        const isSameBase =
            tiles.length === this.shownTiles_.length &&
            tiles.every((layer, index) => layer === this.shownTiles_[index]);
        if (!isSameBase) {
            for (const layer of this.shownTiles_) layer.remove();
            for (const layer of tiles) layer.addTo(map);
            this.shownTiles_ = tiles;
        }
        const overlays = JSON.stringify([plan.polygon, plan.line, plan.handles, plan.disc, plan.markers]);
        if (overlays === this.drawnOverlays_) return;
        this.drawnOverlays_ = overlays;
        this.overlays_.clearLayers();
        this.drawOutline(plan);
        if (plan.disc !== null) {
            const disc = {
                color: "#34c759",
                weight: 1,
                fillOpacity: 0.3,
                interactive: false,
                className: "region-disc",
            };
            L.circle([plan.disc.latitude, plan.disc.longitude], { ...disc, radius: plan.disc.radius }).addTo(
                this.overlays_,
            );
        }
        for (const marker of plan.markers) {
            // Pins let clicks through to the map, so that a click beside a pin still lands where it was aimed.
            const icon = L.divIcon({
                className: marker.className,
                html: `<span class="region-pin" aria-label="${marker.title}"></span>`,
                iconSize: [22, 30],
                iconAnchor: [11, 30],
            });
            const options = { icon, interactive: false, keyboard: false, title: marker.title };
            L.marker([marker.latitude, marker.longitude], options).addTo(this.overlays_);
        }
    }

    /** The polygon or the line before it, and a handle on each vertex to drag it or delete it. */
    private drawOutline(plan: MapLayerPlan): void {
        const style = { color: waterBlue, weight: 2, opacity: 1, fillColor: waterBlue, fillOpacity: 0.25 };
        const points = (list: { latitude: number; longitude: number }[]) =>
            list.map((point) => L.latLng(point.latitude, point.longitude));
        if (plan.polygon !== null)
            L.polygon(points(plan.polygon), { ...style, interactive: false, className: "region-outline" }).addTo(
                this.overlays_,
            );
        if (plan.line !== null)
            L.polyline(points(plan.line), { ...style, interactive: false, className: "region-outline" }).addTo(
                this.overlays_,
            );
        const icon = L.divIcon({ className: "region-vertex", iconSize: [12, 12] });
        for (const handle of plan.handles) {
            const label = `Vertex ${handle.index + 1}`;
            const marker = L.marker([handle.latitude, handle.longitude], { icon, draggable: true, title: label });
            marker.on("dragend", () => {
                this.send({ intent: "moveVertex", index: handle.index, ...pointArguments(marker.getLatLng()) });
            });
            // A right-click, or an Alt-click as on the rest of the map, deletes; a plain click does nothing.
            marker.on("contextmenu", () => this.send({ intent: "deleteVertex", index: handle.index }));
            marker.on("click", (event: L.LeafletMouseEvent) => {
                if (event.originalEvent.altKey) this.send({ intent: "deleteVertex", index: handle.index });
            });
            marker.addTo(this.overlays_);
        }
    }

    private tileLayer(source: TileSource): L.TileLayer {
        let layer = this.tileLayers_.get(source.url);
        if (layer === undefined) {
            layer = L.tileLayer(source.url, { attribution: source.attribution, maxZoom: source.maxZoom });
            this.tileLayers_.set(source.url, layer);
        }
        return layer;
    }
}

if (customElements.get(regionMapTag) === undefined) customElements.define(regionMapTag, RegionMapElement);
