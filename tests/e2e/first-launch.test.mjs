// A first launch: a user who has never run the app sees the welcome content with no recent projects, in this
// platform's words, and the menu's shortcuts reach the page.
import assert from "node:assert/strict";
import { test } from "node:test";
import { screenshot, withApp } from "./harness.mjs";

test("first launch shows No recent projects, speaks of this platform and takes the menu's shortcuts", async () => {
    await withApp(async ({ page }) => {
        await page.getByText("No recent projects").waitFor();
        assert.equal(await page.title(), "Pelagrin");
        assert.equal(await page.getByText("Microplastic Particle Simulation").isVisible(), true);
        await page.getByText("Browse your files").waitFor();
        assert.doesNotMatch(await page.locator("body").innerText(), /Mac|⌘|⌥|Option/);

        await page.getByRole("menuitem", { name: "File" }).click();
        const newProject = page.getByRole("menuitem", { name: /New Project/ });
        assert.equal(await newProject.locator(".menu-item-shortcut").textContent(), "Ctrl+Alt+N");
        assert.doesNotMatch(await page.getByRole("menu", { name: "File" }).innerText(), /Mac|⌘|⌥|Option/);
        await screenshot(page, "first-launch");
        await page.keyboard.press("Escape");

        await page.keyboard.press("Control+Alt+KeyN");
        await page.getByRole("dialog", { name: "Create New Project" }).waitFor();
    });
});
