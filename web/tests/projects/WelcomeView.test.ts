import { describe, expect, it } from "vitest";
import { byText, click, mountApp, welcomeChanges } from "../support";

describe("the welcome content", () => {
    it("sends the rows' intents and opens the recent project clicked", () => {
        const recent = [
            { path: "/home/u/Lakes/Test.pelagrinproj", name: "Test" },
            { path: "/home/u/Older.pelagrinproj", name: "Older" },
        ];
        const { container, socket } = mountApp({ ...welcomeChanges(), welcome: { recent } });
        expect(container.textContent).not.toContain("No recent projects");
        click(byText(container, ".action-row", "New Project"));
        click(byText(container, ".action-row", "Open..."));
        click(byText(container, ".recent-row", "Older"));
        expect(socket.sent).toEqual([
            { intent: "showNewProject" },
            { intent: "showOpenDialog" },
            { intent: "openRecent", path: "/home/u/Older.pelagrinproj" },
        ]);
    });

    it("closes the browser window from the close button, without asking the app", () => {
        const { container, socket, windows } = mountApp(welcomeChanges());
        click(container.querySelector(".window-close")!);
        expect(windows.closed).toBe(1);
        expect(socket.sent).toEqual([]);
    });
});
