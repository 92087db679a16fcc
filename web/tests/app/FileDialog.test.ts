import { describe, expect, it } from "vitest";
import { decodeChanges } from "../../src/app/WindowState";
import { byText, click, enter, mountApp, press, welcomeChanges } from "../support";

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
    it("walks up, into a folder on double-click, and cancels, with no name field to type in", () => {
        const { container, socket } = mountDialog();
        expect(container.querySelector(".file-name")).toBeNull();
        click(container.querySelector('[aria-label="Enclosing Folder"]')!);
        click(entry(container, "Lakes"), "dblclick");
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
        click(entry(container, "Zurich"), "dblclick");
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

    it("lets a folder dialog confirm the folder listed or selected, never a greyed file, and make a folder", () => {
        const { container, socket } = mountDialog({
            title: "Choose Project Location",
            confirm: "Choose",
            choosesFolders: true,
        });
        expect(entry(container, "Zurich").hasAttribute("disabled")).toBe(true);
        click(byText(container, ".dialog-buttons button", "Choose"));
        click(entry(container, "Lakes"));
        click(byText(container, ".dialog-buttons button", "Choose"));
        click(byText(container, ".new-folder", "New Folder"));
        enter(container.querySelector<HTMLInputElement>(".new-folder-name")!, "Runs");
        click(byText(container, ".new-folder-row button", "Create"));
        expect(socket.sent).toEqual([
            { intent: "fileDialogChoose", path: "/home/u/Documents" },
            { intent: "fileDialogChoose", path: "/home/u/Documents/Lakes" },
            { intent: "fileDialogNewFolder", name: "Runs" },
        ]);
    });

    it("shows names that are not UTF-8 with replacement characters and sends back what it got", () => {
        const strange = { name: "\u0000caf%E9", path: "\u0000/home/u/Documents/caf%E9", isFolder: true };
        const { container, socket } = mountDialog({ entries: [strange] });
        click(entry(container, "caf\ufffd"), "dblclick");
        expect(socket.sent).toEqual([{ intent: "fileDialogNavigate", path: strange.path }]);
    });

    it("cannot go up from the root, and shows the app's error", () => {
        const { container } = mountDialog({ folder: "/", parent: null, entries: [], error: "Cannot read /root" });
        expect(container.querySelector<HTMLButtonElement>('[aria-label="Enclosing Folder"]')!.disabled).toBe(true);
        expect(container.querySelector(".dialog-error")?.textContent).toBe("Cannot read /root");
    });
});

const saveDialog = {
    ...openDialog,
    title: "Export CSV",
    confirm: "Save",
    entries: [
        { name: "Runs", path: "/home/u/Documents/Runs", isFolder: true },
        { name: "old.csv", path: "/home/u/Documents/old.csv", isFolder: false },
    ],
    fileName: "SimulationData.csv",
    fileExtension: ".csv",
};

describe("the save dialog", () => {
    const mountSave = () => mountApp({ ...welcomeChanges(), fileDialog: saveDialog });
    const nameField = (container: HTMLElement) => container.querySelector<HTMLInputElement>(".file-name")!;
    const saveButton = (container: HTMLElement) =>
        byText<HTMLButtonElement>(container, ".dialog-buttons button", "Save");
    const type = (container: HTMLElement, text: string) => enter(nameField(container), text);

    // The proposed name saved by a click is the export journey's.
    it("saves a typed name, also with Return, only when it ends in the dialog's extension", () => {
        const { container, socket } = mountSave();
        for (const refused of ["SimulationData.txt", "SimulationData", ".csv", "Runs/a.csv", ""]) {
            type(container, refused);
            expect(saveButton(container).disabled, refused).toBe(true);
            press("Enter");
        }
        type(container, "June.csv");
        click(saveButton(container));
        press("Enter");
        const save = { intent: "fileDialogSave", folder: "/home/u/Documents", name: "June.csv" };
        expect(socket.sent).toEqual([save, save]);
    });

    it("names an existing file when it is picked, and asks before writing over it", () => {
        const { container, socket } = mountSave();
        click(byText(container, ".file-entry", "old.csv"));
        expect(nameField(container).value).toBe("old.csv");
        click(byText(container, ".file-entry", "old.csv"), "dblclick");
        expect(container.querySelector(".replace-question")?.textContent).toContain(
            "“old.csv” already exists. Do you want to replace it?",
        );
        click(byText(container, ".replace-question button", "Cancel"));
        click(saveButton(container));
        press("Enter");
        click(byText(container, ".file-entry", "Runs"), "dblclick");
        expect(socket.sent).toEqual([
            { intent: "fileDialogSave", folder: "/home/u/Documents", name: "old.csv", replace: true },
            { intent: "fileDialogNavigate", path: "/home/u/Documents/Runs" },
        ]);
    });

    it("keeps a typed name while walking the folders, and proposes afresh next time", () => {
        const { container, socket } = mountSave();
        type(container, "June.csv");
        socket.receiveState({ fileDialog: { ...saveDialog, folder: "/home/u", parent: "/home" } });
        expect(nameField(container).value).toBe("June.csv");
        socket.receiveState({ fileDialog: null });
        socket.receiveState({ fileDialog: saveDialog });
        expect(nameField(container).value).toBe("SimulationData.csv");
    });

    it("decodes its name and extension, absent in other dialogs, and refuses them when not text", () => {
        expect(decodeChanges({ fileDialog: saveDialog }).fileDialog).toMatchObject({
            fileName: "SimulationData.csv",
            fileExtension: ".csv",
        });
        expect(decodeChanges({ fileDialog: openDialog }).fileDialog).toMatchObject({
            fileName: null,
            fileExtension: null,
        });
        expect(() => decodeChanges({ fileDialog: { ...saveDialog, fileName: 7 } })).toThrow("fileDialog.fileName");
        expect(() => decodeChanges({ fileDialog: { ...saveDialog, fileExtension: null } })).toThrow(
            "fileDialog.fileExtension",
        );
    });
});
