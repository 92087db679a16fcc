// A project file opened from outside the app while it runs: a second `pelagrin FILE` hands the file to the
// running app, whose next window shows that project while the first window keeps what it showed.
import assert from "node:assert/strict";
import { execFile } from "node:child_process";
import { copyFile } from "node:fs/promises";
import path from "node:path";
import { fileURLToPath } from "node:url";
import { promisify } from "node:util";
import { test } from "node:test";
import { appEnvironment, binary, screenshot, withApp } from "./harness.mjs";

const example = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "../../examples/kettle-pond.pelagrinproj");

test("a second pelagrin FILE opens the file in a new window of the running app", async () => {
    await withApp(async ({ app, page, home }) => {
        await page.getByText("No recent projects").waitFor();
        const file = path.join(home.home, "Documents", "Kettle Pond.pelagrinproj");
        await copyFile(example, file);
        const env = appEnvironment(home);

        // A file that is not there opens nothing and says so.
        const missing = path.join(home.home, "missing.pelagrinproj");
        await assert.rejects(promisify(execFile)(binary, [missing], { env }), (error) => {
            assert.equal(error.code, 1);
            assert.equal(error.stderr, `Cannot open ${missing}: no such file\n`);
            return true;
        });

        const handed = await promisify(execFile)(binary, [file], { env, timeout: 20_000 });
        assert.match(handed.stdout, /already running/);
        // The file waits for the app's next window from before the handover returns.
        const second = await page.context().newPage();
        await second.goto(app.url);
        await second.waitForFunction(() => document.title === "Kettle Pond");
        await second.getByRole("button", { name: "Get Started" }).click();
        await screenshot(second, "open-file");
        assert.equal(await page.title(), "Pelagrin");
        // The first window stays on the welcome, which now lists the project among the recent ones.
        await page.getByText("New Project", { exact: true }).waitFor();
        assert.ok(app.output.some((line) => line.startsWith(`📂 ${file} opens in the next window`)));
    });
});
