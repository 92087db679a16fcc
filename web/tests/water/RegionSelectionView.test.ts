import { describe, expect, it } from "vitest";
import "./stubResizeObserver";
import { byText, click, mountApp, projectChanges } from "../support";
import { autoDetectingRegion, drawnRegion, freshRegion, regionWindow } from "./fixtures";

function mountRegion(region: Record<string, unknown>) {
    return mountApp(regionWindow(region));
}

describe("the region screen's control bar", () => {
    it("prompts for a first click and for the emission point, with Clear and Apply disabled", () => {
        const { container } = mountRegion(freshRegion());
        const bar = container.querySelector(".region-control-bar")!;
        expect(bar.querySelector(".region-title")?.textContent).toBe("Region Selection");
        expect(bar.querySelector(".region-subtitle")?.textContent).toBe("Click map to select");
        expect(bar.querySelector(".region-count")?.textContent).toBe("0");
        const hint = bar.querySelector(".region-emission-hint")!;
        expect(hint.textContent?.trim()).toBe("Option+Click for Emission");
        expect(hint.querySelector(".icon")?.getAttribute("data-symbol")).toBe("exclamationmark.triangle.fill");
        expect(bar.querySelector("#region-emissionRadius")).toBeNull();
        expect(byText<HTMLButtonElement>(bar, "button", "Clear").disabled).toBe(true);
        expect(byText<HTMLButtonElement>(bar, "button", "Apply Region").disabled).toBe(true);
    });

    it("shows the selected point, the vertex count, both sliders' texts and the arrow turned by the flow", () => {
        const { container } = mountRegion(drawnRegion());
        const bar = container.querySelector(".region-control-bar")!;
        expect(bar.querySelector(".region-subtitle")?.textContent).toBe("47.3667, 8.5500");
        expect(bar.querySelector(".region-count")?.textContent).toBe("4");
        expect([...bar.querySelectorAll(".region-caption")].map((caption) => caption.textContent?.trim())).toEqual([
            "Vertices",
            "Flow Direction",
            "Emission Radius",
        ]);
        expect([...bar.querySelectorAll(".region-value")].map((value) => value.textContent)).toEqual(["45°", "10 m"]);
        const arrow = bar.querySelector<HTMLElement>(".direction-icon")!;
        expect(arrow.querySelector(".icon")?.getAttribute("data-symbol")).toBe("arrow.up");
        expect(arrow.style.transform).toBe("rotate(45.7deg)");
        expect(bar.querySelector<HTMLInputElement>("#region-emissionRadius")?.value).toBe("10");
        expect(bar.querySelector(".region-emission-hint")).toBeNull();
        expect(byText<HTMLButtonElement>(bar, "button", "Clear").disabled).toBe(false);
        expect(byText<HTMLButtonElement>(bar, "button", "Apply Region").disabled).toBe(false);
    });

    it("sends the buttons' and the toggle's intents, the toggle turning to the opposite of its state", () => {
        const { container, socket } = mountRegion(drawnRegion());
        const toggle = byText(container, "button", "Auto-Detect");
        expect(toggle.getAttribute("aria-pressed")).toBe("false");
        expect(toggle.title).toBe("Automatically detect water boundaries using OpenStreetMap");
        click(toggle);
        click(byText(container, "button", "Clear"));
        click(byText(container, "button", "Apply Region"));
        socket.receiveState(regionWindow(autoDetectingRegion()));
        expect(byText(container, "button", "Auto-Detect").getAttribute("aria-pressed")).toBe("true");
        click(byText(container, "button", "Auto-Detect"));
        expect(socket.sent).toEqual([
            { intent: "setAutoDetect", value: true },
            { intent: "clearRegion" },
            { intent: "applyRegion" },
            { intent: "setAutoDetect", value: false },
        ]);
    });

    it("sends the sliders' values as their own intents, the last value of a drag always", () => {
        const { container, socket, timers } = mountRegion(drawnRegion());
        const drag = (id: string, values: string[]) => {
            const input = container.querySelector<HTMLInputElement>(`#region-${id}`)!;
            for (const value of values) {
                input.value = value;
                input.dispatchEvent(new Event("input", { bubbles: true }));
            }
            input.dispatchEvent(new Event("change", { bubbles: true }));
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
});

describe("the region screen's map area", () => {
    it("offers the three base maps with the app's choice selected, and sends a new one", () => {
        const { container, socket } = mountRegion(freshRegion());
        const segments = [...container.querySelectorAll(".region-map-type .segment")];
        expect(segments.map((segment) => segment.textContent?.trim())).toEqual(["Map", "Satellite", "Hybrid"]);
        expect(segments.map((segment) => segment.getAttribute("aria-checked"))).toEqual(["false", "false", "true"]);
        click(byText(container, ".region-map-type .segment", "Satellite"));
        expect(socket.sent).toEqual([{ intent: "setMapType", value: 1 }]);
    });

    it("covers the map with the detecting card only while a detection runs", () => {
        const { container, socket } = mountRegion(freshRegion());
        expect(container.querySelector(".region-overlay")).toBeNull();
        const overlay = { title: "Detecting Water Body...", subtitle: "Querying OpenStreetMap" };
        socket.receiveState(regionWindow({ ...freshRegion(), isDetecting: true, overlay }));
        expect(container.querySelector(".region-overlay-title")?.textContent).toBe("Detecting Water Body...");
        expect(container.querySelector(".region-overlay-subtitle")?.textContent).toBe("Querying OpenStreetMap");
        socket.receiveState(regionWindow(freshRegion()));
        expect(container.querySelector(".region-overlay")).toBeNull();
    });

    it("shows the failure banner while the app holds it, and fades it out with its text", () => {
        const { container, socket } = mountRegion(freshRegion());
        const banner = () => container.querySelector(".region-banner")!;
        expect(banner().classList.contains("shown")).toBe(false);
        const text = "Detection failed: Try clicking closer to the center.";
        socket.receiveState(regionWindow({ ...freshRegion(), banner: text }));
        expect(banner().classList.contains("shown")).toBe(true);
        expect(banner().textContent).toBe(text);
        socket.receiveState(regionWindow(freshRegion()));
        expect(banner().classList.contains("shown")).toBe(false);
        expect(banner().textContent).toBe(text);
    });

    it("keeps one map element across states, and draws none for another section", () => {
        const { container, socket } = mountRegion(freshRegion());
        const map = container.querySelector("pelagrin-region-map");
        expect(map).not.toBeNull();
        socket.receiveState(regionWindow(drawnRegion()));
        expect(container.querySelector("pelagrin-region-map")).toBe(map);
        socket.receiveState(projectChanges({ selectedSection: "parameters", region: null }));
        expect(container.querySelector("pelagrin-region-map")).toBeNull();
    });
});
