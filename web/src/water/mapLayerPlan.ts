// What the region map shows for a state: its base tile layers, its pins and its water polygon.
import type { Coordinate, MapMarker, RegionMapState } from "./RegionState";
import type { TileSource, TileSources } from "./tileSources";

/** A pin with the CSS class that draws it. */
export interface PlannedMarker extends MapMarker {
    className: string;
}

export interface MapLayerPlan {
    /** The base layers, bottom first. */
    tiles: TileSource[];
    markers: PlannedMarker[];
    /** The water polygon, or `null`: fewer than 3 vertices enclose nothing. */
    polygon: Coordinate[] | null;
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
    return {
        tiles: baseLayers(map.mapType, sources),
        markers: map.markers.map((marker) => ({ ...marker, className: markerClasses[marker.title] })),
        polygon,
    };
}

/** The map's opening view, south-west then north-east corner: the centre with half the span each way. */
export function openingBounds(map: RegionMapState): [[number, number], [number, number]] {
    const halfLat = map.span.latitudeDelta / 2;
    const halfLon = map.span.longitudeDelta / 2;
    return [
        [map.center.latitude - halfLat, map.center.longitude - halfLon],
        [map.center.latitude + halfLat, map.center.longitude + halfLon],
    ];
}
