// The bed grid, the shore's stretches and the assignment of each resting particle to them.
#include "analysis/DepositMap.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace pelagrin {

namespace {

constexpr double kEarthRadiusM = 6'371'000.0;
constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
constexpr double kMetresPerDegree = kEarthRadiusM * kRadiansPerDegree;

/// Ground distance between two nearby points, m: flat over the short span, east-west shrunk by the cosine of
/// the mean latitude.
double groundDistanceM(GeoCoordinate a, GeoCoordinate b) {
    const double eastM = (b.longitude - a.longitude) * kMetresPerDegree *
                         std::cos((a.latitude + b.latitude) / 2 * kRadiansPerDegree);
    const double northM = (b.latitude - a.latitude) * kMetresPerDegree;
    return std::hypot(eastM, northM);
}

GeoCoordinate lerp(GeoCoordinate a, GeoCoordinate b, double t) {
    return {a.latitude + (b.latitude - a.latitude) * t, a.longitude + (b.longitude - a.longitude) * t};
}

/// The outline as a closed walk: vertex i, and the ground distance from vertex 0 to it along the shore.
struct ShoreWalk {
    std::vector<GeoCoordinate> vertices; // the outline with its first vertex repeated at the end
    std::vector<double> startM;          // per vertex, m along the shore

    explicit ShoreWalk(std::span<const GeoCoordinate> outline) : vertices(outline.begin(), outline.end()) {
        vertices.push_back(outline.front());
        startM.push_back(0.0);
        for (std::size_t i = 1; i < vertices.size(); ++i) {
            startM.push_back(startM.back() + groundDistanceM(vertices[i - 1], vertices[i]));
        }
    }
    double lengthM() const { return startM.back(); }

    /// The edge that `distanceM` along the shore lies on.
    std::size_t edgeAt(double distanceM) const {
        const auto after = std::upper_bound(startM.begin(), startM.end(), distanceM);
        const auto edge = static_cast<std::size_t>(std::max<std::ptrdiff_t>(after - startM.begin() - 1, 0));
        return std::min(edge, vertices.size() - 2);
    }
    GeoCoordinate pointAt(double distanceM) const {
        const std::size_t edge = edgeAt(distanceM);
        const double edgeM = startM[edge + 1] - startM[edge];
        return lerp(vertices[edge], vertices[edge + 1], edgeM > 0 ? (distanceM - startM[edge]) / edgeM : 0.0);
    }
};

/// The shore cut into stretches of `DepositMap::segmentLengthM` from vertex 0, the last one shorter.
std::vector<ShoreSegment> cutShore(const ShoreWalk& walk) {
    std::vector<ShoreSegment> shore;
    const double totalM = walk.lengthM();
    for (double fromM = 0.0; fromM < totalM; fromM += DepositMap::segmentLengthM) {
        const double toM = std::min(fromM + DepositMap::segmentLengthM, totalM);
        ShoreSegment& segment = shore.emplace_back();
        segment.lengthM = toM - fromM;
        segment.midpoint = walk.pointAt((fromM + toM) / 2);
        segment.points.push_back(walk.pointAt(fromM));
        for (std::size_t v = walk.edgeAt(fromM) + 1; v < walk.vertices.size() && walk.startM[v] < toM; ++v) {
            segment.points.push_back(walk.vertices[v]);
        }
        segment.points.push_back(walk.pointAt(toM));
    }
    return shore;
}

/// Distance along the shore, m, of the point of the outline nearest to `point` on the canvas.
double shoreDistanceOf(Vec2 point, const ShoreWalk& walk, std::span<const Vec2> canvasVertices) {
    double bestSquared = INFINITY;
    double bestM = 0.0;
    for (std::size_t i = 0; i + 1 < canvasVertices.size(); ++i) {
        const Vec2 a = canvasVertices[i];
        const Vec2 edge = canvasVertices[i + 1] - a;
        const double lengthSquared = edge.dot(edge);
        const double t =
            lengthSquared > 0 ? std::clamp((point - a).dot(edge) / lengthSquared, 0.0, 1.0) : 0.0;
        const Vec2 gap = point - (a + edge * t);
        if (const double squared = gap.dot(gap); squared < bestSquared) {
            bestSquared = squared;
            bestM = walk.startM[i] + t * (walk.startM[i + 1] - walk.startM[i]);
        }
    }
    return bestM;
}

/// An empty grid over the outline's bounding box: the longer side on the ground gets
/// `cellsAlongLongerSide` cells, the shorter as many of about the same size.
BedHeatmap gridOver(std::span<const GeoCoordinate> outline) {
    BedHeatmap grid;
    if (outline.empty()) {
        return grid;
    }
    auto [south, north] = std::minmax_element(outline.begin(), outline.end(),
                                              [](auto a, auto b) { return a.latitude < b.latitude; });
    auto [west, east] = std::minmax_element(outline.begin(), outline.end(),
                                            [](auto a, auto b) { return a.longitude < b.longitude; });
    const double spanLatitude = north->latitude - south->latitude;
    const double spanLongitude = east->longitude - west->longitude;
    const double heightM = spanLatitude * kMetresPerDegree;
    const double widthM = spanLongitude * kMetresPerDegree *
                          std::cos((north->latitude + south->latitude) / 2 * kRadiansPerDegree);
    const double cellM = std::max(heightM, widthM) / DepositMap::cellsAlongLongerSide;
    auto cellsAlong = [cellM](double sideM) {
        return cellM > 0 ? std::clamp(static_cast<int>(std::lround(sideM / cellM)), 1,
                                      DepositMap::cellsAlongLongerSide)
                         : 1;
    };
    grid.south = south->latitude;
    grid.west = west->longitude;
    grid.rows = cellsAlong(heightM);
    grid.columns = cellsAlong(widthM);
    grid.cellLatitude = spanLatitude / grid.rows;
    grid.cellLongitude = spanLongitude / grid.columns;
    grid.counts.assign(static_cast<std::size_t>(grid.rows) * grid.columns, 0);
    grid.particlesPerKm2.assign(grid.counts.size(), 0.0);
    return grid;
}

/// The cell holding `c`; points on or past the grid's edge go to the nearest cell.
std::size_t cellOf(const BedHeatmap& grid, GeoCoordinate c) {
    auto index = [](double offset, double cell, int cells) {
        const double i = cell > 0 ? std::floor(offset / cell) : 0.0;
        return static_cast<std::size_t>(std::clamp(i, 0.0, static_cast<double>(cells - 1)));
    };
    return index(c.latitude - grid.south, grid.cellLatitude, grid.rows) * grid.columns +
           index(c.longitude - grid.west, grid.cellLongitude, grid.columns);
}

/// Area on the ground of a cell of row `row`, km²: the spherical band between its latitudes over its
/// longitudes, R² Δλ (sin φ₂ − sin φ₁).
double cellAreaKm2(const BedHeatmap& grid, int row) {
    const double lower = (grid.south + row * grid.cellLatitude) * kRadiansPerDegree;
    const double upper = lower + grid.cellLatitude * kRadiansPerDegree;
    const double radiusKm = kEarthRadiusM / 1000.0;
    return radiusKm * radiusKm * grid.cellLongitude * kRadiansPerDegree * (std::sin(upper) - std::sin(lower));
}

} // namespace

DepositMap DepositMap::compute(std::span<const Particle> particles, const CanvasMapping& mapping,
                               std::span<const GeoCoordinate> outline) {
    DepositMap map;
    map.particleCount = static_cast<std::int64_t>(particles.size());
    map.bed = gridOver(outline);
    std::optional<ShoreWalk> walk;
    std::vector<Vec2> canvasVertices;
    if (outline.size() >= 2) {
        walk.emplace(outline);
        map.shore = cutShore(*walk);
        for (const GeoCoordinate& vertex : walk->vertices) {
            canvasVertices.push_back(mapping.toCanvas(vertex));
        }
    }

    for (const Particle& p : particles) {
        if (isStranded(p)) {
            ++map.strandedCount;
            if (!map.shore.empty()) {
                const double alongM = shoreDistanceOf(p.position, *walk, canvasVertices);
                const auto segment = static_cast<std::size_t>(alongM / segmentLengthM);
                ++map.shore[std::min(segment, map.shore.size() - 1)].stranded;
            }
        } else if (isSedimented(p)) {
            ++map.sedimentedCount;
            if (!map.bed.counts.empty()) {
                ++map.bed.counts[cellOf(map.bed, mapping.toGeo(p.position))];
            }
        }
    }

    for (int row = 0; row < map.bed.rows; ++row) {
        const double areaKm2 = cellAreaKm2(map.bed, row);
        for (int column = 0; column < map.bed.columns; ++column) {
            const std::size_t cell = static_cast<std::size_t>(row) * map.bed.columns + column;
            map.bed.particlesPerKm2[cell] = areaKm2 > 0 ? map.bed.counts[cell] / areaKm2 : 0.0;
        }
    }
    return map;
}

std::vector<std::size_t> DepositMap::topSegments(std::size_t count) const {
    std::vector<std::size_t> order(shore.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [this](std::size_t a, std::size_t b) { return shore[a].stranded > shore[b].stranded; });
    const auto withParticles =
        std::find_if(order.begin(), order.end(), [this](std::size_t i) { return shore[i].stranded == 0; });
    order.erase(withParticles, order.end());
    order.resize(std::min(order.size(), count));
    return order;
}

std::optional<std::size_t> DepositMap::hotspot() const {
    if (sedimentedCount == 0 || bed.particlesPerKm2.empty()) {
        return std::nullopt;
    }
    const auto densest = std::max_element(bed.particlesPerKm2.begin(), bed.particlesPerKm2.end());
    return static_cast<std::size_t>(densest - bed.particlesPerKm2.begin());
}

GeoCoordinate DepositMap::cellCentre(std::size_t index) const {
    const auto row = static_cast<double>(index / static_cast<std::size_t>(bed.columns));
    const auto column = static_cast<double>(index % static_cast<std::size_t>(bed.columns));
    return {bed.south + (row + 0.5) * bed.cellLatitude, bed.west + (column + 0.5) * bed.cellLongitude};
}

double DepositMap::maxParticlesPerKm2() const {
    return bed.particlesPerKm2.empty()
               ? 0.0
               : *std::max_element(bed.particlesPerKm2.begin(), bed.particlesPerKm2.end());
}

} // namespace pelagrin
