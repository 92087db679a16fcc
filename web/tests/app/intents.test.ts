import { describe, expect, it } from "vitest";
import { encodeIntent } from "../../src/app/intents";

describe("intents travel as the protocol writes them", () => {
    it("puts the name under intent and the arguments beside it", () => {
        expect(JSON.parse(encodeIntent({ intent: "selectSection", section: "parameters" }))).toEqual({
            intent: "selectSection",
            section: "parameters",
        });
        expect(JSON.parse(encodeIntent({ intent: "setControl", screen: "particles", id: "count", value: 5500 }))).toEqual({
            intent: "setControl",
            screen: "particles",
            id: "count",
            value: 5500,
        });
        expect(encodeIntent({ intent: "runPause" })).toBe('{"intent":"runPause"}');
    });

    it("refuses a value JSON would turn into null", () => {
        expect(() => encodeIntent({ intent: "setControl", screen: "parameters", id: "waterDepth", value: Number.NaN })).toThrow(
            "setControl: value must be a finite number",
        );
    });
});
