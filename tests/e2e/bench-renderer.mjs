// Measures the simulation renderer: a 20,000-particle run at 60x in headless Chromium, reporting the particle
// frames the page draws per second against those the app publishes, then the pictures per second a pan of the
// paused run redraws. A measurement, not a test: it asserts nothing. Run with node, PELAGRIN_BINARY pointing at
// an optimised build (`make bench` makes one):
//   PELAGRIN_BINARY=build-release/src/app/pelagrin node tests/e2e/bench-renderer.mjs [seconds]
import { rm } from "node:fs/promises";
import { launchBrowser, makeHome, readExample, reopenAtLaunch, startApp } from "./harness.mjs";

const particleCount = 20_000;
const warmUpMs = 3_000;
const measuredMs = Number(process.argv[2] ?? 10) * 1000;

/** The valley lake example with 20,000 particles, reopened at launch as the last project. */
async function prepareHome() {
    const home = await makeHome();
    const example = await readExample("valley-lake");
    example.parameters.particles.count = particleCount;
    await reopenAtLaunch(home, "Bench Lake", example);
    return home;
}

/** Frames drawn, the newest frame number received and animation frames run so far, read in the page. */
function sample(page) {
    return page.evaluate(() => {
        const renderer = document.querySelector("pelagrin-simulation-renderer");
        return {
            at: performance.now(),
            drawn: renderer.framesDrawn,
            published: renderer.frames.frame?.frameNumber ?? 0,
            animationFrames: window.benchAnimationFrames,
        };
    });
}

const home = await prepareHome();
const app = await startApp(home);
const browser = await launchBrowser();
try {
    const page = browser.context.pages()[0] ?? (await browser.context.newPage());
    page.setDefaultTimeout(15_000);
    // Counts the page's animation frames, to tell a busy page from an idle one.
    await page.addInitScript(() => {
        window.benchAnimationFrames = 0;
        const count = () => {
            window.benchAnimationFrames++;
            requestAnimationFrame(count);
        };
        requestAnimationFrame(count);
    });
    await page.goto(app.url);
    await page.locator('[data-section="simulation"]').click();
    await page.locator(".renderer-speed select").selectOption("60");
    await page.locator(".renderer-play-pause").click();
    await page.locator(".renderer-badge").waitFor();
    await page.waitForTimeout(warmUpMs);

    const first = await sample(page);
    await page.waitForTimeout(measuredMs);
    const last = await sample(page);
    const seconds = (last.at - first.at) / 1000;
    const rate = (key) => ((last[key] - first[key]) / seconds).toFixed(1);
    const viewport = page.viewportSize();
    console.log(
        `renderer: ${particleCount} particles at 60x, ${viewport.width}×${viewport.height}, ${seconds.toFixed(1)} s`,
    );
    console.log(`  particle frames drawn:     ${rate("drawn")} /s`);
    console.log(`  particle frames published: ${rate("published")} /s`);
    console.log(`  page animation frames:     ${rate("animationFrames")} /s`);

    // Paused, a continuous pan redraws the last snapshot on every animation frame: what the drawing alone
    // sustains, whatever the engine's pace.
    await page.locator(".renderer-play-pause").click();
    const box = await page.locator(".renderer-canvas").boundingBox();
    const centre = { x: box.x + box.width / 2, y: box.y + box.height / 2 };
    await page.mouse.move(centre.x, centre.y);
    await page.mouse.down();
    const before = await sample(page);
    for (let step = 0; (await page.evaluate(() => performance.now())) - before.at < measuredMs / 2; step++) {
        const angle = step / 10;
        await page.mouse.move(centre.x + 60 * Math.cos(angle), centre.y + 60 * Math.sin(angle));
    }
    const after = await sample(page);
    await page.mouse.up();
    const panSeconds = (after.at - before.at) / 1000;
    console.log(
        `  pictures while panning:    ${((after.animationFrames - before.animationFrames) / panSeconds).toFixed(1)} /s`,
    );
} finally {
    await browser.close();
    await app.stop();
    await rm(home.home, { recursive: true, force: true });
}
