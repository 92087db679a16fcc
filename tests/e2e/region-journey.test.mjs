// A whole study by hand: the analysis screen and its CSV before any run, draw a small lake on the map, move a
// vertex and take the move back and forth, place the emission point inside it, apply, run the simulation at 60x
// and watch particles strand, read the run's seed and speeds, then export the timeline again over the first
// file.
import assert from "node:assert/strict";
import { readFile } from "node:fs/promises";
import path from "node:path";
import { setTimeout as sleep } from "node:timers/promises";
import { test } from "node:test";
import { createProject, screenshot, timelineCsvHeader, withApp } from "./harness.mjs";
import { zoomMapIn } from "./map.mjs";

/** Zoom steps from the opening view (8° across) to a view a few hundred metres across. */
const zoomSteps = 11;

/** The centre of a vertex handle on the page, px; the handles are redrawn with each state, so it may take a moment. */
async function handleCentre(handle) {
    for (let attempt = 0; attempt < 50; attempt++) {
        const box = await handle.boundingBox();
        if (box !== null) return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
        await sleep(50);
    }
    assert.fail("the vertex handle is not shown");
}

/** Waits until the handle's centre is `expected`, within a pixel. */
async function waitForHandleAt(handle, expected, what) {
    for (let attempt = 0; attempt < 50; attempt++) {
        const { x, y } = await handleCentre(handle);
        if (Math.abs(x - expected.x) <= 1 && Math.abs(y - expected.y) <= 1) return;
        await sleep(100);
    }
    assert.fail(`${what}: the vertex is not back at ${JSON.stringify(expected)}`);
}

/** The renderer canvas's pixels, as a PNG data URL. */
function canvasPixels(page) {
    return page.locator(".renderer-canvas").evaluate((canvas) => canvas.toDataURL());
}

test("draw a lake, place the emission point, run at 60x and export the stranded particles", async () => {
    await withApp(async ({ page, home }) => {
        page.setDefaultTimeout(10_000);
        await createProject(page, "Pond Study");
        const documents = path.join(home.home, "Documents");
        const csvFile = path.join(documents, "SimulationData.csv");

        // Before any run: zeros on the analysis screen's cards, both placeholders, and a CSV of the header alone,
        // saved through the save dialog into the project's folder, which the app says.
        await page.getByText("Charts & Heatmaps", { exact: true }).click();
        await page.getByText("Run simulation to gather data").waitFor();
        await page.locator(".chart-placeholder", { hasText: "No data" }).waitFor();
        const zeros = ["0", "0", "0", "0.0 mm/s", "0.0 mm/s"];
        assert.deepEqual(await page.locator(".metric-card-value").allTextContents(), zeros);
        await screenshot(page, "analysis-1-placeholders");
        await page.getByRole("button", { name: "Export CSV" }).click();
        const dialog = page.locator(".file-dialog");
        await dialog.getByText("Export CSV").waitFor();
        assert.equal(await dialog.locator(".file-name").inputValue(), "SimulationData.csv");
        await dialog.locator(".file-dialog-folder", { hasText: documents }).waitFor();
        await screenshot(page, "analysis-2-save-dialog");
        await dialog.getByRole("button", { name: "Save", exact: true }).click();
        await dialog.waitFor({ state: "detached" });
        const alert = page.locator(".app-alert");
        await alert.getByText(`The simulation data was saved to ${csvFile}.`).waitFor();
        await alert.getByRole("button", { name: "OK" }).click();
        assert.equal(await readFile(csvFile, "utf8"), `${timelineCsvHeader}\n`, "an empty timeline, the header alone");

        await page.getByText("Select Region", { exact: true }).click();
        const map = page.locator(".region-map");
        await map.waitFor();
        await page.getByText("Click map to select").waitFor();
        await page.getByText("Alt+Click or Shift+Click for Emission").waitFor();

        // A small pond, so that particles reach its shore within seconds: zoom in with the map's own button.
        await zoomMapIn(page, zoomSteps);
        await screenshot(page, "region-1-empty-map");

        // Four vertex clicks; each shows its handle at once, a line joins the first two, the polygon comes with
        // the third.
        const box = await map.boundingBox();
        const cx = box.width / 2;
        const cy = box.height / 2;
        const corners = [
            [cx - 60, cy - 40],
            [cx + 60, cy - 40],
            [cx + 60, cy + 40],
            [cx - 60, cy + 40],
        ];
        const outline = page.locator(".leaflet-overlay-pane path.region-outline");
        const handles = page.locator(".region-vertex");
        for (const [index, [x, y]] of corners.entries()) {
            await map.click({ position: { x, y } });
            await page.locator(".region-count", { hasText: String(index + 1) }).waitFor();
            assert.equal(await handles.count(), index + 1, `handles after ${index + 1} vertices`);
            assert.equal(await outline.count(), index >= 1 ? 1 : 0, `outline after ${index + 1} vertices`);
        }
        assert.equal(await page.getByRole("button", { name: "Apply Region" }).isEnabled(), true);
        assert.match(await page.locator(".region-subtitle").textContent(), /^-?\d+\.\d{4}, -?\d+\.\d{4}$/);

        // Ctrl-Z takes back the newest vertex; clicked again, it returns.
        await page.keyboard.press("Control+z");
        await page.locator(".region-count", { hasText: "3" }).waitFor();
        await map.click({ position: { x: corners[3][0], y: corners[3][1] } });
        await page.locator(".region-count", { hasText: "4" }).waitFor();

        // Drag the second vertex away; Ctrl-Z puts it back, Ctrl-Shift-Z moves it again.
        const second = handles.nth(1);
        const from = await handleCentre(second);
        await page.mouse.move(from.x, from.y);
        await page.mouse.down();
        await page.mouse.move(from.x + 20, from.y - 15, { steps: 5 });
        await page.mouse.up();
        const to = await handleCentre(second);
        assert.ok(
            Math.abs(to.x - from.x - 20) <= 2 && Math.abs(to.y - from.y + 15) <= 2,
            "the vertex follows the drag",
        );
        await page.keyboard.press("Control+z");
        await waitForHandleAt(second, from, "undo");
        await page.keyboard.press("Control+Shift+z");
        await waitForHandleAt(second, to, "redo");
        assert.equal(await page.locator(".region-count").textContent(), "4");

        // Alt-click near the eastern shore for the emission point: no vertex, the radius slider instead of the
        // hint. The current flows east at 0°, so the particles meet that shore at once.
        await map.click({ position: { x: cx + 52, y: cy }, modifiers: ["Alt"] });
        await page.locator(".region-marker-emission").waitFor();
        await page.getByText("Emission Radius").waitFor();
        assert.equal(await page.locator(".region-count").textContent(), "4");
        assert.equal(await page.getByText("Alt+Click or Shift+Click for Emission").count(), 0);
        await screenshot(page, "region-2-lake-drawn");

        // In a 900 × 600 window the bar wraps and stays whole: Apply is on screen and nothing is cut off.
        await page.setViewportSize({ width: 900, height: 600 });
        const bar = page.locator(".region-control-bar");
        const apply = await page.getByRole("button", { name: "Apply Region" }).boundingBox();
        assert.ok(apply.x + apply.width <= 900 && apply.y + apply.height <= 600, "Apply lies within the window");
        const clipped = await bar.evaluate((element) => element.scrollWidth > element.clientWidth);
        assert.equal(clipped, false, "the bar shows all of its controls");
        await screenshot(page, "region-2b-900x600");
        await page.setViewportSize({ width: 1100, height: 720 });

        // The File menu, open over the map's zoom control, takes the clicks aimed there.
        await page.getByRole("menuitem", { name: "File", exact: true }).click();
        const zoom = await page.locator(".leaflet-control-zoom-in").boundingBox();
        const isMenuOnTop = await page.evaluate(
            ([x, y]) => document.elementFromPoint(x, y)?.closest(".menu-items") != null,
            [zoom.x + zoom.width / 2, zoom.y + zoom.height / 2],
        );
        assert.ok(isMenuOnTop, "the menu lies over the map's zoom control");
        await page.keyboard.press("Escape");
        await page.getByRole("button", { name: "Apply Region" }).click();

        // A run needs the physical parameters, made on their first edit: a strong current.
        await page.getByText("Physical Parameters", { exact: true }).first().click();
        await page.locator("#parameters-flowSpeed").fill("1.5");
        await page.locator('[data-control="flowSpeed"] .control-value', { hasText: "1.50 m/s" }).waitFor();

        // The renderer at 60x: the particles move between two looks at the canvas.
        await page.getByText("Simulation Renderer", { exact: true }).click();
        await page.locator(".renderer-canvas").waitFor();
        await page.locator(".renderer-speed select").selectOption("60");
        await page.locator(".renderer-play-pause").click();
        await page.locator(".renderer-badge").waitFor();
        await sleep(500);
        const before = await canvasPixels(page);
        await sleep(1500);
        const after = await canvasPixels(page);
        assert.notEqual(after, before, "the canvas changed while the simulation ran");
        await screenshot(page, "region-3-running");

        // The analysis screen counts stranded particles as the run goes on.
        await page.getByText("Charts & Heatmaps", { exact: true }).click();
        const accumulated = page.locator(".metric-card", { hasText: "Accumulated" }).locator(".metric-card-value");
        await page.waitForFunction((element) => Number(element.textContent) > 0, await accumulated.elementHandle(), {
            timeout: 30_000,
        });
        const seedLine = await page.locator(".run-seed").textContent();
        assert.match(seedLine, /^Seed (\d+) · repeat with pelagrin run .+\.pelagrinproj'? --seed \1 --speed 60$/);
        const maxSpeed = page.locator(".metric-card", { hasText: "Max Speed" }).locator(".metric-card-value");
        assert.match(await maxSpeed.textContent(), /^\d+\.\d+ (m|mm)\/s$/);
        await screenshot(page, "region-4-analysis");

        // Paused and exported again, the file is there: the dialog asks before it writes over it.
        await page.keyboard.press("Control+r");
        await page.getByRole("toolbar").getByRole("button", { name: "Play" }).waitFor();
        await page.getByRole("button", { name: "Export CSV" }).click();
        await dialog.getByRole("button", { name: "Save", exact: true }).click();
        await dialog.getByText("“SimulationData.csv” already exists. Do you want to replace it?").waitFor();
        await screenshot(page, "analysis-3-replace-question");
        await dialog.getByRole("button", { name: "Replace" }).click();
        await alert.getByText(`The simulation data was saved to ${csvFile}.`).waitFor();
        const lines = (await readFile(csvFile, "utf8")).trim().split("\n");
        assert.equal(lines[0], timelineCsvHeader);
        assert.ok(lines.length > 1, "the timeline holds samples of the run");
    });
});
