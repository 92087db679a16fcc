// What the region map shows for a state: its base tile layers, its pins, its water outline and the release disc.
import type { Coordinate, MapArea, MapMarker, RegionMapState } from "./RegionState";
import type { TileSource, TileSources } from "./tileSources";

/** A pin with the CSS class that draws it. */
export interface PlannedMarker extends MapMarker {
    className: string;
}

export interface MapLayerPlan {
    /** The base layers, bottom first. */
    tiles: TileSource[];
    markers: PlannedMarker[];
    /** The vertices to drag and delete, each with its index in the outline. */
    handles: (Coordinate & { index: number })[];
    /** The line through the first two vertices, before a third closes the polygon; else `null`. */
    line: Coordinate[] | null;
    /** The water polygon, or `null`: fewer than 3 vertices enclose nothing. */
    polygon: Coordinate[] | null;
    /** The release disc, its radius in metres. */
    disc: (Coordinate & { radius: number }) | null;
}

/** The polygon's colour, the platform's system blue. */
export const waterBlue = "#007aff";

const markerClasses: Record<MapMarker["title"], string> = {
    Selected: "region-marker region-marker-selected",
    Emission: "region-marker region-marker-emission",
};

/** The base layers of a map type: 1 "Satellite" imagery, 2 "Hybrid" imagery under labels, else "Map". */
export function baseLayers(mapType: number, sources: TileSources): TileSource[] {
    switch (mapType) {
        case 1:
            return [sources.imagery];
        case 2:
            return [sources.imagery, sources.labels];
        default:
            return [sources.map];
    }
}

export function mapLayerPlan(map: RegionMapState, sources: TileSources): MapLayerPlan {
    const polygon = map.polygon !== null && map.polygon.length >= 3 ? map.polygon : null;
    const handles = map.vertexHandles;
    return {
        tiles: baseLayers(map.mapType, sources),
        markers: map.markers.map((marker) => ({ ...marker, className: markerClasses[marker.title] })),
        handles: handles.map((vertex, index) => ({ ...vertex, index })),
        line: polygon === null && handles.length === 2 ? handles : null,
        polygon,
        disc: map.emissionDisc,
    };
}

/** An area's south-west then north-east corner: the centre with half the span each way. */
export function areaBounds(area: MapArea): [[number, number], [number, number]] {
    const halfLat = area.span.latitudeDelta / 2;
    const halfLon = area.span.longitudeDelta / 2;
    return [
        [area.center.latitude - halfLat, area.center.longitude - halfLon],
        [area.center.latitude + halfLat, area.center.longitude + halfLon],
    ];
}
