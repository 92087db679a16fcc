// The region screen's map: one Leaflet map, created when the element is first shown and kept across redraws,
// whose layers follow the app's state and whose clicks become `mapClick` intents.
import L from "leaflet";
import "leaflet/dist/leaflet.css";
import type { SendIntent } from "../app/intents";
import { mapClickIntent } from "./mapClickIntent";
import { mapLayerPlan, openingBounds, waterBlue } from "./mapLayerPlan";
import type { RegionMapState } from "./RegionState";
import { type TileSource, type TileSources, tileSourcesFrom } from "./tileSources";

export const regionMapTag = "pelagrin-region-map";

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
    /** The last view request applied: each moves the map once, and later pans are the user's own. */
    private viewRequestId_: number | null = null;

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
        this.map_?.remove();
        this.map_ = null;
        this.shownTiles_ = [];
        this.tileLayers_.clear();
    }

    /** The map needs its place in the page before it can be made; made once, it only changes its layers. */
    private show(): void {
        const model = this.model_;
        if (model === null || !this.isConnected) return;
        if (this.map_ === null) this.map_ = this.createMap(model);
        this.draw(this.map_, model);
    }

    private createMap(model: RegionMapState): L.Map {
        // Shift is a way to place the emission point and a double click is two vertex clicks, so neither may
        // zoom the map.
        const map = L.map(this, { boxZoom: false, doubleClickZoom: false });
        map.fitBounds(openingBounds(model), { animate: false });
        map.on("click", (event: L.LeafletMouseEvent) => {
            this.send(mapClickIntent(event.latlng, event.originalEvent));
        });
        this.overlays_.addTo(map);
        this.resizeObserver_ = new ResizeObserver(() => map.invalidateSize());
        this.resizeObserver_.observe(this);
        return map;
    }

    /** The base layers set when the map type changed; pins and polygon rebuilt from scratch every time. */
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
        const request = model.viewRequest;
        if (request !== null && request.id !== this.viewRequestId_) {
            this.viewRequestId_ = request.id;
            const { center, span } = request;
            const half = [span.latitudeDelta / 2, span.longitudeDelta / 2] as const;
            map.fitBounds(
                [
                    [center.latitude - half[0], center.longitude - half[1]],
                    [center.latitude + half[0], center.longitude + half[1]],
                ],
                { animate: false },
            );
        }
        this.overlays_.clearLayers();
        if (plan.polygon !== null) {
            const outline = plan.polygon.map((point) => L.latLng(point.latitude, point.longitude));
            const style = { color: waterBlue, weight: 2, opacity: 1, fillColor: waterBlue, fillOpacity: 0.25 };
            L.polygon(outline, { ...style, interactive: false }).addTo(this.overlays_);
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
