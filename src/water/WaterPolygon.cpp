// WaterPolygon: the plane geometry on latitude/longitude degrees that picks and thins a water outline.
#include "water/WaterPolygon.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <utility>

namespace pelagrin {

bool polygonContains(const std::vector<GeoCoordinate>& polygon, GeoCoordinate click) {
    const std::size_t n = polygon.size();
    if (n == 0) {
        return false;
    }
    bool isInside = false;
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const GeoCoordinate& a = polygon[i];
        const GeoCoordinate& b = polygon[j];
        if ((a.latitude > click.latitude) != (b.latitude > click.latitude)) {
            const double crossingLon = a.longitude + (click.latitude - a.latitude) *
                                                         (b.longitude - a.longitude) /
                                                         (b.latitude - a.latitude);
            if (crossingLon > click.longitude) {
                isInside = !isInside;
            }
        }
    }
    return isInside;
}

double centroidDistanceSquared(const std::vector<GeoCoordinate>& polygon, GeoCoordinate click) {
    assert(!polygon.empty());
    double latSum = 0.0;
    double lonSum = 0.0;
    for (const GeoCoordinate& vertex : polygon) {
        latSum += vertex.latitude;
        lonSum += vertex.longitude;
    }
    const double count = static_cast<double>(polygon.size());
    const double dLat = click.latitude - latSum / count;
    const double dLon = click.longitude - lonSum / count;
    return dLat * dLat + dLon * dLon;
}

namespace {

// The interior vertex of [first, last] farthest from the line through both ends (the earliest of equal ones),
// with its distance; {last, 0} when no vertex lies off the line.
std::pair<std::size_t, double> farthestFromLine(const std::vector<GeoCoordinate>& points, std::size_t first,
                                                std::size_t last) {
    const GeoCoordinate& f = points[first];
    const GeoCoordinate& l = points[last];
    const double dLat = l.latitude - f.latitude;
    const double dLon = l.longitude - f.longitude;
    // hypot, unlike the square root of the summed squares, does not underflow to 0 for ends that differ.
    const double length = std::hypot(dLat, dLon);
    assert(length > 0.0);
    std::pair<std::size_t, double> farthest{last, 0.0};
    for (std::size_t i = first + 1; i < last; ++i) {
        // Twice the area of the triangle (F, L, P) over the length of its base F-L is P's height above it.
        const GeoCoordinate& p = points[i];
        const double distance = std::fabs(dLat * p.longitude - dLon * p.latitude + f.latitude * l.longitude -
                                          l.latitude * f.longitude) /
                                length;
        if (distance > farthest.second) {
            farthest = {i, distance};
        }
    }
    return farthest;
}

// The interior vertex farthest from `points[0]` itself (the earliest of equal ones), with its distance.
std::pair<std::size_t, double> farthestFromStart(const std::vector<GeoCoordinate>& points) {
    const GeoCoordinate& start = points.front();
    std::pair<std::size_t, double> farthest{points.size() - 1, 0.0};
    for (std::size_t i = 1; i + 1 < points.size(); ++i) {
        const double distance =
            std::hypot(points[i].latitude - start.latitude, points[i].longitude - start.longitude);
        if (distance > farthest.second) {
            farthest = {i, distance};
        }
    }
    return farthest;
}

} // namespace

double distanceToOutlineMetres(const std::vector<GeoCoordinate>& outline, GeoCoordinate click) {
    assert(!outline.empty());
    constexpr double metresPerDegree = 6'371'000.0 * 3.14159265358979323846 / 180.0;
    const double eastScale = std::cos(click.latitude * 3.14159265358979323846 / 180.0);
    // Each vertex as metres east and north of the click.
    const auto planar = [&](GeoCoordinate p) {
        return std::pair{(p.longitude - click.longitude) * eastScale * metresPerDegree,
                         (p.latitude - click.latitude) * metresPerDegree};
    };
    auto [ax, ay] = planar(outline.front());
    double nearest = std::hypot(ax, ay);
    for (std::size_t i = 1; i < outline.size(); ++i) {
        const auto [bx, by] = planar(outline[i]);
        const double dx = bx - ax;
        const double dy = by - ay;
        const double lengthSquared = dx * dx + dy * dy;
        const double t =
            lengthSquared > 0.0 ? std::clamp(-(ax * dx + ay * dy) / lengthSquared, 0.0, 1.0) : 0.0;
        nearest = std::min(nearest, std::hypot(ax + t * dx, ay + t * dy));
        ax = bx;
        ay = by;
    }
    return nearest;
}

std::vector<GeoCoordinate> simplifyPolygon(const std::vector<GeoCoordinate>& points, double tolerance) {
    assert(tolerance > 0.0);
    const std::size_t n = points.size();
    if (n < 3) {
        return points;
    }

    // Spans of the list still to be thinned; a vertex is kept once it ends a span.
    std::vector<bool> isKept(n, false);
    isKept.front() = isKept.back() = true;
    std::vector<std::pair<std::size_t, std::size_t>> spans;

    if (points.front() == points.back()) {
        // A closed ring has no baseline between its ends: they are the same vertex. Cut it instead at the
        // vertex farthest from that start into two open chains that meet there, and thin each chain on its
        // own; the ring stays closed and every dropped vertex stays within the tolerance of its chain. A ring
        // that fits inside the tolerance around its start is returned whole, since thinning would shrink it
        // to a point.
        const auto [cut, distance] = farthestFromStart(points);
        if (distance <= tolerance) {
            return points;
        }
        isKept[cut] = true;
        spans.emplace_back(0, cut);
        spans.emplace_back(cut, n - 1);
    } else {
        spans.emplace_back(0, n - 1);
    }

    // Douglas-Peucker without recursion, so that long outlines cannot exhaust the stack: a span whose
    // farthest interior vertex lies beyond the tolerance keeps that vertex and splits there.
    while (!spans.empty()) {
        const auto [first, last] = spans.back();
        spans.pop_back();
        if (last - first < 2) {
            continue;
        }
        const auto [split, distance] = farthestFromLine(points, first, last);
        if (distance > tolerance) {
            isKept[split] = true;
            spans.emplace_back(first, split);
            spans.emplace_back(split, last);
        }
    }

    std::vector<GeoCoordinate> simplified;
    for (std::size_t i = 0; i < n; ++i) {
        if (isKept[i]) {
            simplified.push_back(points[i]);
        }
    }
    return simplified;
}

} // namespace pelagrin
