import { describe, expect, it } from "vitest";
import { byText, click, mountApp, press, welcomeChanges } from "../support";

const sheet = { projectName: "New Simulation", location: "/home/u/Documents", errorMessage: null, canCreate: true };

function mountSheet(overrides: Record<string, unknown> = {}) {
    return mountApp({ ...welcomeChanges(), createProject: { ...sheet, ...overrides } });
}

describe("the creation sheet", () => {
    it("shows its title, fields, location and buttons", () => {
        const { container } = mountSheet();
        const form = container.querySelector(".create-sheet")!;
        for (const expected of ["Create New Project", "Project Name", "Where", "/home/u/Documents", "Choose...", "Cancel", "Create"]) {
            expect(form.textContent).toContain(expected);
        }
        const input = form.querySelector("input")!;
        expect(input.value).toBe("New Simulation");
        expect(input.placeholder).toBe("My Simulation");
        expect(form.querySelector(".sheet-error")).toBeNull();
    });

    it("sends the name as typed and the buttons' intents", () => {
        const { container, socket } = mountSheet();
        const input = container.querySelector<HTMLInputElement>(".create-sheet input")!;
        input.value = "Lake Study";
        input.dispatchEvent(new Event("input", { bubbles: true }));
        click(byText(container, "button", "Choose..."));
        click(byText(container, ".sheet-buttons button", "Create"));
        click(byText(container, ".sheet-buttons button", "Cancel"));
        expect(socket.sent).toEqual([
            { intent: "setProjectName", value: "Lake Study" },
            { intent: "chooseFolder" },
            { intent: "createProject" },
            { intent: "cancelCreateProject" },
        ]);
    });

    it("disables Create while the app says it cannot create, and shows the app's error", () => {
        const { container, socket } = mountSheet({
            projectName: " ",
            canCreate: false,
            errorMessage: "A project with this name already exists in that folder.",
        });
        expect(byText<HTMLButtonElement>(container, ".sheet-buttons button", "Create").disabled).toBe(true);
        expect(container.querySelector(".sheet-error")?.textContent).toBe(
            "A project with this name already exists in that folder.",
        );
        press("Enter");
        expect(socket.sent).toEqual([]);
    });

    it("creates on Return and cancels on Escape, from the name field too", () => {
        const { container, socket } = mountSheet();
        const input = container.querySelector<HTMLInputElement>(".create-sheet input")!;
        expect(press("Enter", {}, input).defaultPrevented).toBe(true);
        press("Escape", {}, input);
        expect(socket.sent).toEqual([{ intent: "createProject" }, { intent: "cancelCreateProject" }]);
    });

    it("keeps what is being typed while the app's echo of an older name arrives", () => {
        const { container, socket } = mountSheet();
        const input = container.querySelector<HTMLInputElement>(".create-sheet input")!;
        input.dispatchEvent(new FocusEvent("focus"));
        input.value = "Lake St";
        input.dispatchEvent(new Event("input", { bubbles: true }));
        socket.receiveState({ createProject: { ...sheet, projectName: "Lake" } });
        expect(container.querySelector<HTMLInputElement>(".create-sheet input")!.value).toBe("Lake St");
        input.dispatchEvent(new FocusEvent("blur"));
        socket.receiveState({ createProject: { ...sheet, projectName: "Lake St" } });
        expect(container.querySelector<HTMLInputElement>(".create-sheet input")!.value).toBe("Lake St");
    });

    it("shows the app's name again when the sheet is shown anew", () => {
        const { container, socket } = mountSheet();
        container.querySelector<HTMLInputElement>(".create-sheet input")!.dispatchEvent(new FocusEvent("focus"));
        socket.receiveState({ createProject: null });
        expect(container.querySelector(".create-sheet")).toBeNull();
        socket.receiveState({ createProject: sheet });
        expect(container.querySelector<HTMLInputElement>(".create-sheet input")!.value).toBe("New Simulation");
    });
});
