// Auto-detection against a fake Overpass server, with the map taken to a typed point (the place search is the
// first hour's): a click beside the lake takes its outline, says the nearest water was used, and becomes the
// emission point; a click the server refuses (HTTP 429) says the service is busy, until dismissed, and changes
// nothing else.
import assert from "node:assert/strict";
import { test } from "node:test";
import { lakeAnswer, lakeCorners, startFakeOverpass } from "./fakeServices.mjs";
import { createProject, screenshot, withApp } from "./harness.mjs";

/** How long the fake server holds its first answer, so that the detecting overlay can be seen. */
const answerDelayMs = 800;
/** How far east of the click the lake's centre lies, in degrees: the click misses it. */
const lakeOffsetDeg = 0.03;

/** Answers the first query with a lake beside its point and every later one with 429 Too Many Requests. */
function lakeThenBusy(point, index) {
    if (index > 0 || point === null) return { status: 429, body: "Too Many Requests" };
    return { body: lakeAnswer(point.lat, point.lon + lakeOffsetDeg), delayMs: answerDelayMs };
}

/** The map positions of the pins, by title. */
async function pinPositions(page) {
    return page
        .locator(".region-marker")
        .evaluateAll((pins) =>
            Object.fromEntries(
                pins.map((pin) => [pin.title, pin.style.transform || `${pin.style.left},${pin.style.top}`]),
            ),
        );
}

test("detect a lake with a click, and see why when the server refuses", async () => {
    const overpass = await startFakeOverpass(lakeThenBusy);
    try {
        await withApp(
            async ({ page }) => {
                page.setDefaultTimeout(10_000);
                await createProject(page, "Lake Detection");
                await page.getByText("Select Region", { exact: true }).click();
                const map = page.locator(".region-map");
                await map.waitFor();
                // Near a lake of its own, the map is taken by a typed point.
                await page.getByRole("textbox", { name: "Latitude, longitude" }).fill("47.37, 8.54");
                await page.getByRole("button", { name: "Go" }).click();
                const autoDetect = page.getByRole("button", { name: "Auto-Detect" });
                await autoDetect.click();
                await page.locator('.region-auto-detect[aria-pressed="true"]').waitFor();

                // A plain click detects: the overlay while the server thinks, then the outline, the pins, and the
                // notice that the click missed the water.
                const box = await map.boundingBox();
                await map.click({ position: { x: box.width / 2, y: box.height / 2 } });
                await page.getByText("Detecting Water Body...").waitFor();
                await page.getByText("Querying OpenStreetMap").waitFor();
                await screenshot(page, "detection-1-detecting");
                await page.locator(".region-overlay").waitFor({ state: "detached" });
                await page.locator(".leaflet-overlay-pane path.region-outline").waitFor();
                await page.locator(".region-marker-emission").waitFor();
                const notice = page.locator('.region-banner.shown[role="status"] .region-banner-text');
                assert.match(
                    await notice.textContent(),
                    /^No water body at the click; the nearest one, [\d.]+ (m|km) away, was used\.$/,
                );
                const vertices = Number(await page.locator(".region-count").textContent());
                assert.ok(
                    vertices >= lakeCorners,
                    `the outline has its ${lakeCorners} corners, found ${vertices} vertices`,
                );
                const pins = await pinPositions(page);
                assert.equal(pins.Emission, pins.Selected, "the emission point stands on the clicked point");
                assert.equal(overpass.queries.length, 1);
                assert.equal(overpass.queries[0].path, "/api/interpreter");
                await screenshot(page, "detection-2-detected");

                // A refused request: the banner, and the outline and the emission point as they were.
                await map.click({ position: { x: box.width / 2 + 20, y: box.height / 2 + 10 } });
                const banner = page.locator(".region-banner.shown");
                await banner.waitFor();
                assert.equal(
                    await banner.locator(".region-banner-text").textContent(),
                    "The map service is busy and refused the request; try again in a minute.",
                );
                assert.equal(Number(await page.locator(".region-count").textContent()), vertices);
                await page.locator(".region-marker-emission").waitFor();
                assert.equal(overpass.queries.length, 2);
                await screenshot(page, "detection-3-failed");
                await banner.getByRole("button", { name: "Dismiss" }).click();
                await banner.waitFor({ state: "detached" });
            },
            { env: { PELAGRIN_OVERPASS_URL: overpass.url } },
        );
    } finally {
        await overpass.close();
    }
});
