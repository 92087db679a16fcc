import { describe, expect, it, vi } from "vitest";
import { maxIntentBytes, toastDurationMs } from "../../src/app/App";
import { byText, click, mountApp, press, welcomeChanges } from "../support";

describe("a window's connection to the app", () => {
    it("waits for the first complete state before drawing the window", () => {
        const { container, socket } = mountApp(null);
        expect(container.textContent).toContain("Connecting to Pelagrin…");
        socket.receive({ type: "hello", protocol: 2, window: 1 });
        socket.receiveState({ root: { openHome: false, title: "Pelagrin", isDocumentEdited: false } });
        expect(container.querySelector(".welcome")).toBeNull();
        socket.receiveState(welcomeChanges());
        expect(container.querySelector(".welcome")).not.toBeNull();
        expect(container.querySelector(".toast")).toBeNull();
    });

    it("shows an error from the app as a toast that goes away by itself", () => {
        const { container, socket, timers } = mountApp(welcomeChanges());
        socket.receive({ type: "error", intent: "setControl", message: 'setControl: "value" must be a number' });
        expect(container.querySelector(".toast")?.textContent).toBe('setControl: "value" must be a number');
        timers.advance(toastDurationMs - 1);
        expect(container.querySelector(".toast")).not.toBeNull();
        timers.advance(1);
        expect(container.querySelector(".toast")).toBeNull();
    });

    it("shows the app's alert until its OK or Return", () => {
        const alert = { title: "The project could not be opened.", message: "cannot read /a.pelagrinproj" };
        const { container, socket } = mountApp({ ...welcomeChanges(), alert });
        expect(container.querySelector(".app-alert")?.textContent).toContain(alert.message);
        click(byText(container, ".app-alert button", "OK"));
        press("Enter");
        expect(socket.sent).toEqual([{ intent: "dismissAlert" }, { intent: "dismissAlert" }]);
    });

    it("keeps its state when a message cannot be read, says so, and warns about another protocol", () => {
        const { container, socket, timers } = mountApp(welcomeChanges());
        const log = vi.spyOn(console, "error").mockImplementation(() => {});
        socket.receiveState({ welcome: { recent: "none" } });
        expect(log).toHaveBeenCalledOnce();
        log.mockRestore();
        expect(container.querySelector(".toast")?.textContent).toContain("welcome.recent: expected an array");
        expect(container.textContent).toContain("No recent projects");
        timers.advance(toastDurationMs);
        socket.receive({ type: "state", changes: {}, patch: [{ op: "remove", path: "/welcome/recent/0" }] });
        expect(container.querySelector(".toast")?.textContent).toContain('remove /welcome/recent/0: no element "0"');
        timers.advance(toastDurationMs);
        socket.receive({ type: "hello", protocol: 3, window: 1 });
        expect(container.querySelector(".toast")?.textContent).toContain("protocol 3");
    });

    it("applies a patch to the state it was last sent and draws the result", () => {
        const { app, container, socket } = mountApp(welcomeChanges());
        const recent = { path: "/home/me/Lake.pelagrinproj", name: "Lake", isMissing: false };
        socket.receive({
            type: "state",
            changes: { preferences: { autoOpenLastProject: false } },
            patch: [
                { op: "add", path: "/welcome/recent/-", value: recent },
                { op: "replace", path: "/controller/isRunning", value: true },
            ],
        });
        expect(app.state?.welcome.recent).toEqual([recent]);
        expect(app.state?.controller.isRunning).toBe(true);
        expect(app.state?.preferences.autoOpenLastProject).toBe(false);
        expect(container.textContent).toContain("Lake");
    });

    it("refuses to send an intent longer than the app takes, and says so", () => {
        const { app, container, socket } = mountApp(welcomeChanges());
        app.send({ intent: "setProjectName", value: "x".repeat(maxIntentBytes) });
        expect(socket.sent).toEqual([]);
        expect(container.querySelector(".toast")?.textContent).toBe(
            "That is too long to send to the app: at most 64 KiB at a time.",
        );
    });

    it("says when the connection is gone and sends nothing more", () => {
        const { container, socket, app } = mountApp(welcomeChanges());
        socket.close();
        expect(container.textContent).toContain("Pelagrin is not connected");
        app.send({ intent: "saveProject" });
        expect(socket.sent).toEqual([]);
    });
});
