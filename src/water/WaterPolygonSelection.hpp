// WaterPolygonSelection: the choice of one water outline among the polygons of an Overpass answer.
#pragma once

#include "simulation/GeoCoordinate.hpp"
#include "water/OverpassResponse.hpp"
#include "water/WaterServiceError.hpp"

#include <iosfwd>
#include <optional>
#include <variant>
#include <vector>

namespace pelagrin {

/// Fewest vertices an element's geometry needs to become a candidate polygon.
inline constexpr std::size_t minimumCandidatePoints = 3;

/// The vertices an element contributes, or none: its own geometry if it has one, else the geometry of its
/// first "outer" member, else that of its first member. Only one member's geometry is ever used.
const std::vector<Point>* elementPoints(const Element& element);

/// The outline chosen for a click, and how far from the click it lies when it does not contain it.
struct DetectedWater {
    std::vector<GeoCoordinate> outline;
    /// Metres from the click to the chosen outline when no candidate contains the click, else none.
    std::optional<double> distanceMetres;

    bool operator==(const DetectedWater&) const = default;
};

/// The outline for a click at `click`: the first candidate (in answer order) that contains the click, else
/// the candidate whose vertex mean lies nearest (the earliest of equal ones), thinned with
/// `waterOutlineTolerance`. Writes one line to `log` saying which rule chose it. `noWaterFound` when no
/// element has 3 or more vertices.
std::variant<DetectedWater, WaterServiceError> selectWaterPolygon(const OverpassResponse& response,
                                                                  GeoCoordinate click, std::ostream& log);

} // namespace pelagrin
