import { describe, expect, it } from "vitest";
import { stepperValue } from "../../src/projects/ParameterScreen";
import { click, enter, mountApp, parametersScreen, projectChanges } from "../support";

const slider = (container: HTMLElement, id: string) =>
    container.querySelector<HTMLInputElement>(`[data-control="${id}"] input[type="range"]`)!;

/** The parameter screen as the app sends it, with the water depth at `value`. */
function withDepth(value: number) {
    const screen = parametersScreen();
    Object.assign(screen.sections[1]!.controls[0]!, { value, text: `${value.toFixed(1)} m` });
    return projectChanges({ parameters: screen });
}

describe("the parameter screen's sliders", () => {
    it("take their range and step, 'any' without one, and an arrow only when the app turns one", () => {
        const { container } = mountApp(projectChanges());
        const depth = slider(container, "waterDepth");
        expect([depth.min, depth.max, depth.step, depth.value]).toEqual(["2", "50", "1", "10"]);
        const control = container.querySelector<HTMLElement>('[data-control="waterDepth"]')!;
        const named = "parameters-waterDepth";
        expect([depth.id, control.querySelector("label")?.htmlFor, control.title]).toEqual([named, named, "Depth"]);
        expect(slider(container, "windDirection").step).toBe("any");
        const arrow = (id: string) => container.querySelector<HTMLElement>(`[data-control="${id}"] .direction-icon`);
        expect(arrow("windDirection")?.style.transform).toBe("rotate(90deg)");
        expect(arrow("waterDepth")).toBeNull();
    });

    it("send a drag's values throttled, the final one at once", () => {
        const { container, socket, timers } = mountApp(projectChanges());
        const input = slider(container, "waterDepth");
        for (const value of ["11", "12", "13"]) enter(input, value);
        expect(socket.sent).toEqual([{ intent: "setControl", screen: "parameters", id: "waterDepth", value: 11 }]);
        timers.advance(50);
        enter(input, "20", "change");
        expect(socket.sent.slice(1)).toMatchObject([{ value: 13 }, { value: 20 }]);
    });

    it("keep the pointer's value while dragging, then follow the app again", () => {
        const { container, socket } = mountApp(projectChanges());
        enter(slider(container, "waterDepth"), "30");
        socket.receiveState(withDepth(25));
        expect(slider(container, "waterDepth").value).toBe("30");
        expect(container.querySelector('[data-control="waterDepth"] .control-value')?.textContent).toBe("25.0 m");
        enter(slider(container, "waterDepth"), "30", "change");
        socket.receiveState(withDepth(30));
        socket.receiveState(withDepth(2));
        expect(slider(container, "waterDepth").value).toBe("2");
    });

    it("keep every key press while the app's answers trail behind and come out of turn", () => {
        const { container, socket } = mountApp(projectChanges());
        const input = slider(container, "waterDepth");
        // A range input moves from the value it shows, sending input then change for every key.
        const pressKey = (key: "Home" | "ArrowRight"): void => {
            const value = key === "Home" ? Number(input.min) : Number(input.value) + Number(input.step);
            enter(input, String(value));
            enter(input, String(value), "change");
        };
        const answers: Record<number, number[]> = { 2: [2], 5: [4, 3], 7: [6], 9: [8, 5] };
        pressKey("Home");
        for (let count = 1; count <= 10; count++) {
            pressKey("ArrowRight");
            for (const value of answers[count] ?? []) socket.receiveState(withDepth(value));
        }
        expect(input.value).toBe("12");
        expect(socket.sent.at(-1)).toEqual({ intent: "setControl", screen: "parameters", id: "waterDepth", value: 12 });
        socket.receiveState(withDepth(12));
        socket.receiveState(withDepth(7));
        expect(input.value).toBe("7");
    });
});

describe("the parameter screen's choices", () => {
    it("select the picker's matching choice, or a blank one, and send the choice's value", () => {
        const { container, socket } = mountApp(projectChanges());
        const select = container.querySelector<HTMLSelectElement>('[data-control="simulationDuration"] select')!;
        expect(select.options[0]?.textContent).toBe("");
        expect(select.value).toBe("2");
        select.selectedIndex = 5;
        select.dispatchEvent(new Event("change", { bubbles: true }));
        expect(socket.sent).toEqual([
            { intent: "setControl", screen: "parameters", id: "simulationDuration", value: 604800 },
        ]);
        const screen = parametersScreen();
        for (const [value, shown] of [
            [7200, ""],
            [3600, "0"],
        ] as const) {
            screen.sections[0]!.controls[0]!["value"] = value;
            socket.receiveState(projectChanges({ parameters: screen }));
            expect(select.value).toBe(shown);
        }
    });

    it("mark the chosen segment and send the one clicked, and step the count from its last step", () => {
        const { container, socket } = mountApp(projectChanges({ selectedSection: "particles" }));
        const group = container.querySelector('[role="radiogroup"][aria-label="Color"]')!;
        const segments = [...group.querySelectorAll('[role="radio"]')];
        expect(segments.map((segment) => segment.getAttribute("aria-checked"))).toEqual(["true", "false", "false"]);
        click(segments[2]!);
        click(container.querySelector('[data-control="count"] [aria-label="Increment"]')!);
        click(container.querySelector('[data-control="count"] [aria-label="Decrement"]')!);
        expect(socket.sent).toEqual([
            { intent: "setControl", screen: "particles", id: "colorMode", value: 2 },
            { intent: "setControl", screen: "particles", id: "count", value: 5500 },
            { intent: "setControl", screen: "particles", id: "count", value: 5000 },
        ]);
    });

    it("cannot step past the ends of the range", () => {
        const count = {
            id: "count",
            kind: "stepper",
            label: "",
            value: 500,
            min: 500,
            max: 20000,
            step: 500,
            tooltip: null,
        } as const;
        expect(stepperValue(count, 500, -1)).toBe(500);
        expect(stepperValue(count, 19500, 1)).toBe(20000);
        expect(stepperValue(count, 19800, 1)).toBe(20000);
    });
});
