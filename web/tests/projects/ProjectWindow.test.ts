import { describe, expect, it } from "vitest";
import { byText, click, mountApp, projectChanges } from "../support";

describe("the project window", () => {
    it("has the sidebar's sections, rows and symbols in order, with the selected row marked", () => {
        const { container } = mountApp(projectChanges());
        const groups = [...container.querySelectorAll(".sidebar-group")].map((group) => [
            group.querySelector(".sidebar-header")?.textContent,
            [...group.querySelectorAll(".sidebar-row")].map(
                (row) => `${row.textContent?.trim()} ${row.querySelector(".icon")?.getAttribute("data-symbol")}`,
            ),
        ]);
        expect(groups).toEqual([
            ["Region & Map", ["Select Region map"]],
            ["Simulation Setup", ["Physical Parameters slider.horizontal.3", "Particle Settings circle.grid.2x2"]],
            ["Run Simulation", ["Simulation Renderer play.circle"]],
            ["Analysis", ["Charts & Heatmaps chart.xyaxis.line"]],
        ]);
        expect(container.querySelector(".sidebar-row.selected")?.getAttribute("data-section")).toBe("parameters");
    });

    it("selects a section, and sends the toolbar's and the close button's intents", () => {
        const { container, socket } = mountApp(projectChanges());
        click(container.querySelector('[data-section="analysis"]')!);
        click(byText(container, ".toolbar-button", "Reset"));
        click(container.querySelector(".play-pause")!);
        click(byText(container, ".toolbar-button", "Save"));
        click(container.querySelector(".window-close")!);
        expect(socket.sent).toEqual([
            { intent: "selectSection", section: "analysis" },
            { intent: "toolbarReset" },
            { intent: "toolbarPlayPause" },
            { intent: "toolbarSave" },
            { intent: "closeRequest" },
        ]);
    });

    it("shows pause while the simulation runs and play otherwise", () => {
        const { container, socket } = mountApp(projectChanges());
        const symbol = () => container.querySelector(".play-pause .icon")?.getAttribute("data-symbol");
        expect(symbol()).toBe("play.fill");
        socket.receiveState({ controller: { isRunning: true, currentTime: 12, totalDuration: 43200 } });
        expect(symbol()).toBe("pause.fill");
    });

    it("titles the browser window with the project and its edited marker", () => {
        const { socket, app } = mountApp(projectChanges());
        expect(document.title).toBe("Lake Study");
        expect(app.needsLeaveConfirmation).toBe(false);
        socket.receiveState({ root: { openHome: true, title: "Lake Study", isDocumentEdited: true } });
        expect(document.title).toBe("Lake Study — Edited");
        expect(app.needsLeaveConfirmation).toBe(true);
        const event = new Event("beforeunload", { cancelable: true });
        window.dispatchEvent(event);
        expect(event.defaultPrevented).toBe(true);
    });

    it("shows the placeholder while no project is loaded, whatever the section", () => {
        const { container } = mountApp(projectChanges({ isLoaded: false, parameters: null, particles: null }));
        const detail = container.querySelector(".detail")!;
        expect(detail.textContent).toContain("No Project Loaded");
        expect(detail.textContent).toContain("Open a .pelagrinproj file to begin.");
        expect(detail.querySelector('[data-symbol="folder.badge.questionmark"]')).not.toBeNull();
        expect(detail.querySelector(".parameter-screen")).toBeNull();
    });

    it("shows nothing in the detail area without a section", () => {
        const { container } = mountApp(projectChanges({ selectedSection: null }));
        expect(container.querySelector(".detail")?.textContent?.trim()).toBe("");
    });

    it("hides and shows the sidebar from the View menu's command", () => {
        const { container, app } = mountApp(projectChanges());
        app.runCommand("toggleSidebar");
        expect(container.querySelector(".sidebar")).toBeNull();
        expect(container.querySelector(".detail-column .window-close")).not.toBeNull();
        app.runCommand("toggleSidebar");
        expect(container.querySelector(".sidebar")).not.toBeNull();
    });
});

describe("the keep-changes alert", () => {
    it("asks with its title, message and three buttons in order, each sending its choice", () => {
        const { container, socket } = mountApp(projectChanges({ showCloseAlert: true, isDirty: true }));
        const alert = container.querySelector(".alert")!;
        expect(alert.querySelector(".alert-title")?.textContent).toBe("Do you want to keep the changes?");
        expect(alert.querySelector(".alert-message")?.textContent?.trim()).toBe(
            "If you discard, your recent simulation settings and results will be lost.",
        );
        const buttons = [...alert.querySelectorAll("button")];
        expect(buttons.map((button) => button.textContent?.trim())).toEqual(["Save", "Discard Changes", "Cancel"]);
        buttons.forEach(click);
        expect(socket.sent).toEqual([
            { intent: "closeAlert", choice: "save" },
            { intent: "closeAlert", choice: "discard" },
            { intent: "closeAlert", choice: "cancel" },
        ]);
    });
});

describe("the onboarding overlay", () => {
    it("greets and names the three steps", () => {
        const { container } = mountApp(projectChanges({ showOnboarding: true }));
        const card = container.querySelector(".onboarding-card")!;
        expect(card.querySelector("h2")?.textContent).toBe("Welcome to Pelagrin!");
        const rows = [...card.querySelectorAll(".feature-row")].map((row) => [
            row.querySelector(".icon")?.getAttribute("data-symbol"),
            row.querySelector(".feature-title")?.textContent,
            row.querySelector(".feature-description")?.textContent,
        ]);
        expect(rows).toEqual([
            ["map.fill", "1. Define Region", "Start by selecting your water body on the map."],
            ["slider.horizontal.3", "2. Configure Physics", "Set flow speed, depth, and wind parameters."],
            ["play.circle.fill", "3. Run Simulation", "Watch particles interact with realistic fluid dynamics."],
        ]);
    });

    it("is dismissed by Get Started and by the backdrop, but not by a click on the card", () => {
        const { container, socket } = mountApp(projectChanges({ showOnboarding: true }));
        click(container.querySelector(".onboarding-card")!);
        click(container.querySelector(".feature-title")!);
        expect(socket.sent).toEqual([]);
        click(container.querySelector(".onboarding-backdrop")!);
        click(byText(container, "button", "Get Started"));
        expect(socket.sent).toEqual([{ intent: "dismissOnboarding" }, { intent: "dismissOnboarding" }]);
    });
});
