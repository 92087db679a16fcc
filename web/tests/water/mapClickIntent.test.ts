import { describe, expect, it } from "vitest";
import { mapClickIntent } from "../../src/water/mapClickIntent";

const noKeys = { altKey: false, shiftKey: false, ctrlKey: false, metaKey: false };

describe("a map click's intent", () => {
    it("carries the point and every modifier key by its own name", () => {
        expect(mapClickIntent({ lat: 47.3667, lng: 8.55 }, { ...noKeys, shiftKey: true, metaKey: true })).toEqual({
            intent: "mapClick",
            latitude: 47.3667,
            longitude: 8.55,
            alt: false,
            shift: true,
            ctrl: false,
            meta: true,
        });
    });

    it("brings a longitude from a map panned round the globe back into the range the app accepts", () => {
        const longitude = (lng: number) => {
            const intent = mapClickIntent({ lat: 0, lng }, noKeys);
            return intent.intent === "mapClick" ? intent.longitude : Number.NaN;
        };
        expect(longitude(370)).toBeCloseTo(10, 9);
        expect(longitude(-190)).toBeCloseTo(170, 9);
        expect(longitude(540)).toBe(-180);
        expect([longitude(-180), longitude(180), longitude(8.55)]).toEqual([-180, 180, 8.55]);
    });

    it("keeps latitudes within the poles", () => {
        const latitude = (lat: number) => {
            const intent = mapClickIntent({ lat, lng: 0 }, noKeys);
            return intent.intent === "mapClick" ? intent.latitude : Number.NaN;
        };
        expect([latitude(91), latitude(-95), latitude(45)]).toEqual([90, -90, 45]);
    });
});
