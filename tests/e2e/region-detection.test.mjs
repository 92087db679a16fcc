// Auto-detection against a fake Overpass server: a click inside a lake takes its outline and becomes the
// emission point; a click the server refuses (HTTP 429) says the service is busy, until dismissed, and changes
// nothing else.
import assert from "node:assert/strict";
import { createServer } from "node:http";
import { test } from "node:test";
import { createProject, screenshot, withApp } from "./harness.mjs";
import { zoomMapIn } from "./map.mjs";

/** How long the fake server holds its first answer, so that the detecting overlay can be seen. */
const answerDelayMs = 800;
/** The lake's outline: an octagon this far from the click, in degrees, coarse enough to survive thinning. */
const lakeRadiusDeg = 0.01;
const lakeCorners = 8;

/** An Overpass answer with one closed way, a lake around (lat, lon), as the real server shapes it. */
function lakeAnswer(lat, lon) {
    const ring = Array.from({ length: lakeCorners }, (_, index) => {
        const angle = (2 * Math.PI * index) / lakeCorners;
        return { lat: lat + lakeRadiusDeg * Math.sin(angle), lon: lon + lakeRadiusDeg * Math.cos(angle) };
    });
    const nodes = ring.map((_, index) => 9000 + index);
    return {
        version: 0.6,
        generator: "Overpass API 0.7.62",
        osm3s: {
            timestamp_osm_base: "2024-05-01T00:00:00Z",
            copyright: "The data included in this document is from www.openstreetmap.org.",
        },
        elements: [
            {
                type: "way",
                id: 424242,
                bounds: {
                    minlat: lat - lakeRadiusDeg,
                    minlon: lon - lakeRadiusDeg,
                    maxlat: lat + lakeRadiusDeg,
                    maxlon: lon + lakeRadiusDeg,
                },
                nodes: [...nodes, nodes[0]],
                geometry: [...ring, ring[0]],
                tags: { natural: "water", water: "lake", name: "Test Lake" },
            },
        ],
    };
}

/** Answers the first query with a lake around its point and every later one with 429 Too Many Requests. */
async function startFakeOverpass() {
    const queries = [];
    const server = createServer((request, response) => {
        const url = new URL(request.url, "http://127.0.0.1");
        const query = url.searchParams.get("data") ?? "";
        queries.push({ path: url.pathname, query });
        const point = /is_in\((-?[\d.]+),(-?[\d.]+)\)/.exec(query);
        if (queries.length > 1 || point === null) {
            response.writeHead(429, { "Content-Type": "text/plain" });
            response.end("Too Many Requests");
            return;
        }
        setTimeout(() => {
            response.writeHead(200, { "Content-Type": "application/json" });
            response.end(JSON.stringify(lakeAnswer(Number(point[1]), Number(point[2]))));
        }, answerDelayMs);
    });
    await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
    return {
        url: `http://127.0.0.1:${server.address().port}`,
        queries,
        close: () => new Promise((resolve) => server.close(resolve)),
    };
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
    const overpass = await startFakeOverpass();
    try {
        await withApp(
            async ({ page }) => {
                page.setDefaultTimeout(10_000);
                await createProject(page, "Lake Detection");
                await page.getByText("Select Region", { exact: true }).click();
                const map = page.locator(".region-map");
                await map.waitFor();
                await zoomMapIn(page, 6);
                const autoDetect = page.getByRole("button", { name: "Auto-Detect" });
                await autoDetect.click();
                await page.locator('.region-auto-detect[aria-pressed="true"]').waitFor();

                // A plain click detects: the overlay while the server thinks, then the outline and the pins.
                const box = await map.boundingBox();
                await map.click({ position: { x: box.width / 2, y: box.height / 2 } });
                await page.getByText("Detecting Water Body...").waitFor();
                await page.getByText("Querying OpenStreetMap").waitFor();
                await screenshot(page, "detection-1-detecting");
                await page.locator(".region-overlay").waitFor({ state: "detached" });
                await page.locator(".leaflet-overlay-pane path").waitFor();
                await page.locator(".region-marker-emission").waitFor();
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
