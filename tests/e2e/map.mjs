// The region screen's map as a user drives it: its own zoom button, one step at a time.
import { setTimeout as sleep } from "node:timers/promises";

/** Zooms the region map in by `steps` levels, waiting out each step's animation. */
export async function zoomMapIn(page, steps) {
    const zoomIn = page.locator(".leaflet-control-zoom-in");
    for (let step = 0; step < steps; step++) {
        await zoomIn.click();
        await page.locator(".region-map.leaflet-zoom-anim").waitFor({ state: "detached" });
        // A click during the map's last frames of a zoom is dropped; let it settle.
        await sleep(150);
    }
}
