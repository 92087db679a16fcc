import { describe, expect, it } from "vitest";
import { DecodeError } from "../../src/app/decode";
import { decodeRegion } from "../../src/water/RegionState";
import { drawnRegion, freshRegion } from "./fixtures";

describe("decoding the region screen's state", () => {
    it("reads a fresh and a drawn screen, and null for none", () => {
        expect(decodeRegion(null, "region")).toBeNull();
        expect(decodeRegion(freshRegion(), "region")?.controlBar.emissionHint?.text).toBe("Option+Click for Emission");
        const drawn = decodeRegion(drawnRegion(), "region");
        expect(drawn?.map.markers.map((marker) => marker.title)).toEqual(["Selected", "Emission"]);
        expect(drawn?.sliders.map((slider) => [slider.id, slider.iconRotation])).toEqual([
            ["flowDirection", 45.7],
            ["emissionRadius", null],
        ]);
    });

    it("names the field that is wrong", () => {
        const drawn = drawnRegion();
        const map = drawn["map"] as Record<string, unknown>;
        const bar = drawn["controlBar"] as Record<string, unknown>;
        const cases: [Record<string, unknown>, string][] = [
            [
                { ...drawn, map: { ...map, markers: [{ title: "Home", latitude: 1, longitude: 2 }] } },
                'region.map.markers[0].title: expected one of Selected, Emission, found "Home"',
            ],
            [
                { ...drawn, map: { ...map, polygon: [{ latitude: "47", longitude: 8 }] } },
                "region.map.polygon[0].latitude: expected a number, found a string",
            ],
            [
                { ...drawn, controlBar: { ...bar, clear: { label: "Clear", symbol: "bin", isEnabled: true } } },
                "region.controlBar.clear.symbol: expected one of",
            ],
            [{ ...drawn, canUndo: undefined }, "region.canUndo: expected a boolean, found nothing"],
        ];
        for (const [value, message] of cases) {
            expect(() => decodeRegion(value, "region")).toThrow(DecodeError);
            expect(() => decodeRegion(value, "region")).toThrow(message);
        }
    });
});
