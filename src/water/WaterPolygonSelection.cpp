// WaterPolygonSelection: the choice of one water outline among the polygons of an Overpass answer.
#include "water/WaterPolygonSelection.hpp"

#include "water/WaterPolygon.hpp"

#include <algorithm>
#include <ostream>

namespace pelagrin {

const std::vector<Point>* elementPoints(const Element& element) {
    if (element.geometry) {
        return &*element.geometry;
    }
    if (!element.members || element.members->empty()) {
        return nullptr;
    }
    // Member ways are not joined into rings: the first outer member alone stands for the relation.
    const std::vector<Member>& members = *element.members;
    const auto outer =
        std::find_if(members.begin(), members.end(), [](const Member& m) { return m.role == "outer"; });
    if (outer != members.end() && outer->geometry) {
        return &*outer->geometry;
    }
    return members.front().geometry ? &*members.front().geometry : nullptr;
}

std::variant<DetectedWater, WaterServiceError> selectWaterPolygon(const OverpassResponse& response,
                                                                  GeoCoordinate click, std::ostream& log) {
    std::vector<std::vector<GeoCoordinate>> candidates;
    for (const Element& element : response.elements) {
        const std::vector<Point>* points = elementPoints(element);
        if (points != nullptr && points->size() >= minimumCandidatePoints) {
            std::vector<GeoCoordinate>& candidate = candidates.emplace_back();
            candidate.reserve(points->size());
            for (const Point& p : *points) {
                candidate.push_back({p.lat, p.lon});
            }
        }
    }
    if (candidates.empty()) {
        return WaterServiceError::noWaterFound;
    }

    for (const std::vector<GeoCoordinate>& candidate : candidates) {
        if (polygonContains(candidate, click)) {
            log << "✅ Found EXACT MATCH containing the click!" << std::endl;
            return DetectedWater{simplifyPolygon(candidate, waterOutlineTolerance), std::nullopt};
        }
    }

    const std::vector<GeoCoordinate>* closest = &candidates.front();
    double closestDistance = centroidDistanceSquared(*closest, click);
    for (const std::vector<GeoCoordinate>& candidate : candidates) {
        const double distance = centroidDistanceSquared(candidate, click);
        if (distance < closestDistance) {
            closest = &candidate;
            closestDistance = distance;
        }
    }
    log << "⚠️ No exact match. Using closest polygon." << std::endl;
    return DetectedWater{simplifyPolygon(*closest, waterOutlineTolerance),
                         distanceToOutlineMetres(*closest, click)};
}

} // namespace pelagrin
