// The view the user left the region map at, as the `mapViewChanged` intent that lets the app remember it.
import type { Intent } from "../app/intents";
import { pointArguments } from "./mapClickIntent";

/** The map's bounds, degrees, as Leaflet reports them (east may pass 180 on a map panned round the globe). */
export interface ViewBounds {
    south: number;
    west: number;
    north: number;
    east: number;
}

/**
 * The `mapViewChanged` intent for `bounds`: their centre and span, the span kept within (0, 180] north-south
 * and (0, 360] east-west as the app accepts it; `null` for bounds with no extent (a map not yet laid out).
 */
export function mapViewIntent(bounds: ViewBounds): Intent | null {
    const latitudeDelta = Math.min(180, bounds.north - bounds.south);
    const longitudeDelta = Math.min(360, bounds.east - bounds.west);
    if (!(latitudeDelta > 0) || !(longitudeDelta > 0)) return null;
    const centre = { lat: (bounds.north + bounds.south) / 2, lng: (bounds.east + bounds.west) / 2 };
    return { intent: "mapViewChanged", ...pointArguments(centre), latitudeDelta, longitudeDelta };
}
