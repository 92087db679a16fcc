// LocalPlane: metres on the ground around a lake, by a transverse Mercator projection whose central meridian
// runs through the lake, and the way back to degrees and the canvas.
#pragma once

#include "simulation/CanvasMapping.hpp"
#include "simulation/GeoCoordinate.hpp"
#include "simulation/Vec2.hpp"

#include <GeographicLib/TransverseMercator.hpp>

namespace pelagrin {

/// Plane coordinates are metres east (x) and north (y) of `centre`. The projection is conformal, so
/// directions and the isotropy of a random walk survive it, and its scale differs from the ground's by
/// under 1e-6 within 9 km of the central meridian (1.2e-4 at 100 km). GeographicLib's series (Karney 2011)
/// is exact to nanometres here and needs no database.
class LocalPlane {
public:
    /// A plane around `centre` for a run on the canvas of `mapping` (both of its ranges positive).
    LocalPlane(const CanvasMapping& mapping, GeoCoordinate centre);

    Vec2 fromGeo(GeoCoordinate c) const;
    GeoCoordinate toGeo(Vec2 metres) const;
    /// Canvas px to metres and back through degrees.
    Vec2 fromCanvas(Vec2 px) const { return fromGeo(mapping_.toGeo(px)); }
    Vec2 toCanvas(Vec2 metres) const { return mapping_.toCanvas(toGeo(metres)); }

private:
    CanvasMapping mapping_;
    GeographicLib::TransverseMercator projection_;
    double centralMeridian_;
    double originNorthing_; // the projection's northing of `centre`
};

} // namespace pelagrin
