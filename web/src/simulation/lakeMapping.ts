// Where simulation px land in the view: the canvas spans the lake's bounding box in degrees, linearly, and the
// view draws degrees through the map's projection. Over a lake Web Mercator is affine to well under a pixel, so
// the whole chain is one affine map, fixed by where the box's north-west and south-east corners are drawn.

/** The degrees the simulation canvas spans, south < north and west < east. */
export interface GeoBounds {
    south: number;
    north: number;
    west: number;
    east: number;
}

export interface Point {
    x: number;
    y: number;
}

/** The nominal simulation canvas every region is mapped onto, simulation px. */
export const canvasWidth = 800;
export const canvasHeight = 600;

const metresPerDegree = 111_320;

/**
 * Where a run without a region is drawn: its canvas at the run's own 1 m per px, laid on the ground at 0° N
 * 0° E, so that it keeps its proportions and the scale bar tells metres.
 */
export const openWaterBounds: GeoBounds = {
    south: -canvasHeight / 2 / metresPerDegree,
    north: canvasHeight / 2 / metresPerDegree,
    west: -canvasWidth / 2 / metresPerDegree,
    east: canvasWidth / 2 / metresPerDegree,
};

/** The affine map S of a simulation point onto the view: S(x, y) = (scaleX·x + originX, scaleY·y + originY). */
export interface ViewMapping {
    scaleX: number;
    scaleY: number;
    originX: number;
    originY: number;
}

/** The mapping that draws the canvas's top-left corner at `northWest` and its bottom-right at `southEast`. */
export function cornerMapping(northWest: Point, southEast: Point): ViewMapping {
    return {
        scaleX: (southEast.x - northWest.x) / canvasWidth,
        scaleY: (southEast.y - northWest.y) / canvasHeight,
        originX: northWest.x,
        originY: northWest.y,
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
