// The analysis screen before any run: its placeholders, and "Export CSV" through the in-app save dialog
// writing the timeline's header into the project's folder, saying where it went, and asking before it
// writes over that file again.
import assert from "node:assert/strict";
import { readFile } from "node:fs/promises";
import path from "node:path";
import { test } from "node:test";
import { createProject, screenshot, timelineCsvHeader, withApp } from "./harness.mjs";

test("see the empty analysis screen and export its CSV", async () => {
    await withApp(async ({ page, home }) => {
        page.setDefaultTimeout(8000);
        const documents = path.join(home.home, "Documents");

        await createProject(page, "Export Study");

        // No run yet: zeros on the cards and both placeholders.
        await page.getByText("Charts & Heatmaps", { exact: true }).click();
        await page.getByText("Run simulation to gather data").waitFor();
        await page.locator(".chart-placeholder", { hasText: "No data" }).waitFor();
        assert.deepEqual(await page.locator(".metric-card-value").allTextContents(), [
            "0",
            "0",
            "0",
            "0.0 mm/s",
            "0.0 mm/s",
        ]);
        await screenshot(page, "analysis-1-placeholders");

        // The save dialog proposes its name in the project's folder; Save writes there, closes and says where.
        await page.getByRole("button", { name: "Export CSV" }).click();
        const dialog = page.locator(".file-dialog");
        await dialog.getByText("Export CSV").waitFor();
        assert.equal(await dialog.locator(".file-name").inputValue(), "SimulationData.csv");
        await dialog.locator(".file-dialog-folder", { hasText: documents }).waitFor();
        await screenshot(page, "analysis-2-save-dialog");
        await dialog.getByRole("button", { name: "Save", exact: true }).click();
        await dialog.waitFor({ state: "detached" });
        const csvFile = path.join(documents, "SimulationData.csv");
        const alert = page.locator(".app-alert");
        await alert.getByText(`The simulation data was saved to ${csvFile}.`).waitFor();
        await alert.getByRole("button", { name: "OK" }).click();

        const written = await readFile(csvFile, "utf8");
        assert.equal(written.split("\n")[0], timelineCsvHeader);
        assert.equal(written, `${timelineCsvHeader}\n`, "an empty timeline exports the header alone");

        await page.getByRole("button", { name: "Export CSV" }).click();
        await dialog.getByRole("button", { name: "Save", exact: true }).click();
        await dialog.getByText("“SimulationData.csv” already exists. Do you want to replace it?").waitFor();
        await screenshot(page, "analysis-3-replace-question");
        await dialog.getByRole("button", { name: "Replace" }).click();
        await alert.getByText(`The simulation data was saved to ${csvFile}.`).waitFor();
    });
});
