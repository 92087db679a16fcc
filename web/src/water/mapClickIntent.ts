// A click on the region map as the app hears it: the point clicked and the modifier keys held.
import type { Intent } from "../app/intents";

/** The part of a mouse event that says which keys were held. */
export interface HeldKeys {
    altKey: boolean;
    shiftKey: boolean;
    ctrlKey: boolean;
    metaKey: boolean;
}

/** A longitude past ±180°, as a map panned round the globe reports it, brought back into [-180, 180). */
function wrappedLongitude(longitude: number): number {
    if (longitude >= -180 && longitude <= 180) return longitude;
    return ((((longitude + 180) % 360) + 360) % 360) - 180;
}

/** A point's `latitude` and `longitude` arguments, within [-90, 90] and [-180, 180] as the app accepts them. */
export function pointArguments(point: { lat: number; lng: number }): { latitude: number; longitude: number } {
    return { latitude: Math.min(90, Math.max(-90, point.lat)), longitude: wrappedLongitude(point.lng) };
}

/**
 * The `mapClick` intent for a click at `point` (degrees), its latitude kept within [-90, 90] and its longitude
 * within [-180, 180], the ranges the app accepts.
 */
export function mapClickIntent(point: { lat: number; lng: number }, keys: HeldKeys): Intent {
    return {
        intent: "mapClick",
        ...pointArguments(point),
        alt: keys.altKey,
        shift: keys.shiftKey,
        ctrl: keys.ctrlKey,
        meta: keys.metaKey,
    };
}
