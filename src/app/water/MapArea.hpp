// MapArea: a rectangle of the map as its centre and span, the shape in which views are asked for and kept.
#pragma once

#include "simulation/GeoCoordinate.hpp"

#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

namespace pelagrin {

class Intent;
class JsonObjectReader;

/// A view of the map: its centre and how far it reaches north-south and east-west.
struct MapArea {
    GeoCoordinate center;        ///< degrees; latitude in [-90, 90], longitude in [-180, 180]
    double latitudeDelta = 8.0;  ///< degrees north-south, in (0, 180]
    double longitudeDelta = 8.0; ///< degrees east-west, in (0, 360]

    bool operator==(const MapArea&) const = default;

    /// `{"center": {"latitude", "longitude"}, "span": {"latitudeDelta", "longitudeDelta"}}`.
    nlohmann::json toJson() const;
    /// The inverse of `toJson`; throws JsonDecodeError naming the key that is missing or out of range.
    static MapArea fromJson(const JsonObjectReader& reader);
    /// The view a "mapViewChanged" intent reports: `latitude`, `longitude`, `latitudeDelta`,
    /// `longitudeDelta`, each a number in range. Throws IntentError naming the argument.
    static MapArea fromIntent(const Intent& intent);

    /// The bounding box of `outline` (not empty) with a margin of a quarter of its extent on each side, and
    /// never less than about a kilometre across, so that a small pond is not shown at street level.
    static MapArea framing(const std::vector<GeoCoordinate>& outline);
    /// About five kilometres around `point`.
    static MapArea around(GeoCoordinate point);
};

/// The "latitude" and "longitude" arguments of `intent`, in [-90, 90] and [-180, 180]; throws IntentError
/// naming the argument.
GeoCoordinate coordinateArgument(const Intent& intent);

} // namespace pelagrin
