import { describe, expect, it } from "vitest";
import { encodeIntent } from "../../src/app/intents";

describe("intents travel as the protocol writes them", () => {
    it("put the name under intent and the arguments beside it, and refuse a value JSON would turn into null", () => {
        const setControl = { intent: "setControl", screen: "particles", id: "count", value: 5500 } as const;
        expect(JSON.parse(encodeIntent(setControl))).toEqual(setControl);
        expect(encodeIntent({ intent: "saveProject" })).toBe('{"intent":"saveProject"}');
        expect(() => encodeIntent({ ...setControl, value: Number.NaN })).toThrow(
            "setControl: value must be a finite number",
        );
    });
});
