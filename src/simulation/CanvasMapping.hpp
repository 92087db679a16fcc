// CanvasMapping: the fit of a region's bounding box onto the simulation canvas, both ways.
#pragma once

#include "simulation/GeoCoordinate.hpp"
#include "simulation/Vec2.hpp"

namespace pelagrin {

/// A plain linear stretch of degrees on each axis, north up: the bounding box fills the whole canvas, x east
/// and y south. Runs happen on the canvas; every map, export and true-proportion drawing of a run comes back
/// to degrees through `toGeo`. Both ranges are positive (see `Region::canvasMapping`).
struct CanvasMapping {
    double minLatitude = 0.0; ///< degrees
    double maxLatitude = 0.0;
    double minLongitude = 0.0;
    double maxLongitude = 0.0;
    double width = 0.0; ///< canvas, simulation px
    double height = 0.0;

    Vec2 toCanvas(GeoCoordinate c) const {
        return {(c.longitude - minLongitude) / (maxLongitude - minLongitude) * width,
                (1.0 - (c.latitude - minLatitude) / (maxLatitude - minLatitude)) * height};
    }

    /// The inverse of `toCanvas`, to within a few units in the last place of the degrees; the bounding box's
    /// edges map back exactly.
    GeoCoordinate toGeo(Vec2 p) const {
        return {interpolate(maxLatitude, minLatitude, p.y / height),
                interpolate(minLongitude, maxLongitude, p.x / width)};
    }

    bool operator==(const CanvasMapping&) const = default;

private:
    // Exact at both ends (t = 0 and t = 1), which a + t (b - a) is not at t = 1.
    static double interpolate(double a, double b, double t) { return (1.0 - t) * a + t * b; }
};

} // namespace pelagrin
