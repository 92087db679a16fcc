// Where the plastic goes: an example project run to its end at 300x, its deposits on the analysis screen's map
// (the bed heatmap, the shore coloured by what stranded there, the stretches named in words), and "Export
// Deposits" through the save dialog writing a GeoJSON file whose points are the run's resting particles; then an
// ensemble of three members from the menu bar, its band on the timeline and its probability on the same map.
import assert from "node:assert/strict";
import { copyFile, readFile } from "node:fs/promises";
import path from "node:path";
import { test } from "node:test";
import { fileURLToPath } from "node:url";
import { screenshot, withApp } from "./harness.mjs";

const example = fileURLToPath(new URL("../../examples/sheltered-bay.pelagrinproj", import.meta.url));

test("run an example to its end, map and export where its particles came to rest, then run an ensemble of it", async () => {
    await withApp(async ({ page, home }) => {
        page.setDefaultTimeout(10_000);
        const documents = path.join(home.home, "Documents");
        await copyFile(example, path.join(documents, "sheltered-bay.pelagrinproj"));

        // Open the example from the welcome and run it to its six hours at 300x.
        await page.getByRole("button", { name: /^Open\.\.\./ }).click();
        await page.getByRole("button", { name: "sheltered-bay.pelagrinproj" }).dblclick();
        await page.getByRole("button", { name: "Get Started" }).click();
        await page.getByText("Simulation Renderer", { exact: true }).click();
        await page.locator(".renderer-speed select").selectOption("300");
        await page.getByRole("toolbar").getByRole("button", { name: "Play" }).click();
        const badge = page.getByRole("status", { name: "Elapsed" });
        await badge.getByText(/^Finished at 6 h 00 min/).waitFor({ timeout: 60_000 });
        const counts = /· (\d+) stranded · (\d+) sedimented/.exec(await badge.textContent());
        assert.ok(counts !== null);
        const [stranded, sedimented] = [Number(counts[1]), Number(counts[2])];
        assert.ok(stranded > 0, "the bay strands some of its particles");

        // The map: the heatmap over the lake, the shore coloured where particles stranded, and the words.
        await page.getByText("Charts & Heatmaps", { exact: true }).click();
        await page.getByRole("img", { name: "Deposit map" }).waitFor();
        await page.locator("img.deposit-heatmap").waitFor();
        const crowded = page.locator("path.deposit-shore-stranded");
        await crowded.first().waitFor();
        assert.notEqual(await crowded.first().getAttribute("stroke"), "#8e8e93");
        await page.getByText("Sediment (particles/km²)").waitFor();
        await page.getByText("Stranded (particles per 100 m of shore)").waitFor();
        const top = await page
            .getByRole("list", { name: "Most stranded shore" })
            .getByRole("listitem")
            .allTextContents();
        assert.ok(top.length > 0);
        for (const sentence of top)
            assert.match(sentence, /^Shore at [\d.]+° [NS], [\d.]+° [EW]: \d+ particles?, [\d.]+ % of all$/);
        await page.getByRole("img", { name: "Deposit map" }).scrollIntoViewIfNeeded();
        await screenshot(page, "deposits-1-map");

        // Export: the save dialog proposes Deposits.geojson in the project's folder.
        await page.getByRole("button", { name: "Export Deposits" }).click();
        const dialog = page.locator(".file-dialog");
        await dialog.getByText("Export Deposits").waitFor();
        assert.equal(await dialog.locator(".file-name").inputValue(), "Deposits.geojson");
        await dialog.getByRole("button", { name: "Save", exact: true }).click();
        await dialog.waitFor({ state: "detached" });
        const file = path.join(documents, "Deposits.geojson");
        await page.locator(".app-alert").getByText(`The simulation data was saved to ${file}.`).waitFor();

        const geoJson = JSON.parse(await readFile(file, "utf8"));
        assert.equal(geoJson.type, "FeatureCollection");
        const kinds = (type) => geoJson.features.filter((feature) => feature.geometry.type === type);
        const status = (name) => kinds("Point").filter((point) => point.properties.status === name).length;
        assert.equal(kinds("Polygon").length, 1);
        assert.equal(status("stranded"), stranded);
        assert.equal(status("sedimented"), sedimented);
        assert.equal(
            kinds("LineString").reduce((sum, line) => sum + line.properties.stranded, 0),
            stranded,
        );

        // An ensemble of the same project: three members, their band and where they left plastic.
        await page.locator(".app-alert").getByRole("button", { name: "OK" }).click();
        await page.getByRole("menuitem", { name: "Simulation", exact: true }).click();
        await page.getByRole("menuitem", { name: /Run Ensemble/ }).click();
        const ensemble = page.getByRole("dialog", { name: "Run Ensemble" });
        await ensemble.getByLabel("Members").fill("1");
        await ensemble.getByRole("button", { name: "Run" }).click();
        await ensemble.getByRole("alert").getByText('Members must be a whole number from 2 to 200, got "1"').waitFor();
        await ensemble.getByLabel("Members").fill("3");
        await ensemble.getByLabel("Seed").fill("7");
        await ensemble.getByRole("checkbox", { name: "Vary flowSpeed" }).check();
        await ensemble.getByRole("button", { name: "Run" }).click();
        await page.getByText("5–95 % of 3 members").waitFor({ timeout: 120_000 });
        await page.getByRole("radio", { name: "Ensemble probability" }).check();
        await page.getByText("Members leaving plastic on the bed (%)").waitFor();
        await screenshot(page, "deposits-2-ensemble");
    });
});
