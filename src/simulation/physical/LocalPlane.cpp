// The transverse Mercator plane around a lake.
#include "simulation/physical/LocalPlane.hpp"

#include <GeographicLib/Constants.hpp>

namespace pelagrin {

LocalPlane::LocalPlane(const CanvasMapping& mapping, GeoCoordinate centre)
    : mapping_(mapping),
      // Scale 1 on the central meridian: metres are true metres across the lake, not UTM's shrunk ones.
      projection_(GeographicLib::Constants::WGS84_a(), GeographicLib::Constants::WGS84_f(), 1.0),
      centralMeridian_(centre.longitude), originNorthing_(0.0) {
    originNorthing_ = fromGeo(centre).y;
}

Vec2 LocalPlane::fromGeo(GeoCoordinate c) const {
    double x = 0;
    double y = 0;
    projection_.Forward(centralMeridian_, c.latitude, c.longitude, x, y);
    return {x, y - originNorthing_};
}

GeoCoordinate LocalPlane::toGeo(Vec2 metres) const {
    double latitude = 0;
    double longitude = 0;
    projection_.Reverse(centralMeridian_, metres.x, metres.y + originNorthing_, latitude, longitude);
    return {latitude, longitude};
}

} // namespace pelagrin
