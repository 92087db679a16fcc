import { describe, expect, it } from "vitest";
import "./stubResizeObserver";
import { byText, click, mountApp, press } from "../support";
import { freshRegion, regionWindow } from "./fixtures";

const detecting = () => ({
    ...freshRegion(),
    isDetecting: true,
    overlay: {
        title: "Detecting Water Body...",
        subtitle: "Querying OpenStreetMap",
        cancel: { label: "Cancel", shortcut: "Escape" },
    },
});

describe("a detection's status over the map", () => {
    it("cancels a running detection by its button or Escape, and Escape does nothing once it is over", () => {
        const { container, socket } = mountApp(regionWindow(detecting()));
        click(byText(container, ".region-overlay button", "Cancel"));
        expect(press("Escape").defaultPrevented).toBe(true);
        socket.receiveState(regionWindow(freshRegion()));
        expect(container.querySelector(".region-overlay")).toBeNull();
        press("Escape");
        expect(socket.sent).toEqual([{ intent: "cancelDetection" }, { intent: "cancelDetection" }]);
    });

    // A notice's text and its Dismiss are the detection journey's; here, the failure's role and the fade.
    it("shows a failure as an alert, and keeps its text while it fades", () => {
        const failure = "The map service did not answer within 30 s.";
        const { container, socket } = mountApp(
            regionWindow({ ...freshRegion(), banner: failure, bannerKind: "error" }),
        );
        const banner = container.querySelector(".region-banner")!;
        expect([banner.getAttribute("role"), banner.classList.contains("shown")]).toEqual(["alert", true]);
        socket.receiveState(regionWindow(freshRegion()));
        expect(banner.classList.contains("shown")).toBe(false);
        expect(banner.querySelector(".region-banner-text")?.textContent).toBe(failure);
    });
});
