// The renderer draws the lake in its true proportions: the valley lake example, opened in a wide and in a tall
// window, is drawn with the same width-to-height ratio in both.
import assert from "node:assert/strict";
import { test } from "node:test";
import { readExample, reopenAtLaunch, screenshot, withApp } from "./harness.mjs";

/** The box round every pixel the renderer's canvas has drawn, device pixels; `null` while it is blank. */
function drawnBox(page) {
    return page.locator(".renderer-canvas").evaluate((canvas) => {
        const { width, height } = canvas;
        if (width === 0 || height === 0) return null;
        const alpha = canvas.getContext("2d").getImageData(0, 0, width, height).data;
        let [left, top, right, bottom] = [width, height, -1, -1];
        for (let y = 0; y < height; y++) {
            for (let x = 0; x < width; x++) {
                if (alpha[(y * width + x) * 4 + 3] === 0) continue;
                left = Math.min(left, x);
                right = Math.max(right, x);
                top = Math.min(top, y);
                bottom = Math.max(bottom, y);
            }
        }
        return right < 0 ? null : { width: right - left + 1, height: bottom - top + 1 };
    });
}

test("the renderer keeps the lake's proportions in a wide and in a tall window", async () => {
    const prepare = async (home) => reopenAtLaunch(home, "Valley Lake", await readExample("valley-lake"));
    await withApp(
        async ({ page }) => {
            const ratios = [];
            for (const [width, height] of [
                [1200, 700],
                [700, 1000],
            ]) {
                await page.setViewportSize({ width, height });
                await page.reload();
                await page.locator('[data-section="simulation"]').click();
                await page.getByRole("button", { name: "Fit" }).click();
                // The water is drawn once the map has its size; no particles are out before a run.
                let box = null;
                for (let tries = 0; box === null && tries < 50; tries++) {
                    await page.waitForTimeout(100);
                    box = await drawnBox(page);
                }
                assert.ok(box !== null, `the lake is drawn at ${width} × ${height}`);
                ratios.push(box.width / box.height);
                await screenshot(page, `renderer-proportions-${width}x${height}`);
            }
            const [wide, tall] = ratios;
            assert.ok(Math.abs(wide / tall - 1) < 0.02, `the lake's width/height is ${wide} wide and ${tall} tall`);
        },
        { prepare },
    );
});
