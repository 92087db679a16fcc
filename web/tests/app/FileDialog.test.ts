import { describe, expect, it } from "vitest";
import { byText, click, mountApp, welcomeChanges } from "../support";

const openDialog = {
    title: "Open Pelagrin Project",
    confirm: "Open",
    choosesFolders: false,
    folder: "/home/u/Documents",
    parent: "/home/u",
    entries: [
        { name: "Lakes", path: "/home/u/Documents/Lakes", isFolder: true },
        { name: "Zurich.pelagrinproj", path: "/home/u/Documents/Zurich.pelagrinproj", isFolder: false },
    ],
    error: null,
};

function mountDialog(overrides: Record<string, unknown> = {}) {
    return mountApp({ ...welcomeChanges(), fileDialog: { ...openDialog, ...overrides } });
}

function entry(container: HTMLElement, name: string): HTMLElement {
    return byText(container, ".file-entry", name);
}

describe("the file dialog", () => {
    it("shows its title, folder, entries and confirm button", () => {
        const { container } = mountDialog();
        const dialog = container.querySelector(".file-dialog")!;
        expect(dialog.querySelector(".dialog-title")?.textContent).toBe("Open Pelagrin Project");
        expect(dialog.querySelector(".file-dialog-folder")?.textContent).toBe("/home/u/Documents");
        expect([...dialog.querySelectorAll(".file-entry")].map((item) => item.textContent?.trim())).toEqual([
            "Lakes",
            "Zurich.pelagrinproj",
        ]);
        expect(byText(dialog, "button", "Open")).toBeTruthy();
        expect(dialog.querySelector(".dialog-error")).toBeNull();
    });

    it("walks up, into a folder on double-click, and cancels", () => {
        const { container, socket } = mountDialog();
        click(container.querySelector('[aria-label="Enclosing Folder"]')!);
        entry(container, "Lakes").dispatchEvent(new MouseEvent("dblclick", { bubbles: true }));
        click(byText(container, ".dialog-buttons button", "Cancel"));
        expect(socket.sent).toEqual([
            { intent: "fileDialogNavigate", path: "/home/u" },
            { intent: "fileDialogNavigate", path: "/home/u/Documents/Lakes" },
            { intent: "fileDialogCancel" },
        ]);
    });

    it("confirms a project file only once one is selected, or on its double-click", () => {
        const { container, socket } = mountDialog();
        const confirm = () => byText<HTMLButtonElement>(container, ".dialog-buttons button", "Open");
        expect(confirm().disabled).toBe(true);
        click(entry(container, "Zurich"));
        expect(entry(container, "Zurich").classList.contains("selected")).toBe(true);
        click(confirm());
        entry(container, "Zurich").dispatchEvent(new MouseEvent("dblclick", { bubbles: true }));
        expect(socket.sent).toEqual([
            { intent: "fileDialogChoose", path: "/home/u/Documents/Zurich.pelagrinproj" },
            { intent: "fileDialogChoose", path: "/home/u/Documents/Zurich.pelagrinproj" },
        ]);
    });

    it("forgets the selection when the app lists another folder", () => {
        const { container, socket } = mountDialog();
        click(entry(container, "Zurich"));
        socket.receiveState({ fileDialog: { ...openDialog, folder: "/home/u", parent: "/home" } });
        expect(container.querySelector(".file-entry.selected")).toBeNull();
    });

    it("lets a folder dialog confirm the folder listed, or the folder selected", () => {
        const { container, socket } = mountDialog({
            title: "Choose Project Location",
            confirm: "Choose",
            choosesFolders: true,
            entries: [openDialog.entries[0]],
        });
        click(byText(container, ".dialog-buttons button", "Choose"));
        click(entry(container, "Lakes"));
        click(byText(container, ".dialog-buttons button", "Choose"));
        expect(socket.sent).toEqual([
            { intent: "fileDialogChoose", path: "/home/u/Documents" },
            { intent: "fileDialogChoose", path: "/home/u/Documents/Lakes" },
        ]);
    });

    it("cannot go up from the root, and shows the app's error", () => {
        const { container } = mountDialog({ folder: "/", parent: null, entries: [], error: "Cannot read /root" });
        expect(container.querySelector<HTMLButtonElement>('[aria-label="Enclosing Folder"]')!.disabled).toBe(true);
        expect(container.querySelector(".dialog-error")?.textContent).toBe("Cannot read /root");
    });
});
