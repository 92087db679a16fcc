import { describe, expect, it } from "vitest";
import { decodeChanges, type WindowState } from "../../src/app/WindowState";
import { StateStore } from "../../src/app/StateStore";
import { projectChanges, welcomeChanges } from "../support";

describe("the state store applies the app's changes", () => {
    it("has no state until every key has arrived, and tells nobody before", () => {
        const store = new StateStore();
        const seen: WindowState[] = [];
        store.subscribe((state) => seen.push(state));
        store.apply(decodeChanges({ root: welcomeChanges()["root"] }));
        expect(store.state).toBeNull();
        expect(seen).toHaveLength(0);
        store.apply(decodeChanges(welcomeChanges()));
        expect(store.state?.root.title).toBe("Pelagrin");
        expect(seen).toHaveLength(1);
    });

    it("replaces a changed key as a whole and keeps the others", () => {
        const store = new StateStore();
        store.apply(decodeChanges(projectChanges()));
        store.apply(decodeChanges({ project: { ...(projectChanges()["project"] as object), parameters: null, particles: null, isLoaded: false } }));
        expect(store.state?.project?.parameters).toBeNull();
        expect(store.state?.project?.isLoaded).toBe(false);
        expect(store.state?.root.title).toBe("Lake Study");
        store.apply(decodeChanges({ welcome: { recent: [{ path: "/home/a/Test.pelagrinproj", name: "Test" }] } }));
        store.apply(decodeChanges({ welcome: { recent: [] } }));
        expect(store.state?.welcome.recent).toEqual([]);
    });

    it("stops telling a listener once it unsubscribes", () => {
        const store = new StateStore();
        let calls = 0;
        const unsubscribe = store.subscribe(() => calls++);
        store.apply(decodeChanges(welcomeChanges()));
        unsubscribe();
        store.apply(decodeChanges({ preferences: { autoOpenLastProject: false } }));
        expect(calls).toBe(1);
        expect(store.state?.preferences.autoOpenLastProject).toBe(false);
    });
});
