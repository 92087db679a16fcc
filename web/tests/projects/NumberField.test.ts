import { describe, expect, it } from "vitest";
import type { SliderControl, StepperControl } from "../../src/projects/ControlState";
import { typedNumber } from "../../src/projects/NumberField";
import { enter, mountApp, press, projectChanges } from "../support";

const flowSpeed: SliderControl = {
    id: "flowSpeed",
    kind: "slider",
    label: "Mean Flow Speed",
    value: 1,
    text: "1.00 m/s",
    min: 0.1,
    max: 10,
    step: 0.05,
    iconRotation: null,
    tooltip: null,
};
const count: StepperControl = {
    id: "count",
    kind: "stepper",
    label: "Count",
    value: 5000,
    min: 500,
    max: 20000,
    step: 500,
    tooltip: null,
};

describe("a typed number", () => {
    it.each([
        ["2.5", flowSpeed, 2.5],
        [" 10 ", flowSpeed, 10],
        [".1", flowSpeed, 0.1],
        ["0.05", flowSpeed, { error: "Enter a number from 0.1 to 10" }],
        ["10.5", flowSpeed, { error: "Enter a number from 0.1 to 10" }],
        ["fast", flowSpeed, { error: "Enter a number from 0.1 to 10" }],
        ["", flowSpeed, { error: "Enter a number from 0.1 to 10" }],
        ["1e3", count, { error: "Enter a whole number from 500 to 20000" }],
        ["5250", count, 5250],
        ["5250.5", count, { error: "Enter a whole number from 500 to 20000" }],
    ] as const)("%j for %s", (text, control, expected) => {
        expect(typedNumber(text, control)).toEqual(expected);
    });
});

describe("the number fields of a parameter screen", () => {
    const field = (container: HTMLElement, id: string) =>
        container.querySelector<HTMLInputElement>(`[data-control="${id}"] input[type="number"]`)!;

    it("send a value on Enter or when left, refuse one out of range with its message, and put it back on Escape", () => {
        const { container, socket } = mountApp(projectChanges());
        const depth = field(container, "waterDepth");
        expect([depth.value, depth.getAttribute("aria-label")]).toEqual(["10", "Water Depth"]);

        enter(depth, "60");
        press("Enter", {}, depth);
        expect(socket.sent).toEqual([]);
        expect(container.querySelector('[data-control="waterDepth"] [role="alert"]')?.textContent).toBe(
            "Enter a number from 2 to 50",
        );
        expect([depth.value, depth.getAttribute("aria-invalid")]).toEqual(["60", "true"]);

        press("Escape", {}, depth);
        expect(depth.value).toBe("10");
        expect(container.querySelector('[role="alert"]')).toBeNull();

        enter(depth, "25");
        press("Enter", {}, depth);
        enter(depth, "30");
        depth.dispatchEvent(new FocusEvent("blur"));
        expect(socket.sent).toEqual([
            { intent: "setControl", screen: "parameters", id: "waterDepth", value: 25 },
            { intent: "setControl", screen: "parameters", id: "waterDepth", value: 30 },
        ]);
        expect(
            container.querySelector<HTMLInputElement>('[data-control="waterDepth"] input[type="range"]')!.value,
        ).toBe("30");
        // Refused by the app, the value it holds comes back.
        socket.receive({ type: "error", intent: "setControl", message: "setControl: refused" });
        expect(depth.value).toBe("10");
    });
});
