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

/** The drawn box once the canvas shows something, after the map has settled. */
async function settledBox(page) {
    let box = null;
    for (let tries = 0; box === null && tries < 50; tries++) {
        await page.waitForTimeout(100);
        box = await drawnBox(page);
    }
    assert.ok(box !== null, "the lake is drawn");
    return box;
}

test("the renderer keeps the lake's proportions in a wide and in a tall window, and Fit shows it whole", async () => {
    const prepare = async (home) => reopenAtLaunch(home, "Valley Lake", await readExample("valley-lake"));
    await withApp(
        async ({ page }) => {
            // No particles are out before a run: what is drawn is the water.
            await page.setViewportSize({ width: 1200, height: 700 });
            await page.locator('[data-section="simulation"]').click();
            const wide = await settledBox(page);
            await screenshot(page, "renderer-proportions-1200x700");

            // The untouched view follows the window.
            await page.setViewportSize({ width: 700, height: 1000 });
            await page.waitForTimeout(300);
            const tall = await settledBox(page);
            await screenshot(page, "renderer-proportions-700x1000");
            const [wideRatio, tallRatio] = [wide.width / wide.height, tall.width / tall.height];
            assert.ok(
                Math.abs(wideRatio / tallRatio - 1) < 0.02,
                `the lake's width/height is ${wideRatio} wide and ${tallRatio} tall`,
            );

            // Zoomed in about the pointer, the lake outgrows the view; Fit brings it back whole.
            const map = await page.locator(".renderer-map").boundingBox();
            await page.mouse.move(map.x + map.width / 2, map.y + map.height / 2);
            await page.mouse.wheel(0, -600);
            await page.waitForTimeout(300);
            const zoomed = await settledBox(page);
            assert.ok(zoomed.width > tall.width, `zoomed in: ${zoomed.width} px wide, fitted ${tall.width}`);
            await page.getByRole("button", { name: "Fit" }).click();
            await page.waitForTimeout(300);
            const fitted = await settledBox(page);
            assert.ok(Math.abs(fitted.width - tall.width) <= 2 && Math.abs(fitted.height - tall.height) <= 2);
        },
        { prepare },
    );
});
