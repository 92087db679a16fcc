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

    it("shows a failure as an alert and a notice as a status until dismissed, keeping its text while it fades", () => {
        const failure = "The map service did not answer within 30 s.";
        const { container, socket } = mountApp(
            regionWindow({ ...freshRegion(), banner: failure, bannerKind: "error" }),
        );
        const banner = container.querySelector(".region-banner")!;
        expect([banner.getAttribute("role"), banner.classList.contains("shown")]).toEqual(["alert", true]);
        click(banner.querySelector("button[aria-label='Dismiss']")!);
        expect(socket.sent).toEqual([{ intent: "dismissDetectionMessage" }]);

        const notice = "No water body at the click; the nearest one, 250 m away, was used.";
        socket.receiveState(regionWindow({ ...freshRegion(), banner: notice, bannerKind: "notice" }));
        expect([banner.getAttribute("role"), banner.textContent?.includes(notice)]).toEqual(["status", true]);
        socket.receiveState(regionWindow(freshRegion()));
        expect(banner.classList.contains("shown")).toBe(false);
        expect(banner.querySelector(".region-banner-text")?.textContent).toBe(notice);
    });
});
