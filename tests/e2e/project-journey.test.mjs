// A whole first session: a first launch's welcome in this platform's words with the menu's shortcuts reaching the
// page, create a project in a folder, meet the onboarding, edit and save a parameter, close with unsaved changes,
// close the tab of an edited project, and find its edits again after a relaunch.
import assert from "node:assert/strict";
import { access, mkdir, readFile, rm } from "node:fs/promises";
import path from "node:path";
import { test } from "node:test";
import { launchBrowser, makeHome, screenshot, startApp } from "./harness.mjs";

/** Opens a page of `app` in `browser` and waits until the app has drawn it. */
async function openPage(browser, app) {
    const page = await browser.context.newPage();
    page.setDefaultTimeout(8000);
    await page.goto(app.url);
    await page.locator(".menu-bar, nav, main").first().waitFor();
    return page;
}

/** Resolves once `file` exists. */
async function fileAppears(file) {
    for (;;) {
        try {
            return await access(file);
        } catch {
            await new Promise((resolve) => setTimeout(resolve, 50));
        }
    }
}

test("create, edit, save, close and reopen a project", async () => {
    const home = await makeHome();
    const studies = path.join(home.home, "Documents", "Studies");
    await mkdir(studies);
    const projectFile = path.join(studies, "Lake Study.pelagrinproj");
    let app = await startApp(home);
    const browser = await launchBrowser();
    try {
        let page = await openPage(browser, app);
        await page.getByText("No recent projects").waitFor();
        assert.equal(await page.title(), "Pelagrin");
        assert.equal(await page.getByText("Microplastic Particle Simulation").isVisible(), true);
        await page.getByText("Browse your files").waitFor();
        assert.doesNotMatch(await page.locator("body").innerText(), /Mac|⌘|⌥|Option/);

        // The menu shows the shortcut that reaches the page, and the shortcut opens the creation sheet.
        await page.getByRole("menuitem", { name: "File" }).click();
        const newProject = page.getByRole("menuitem", { name: /New Project/ });
        assert.equal(await newProject.locator(".menu-item-shortcut").textContent(), "Ctrl+Alt+N");
        assert.doesNotMatch(await page.getByRole("menu", { name: "File" }).innerText(), /Mac|⌘|⌥|Option/);
        await screenshot(page, "first-launch");
        await page.keyboard.press("Escape");
        await page.keyboard.press("Control+Alt+KeyN");
        await page.getByRole("dialog", { name: "Create New Project" }).waitFor();

        // The creation sheet, with its folder chosen in the in-app folder dialog.
        await page.getByLabel("Project Name").fill("Lake Study");
        await page.getByRole("button", { name: "Choose..." }).click();
        await page.getByText("Choose Project Location").waitFor();
        await page.getByRole("button", { name: "Studies" }).dblclick();
        await page.locator(".file-dialog-folder", { hasText: studies }).waitFor();
        await screenshot(page, "journey-1-folder-dialog");
        await page.locator(".file-dialog .button.prominent").click();
        await page.locator(".location-text", { hasText: "Studies" }).waitFor();
        await screenshot(page, "journey-2-creation-sheet");
        await page.getByRole("button", { name: "Create", exact: true }).click();

        // The project window opens on its first load with the onboarding.
        await page.getByText("Welcome to Pelagrin!").waitFor();
        await screenshot(page, "journey-3-onboarding");
        await page.getByRole("button", { name: "Get Started" }).click();
        await page.getByText("Welcome to Pelagrin!").waitFor({ state: "detached" });
        assert.equal(await page.title(), "Lake Study");

        // Editing the mean flow speed marks the project edited; Save writes it and clears the mark.
        await page.getByText("Physical Parameters", { exact: true }).first().click();
        const flowSpeed = page.locator("#parameters-flowSpeed");
        await flowSpeed.fill("1.5");
        await page.locator('[data-control="flowSpeed"] .control-value', { hasText: "1.50 m/s" }).waitFor();
        await page.waitForFunction(() => document.title === "Lake Study — Edited");
        await screenshot(page, "journey-4-physical-parameters");
        await page.getByRole("button", { name: "Save", exact: true }).click();
        await page.waitForFunction(() => document.title === "Lake Study");
        const saved = JSON.parse(await readFile(projectFile, "utf8"));
        assert.equal(saved.name, "Lake Study");
        assert.equal(saved.parameters.flowSpeed, 1.5);

        await page.getByText("Particle Settings", { exact: true }).first().click();
        await page.getByText("Count: 5000").waitFor();
        await screenshot(page, "journey-5-particle-settings");

        // Unsaved changes: the window's close button asks first; Cancel keeps the project open and edited.
        await page.getByText("Physical Parameters", { exact: true }).first().click();
        await flowSpeed.fill("0.8");
        await page.waitForFunction(() => document.title === "Lake Study — Edited");
        await page.getByRole("button", { name: "Close", exact: true }).first().click();
        await page.getByText("Do you want to keep the changes?").waitFor();
        await screenshot(page, "journey-6-keep-changes");
        await page.getByRole("button", { name: "Cancel" }).click();
        await page.getByText("Do you want to keep the changes?").waitFor({ state: "detached" });
        assert.equal(await page.title(), "Lake Study — Edited");
        await page.getByRole("button", { name: "Close", exact: true }).first().click();
        await page.getByRole("button", { name: "Discard Changes" }).click();
        await page.locator(".recent-row .recent-name", { hasText: "Lake Study" }).waitFor();
        assert.equal(JSON.parse(await readFile(projectFile, "utf8")).parameters.flowSpeed, 1.5);

        // The tab of an edited project closes without asking: its edits wait beside the file.
        await page.locator(".recent-row", { hasText: "Lake Study" }).click();
        await page.getByText("Physical Parameters", { exact: true }).first().click();
        await flowSpeed.fill("0.8");
        await page.waitForFunction(() => document.title === "Lake Study — Edited");
        await page.close();
        await fileAppears(`${projectFile}.recovery`);
        assert.equal(JSON.parse(await readFile(projectFile, "utf8")).parameters.flowSpeed, 1.5);

        // A relaunch reopens the last project and offers those edits; restored, they are edits again.
        await app.stop();
        app = await startApp(home);
        page = await openPage(browser, app);
        await page.getByText("Restore unsaved changes?").waitFor();
        await screenshot(page, "journey-7-restore");
        await page.getByRole("button", { name: "Restore" }).click();
        await page.waitForFunction(() => document.title === "Lake Study — Edited");
        await page.getByText("Physical Parameters", { exact: true }).first().click();
        await page.locator('[data-control="flowSpeed"] .control-value', { hasText: "0.80 m/s" }).waitFor();
        await page.getByRole("button", { name: "Close", exact: true }).first().click();
        await page.getByRole("button", { name: "Discard Changes" }).click();
        const recentRows = page.locator(".recent-row");
        await recentRows.first().waitFor();
        assert.equal(await recentRows.count(), 1);
        assert.equal(await recentRows.locator(".recent-name").textContent(), "Lake Study");
        assert.match(await recentRows.locator(".recent-path").textContent(), /Studies\/Lake Study\.pelagrinproj$/);
        await screenshot(page, "journey-8-recent-projects");
    } finally {
        await browser.close();
        await app.stop();
        await rm(home.home, { recursive: true, force: true });
    }
});
