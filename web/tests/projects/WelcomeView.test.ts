import { describe, expect, it } from "vitest";
import { byText, click, mountApp, welcomeChanges } from "../support";

describe("the welcome content", () => {
    it("sends the rows' intents, opens the recent project clicked and removes a missing one", () => {
        const recent = [
            { path: "/home/u/Lakes/Test.pelagrinproj", name: "Test", isMissing: false },
            { path: "/home/u/Older.pelagrinproj", name: "Older", isMissing: false },
            { path: "\u0000/home/u/Gone%FF.pelagrinproj", name: "\u0000Gone%FF", isMissing: true },
        ];
        const { container, socket } = mountApp({ ...welcomeChanges(), welcome: { recent } });
        expect(container.textContent).not.toContain("No recent projects");
        expect(container.querySelectorAll(".recent-remove")).toHaveLength(1);
        expect(byText(container, ".recent-row", "Gone\ufffd").textContent).toContain("Missing");
        click(byText(container, ".action-row", "New Project"));
        click(byText(container, ".action-row", "Open..."));
        click(byText(container, ".recent-row", "Older"));
        click(container.querySelector(".recent-remove")!);
        expect(socket.sent).toEqual([
            { intent: "showNewProject" },
            { intent: "showOpenDialog" },
            { intent: "openRecent", path: "/home/u/Older.pelagrinproj" },
            { intent: "removeRecent", path: recent[2]!.path },
        ]);
    });

    it("closes the browser window from the close button, without asking the app", () => {
        const { container, socket, windows } = mountApp(welcomeChanges());
        click(container.querySelector(".window-close")!);
        expect(windows.closed).toBe(1);
        expect(socket.sent).toEqual([]);
    });
});
