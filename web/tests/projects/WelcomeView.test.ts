import { describe, expect, it } from "vitest";
import { byText, click, mountApp, welcomeChanges } from "../support";

describe("the welcome content", () => {
    it("shows the app's name, the two ways in and the empty recent list", () => {
        const { container } = mountApp(welcomeChanges());
        const text = container.textContent ?? "";
        for (const expected of [
            "Pelagrin",
            "Microplastic Particle Simulation",
            "New Project",
            "Create a new simulation",
            "Open...",
            "Browse your Mac",
            "Recent Projects",
            "No recent projects",
        ]) {
            expect(text).toContain(expected);
        }
        expect(container.querySelector(".recent-list")).toBeNull();
        expect(container.querySelector('[data-symbol="clock.arrow.circlepath"]')).not.toBeNull();
        expect(document.title).toBe("Pelagrin");
    });

    it("sends the rows' intents", () => {
        const { container, socket } = mountApp(welcomeChanges());
        click(byText(container, ".action-row", "New Project"));
        click(byText(container, ".action-row", "Open..."));
        expect(socket.sent).toEqual([{ intent: "showNewProject" }, { intent: "showOpenDialog" }]);
    });

    it("lists recent projects newest first by name over their path, and opens the one clicked", () => {
        const { container, socket } = mountApp({
            ...welcomeChanges(),
            welcome: {
                recent: [
                    { path: "/home/u/Lakes/Test.pelagrinproj", name: "Test" },
                    { path: "/home/u/Older.pelagrinproj", name: "Older" },
                ],
            },
        });
        const rows = [...container.querySelectorAll(".recent-row")];
        expect(rows.map((row) => row.querySelector(".recent-name")?.textContent)).toEqual(["Test", "Older"]);
        expect(rows[0]?.querySelector(".recent-path")?.textContent).toBe("/home/u/Lakes/Test.pelagrinproj");
        expect(container.textContent).not.toContain("No recent projects");
        click(rows[1]!);
        expect(socket.sent).toEqual([{ intent: "openRecent", path: "/home/u/Older.pelagrinproj" }]);
    });

    it("closes the browser window from the close button, without asking the app", () => {
        const mounted = mountApp(welcomeChanges());
        click(mounted.container.querySelector(".window-close")!);
        expect(mounted.windowsClosed).toBe(1);
        expect(mounted.socket.sent).toEqual([]);
    });
});
