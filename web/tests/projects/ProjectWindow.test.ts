import { describe, expect, it } from "vitest";
import { onboardingFadeMs } from "../../src/projects/ProjectWindow";
import { byText, click, mountApp, projectChanges } from "../support";

describe("the project window", () => {
    // Choosing a section, Play, Save and the close button are every journey's clicks; Reset and the marks are not.
    it("marks the section shown, shows pause while the simulation runs, and sends Reset", () => {
        const { container, socket } = mountApp(projectChanges());
        const symbol = () => container.querySelector(".play-pause .icon")?.getAttribute("data-symbol");
        expect(container.querySelector(".sidebar-row.selected")?.getAttribute("data-section")).toBe("parameters");
        expect(symbol()).toBe("play.fill");
        socket.receiveState({ controller: { isRunning: true, currentTime: 12, totalDuration: 43200 } });
        expect(symbol()).toBe("pause.fill");
        click(byText(container, ".toolbar-button", "Reset"));
        expect(socket.sent).toEqual([{ intent: "toolbarReset" }]);
    });

    it("asks the browser to confirm leaving only while the project is edited", () => {
        const { socket, app } = mountApp(projectChanges());
        const leave = () => {
            const event = new Event("beforeunload", { cancelable: true });
            window.dispatchEvent(event);
            return event.defaultPrevented;
        };
        expect([app.needsLeaveConfirmation, leave()]).toEqual([false, false]);
        socket.receiveState({ root: { openHome: true, title: "Lake Study", isDocumentEdited: true } });
        expect([app.needsLeaveConfirmation, leave()]).toEqual([true, true]);
    });

    it("shows the placeholder while no project is loaded, and nothing without a section", () => {
        const { container, socket } = mountApp(projectChanges({ isLoaded: false, parameters: null, particles: null }));
        expect(container.querySelector(".detail")?.textContent).toContain("No Project Loaded");
        expect(container.querySelector(".parameter-screen")).toBeNull();
        socket.receiveState(projectChanges({ selectedSection: null }));
        expect(container.querySelector(".detail")?.textContent?.trim()).toBe("");
    });

    it("hides the sidebar from the View menu's command, keeping the close button, and shows it again", () => {
        const { container, app } = mountApp(projectChanges());
        app.runCommand("toggleSidebar");
        expect(container.querySelector(".sidebar")).toBeNull();
        expect(container.querySelector(".detail-column .window-close")).not.toBeNull();
        app.runCommand("toggleSidebar");
        expect(container.querySelector(".sidebar")).not.toBeNull();
    });

    // Cancel, Discard Changes and Restore are the project journey's clicks.
    it.each([
        [{ showCloseAlert: true }, "Save", { intent: "closeAlert", choice: "save" }],
        [{ showRestoreAlert: true }, "Discard", { intent: "restoreAlert", choice: "discard" }],
    ])("sends the choice of the alert %o's %s button", (shown, title, intent) => {
        const { container, socket } = mountApp(projectChanges(shown));
        expect(container.querySelectorAll(".alert")).toHaveLength(1);
        click(byText(container, ".alert button", title));
        expect(socket.sent).toEqual([intent]);
    });

    it("dismisses the onboarding by Get Started and by the backdrop, not the card, and fades it out", () => {
        const { container, socket, timers } = mountApp(projectChanges({ showOnboarding: true }));
        click(container.querySelector(".onboarding-card")!);
        click(container.querySelector(".feature-title")!);
        expect(socket.sent).toEqual([]);
        click(container.querySelector(".onboarding-backdrop")!);
        click(byText(container, "button", "Get Started"));
        expect(socket.sent).toEqual([{ intent: "dismissOnboarding" }, { intent: "dismissOnboarding" }]);
        expect(container.querySelector(".onboarding-backdrop")?.classList.contains("is-leaving")).toBe(false);

        socket.receive({
            type: "state",
            changes: {},
            patch: [{ op: "replace", path: "/project/showOnboarding", value: false }],
        });
        expect(container.querySelector(".onboarding-backdrop")?.classList.contains("is-leaving")).toBe(true);
        timers.advance(onboardingFadeMs - 1);
        expect(container.querySelector(".onboarding-backdrop")).not.toBeNull();
        timers.advance(1);
        expect(container.querySelector(".onboarding-backdrop")).toBeNull();
    });
});
