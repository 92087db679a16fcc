// A whole first session: create a project in a folder, meet the onboarding, edit and save a parameter, close
// with unsaved changes, close the tab of an edited project, and find its edits again after a relaunch. And a
// first run: Play on a new project says what it needs, then runs its outline at once, pauses and resumes.
import assert from "node:assert/strict";
import { access, mkdir, readFile, rm } from "node:fs/promises";
import path from "node:path";
import { test } from "node:test";
import { setTimeout as sleep } from "node:timers/promises";
import { createProject, launchBrowser, makeHome, screenshot, startApp, withApp } from "./harness.mjs";

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

        // The creation sheet, with its folder chosen in the in-app folder dialog.
        await page.getByText("New Project", { exact: true }).click();
        await page.getByText("Create New Project").waitFor();
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

/** Simulated seconds on the running badge ("01h 02m"), or of a paused one ("Paused at 1 h 02 min"). */
function badgeSeconds(text) {
    const [, hours, minutes] = /(\d+)\s?h (\d+)\s?m/.exec(text);
    return Number(hours) * 3600 + Number(minutes) * 60;
}

test("a new project plays its outline at once, with no slider touched, and resumes where it paused", async () => {
    await withApp(async ({ page }) => {
        page.setDefaultTimeout(10_000);
        await createProject(page, "First Run");

        // Without water, Play says what to do.
        await page.getByText("Simulation Renderer", { exact: true }).click();
        await page.getByRole("toolbar").getByRole("button", { name: "Play" }).click();
        await page
            .getByRole("alertdialog")
            .getByText("Mark the water body on the Select Region screen first")
            .waitFor();
        await page.getByRole("button", { name: "OK" }).click();

        // Three vertex clicks make an outline; nothing is applied and no parameter set.
        await page.getByText("Select Region", { exact: true }).click();
        const map = page.locator(".region-map");
        const box = await map.boundingBox();
        for (const [index, [dx, dy]] of [
            [-80, -60],
            [80, -60],
            [0, 70],
        ].entries()) {
            await map.click({ position: { x: box.width / 2 + dx, y: box.height / 2 + dy } });
            await page.locator(".region-count", { hasText: String(index + 1) }).waitFor();
        }

        await page.getByText("Simulation Renderer", { exact: true }).click();
        const controls = page.locator(".renderer-control-bar");
        await page.locator(".renderer-speed select").selectOption("60");
        await controls.getByRole("button", { name: "Play" }).click();
        const badge = page.getByRole("status", { name: "Elapsed" });
        await page.waitForFunction(() =>
            /0[1-9]m|[1-9]\dm|[1-9]h/.test(document.querySelector(".renderer-badge")?.textContent ?? ""),
        );

        // Pause holds the clock; Play goes on from there.
        await controls.getByRole("button", { name: "Pause" }).click();
        await badge.getByText(/^Paused at /).waitFor();
        const pausedAt = badgeSeconds(await badge.textContent());
        await sleep(1000);
        assert.equal(badgeSeconds(await badge.textContent()), pausedAt, "a paused run stands still");
        await screenshot(page, "journey-9-paused");
        await controls.getByRole("button", { name: "Play" }).click();
        await page.waitForFunction((paused) => {
            const match = /(\d+)h (\d+)m/.exec(document.querySelector(".renderer-badge")?.textContent ?? "");
            return match !== null && Number(match[1]) * 3600 + Number(match[2]) * 60 > paused;
        }, pausedAt);
    });
});
