// jsdom lays nothing out and so has no ResizeObserver; the region map only needs one to exist.
import { vi } from "vitest";

vi.stubGlobal(
    "ResizeObserver",
    class {
        observe(): void {}
        disconnect(): void {}
    },
);
