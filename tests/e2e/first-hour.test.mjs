// A new user's first hour: create a project, press Play too early, find the lake by name, detect it, run at once
// with nothing set, pause and resume, let the run finish, save, and reopen the project to find the map framed on
// the lake.
import assert from "node:assert/strict";
import { test } from "node:test";
import { setTimeout as sleep } from "node:timers/promises";
import { lakeAnswer, startFakeGeocoder, startFakeOverpass } from "./fakeServices.mjs";
import { createProject, screenshot, withApp } from "./harness.mjs";

const place = { lat: 46.52, lon: 6.63 };

/** Simulated seconds on the clock badge: "02h 05m" while running, "Paused at 2 h 05 min" while paused. */
function badgeSeconds(text) {
    const match = /(\d+)\s?h (\d+)\s?m/.exec(text);
    assert.ok(match !== null, `a clock on the badge: "${text}"`);
    return Number(match[1]) * 3600 + Number(match[2]) * 60;
}

/** The share of the map's width and height the lake's outline covers, and whether it lies wholly inside. */
async function outlineFraming(page) {
    const map = await page.locator(".region-map").boundingBox();
    const outline = await page.locator("path.region-outline").boundingBox();
    const inside =
        outline.x >= map.x &&
        outline.y >= map.y &&
        outline.x + outline.width <= map.x + map.width &&
        outline.y + outline.height <= map.y + map.height;
    return { inside, share: Math.max(outline.width / map.width, outline.height / map.height) };
}

test("the first hour: find a lake, run it with the defaults, pause, finish and reopen", async () => {
    const overpass = await startFakeOverpass((point) => ({ body: lakeAnswer(point.lat, point.lon) }));
    const geocoder = await startFakeGeocoder(place, "Lac Test");
    try {
        await withApp(
            async ({ page }) => {
                page.setDefaultTimeout(10_000);
                await createProject(page, "First Hour");

                // Without water, Play says what to do.
                await page.getByText("Simulation Renderer", { exact: true }).click();
                await page.getByRole("toolbar").getByRole("button", { name: "Play" }).click();
                await page
                    .getByRole("alertdialog")
                    .getByText("Mark the water body on the Select Region screen first")
                    .waitFor();
                await page.getByRole("button", { name: "OK" }).click();

                // Find the lake by name, then detect it with one click.
                await page.getByText("Select Region", { exact: true }).click();
                await page.getByRole("searchbox", { name: "Place" }).fill("Lac Test");
                await page.getByRole("button", { name: "Search" }).click();
                await page.getByRole("button", { name: "Lac Test water" }).click();
                await page.getByRole("button", { name: "Auto-Detect" }).click();
                const map = page.locator(".region-map");
                const box = await map.boundingBox();
                await map.click({ position: { x: box.width / 2, y: box.height / 2 } });
                await page.locator("path.region-outline").waitFor();
                const clicked = overpass.queries[0].point;
                assert.ok(Math.abs(clicked.lat - place.lat) < 0.01 && Math.abs(clicked.lon - place.lon) < 0.01);
                await screenshot(page, "first-hour-1-lake");

                // Play at once: no parameter, particle setting or "Apply Region" touched.
                await page.getByText("Simulation Renderer", { exact: true }).click();
                await page.getByRole("toolbar").getByRole("button", { name: "Play" }).click();
                const badge = page.getByRole("status", { name: "Elapsed" });
                await badge.waitFor();
                const speed = page.locator(".renderer-speed select");
                await speed.selectOption("10");
                await page.waitForFunction(() =>
                    /[1-9]\dm|0[1-9]m|[1-9]h/.test(document.querySelector(".renderer-badge")?.textContent ?? ""),
                );
                // The picker says what the speed means, as measured.
                await page
                    .locator(".renderer-speed option", { hasText: /^10x · [\d.]+ (s|min)\/s$/ })
                    .waitFor({ state: "attached" });

                // Ctrl-R pauses and the clock stands; Play goes on from there.
                await page.keyboard.press("Control+r");
                await badge.getByText(/^Paused at /).waitFor();
                const pausedAt = badgeSeconds(await badge.textContent());
                await sleep(1000);
                assert.equal(badgeSeconds(await badge.textContent()), pausedAt, "a paused run stands still");
                await screenshot(page, "first-hour-2-paused");
                await page.getByRole("toolbar").getByRole("button", { name: "Play" }).click();
                await page.waitForFunction((paused) => {
                    const match = /(\d+)h (\d+)m/.exec(document.querySelector(".renderer-badge")?.textContent ?? "");
                    return match !== null && Number(match[1]) * 3600 + Number(match[2]) * 60 > paused;
                }, pausedAt);

                // At 300x the run reaches its 12 hours and says so, with its counts.
                await speed.selectOption("300");
                await badge.getByText(/^Finished at 12 h 00 min/).waitFor({ timeout: 60_000 });
                await screenshot(page, "first-hour-3-finished");

                // Saved, closed with the map somewhere else, and reopened: the map opens on the lake.
                await page.keyboard.press("Control+s");
                await page.waitForFunction(() => document.title === "First Hour");
                await page.getByText("Select Region", { exact: true }).click();
                await page.getByRole("textbox", { name: "Latitude, longitude" }).fill("0, 0");
                await page.getByRole("button", { name: "Go" }).click();
                // The map reports where it rests a moment after it stops; that is the view a new project gets.
                await sleep(1000);
                await page.getByRole("button", { name: "Close", exact: true }).first().click();
                await page.locator(".recent-row", { hasText: "First Hour" }).click();
                await page.locator("path.region-outline").waitFor();
                const framing = await outlineFraming(page);
                assert.ok(framing.inside, "the whole lake is in view");
                assert.ok(framing.share > 0.3, `the lake fills the view, not a corner of it: ${framing.share}`);
                await screenshot(page, "first-hour-4-reopened");
            },
            { env: { PELAGRIN_OVERPASS_URL: overpass.url, PELAGRIN_GEOCODER_URL: geocoder.url } },
        );
    } finally {
        await geocoder.close();
        await overpass.close();
    }
});
