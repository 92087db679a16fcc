import { describe, expect, it } from "vitest";
import { mapViewIntent } from "../../src/water/mapViewIntent";

describe("the view the map reports", () => {
    it.each([
        [
            { south: 47, west: 8, north: 48, east: 10 },
            { latitude: 47.5, longitude: 9, latitudeDelta: 1, longitudeDelta: 2 },
        ],
        [
            { south: -10, west: 170, north: 10, east: 200 },
            { latitude: 0, longitude: -175, latitudeDelta: 20, longitudeDelta: 30 },
        ],
        [
            { south: -90, west: -540, north: 90, east: 540 },
            { latitude: 0, longitude: 0, latitudeDelta: 180, longitudeDelta: 360 },
        ],
    ])("is the centre and span of %o, within the app's ranges", (bounds, expected) => {
        expect(mapViewIntent(bounds)).toEqual({ intent: "mapViewChanged", ...expected });
    });

    it("is nothing for a map with no extent yet", () => {
        expect(mapViewIntent({ south: 47, west: 8, north: 47, east: 8 })).toBeNull();
    });
});
