import { describe, expect, it } from "vitest";
import { mapClickIntent } from "../../src/water/mapClickIntent";

const noKeys = { altKey: false, shiftKey: false, ctrlKey: false, metaKey: false };

describe("a map click's intent", () => {
    // A map panned round the globe reports longitudes beyond ±180, which the app refuses.
    it.each([
        [0, 370, 0, 10],
        [0, -190, 0, 170],
        [0, 540, 0, -180],
        [0, -180, 0, -180],
        [0, 180, 0, 180],
        [91, 8.55, 90, 8.55],
        [-95, 0, -90, 0],
    ])("brings (%d, %d) into range as (%d, %d)", (lat, lng, latitude, longitude) => {
        const intent = mapClickIntent({ lat, lng }, noKeys);
        if (intent.intent !== "mapClick") throw new Error("not a map click");
        expect(intent.latitude).toBe(latitude);
        expect(intent.longitude).toBeCloseTo(longitude, 9);
    });
});
