import { describe, expect, it } from "vitest";
import { click, mountApp, parametersScreen, projectChanges } from "../support";

function slider(container: HTMLElement, id: string): HTMLInputElement {
    return container.querySelector<HTMLInputElement>(`[data-control="${id}"] input[type="range"]`)!;
}

function drag(input: HTMLInputElement, value: number, type: "input" | "change" = "input"): void {
    input.value = String(value);
    input.dispatchEvent(new Event(type, { bubbles: true }));
}

describe("a parameter screen drawn from its controls", () => {
    it("shows the title, subtitle and sections in order", () => {
        const { container } = mountApp(projectChanges());
        const screen = container.querySelector(".parameter-screen")!;
        expect(screen.querySelector(".screen-title")?.textContent).toBe("Physical Parameters");
        expect(screen.querySelector(".screen-subtitle")?.textContent).toBe(
            "Configure fluid dynamics and environmental variables.",
        );
        expect([...screen.querySelectorAll(".form-section-title")].map((title) => title.textContent)).toEqual([
            "Experiment Duration",
            "Environment",
        ]);
    });

    it("draws a slider as label, value text and tooltip, with its range and step", () => {
        const { container } = mountApp(projectChanges());
        const row = container.querySelector('[data-control="waterDepth"]')!;
        expect(row.querySelector(".control-label")?.textContent).toBe("Water Depth");
        expect(row.querySelector(".control-value")?.textContent).toBe("10.0 m");
        expect(row.getAttribute("title")).toBe("Total depth of the water column.");
        const input = slider(container, "waterDepth");
        expect([input.min, input.max, input.step, input.value]).toEqual(["2", "50", "1", "10"]);
        expect(slider(container, "windDirection").step).toBe("any");
        expect(container.querySelector<HTMLElement>('[data-control="windDirection"] .direction-icon')?.style.transform).toBe(
            "rotate(90deg)",
        );
        expect(container.querySelector('[data-control="waterDepth"] .direction-icon')).toBeNull();
    });

    it("sends a dragged slider's values throttled, the final one at once", () => {
        const { container, socket, timers } = mountApp(projectChanges());
        const input = slider(container, "waterDepth");
        drag(input, 11);
        drag(input, 12);
        drag(input, 13);
        expect(socket.sent).toEqual([{ intent: "setControl", screen: "parameters", id: "waterDepth", value: 11 }]);
        timers.advance(50);
        expect(socket.sent).toHaveLength(2);
        expect(socket.sent[1]).toMatchObject({ value: 13 });
        drag(input, 20, "change");
        expect(socket.sent[2]).toMatchObject({ value: 20 });
        expect(socket.sent).toHaveLength(3);
    });

    it("keeps the pointer's value while dragging, then follows the app again", () => {
        const { container, socket } = mountApp(projectChanges());
        const input = slider(container, "waterDepth");
        drag(input, 30);
        const screen = parametersScreen() as { sections: { controls: Record<string, unknown>[] }[] };
        Object.assign(screen.sections[1]!.controls[0]!, { value: 25, text: "25.0 m" });
        socket.receiveState(projectChanges({ parameters: screen }));
        expect(slider(container, "waterDepth").value).toBe("30");
        expect(container.querySelector('[data-control="waterDepth"] .control-value')?.textContent).toBe("25.0 m");
        drag(input, 30, "change");
        Object.assign(screen.sections[1]!.controls[0]!, { value: 30, text: "30.0 m" });
        socket.receiveState(projectChanges({ parameters: screen }));
        Object.assign(screen.sections[1]!.controls[0]!, { value: 2, text: "2.0 m" });
        socket.receiveState(projectChanges({ parameters: screen }));
        expect(slider(container, "waterDepth").value).toBe("2");
    });

    it("draws a picker with the matching choice, or none, and sends the choice's value", () => {
        const { container, socket } = mountApp(projectChanges());
        const select = container.querySelector<HTMLSelectElement>('[data-control="simulationDuration"] select')!;
        expect([...select.options].map((option) => option.textContent)).toEqual([
            "",
            "1 Hour",
            "6 Hours",
            "12 Hours",
            "24 Hours",
            "1 Week",
        ]);
        expect(select.value).toBe("2");
        select.selectedIndex = 5;
        select.dispatchEvent(new Event("change", { bubbles: true }));
        expect(socket.sent).toEqual([{ intent: "setControl", screen: "parameters", id: "simulationDuration", value: 604800 }]);

        const screen = parametersScreen() as { sections: { controls: Record<string, unknown>[] }[] };
        screen.sections[0]!.controls[0]!["value"] = 7200;
        socket.receiveState(projectChanges({ parameters: screen }));
        expect(select.value).toBe("");
        screen.sections[0]!.controls[0]!["value"] = 3600;
        socket.receiveState(projectChanges({ parameters: screen }));
        expect(select.value).toBe("0");
    });
});

describe("the particle screen's segmented control and stepper", () => {
    it("marks the chosen segment and sends the one clicked", () => {
        const { container, socket } = mountApp(projectChanges({ selectedSection: "particles" }));
        const segments = [...container.querySelectorAll('[data-control="colorMode"] .segment')];
        expect(segments.map((segment) => segment.textContent?.trim())).toEqual(["Uniform", "By Speed", "By Depth"]);
        expect(segments.map((segment) => segment.getAttribute("aria-checked"))).toEqual(["true", "false", "false"]);
        click(segments[2]!);
        expect(socket.sent).toEqual([{ intent: "setControl", screen: "particles", id: "colorMode", value: 2 }]);
    });

    it("steps the count within its range", () => {
        const { container, socket } = mountApp(projectChanges({ selectedSection: "particles" }));
        expect(container.querySelector('[data-control="count"] .control-label')?.textContent).toBe("Count: 5000");
        click(container.querySelector('[data-control="count"] [aria-label="Increment"]')!);
        click(container.querySelector('[data-control="count"] [aria-label="Decrement"]')!);
        expect(socket.sent).toEqual([
            { intent: "setControl", screen: "particles", id: "count", value: 5500 },
            { intent: "setControl", screen: "particles", id: "count", value: 4500 },
        ]);
    });

    it("cannot step past the ends of the range", async () => {
        const { stepperValue } = await import("../../src/projects/ParameterScreen");
        const count = { id: "count", kind: "stepper", label: "Count: 500", value: 500, min: 500, max: 20000, step: 500, tooltip: null } as const;
        expect(stepperValue(count, -1)).toBe(500);
        expect(stepperValue({ ...count, value: 19500 }, 1)).toBe(20000);
        expect(stepperValue({ ...count, value: 19800 }, 1)).toBe(20000);
    });
});
