import { describe, expect, it } from "vitest";
import { DecodeError } from "../../src/app/decode";
import { decodeRegion } from "../../src/water/RegionState";
import { drawnRegion, freshRegion } from "./fixtures";

const drawn = drawnRegion();
const map = drawn["map"] as Record<string, unknown>;
const bar = drawn["controlBar"] as Record<string, unknown>;

describe("decoding the region screen's state", () => {
    it("reads a fresh and a drawn screen, an absent arrow as null, and null for none", () => {
        expect(decodeRegion(null, "region")).toBeNull();
        expect(decodeRegion(freshRegion(), "region")?.controlBar.emissionHint?.text).toBe(
            "Alt+Click or Shift+Click for Emission",
        );
        const region = decodeRegion(drawn, "region");
        expect(region?.map.markers.map((marker) => marker.title)).toEqual(["Selected", "Emission"]);
        expect(region?.sliders.map((slider) => slider.iconRotation)).toEqual([135.7, null]);
    });

    it.each([
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
    ])("names the field that is wrong (%#)", (value, message) => {
        expect(() => decodeRegion(value, "region")).toThrow(DecodeError);
        expect(() => decodeRegion(value, "region")).toThrow(message);
    });
});
