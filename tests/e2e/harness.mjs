// Starts the built pelagrin in a home of its own and drives its page in headless Chromium.
import { spawn } from "node:child_process";
import { mkdir, mkdtemp, readFile, rm, writeFile } from "node:fs/promises";
import { tmpdir } from "node:os";
import path from "node:path";
import { createInterface } from "node:readline";
import { fileURLToPath } from "node:url";
import { chromium } from "playwright-core";

const repository = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "../..");

/** The executable under test; PELAGRIN_BINARY points elsewhere, for a sanitizer build say. */
export const binary = process.env.PELAGRIN_BINARY ?? path.join(repository, "build/src/app/pelagrin");

/** Where screenshots go; PELAGRIN_E2E_OUTPUT points elsewhere. */
export const outputDir = process.env.PELAGRIN_E2E_OUTPUT ?? path.join(repository, "test-output/e2e");

export const chromiumPath = process.env.PELAGRIN_CHROMIUM ?? "/usr/bin/chromium";

/** How long the app may take to print its address before the start counts as failed. */
const startupLimitMs = 20_000;

/** The address the app prints once it serves, token included. */
const urlPattern = /http:\/\/127\.0\.0\.1:\d+\/\?token=[A-Za-z0-9_-]+/;

/**
 * A fresh home with the XDG folders and a Documents folder, so that a run sees a first launch and leaves
 * nothing behind in the user's own.
 */
export async function makeHome() {
    const home = await mkdtemp(path.join(tmpdir(), "pelagrin-e2e-home-"));
    const folders = {
        XDG_CONFIG_HOME: path.join(home, ".config"),
        XDG_DATA_HOME: path.join(home, ".local/share"),
        XDG_CACHE_HOME: path.join(home, ".cache"),
        XDG_STATE_HOME: path.join(home, ".local/state"),
        XDG_RUNTIME_DIR: path.join(home, "run"),
    };
    for (const folder of [...Object.values(folders), path.join(home, "Documents")]) {
        await mkdir(folder, { recursive: true, mode: 0o700 });
    }
    return { home, env: { HOME: home, ...folders } };
}

/** The environment pelagrin runs in with `home`: the user's own XDG folders are out of reach, every one replaced. */
export function appEnvironment(home) {
    const env = Object.fromEntries(Object.entries(process.env).filter(([name]) => !name.startsWith("XDG_")));
    return { ...env, ...home.env };
}

/**
 * Starts `pelagrin --no-browser --port 0` with `home` and resolves once it has printed its URL; rejects
 * when it exits first or stays silent too long.
 */
export async function startApp(home, args = []) {
    const child = spawn(binary, ["--no-browser", "--port", "0", ...args], {
        env: appEnvironment(home),
        stdio: ["ignore", "pipe", "pipe"],
    });
    const output = [];
    child.stderr.setEncoding("utf8");
    child.stderr.on("data", (text) => output.push(text));
    const url = await new Promise((resolve, reject) => {
        const timer = setTimeout(() => {
            reject(new Error(`pelagrin printed no URL within ${startupLimitMs} ms:\n${output.join("")}`));
        }, startupLimitMs);
        const lines = createInterface({ input: child.stdout });
        lines.on("line", (line) => {
            output.push(`${line}\n`);
            const match = urlPattern.exec(line);
            if (match === null) return;
            clearTimeout(timer);
            resolve(match[0]);
        });
        child.on("error", (error) => {
            clearTimeout(timer);
            reject(new Error(`pelagrin could not be started (${binary}): ${error.message}`));
        });
        child.on("exit", (code, signal) => {
            clearTimeout(timer);
            reject(new Error(`pelagrin exited (${signal ?? code}) before printing its URL:\n${output.join("")}`));
        });
    });
    return {
        url,
        output,
        async stop() {
            if (child.exitCode !== null || child.signalCode !== null) return;
            const exited = new Promise((resolve) => child.once("exit", resolve));
            child.kill("SIGTERM");
            await exited;
        },
    };
}

/** Headless Chromium with a profile of its own that nothing else shares. */
export async function launchBrowser() {
    const profile = await mkdtemp(path.join(tmpdir(), "pelagrin-e2e-chromium-"));
    const context = await chromium.launchPersistentContext(profile, {
        executablePath: chromiumPath,
        headless: true,
        viewport: { width: 1100, height: 720 },
        args: [
            "--no-sandbox",
            "--disable-gpu",
            "--disable-background-networking",
            "--disable-component-update",
            "--disable-sync",
            "--no-first-run",
        ],
    });
    return {
        context,
        async close() {
            await context.close();
            await rm(profile, { recursive: true, force: true });
        },
    };
}

/** Writes a full-page screenshot to the output folder and returns its path. */
export async function screenshot(page, name) {
    await mkdir(outputDir, { recursive: true });
    const file = path.join(outputDir, `${name}.png`);
    // Finished animations: a screenshot shows the screen as it settles, not halfway through a fade.
    await page.screenshot({ path: file, fullPage: true, animations: "disabled" });
    return file;
}

/** The first line of an exported timeline CSV. */
export const timelineCsvHeader =
    "Time (s),Stuck Particles,Active Particles,Avg Speed (Global),Active Avg Speed,Max Speed";

/**
 * Refuses every request of the page that leaves the machine, the map's tiles above all, at once: nothing
 * waits on a network the tests do not have.
 */
export async function blockOutsideRequests(context) {
    await context.route(
        (url) => url.hostname !== "127.0.0.1" && url.hostname !== "localhost",
        (route) => route.abort("internetdisconnected"),
    );
}

/** Creates a project named `name` in Documents, the creation sheet's default folder, past its onboarding. */
export async function createProject(page, name) {
    await page.getByText("New Project", { exact: true }).click();
    await page.getByLabel("Project Name").fill(name);
    await page.getByRole("button", { name: "Create", exact: true }).click();
    await page.getByRole("button", { name: "Get Started" }).click();
    await page.getByText("Welcome to Pelagrin!").waitFor({ state: "detached" });
}

/**
 * Writes `project` (a project file's JSON) into `home`'s Documents as `name` and settings that reopen it at
 * launch, past the onboarding.
 */
export async function reopenAtLaunch(home, name, project) {
    const projectFile = path.join(home.home, "Documents", `${name}.pelagrinproj`);
    await writeFile(projectFile, JSON.stringify(project));
    const config = path.join(home.env.XDG_CONFIG_HOME, "Pelagrin");
    await mkdir(config, { recursive: true });
    await writeFile(
        path.join(config, "settings.json"),
        JSON.stringify({ autoOpenLastProject: true, hasSeenOnboarding: true, lastOpenedProjectURL: projectFile }),
    );
}

/** An example project's JSON, from the repository's examples folder. */
export async function readExample(name) {
    return JSON.parse(await readFile(path.join(repository, "examples", `${name}.pelagrinproj`), "utf8"));
}

/**
 * Runs `body` with a started app, a browser and a page opened at the app's URL, and tears all three down
 * whatever happens, the home folder too. `env` adds variables to the app's environment; `prepare` is given the
 * home before the app starts.
 */
export async function withApp(body, { env = {}, prepare = async () => {} } = {}) {
    const home = await makeHome();
    let app = null;
    let browser = null;
    try {
        await prepare(home);
        app = await startApp({ ...home, env: { ...home.env, ...env } });
        browser = await launchBrowser();
        await blockOutsideRequests(browser.context);
        const page = browser.context.pages()[0] ?? (await browser.context.newPage());
        await page.goto(app.url);
        await body({ app, page, home });
    } finally {
        await browser?.close();
        await app?.stop();
        await rm(home.home, { recursive: true, force: true });
    }
}
