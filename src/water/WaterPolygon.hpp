// WaterPolygon: the plane geometry on latitude/longitude degrees that picks and thins a water outline.
#pragma once

#include "simulation/GeoCoordinate.hpp"

#include <vector>

namespace pelagrin {

/// Greatest distance, in degrees of the plain latitude/longitude plane (about 55 m north-south), that a
/// removed vertex may lie from the simplified outline.
inline constexpr double waterOutlineTolerance = 0.0005;

/// Whether `click` lies inside `polygon` by the even-odd rule, casting a ray towards increasing longitude;
/// edges of equal latitude never count. Works in plain degrees, without projection. An empty polygon contains
/// nothing.
bool polygonContains(const std::vector<GeoCoordinate>& polygon, GeoCoordinate click);

/// Squared distance, in square degrees, from `click` to the mean of the polygon's vertices (every listed
/// vertex counts, a repeated closing vertex twice). Only for comparing candidates; `polygon` must not be
/// empty.
double centroidDistanceSquared(const std::vector<GeoCoordinate>& polygon, GeoCoordinate click);

/// Distance in metres from `click` to the nearest point of the outline's edges (its vertices taken in order,
/// the last joined to none), on a plane tangent at the click; good to a few per cent within tens of
/// kilometres. `outline` must not be empty.
double distanceToOutlineMetres(const std::vector<GeoCoordinate>& outline, GeoCoordinate click);

/// `points` thinned by Douglas-Peucker with `tolerance` in degrees (> 0): the ends stay, and every dropped
/// vertex lies within `tolerance` of the line through the kept neighbours around it. Fewer than 3 points come
/// back unchanged. A closed ring (first vertex equal to the last) stays closed.
std::vector<GeoCoordinate> simplifyPolygon(const std::vector<GeoCoordinate>& points, double tolerance);

} // namespace pelagrin
