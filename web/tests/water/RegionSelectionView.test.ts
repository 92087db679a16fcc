import { describe, expect, it } from "vitest";
import "./stubResizeObserver";
import { byText, click, enter, mountApp, projectChanges } from "../support";
import { autoDetectingRegion, drawnRegion, freshRegion, regionWindow } from "./fixtures";

const button = (root: ParentNode, label: string) => byText<HTMLButtonElement>(root, "button", label);

describe("the region screen", () => {
    it("enables Clear and Apply as the app allows, saying why not, and turns the arrow, on one map", () => {
        const { container, socket } = mountApp(regionWindow(freshRegion()));
        const map = container.querySelector("pelagrin-region-map");
        const apply = () => button(container, "Apply Region");
        const why = "The outline needs at least 3 distinct vertices";
        expect([button(container, "Clear").disabled, apply().disabled]).toEqual([true, true]);
        expect([apply().title, container.querySelector("#region-apply-reason")?.textContent]).toEqual([why, why]);
        socket.receiveState(regionWindow(drawnRegion()));
        expect([button(container, "Clear").disabled, apply().disabled]).toEqual([false, false]);
        expect(container.querySelector("#region-apply-reason")).toBeNull();
        expect(container.querySelector<HTMLElement>(".direction-icon")?.style.transform).toBe("rotate(135.7deg)");
        expect(container.querySelector("pelagrin-region-map"), "the map, and its view, outlast a state").toBe(map);
        socket.receiveState(projectChanges({ selectedSection: "parameters" }));
        expect(container.querySelector("pelagrin-region-map")).toBeNull();
    });

    it("warns of an emission point outside the water beside its radius", () => {
        const warning = "The emission point is outside the water body";
        const drawn = drawnRegion();
        const bar = { ...(drawn["controlBar"] as object), emissionWarning: warning };
        const { container } = mountApp(regionWindow({ ...drawn, isEmissionOutside: true, controlBar: bar }));
        expect(container.querySelector('.region-control-bar [role="alert"]')?.textContent?.trim()).toBe(warning);
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

    it("confirms what Apply Region did until the app drops the notice", () => {
        const text = "Region applied: 4 vertices, emission point at 47.3667, 8.5500";
        const { container, socket } = mountApp(regionWindow({ ...drawnRegion(), appliedNotice: text }));
        expect(container.querySelector('.region-map-area [role="status"]')?.textContent).toBe(text);
        socket.receiveState(regionWindow(drawnRegion()));
        expect(container.querySelector(".region-applied-notice")).toBeNull();
    });
});
