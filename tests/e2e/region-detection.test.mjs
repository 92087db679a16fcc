// Auto-detection against a fake Overpass server, after a place search against a fake geocoder has taken the
// map to the lake: a click beside the lake takes its outline, says the nearest water was used, and becomes the
// emission point; a click the server refuses (HTTP 429) says the service is busy, until dismissed, and changes
// nothing else.
import assert from "node:assert/strict";
import { createServer } from "node:http";
import { test } from "node:test";
import { createProject, screenshot, withApp } from "./harness.mjs";

/** How long the fake server holds its first answer, so that the detecting overlay can be seen. */
const answerDelayMs = 800;
/** The lake's outline: an octagon this far from its centre, in degrees, coarse enough to survive thinning. */
const lakeRadiusDeg = 0.01;
/** How far east of the click the lake's centre lies, in degrees: the click misses it. */
const lakeOffsetDeg = 0.03;
/** Where the place search takes the map. */
const place = { lat: 47.37, lon: 8.54 };
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
            response.end(JSON.stringify(lakeAnswer(Number(point[1]), Number(point[2]) + lakeOffsetDeg)));
        }, answerDelayMs);
    });
    await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
    return {
        url: `http://127.0.0.1:${server.address().port}`,
        queries,
        close: () => new Promise((resolve) => server.close(resolve)),
    };
}

/** A geocoder that finds one lake, whatever the query, and records the queries. */
async function startFakeGeocoder() {
    const queries = [];
    const server = createServer((request, response) => {
        queries.push(new URL(request.url, "http://127.0.0.1").searchParams.get("q"));
        const box = [place.lat - 0.02, place.lat + 0.02, place.lon - 0.02, place.lon + 0.02].map(String);
        response.writeHead(200, { "Content-Type": "application/json" });
        response.end(
            JSON.stringify([
                {
                    lat: String(place.lat),
                    lon: String(place.lon),
                    type: "water",
                    display_name: "Test Lake",
                    boundingbox: box,
                },
            ]),
        );
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
    const geocoder = await startFakeGeocoder();
    try {
        await withApp(
            async ({ page }) => {
                page.setDefaultTimeout(10_000);
                await createProject(page, "Lake Detection");
                await page.getByText("Select Region", { exact: true }).click();
                const map = page.locator(".region-map");
                await map.waitFor();
                // The place search takes the map to the lake.
                await page.getByRole("searchbox", { name: "Place" }).fill("Test Lake");
                await page.getByRole("button", { name: "Search" }).click();
                await page.getByRole("button", { name: "Test Lake water" }).click();
                assert.deepEqual(geocoder.queries, ["Test Lake"]);
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
                const clicked = /is_in\((-?[\d.]+),(-?[\d.]+)\)/.exec(overpass.queries[0].query);
                assert.ok(
                    Math.abs(clicked[1] - place.lat) < 0.01 && Math.abs(clicked[2] - place.lon) < 0.01,
                    `the map was at the place found: ${clicked[0]}`,
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
            { env: { PELAGRIN_OVERPASS_URL: overpass.url, PELAGRIN_GEOCODER_URL: geocoder.url } },
        );
    } finally {
        await geocoder.close();
        await overpass.close();
    }
});
