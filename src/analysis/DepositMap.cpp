// The bed grid, the shore's stretches and the assignment of each resting particle to them.
#include "analysis/DepositMap.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
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

/// The point of the outline nearest to a point of the canvas, as a distance along the shore. The edges are
/// bucketed by the cells of a coarse grid their boxes touch: a stranded particle lies on the outline, so its
/// edge is among the few of its own and the neighbouring cells, and many particles on a long outline do not
/// cost particles × edges. A point farther from the outline than a cell falls back to every edge.
class ShoreLocator {
public:
    ShoreLocator(const ShoreWalk& walk, std::span<const Vec2> vertices)
        : walk_(walk), vertices_(vertices.begin(), vertices.end()), cells_(kCells * kCells) {
        const auto [left, right] =
            std::minmax_element(vertices_.begin(), vertices_.end(), [](Vec2 a, Vec2 b) { return a.x < b.x; });
        const auto [top, bottom] =
            std::minmax_element(vertices_.begin(), vertices_.end(), [](Vec2 a, Vec2 b) { return a.y < b.y; });
        origin_ = {left->x, top->y};
        cellSize_ = {std::max((right->x - left->x) / kCells, kMinCell),
                     std::max((bottom->y - top->y) / kCells, kMinCell)};
        for (std::size_t edge = 0; edge + 1 < vertices_.size(); ++edge) {
            const Vec2 a = vertices_[edge];
            const Vec2 b = vertices_[edge + 1];
            for (int row = rowOf(std::min(a.y, b.y)); row <= rowOf(std::max(a.y, b.y)); ++row) {
                for (int column = columnOf(std::min(a.x, b.x)); column <= columnOf(std::max(a.x, b.x));
                     ++column) {
                    cells_[static_cast<std::size_t>(row * kCells + column)].push_back(edge);
                }
            }
        }
    }

    /// Metres along the shore from the outline's first vertex.
    double alongM(Vec2 point) const {
        Nearest best;
        const int column = columnOf(point.x);
        const int row = rowOf(point.y);
        for (int r = std::max(row - 1, 0); r <= std::min(row + 1, kCells - 1); ++r) {
            for (int c = std::max(column - 1, 0); c <= std::min(column + 1, kCells - 1); ++c) {
                for (const std::size_t edge : cells_[static_cast<std::size_t>(r * kCells + c)]) {
                    consider(edge, point, best);
                }
            }
        }
        const double reach = std::min(cellSize_.x, cellSize_.y);
        if (!(best.squared < reach * reach)) {
            for (std::size_t edge = 0; edge + 1 < vertices_.size(); ++edge) {
                consider(edge, point, best);
            }
        }
        return walk_.startM[best.edge] + best.t * (walk_.startM[best.edge + 1] - walk_.startM[best.edge]);
    }

private:
    static constexpr int kCells = 64;
    static constexpr double kMinCell = 1e-9; // px, for an outline without extent on an axis

    /// The nearest edge so far; of equally near ones the first in the outline's order.
    struct Nearest {
        double squared = std::numeric_limits<double>::infinity();
        std::size_t edge = 0;
        double t = 0.0;
    };

    void consider(std::size_t edge, Vec2 point, Nearest& best) const {
        const Vec2 a = vertices_[edge];
        const Vec2 direction = vertices_[edge + 1] - a;
        const double lengthSquared = direction.dot(direction);
        const double t =
            lengthSquared > 0 ? std::clamp((point - a).dot(direction) / lengthSquared, 0.0, 1.0) : 0.0;
        const Vec2 gap = point - (a + direction * t);
        const double squared = gap.dot(gap);
        if (squared < best.squared || (squared == best.squared && edge < best.edge)) {
            best = {squared, edge, t};
        }
    }

    int columnOf(double x) const { return cellOf(x - origin_.x, cellSize_.x); }
    int rowOf(double y) const { return cellOf(y - origin_.y, cellSize_.y); }
    static int cellOf(double offset, double size) {
        return static_cast<int>(std::clamp(std::floor(offset / size), 0.0, static_cast<double>(kCells - 1)));
    }

    const ShoreWalk& walk_;
    std::vector<Vec2> vertices_; // the closed walk on the canvas
    std::vector<std::vector<std::size_t>> cells_;
    Vec2 origin_;
    Vec2 cellSize_;
};

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
    std::optional<ShoreLocator> locator;
    if (outline.size() >= 2) {
        walk.emplace(outline);
        map.shore = cutShore(*walk);
        std::vector<Vec2> canvasVertices;
        for (const GeoCoordinate& vertex : walk->vertices) {
            canvasVertices.push_back(mapping.toCanvas(vertex));
        }
        locator.emplace(*walk, canvasVertices);
    }

    for (const Particle& p : particles) {
        if (isStranded(p)) {
            ++map.strandedCount;
            if (!map.shore.empty()) {
                const double alongM = locator->alongM(p.position);
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
