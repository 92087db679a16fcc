// The renderer's view state (zoom, pan, flow vectors), the mapping of simulation points onto the view, and the
// pan gesture's arithmetic. None of it is the app's: it starts afresh each time the renderer is shown.

/** A 2-D size or translation in view points. */
export interface Size {
    width: number;
    height: number;
}

export interface Point {
    x: number;
    y: number;
}

export interface RendererViewState {
    /** Scale factor about the view's top-left corner, `minZoom` to `maxZoom`. */
    zoom: number;
    /** Accumulated pan, view points. */
    offset: Size;
    /** Pan of the drag in progress, view points. */
    dragOffset: Size;
    showFlowVectors: boolean;
}

export const minZoom = 0.2;
export const maxZoom = 5.0;
/** A drag pans only once it has moved this far from where it began, view points. */
export const panMinimumDistance = 10;

/** The nominal simulation canvas every region is mapped onto, simulation px. */
export const canvasWidth = 800;
export const canvasHeight = 600;

export const initialRendererView: RendererViewState = {
    zoom: 1,
    offset: { width: 0, height: 0 },
    dragOffset: { width: 0, height: 0 },
    showFlowVectors: false,
};

export function clampZoom(zoom: number): number {
    return Math.min(maxZoom, Math.max(minZoom, zoom));
}

/**
 * The affine map S of a simulation point onto a view of `size`: the nominal canvas stretched to the view in each
 * axis, scaled by the zoom about the top-left corner and shifted by the pan. S(x, y) = (a·x + c, b·y + d).
 */
export interface ViewMapping {
    scaleX: number;
    scaleY: number;
    originX: number;
    originY: number;
}

export function viewMapping(view: RendererViewState, size: Size): ViewMapping {
    return {
        scaleX: (view.zoom * size.width) / canvasWidth,
        scaleY: (view.zoom * size.height) / canvasHeight,
        originX: view.offset.width + view.dragOffset.width,
        originY: view.offset.height + view.dragOffset.height,
    };
}

/** The view x of simulation x. */
export function viewX(mapping: ViewMapping, x: number): number {
    return mapping.originX + mapping.scaleX * x;
}

/** The view y of simulation y. */
export function viewY(mapping: ViewMapping, y: number): number {
    return mapping.originY + mapping.scaleY * y;
}

/** A drag on the canvas from the point where the pointer went down, view points. */
export interface PanGesture {
    start: Point;
    /** The drag has once moved `panMinimumDistance` away from its start and pans from then on. */
    isPanning: boolean;
}

export function beginPan(start: Point): PanGesture {
    return { start, isPanning: false };
}

function translation(gesture: PanGesture, to: Point): Size {
    return { width: to.x - gesture.start.x, height: to.y - gesture.start.y };
}

/** The pointer moved to `to`: once the drag is long enough, `dragOffset` is its whole translation. */
export function movePan(
    view: RendererViewState,
    gesture: PanGesture,
    to: Point,
): { view: RendererViewState; gesture: PanGesture } {
    const moved = translation(gesture, to);
    const isPanning = gesture.isPanning || Math.hypot(moved.width, moved.height) >= panMinimumDistance;
    if (!isPanning) return { view, gesture };
    return { view: { ...view, dragOffset: moved }, gesture: { ...gesture, isPanning } };
}

/** The pointer went up at `to`: a drag that panned adds its final translation to `offset`. */
export function endPan(view: RendererViewState, gesture: PanGesture, to: Point): RendererViewState {
    const ended = movePan(view, gesture, to);
    if (!ended.gesture.isPanning) return view;
    const moved = translation(gesture, to);
    return {
        ...view,
        offset: { width: view.offset.width + moved.width, height: view.offset.height + moved.height },
        dragOffset: { width: 0, height: 0 },
    };
}
