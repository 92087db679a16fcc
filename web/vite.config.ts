// Build of the page the app serves at `/`, and the unit tests' environment.
import { defineConfig } from "vitest/config";

export default defineConfig({
    // Relative asset paths, so the page works from whatever folder the server maps to `/`.
    base: "./",
    build: {
        outDir: "dist",
        emptyOutDir: true,
        target: "es2022",
    },
    test: {
        environment: "jsdom",
        include: ["tests/**/*.test.ts"],
    },
});
