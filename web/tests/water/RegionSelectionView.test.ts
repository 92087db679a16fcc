import { describe, expect, it } from "vitest";
import "./stubResizeObserver";
import { byText, click, enter, mountApp, projectChanges } from "../support";
import { autoDetectingRegion, drawnRegion, freshRegion, regionWindow } from "./fixtures";

const button = (root: ParentNode, label: string) => byText<HTMLButtonElement>(root, "button", label);

describe("the region screen", () => {
    it("enables Clear and Apply only once the app allows them, and turns the arrow by the exact flow", () => {
        const { container, socket } = mountApp(regionWindow(freshRegion()));
        expect([button(container, "Clear").disabled, button(container, "Apply Region").disabled]).toEqual([true, true]);
        socket.receiveState(regionWindow(drawnRegion()));
        expect([button(container, "Clear").disabled, button(container, "Apply Region").disabled]).toEqual([
            false,
            false,
        ]);
        expect(container.querySelector<HTMLElement>(".direction-icon")?.style.transform).toBe("rotate(45.7deg)");
    });

    it("sends the buttons' intents, the toggle asking for the opposite of the app's state", () => {
        const { container, socket } = mountApp(regionWindow(drawnRegion()));
        click(button(container, "Auto-Detect"));
        click(button(container, "Clear"));
        click(button(container, "Apply Region"));
        socket.receiveState(regionWindow(autoDetectingRegion()));
        click(button(container, "Auto-Detect"));
        click(byText(container, ".region-map-type .segment", "Satellite"));
        expect(socket.sent).toEqual([
            { intent: "setAutoDetect", value: true },
            { intent: "clearRegion" },
            { intent: "applyRegion" },
            { intent: "setAutoDetect", value: false },
            { intent: "setMapType", value: 1 },
        ]);
    });

    it("sends the sliders' values as their own intents, the last value of a drag always", () => {
        const { container, socket, timers } = mountApp(regionWindow(drawnRegion()));
        const drag = (id: string, values: string[]) => {
            const input = container.querySelector<HTMLInputElement>(`#region-${id}`)!;
            for (const value of values) enter(input, value);
            enter(input, values[values.length - 1]!, "change");
        };
        drag("flowDirection", ["90", "120"]);
        timers.advance(100);
        drag("emissionRadius", ["42"]);
        expect(socket.sent).toEqual([
            { intent: "setFlowDirection", value: 90 },
            { intent: "setFlowDirection", value: 120 },
            { intent: "setEmissionRadius", value: 42 },
        ]);
    });

    it("keeps one map element across states, and draws none for another section", () => {
        const { container, socket } = mountApp(regionWindow(freshRegion()));
        const map = container.querySelector("pelagrin-region-map");
        expect(map).not.toBeNull();
        socket.receiveState(regionWindow(drawnRegion()));
        expect(container.querySelector("pelagrin-region-map")).toBe(map);
        socket.receiveState(projectChanges({ selectedSection: "parameters" }));
        expect(container.querySelector("pelagrin-region-map")).toBeNull();
    });
});
