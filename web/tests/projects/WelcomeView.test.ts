import { describe, expect, it } from "vitest";
import { byText, click, mountApp, welcomeChanges } from "../support";

describe("the welcome content", () => {
    // New Project, Open... and a recent row are the journeys' clicks; a missing project is not.
    it("marks a missing recent project and removes it", () => {
        const recent = [
            { path: "/home/u/Older.pelagrinproj", name: "Older", isMissing: false },
            { path: "\u0000/home/u/Gone%FF.pelagrinproj", name: "\u0000Gone%FF", isMissing: true },
        ];
        const { container, socket } = mountApp({ ...welcomeChanges(), welcome: { recent } });
        expect(container.querySelectorAll(".recent-remove")).toHaveLength(1);
        expect(byText(container, ".recent-row", "Gone\ufffd").textContent).toContain("Missing");
        click(container.querySelector(".recent-remove")!);
        expect(socket.sent).toEqual([{ intent: "removeRecent", path: recent[1]!.path }]);
    });

    it("closes the browser window from the close button, without asking the app", () => {
        const { container, socket, windows } = mountApp(welcomeChanges());
        click(container.querySelector(".window-close")!);
        expect(windows.closed).toBe(1);
        expect(socket.sent).toEqual([]);
    });
});
