// The deposit map: one Leaflet map of the lake, made when first shown and kept across redraws, with the bed
// heatmap as an image over the lake and the shore drawn stretch by stretch in its ramp's colours. Tiles are a
// backdrop only: without them the lake, the heatmap and the shore still show.
import L from "leaflet";
import "leaflet/dist/leaflet.css";
import { baseLayers, waterBlue } from "../water/mapLayerPlan";
import { type TileSources, tileSourcesFrom } from "../water/tileSources";
import { heatmapPixels, shoreColor } from "./depositColors";
import type { BedHeatmap, DepositsState, GeoPoint } from "./DepositsState";

export const depositMapTag = "pelagrin-deposit-map";

/** The heatmap as a data URL, one pixel a cell; the map stretches it over the grid's bounds. */
function heatmapImage(heatmap: BedHeatmap): string {
    const canvas = document.createElement("canvas");
    canvas.width = heatmap.columns;
    canvas.height = heatmap.rows;
    const context = canvas.getContext("2d");
    if (context === null || heatmap.rows === 0 || heatmap.columns === 0) return canvas.toDataURL();
    const image = context.createImageData(heatmap.columns, heatmap.rows);
    image.data.set(heatmapPixels(heatmap.rows, heatmap.columns, heatmap.particlesPerKm2, heatmap.max));
    context.putImageData(image, 0, 0);
    return canvas.toDataURL();
}

const latLngs = (points: GeoPoint[]) => points.map((point) => L.latLng(point.latitude, point.longitude));

export class DepositMapElement extends HTMLElement {
    /** Read from the page's address when the element is made; see `tileSourcesFrom`. */
    sources: TileSources = tileSourcesFrom(window.location.search);

    private model_: DepositsState | null = null;
    private map_: L.Map | null = null;
    /** Lets go of the map and what watches its size. */
    private release_: (() => void) | null = null;
    private readonly overlays_ = L.layerGroup();
    /** What the layers were last drawn from: the same deposits draw nothing again. */
    private drawn_: string | null = null;
    private drawnModel_: DepositsState | null = null;
    /** The outline the view was last fitted to; the view is the user's until the lake changes. */
    private fitted_: string | null = null;

    set model(model: DepositsState | null) {
        this.model_ = model;
        this.show();
    }

    connectedCallback(): void {
        this.show();
    }

    disconnectedCallback(): void {
        this.release_?.();
        this.release_ = null;
        this.map_ = null;
        this.drawn_ = null;
        this.drawnModel_ = null;
        this.fitted_ = null;
    }

    private show(): void {
        const model = this.model_;
        if (model === null || !this.isConnected) return;
        if (this.map_ === null) this.map_ = this.createMap();
        const outline = JSON.stringify(model.outline);
        if (outline !== this.fitted_ && model.outline.length > 0) {
            this.fitted_ = outline;
            this.map_.fitBounds(L.latLngBounds(latLngs(model.outline)), { animate: false });
        }
        // A state that left the deposits untouched hands the same object back: nothing to compare then.
        if (model === this.drawnModel_) return;
        this.drawnModel_ = model;
        const drawn = JSON.stringify(model);
        if (drawn === this.drawn_) return;
        this.drawn_ = drawn;
        this.draw(model);
    }

    private createMap(): L.Map {
        const map = L.map(this, { attributionControl: true });
        for (const source of baseLayers(0, this.sources)) {
            L.tileLayer(source.url, { attribution: source.attribution, maxZoom: source.maxZoom }).addTo(map);
        }
        this.overlays_.addTo(map);
        const sizeWatch = new ResizeObserver(() => map.invalidateSize());
        sizeWatch.observe(this);
        this.release_ = () => {
            sizeWatch.disconnect();
            map.remove();
        };
        return map;
    }

    private draw(model: DepositsState): void {
        this.overlays_.clearLayers();
        const water = { color: waterBlue, weight: 0, fillColor: waterBlue, fillOpacity: 0.15, interactive: false };
        L.polygon(latLngs(model.outline), { ...water, className: "deposit-lake" }).addTo(this.overlays_);
        const { heatmap } = model;
        const bounds = L.latLngBounds([heatmap.south, heatmap.west], [heatmap.north, heatmap.east]);
        L.imageOverlay(heatmapImage(heatmap), bounds, {
            className: "deposit-heatmap",
            alt: heatmap.legend,
            interactive: false,
        }).addTo(this.overlays_);
        for (const segment of model.shore.segments) {
            L.polyline(latLngs(segment.points), {
                color: shoreColor(segment.per100m, model.shore.max),
                weight: segment.stranded > 0 ? 5 : 2,
                opacity: 1,
                interactive: false,
                className: segment.stranded > 0 ? "deposit-shore deposit-shore-stranded" : "deposit-shore",
            }).addTo(this.overlays_);
        }
    }
}

if (customElements.get(depositMapTag) === undefined) customElements.define(depositMapTag, DepositMapElement);
