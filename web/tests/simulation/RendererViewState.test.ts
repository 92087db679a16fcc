import { describe, expect, it } from "vitest";
import {
    beginPan,
    clampZoom,
    endPan,
    initialRendererView,
    movePan,
    type Point,
    type RendererViewState,
    viewMapping,
    viewX,
    viewY,
} from "../../src/simulation/RendererViewState";

const view = { width: 1000, height: 500 };

function mapped(state: RendererViewState, x: number, y: number): Point {
    const mapping = viewMapping(state, view);
    return { x: viewX(mapping, x), y: viewY(mapping, y) };
}

/** A whole drag along `path` (view points from where it began), ended at its last point. */
function drag(state: RendererViewState, path: [number, number][]): RendererViewState {
    let gesture = beginPan({ x: 100, y: 100 });
    let current = state;
    for (const [dx, dy] of path.slice(0, -1)) {
        ({ view: current, gesture } = movePan(current, gesture, { x: 100 + dx, y: 100 + dy }));
    }
    const [endX, endY] = path[path.length - 1] ?? [0, 0];
    return endPan(current, gesture, { x: 100 + endX, y: 100 + endY });
}

describe("the mapping of simulation points onto the view", () => {
    it("stretches the nominal canvas to the view in each axis at zoom 1", () => {
        expect(mapped(initialRendererView, 400, 300)).toEqual({ x: 500, y: 250 });
        expect(mapped(initialRendererView, 800, 600)).toEqual({ x: 1000, y: 500 });
        expect(mapped(initialRendererView, 0, 0)).toEqual({ x: 0, y: 0 });
    });

    it("zooms about the top-left corner and then shifts by the pan and the drag in progress", () => {
        expect(mapped({ ...initialRendererView, zoom: 2 }, 400, 300)).toEqual({ x: 1000, y: 500 });
        const panned: RendererViewState = {
            ...initialRendererView,
            zoom: 0.5,
            offset: { width: 30, height: -10 },
            dragOffset: { width: 5, height: 5 },
        };
        expect(mapped(panned, 800, 600)).toEqual({ x: 535, y: 245 });
    });

    it("keeps the zoom within 0.2 to 5", () => {
        expect(clampZoom(0.1)).toBe(0.2);
        expect(clampZoom(7)).toBe(5);
        expect(clampZoom(1.25)).toBe(1.25);
    });
});

describe("panning by dragging", () => {
    it("adds each drag's final translation to the offset and clears the drag in progress", () => {
        const first = drag(initialRendererView, [[30, -10]]);
        // The second one moves far enough to begin, then ends only (5, 5) from where it began.
        const second = drag(first, [[15, 5], [5, 5]]);
        expect(second.offset).toEqual({ width: 35, height: -5 });
        expect(second.dragOffset).toEqual({ width: 0, height: 0 });
    });

    it("shows the drag in progress as its whole translation once it has begun", () => {
        let gesture = beginPan({ x: 0, y: 0 });
        let state = initialRendererView;
        ({ view: state, gesture } = movePan(state, gesture, { x: 6, y: 8 }));
        expect(state.dragOffset).toEqual({ width: 6, height: 8 }) ;
        ({ view: state, gesture } = movePan(state, gesture, { x: 2, y: 1 }));
        expect(state.dragOffset).toEqual({ width: 2, height: 1 }) ;
        expect(gesture.isPanning).toBe(true);
    });

    it("does not pan for a drag that stays within 10 points of where it began", () => {
        const state = drag(initialRendererView, [[6, 7], [-9, 0], [4, 4]]);
        expect(state).toEqual(initialRendererView);
        let gesture = beginPan({ x: 0, y: 0 });
        const moved = movePan(initialRendererView, gesture, { x: 9.9, y: 0 });
        gesture = moved.gesture;
        expect(moved.view.dragOffset).toEqual({ width: 0, height: 0 });
        expect(gesture.isPanning).toBe(false);
    });
});
