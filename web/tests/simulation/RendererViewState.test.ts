import { describe, expect, it } from "vitest";
import {
    beginPan,
    clampZoom,
    endPan,
    initialRendererView,
    movePan,
    type RendererViewState,
    viewMapping,
    viewX,
    viewY,
} from "../../src/simulation/RendererViewState";

function mapped(state: RendererViewState, x: number, y: number) {
    const mapping = viewMapping(state, { width: 1000, height: 500 });
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
    const panned = {
        ...initialRendererView,
        zoom: 0.5,
        offset: { width: 30, height: -10 },
        dragOffset: { width: 5, height: 5 },
    };
    it.each([
        ["zoom 1 stretches the nominal canvas to the view", initialRendererView, [400, 300], { x: 500, y: 250 }],
        ["zoom 1, far corner", initialRendererView, [800, 600], { x: 1000, y: 500 }],
        ["zoom 1, origin", initialRendererView, [0, 0], { x: 0, y: 0 }],
        ["zooms about the top-left corner", { ...initialRendererView, zoom: 2 }, [400, 300], { x: 1000, y: 500 }],
        ["then shifts by the pan and the drag in progress", panned, [800, 600], { x: 535, y: 245 }],
    ] as const)("%s", (_, state, [x, y], expected) => {
        expect(mapped(state, x, y)).toEqual(expected);
    });

    it("keeps the zoom within 0.2 to 5", () => {
        expect([0.1, 7, 1.25].map(clampZoom)).toEqual([0.2, 5, 1.25]);
    });
});

describe("panning by dragging", () => {
    it("adds each drag's final translation to the offset and clears the drag in progress", () => {
        const first = drag(initialRendererView, [[30, -10]]);
        // The second one moves far enough to begin, then ends only (5, 5) from where it began.
        const second = drag(first, [
            [15, 5],
            [5, 5],
        ]);
        expect(second.offset).toEqual({ width: 35, height: -5 });
        expect(second.dragOffset).toEqual({ width: 0, height: 0 });
    });

    it("shows the drag in progress as its whole translation once it has begun, even back within 10 points", () => {
        let gesture = beginPan({ x: 0, y: 0 });
        let state = initialRendererView;
        ({ view: state, gesture } = movePan(state, gesture, { x: 6, y: 8 }));
        expect(state.dragOffset).toEqual({ width: 6, height: 8 });
        ({ view: state, gesture } = movePan(state, gesture, { x: 2, y: 1 }));
        expect(state.dragOffset).toEqual({ width: 2, height: 1 });
        expect(gesture.isPanning).toBe(true);
    });

    it("does not pan for a drag that stays within 10 points of where it began", () => {
        expect(
            drag(initialRendererView, [
                [6, 7],
                [-9, 0],
                [4, 4],
            ]),
        ).toEqual(initialRendererView);
        const moved = movePan(initialRendererView, beginPan({ x: 0, y: 0 }), { x: 9.9, y: 0 });
        expect(moved.view.dragOffset).toEqual({ width: 0, height: 0 });
        expect(moved.gesture.isPanning).toBe(false);
    });
});
