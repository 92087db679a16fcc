// A first launch: a user who has never run the app sees the welcome content with no recent projects.
import assert from "node:assert/strict";
import { test } from "node:test";
import { screenshot, withApp } from "./harness.mjs";

test("first launch shows No recent projects", async () => {
    await withApp(async ({ page }) => {
        await page.getByText("No recent projects").waitFor();
        assert.equal(await page.title(), "Pelagrin");
        assert.equal(await page.getByText("Microplastic Particle Simulation").isVisible(), true);
        await screenshot(page, "first-launch");
    });
});
