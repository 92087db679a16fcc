import { describe, expect, it } from "vitest";
import { byText, click, enter, mountApp, press, welcomeChanges } from "../support";

const sheet = { projectName: "New Simulation", location: "/home/u/Documents", errorMessage: null, canCreate: true };

function mountSheet(overrides: Record<string, unknown> = {}) {
    const mounted = mountApp({ ...welcomeChanges(), createProject: { ...sheet, ...overrides } });
    const name = () => mounted.container.querySelector<HTMLInputElement>(".create-sheet input")!;
    return { ...mounted, name };
}

describe("the creation sheet", () => {
    it("sends the name as typed, creates on Return and cancels on Escape from the name field", () => {
        const { socket, name, container } = mountSheet();
        enter(name(), "Lake Study");
        expect(press("Enter", {}, name()).defaultPrevented).toBe(true);
        press("Escape", {}, name());
        click(byText(container, ".sheet-buttons button", "Cancel"));
        expect(socket.sent).toEqual([
            { intent: "setProjectName", value: "Lake Study" },
            { intent: "createProject" },
            { intent: "cancelCreateProject" },
            { intent: "cancelCreateProject" },
        ]);
    });

    it("disables Create, also on Return, while the app says it cannot create, and shows the app's error", () => {
        const error = "A project with this name already exists in that folder.";
        const { container, socket } = mountSheet({ projectName: " ", canCreate: false, errorMessage: error });
        expect(byText<HTMLButtonElement>(container, ".sheet-buttons button", "Create").disabled).toBe(true);
        expect(container.querySelector(".sheet-error")?.textContent).toBe(error);
        press("Enter");
        expect(socket.sent).toEqual([]);
    });

    it("keeps what is being typed while the app's echo of an older name arrives, and shows its name anew", () => {
        const { container, socket, name } = mountSheet();
        name().dispatchEvent(new FocusEvent("focus"));
        enter(name(), "Lake St");
        socket.receiveState({ createProject: { ...sheet, projectName: "Lake" } });
        expect(name().value).toBe("Lake St");
        socket.receiveState({ createProject: null });
        expect(container.querySelector(".create-sheet")).toBeNull();
        socket.receiveState({ createProject: sheet });
        expect(name().value).toBe("New Simulation");
    });
});
