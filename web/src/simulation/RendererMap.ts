// The renderer's map: a Leaflet map under the particles that owns zooming and panning (wheel and pinch about
// the pointer, double-click, drag), the scale bar and, when asked, the base map. The particles are not Leaflet
// layers: the map only says where the canvas's corners are drawn.
import L from "leaflet";
import "leaflet/dist/leaflet.css";
import type { TileSource } from "../water/tileSources";
import { cornerMapping, type GeoBounds, type ViewMapping } from "./lakeMapping";

/** Space left round the lake by "Fit", view points. */
export const fitMargin = 24;
/** Deeper than any tile source: a small pond is still drawn large, its tiles enlarged. */
const deepestZoom = 22;

export class RendererMap {
    private readonly map_: L.Map;
    private readonly tiles_: L.TileLayer;
    private isPlaced_ = false;

    /** A map in `container`; `onChange` is called whenever what it shows moves or resizes. */
    constructor(container: HTMLElement, source: TileSource, onChange: () => void) {
        // Zoom is continuous so that "Fit" letterboxes exactly; without its animation the particles, drawn
        // outside the map's panes, never lag the map's own layers.
        this.map_ = L.map(container, {
            zoomSnap: 0,
            zoomDelta: 0.5,
            wheelPxPerZoomLevel: 120,
            zoomAnimation: false,
            fadeAnimation: false,
            maxZoom: deepestZoom,
        });
        L.control.scale({ imperial: false, position: "bottomleft" }).addTo(this.map_);
        this.tiles_ = L.tileLayer(source.url, {
            attribution: source.attribution,
            maxNativeZoom: source.maxZoom,
            maxZoom: deepestZoom,
        });
        this.map_.on("move zoom resize viewreset", onChange);
    }

    /** Shows `bounds` whole, north up, with `fitMargin` round it; nothing while the map has no size. */
    fit(bounds: GeoBounds): boolean {
        const size = this.map_.getSize();
        if (size.x <= 2 * fitMargin || size.y <= 2 * fitMargin) return false;
        const corners = L.latLngBounds([bounds.south, bounds.west], [bounds.north, bounds.east]);
        this.map_.fitBounds(corners, { padding: [fitMargin, fitMargin], animate: false });
        this.isPlaced_ = true;
        return true;
    }

    /** Whether the base map's tiles are drawn under the particles. */
    showTiles(isShown: boolean): void {
        if (isShown) this.tiles_.addTo(this.map_);
        else this.tiles_.remove();
    }

    /** Takes the container's new size. */
    resize(): void {
        this.map_.invalidateSize({ pan: false });
    }

    /** Where simulation px of a canvas spanning `bounds` are drawn; `null` before the first fit. */
    mapping(bounds: GeoBounds): ViewMapping | null {
        if (!this.isPlaced_) return null;
        const northWest = this.map_.latLngToContainerPoint([bounds.north, bounds.west]);
        const southEast = this.map_.latLngToContainerPoint([bounds.south, bounds.east]);
        return cornerMapping(northWest, southEast);
    }

    remove(): void {
        this.map_.remove();
    }
}
