// GeoCoordinate: a point on the Earth in WGS 84 degrees, shared by every subsystem that handles map
// positions.
#pragma once

namespace pelagrin {

/// A geographic point: latitude then longitude, in degrees (WGS 84). Latitude lies in [-90, 90] and longitude
/// in
/// [-180, 180] for points that come from a map; the type itself does not check. Ordered lists of it are
/// polygons.
struct GeoCoordinate {
    double latitude = 0.0;
    double longitude = 0.0;

    constexpr bool operator==(const GeoCoordinate&) const = default;
};

} // namespace pelagrin
