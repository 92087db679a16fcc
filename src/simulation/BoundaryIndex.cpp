// Band construction and the two searches.
#include "simulation/BoundaryIndex.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>
#include <utility>

namespace pelagrin {

namespace {

constexpr double kMinEdgeLengthSquared = 0.0001; // px²
constexpr std::size_t kMaxBands = 1 << 14;
// Beyond this size a crossing's product could overflow, and its rounding is no longer bounded by the margin.
constexpr double kTameCoordinate = 1e150;

/// Bounds of the crossing x = a.x + (y - a.y)(b.x - a.x) / (b.y - a.y) over the heights y that the edge
/// spans. With y between a.y and b.y, the quotient's factor (y - a.y) / (b.y - a.y) is at most 1 even after
/// rounding, so the computed crossing strays from [min, max] of a.x, b.x by a few units in the last place of
/// |a.x| + |b.x|; the margin is far above that. An untamed edge gets no bounds and is always computed.
std::pair<double, double> crossingBounds(Vec2 a, Vec2 b) {
    const double extent = std::abs(a.x) + std::abs(b.x);
    if (!(extent < kTameCoordinate && std::abs(a.y) + std::abs(b.y) < kTameCoordinate)) {
        return {-std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
    }
    const double margin = 1e-12 * extent + 1e-300;
    return {std::min(a.x, b.x) - margin, std::max(a.x, b.x) + margin};
}

} // namespace

BoundaryIndex::BoundaryIndex(const std::vector<Vec2>& vertices) : vertexCount_(vertices.size()) {
    if (vertices.size() < 2) {
        return;
    }
    const std::size_t n = vertices.size();
    edges_.reserve(n);
    double minY = vertices[0].y;
    double maxY = vertices[0].y;
    for (std::size_t k = 0; k < n; ++k) {
        const Vec2 start = vertices[k];
        const Vec2 end = vertices[(k + 1) % n];
        const Vec2 direction = end - start;
        const double lengthSquared = direction.dot(direction);
        const double length = std::sqrt(lengthSquared);
        const Vec2 normal = length > 0 ? Vec2{-direction.y, direction.x} / length : Vec2{};
        const auto [crossingLow, crossingHigh] = crossingBounds(start, end);
        edges_.push_back({start, end, direction, lengthSquared, normal, crossingLow, crossingHigh,
                          lengthSquared <= kMinEdgeLengthSquared});
        minY = std::min(minY, start.y);
        maxY = std::max(maxY, start.y);
    }

    // About one band per edge keeps a band to a handful of edges for an ordinary shoreline.
    minY_ = minY;
    bandCount_ = maxY > minY ? std::clamp<std::size_t>(n, 1, kMaxBands) : 1;
    bandHeight_ = maxY > minY ? (maxY - minY) / static_cast<double>(bandCount_) : 0.0;
    bandsPerUnit_ = bandHeight_ > 0 ? 1.0 / bandHeight_ : 0.0;
    if (!std::isfinite(bandsPerUnit_)) { // bands too thin for their reciprocal: one band holds every edge
        bandCount_ = 1;
        bandHeight_ = 0.0;
        bandsPerUnit_ = 0.0;
    }

    // Counting sort of edge references into every band their vertical extent touches. bandOf is monotonic in
    // y, so an edge that spans a point's height is always in the point's band.
    std::vector<std::uint32_t> counts(bandCount_ + 1, 0);
    auto forEachBand = [this](const Edge& edge, auto&& visit) {
        const std::size_t first = bandOf(std::min(edge.start.y, edge.end.y));
        const std::size_t last = bandOf(std::max(edge.start.y, edge.end.y));
        for (std::size_t band = first; band <= last; ++band) {
            visit(band);
        }
    };
    for (const Edge& edge : edges_) {
        forEachBand(edge, [&](std::size_t band) { ++counts[band + 1]; });
    }
    for (std::size_t band = 0; band < bandCount_; ++band) {
        counts[band + 1] += counts[band];
    }
    bandStart_ = counts;
    bandEdges_.resize(counts[bandCount_]);
    for (std::uint32_t k = 0; k < edges_.size(); ++k) {
        forEachBand(edges_[k], [&](std::size_t band) { bandEdges_[counts[band]++] = k; });
    }
    grid_ = ContainmentGrid(vertices, [this](Vec2 point) { return containsByBands(point); });
}

std::size_t BoundaryIndex::bandOf(double y) const {
    if (bandHeight_ <= 0) {
        return 0;
    }
    const double position = (y - minY_) * bandsPerUnit_;
    if (!(position > 0)) { // also catches NaN
        return 0;
    }
    if (position >= static_cast<double>(bandCount_)) {
        return bandCount_ - 1;
    }
    return static_cast<std::size_t>(position);
}

double BoundaryIndex::gapTo(double y, std::size_t band) const {
    // Band edges in y are nominal: bandOf rounds, so the bound is shrunk by a margin well above that
    // rounding.
    const double bandLow = minY_ + static_cast<double>(band) * bandHeight_;
    const double bandHigh = bandLow + bandHeight_;
    const double gap = y < bandLow ? bandLow - y : (y > bandHigh ? y - bandHigh : 0.0);
    const double margin = 1e-9 * (std::abs(y) + std::abs(bandHigh) + bandHeight_);
    return std::max(gap - margin, 0.0);
}

bool BoundaryIndex::contains(Vec2 point) const {
    if (vertexCount_ < 3) {
        return true;
    }
    switch (grid_.at(point)) {
    case ContainmentGrid::Cell::Inside:
        return true;
    case ContainmentGrid::Cell::Outside:
        return false;
    case ContainmentGrid::Cell::Crossed:
        break;
    }
    return containsByBands(point);
}

bool BoundaryIndex::containsByBands(Vec2 point) const {
    // The crossing of each edge as the plain scan computes it, with vertex i as `a` and vertex i - 1 as `b`.
    const std::size_t band = bandOf(point.y);
    bool inside = false;
    for (std::uint32_t r = bandStart_[band]; r < bandStart_[band + 1]; ++r) {
        const Edge& edge = edges_[bandEdges_[r]];
        const Vec2 a = edge.end;
        const Vec2 b = edge.start;
        if ((a.y > point.y) == (b.y > point.y)) {
            continue;
        }
        // Only a point within the crossing's bounds needs the division to tell its side.
        if (point.x < edge.crossingLow) {
            inside = !inside;
        } else if (point.x < edge.crossingHigh) {
            const double crossingX = a.x + (point.y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (point.x < crossingX) {
                inside = !inside;
            }
        }
    }
    return inside;
}

std::optional<BoundaryContact> BoundaryIndex::closest(Vec2 point) const {
    if (vertexCount_ < 2) {
        return std::nullopt;
    }
    double best = std::numeric_limits<double>::max();
    std::uint32_t bestEdge = std::numeric_limits<std::uint32_t>::max();
    BoundaryContact contact{point, {0, 1}};

    auto visitBand = [&](std::size_t band) {
        for (std::uint32_t r = bandStart_[band]; r < bandStart_[band + 1]; ++r) {
            const std::uint32_t k = bandEdges_[r];
            const Edge& edge = edges_[k];
            if (edge.isTooShort) {
                continue;
            }
            const double t =
                std::clamp((point - edge.start).dot(edge.direction) / edge.lengthSquared, 0.0, 1.0);
            const Vec2 foot = edge.start + edge.direction * t;
            const Vec2 offset = point - foot;
            const double distanceSquared = offset.dot(offset);
            // Bands are not visited in edge order: ties go to the lower edge number, as in a scan from edge
            // 0.
            if (distanceSquared < best || (distanceSquared == best && k < bestEdge)) {
                best = distanceSquared;
                bestEdge = k;
                contact = {foot, edge.normal};
            }
        }
    };

    // Bands outward from the point's own, nearer side first, until no unvisited band can hold a nearer edge.
    const std::size_t home = bandOf(point.y);
    visitBand(home);
    std::size_t below = home; // bands [below, above] are visited
    std::size_t above = home;
    while (below > 0 || above + 1 < bandCount_) {
        const double gapBelow =
            below > 0 ? gapTo(point.y, below - 1) : std::numeric_limits<double>::infinity();
        const double gapAbove =
            above + 1 < bandCount_ ? gapTo(point.y, above + 1) : std::numeric_limits<double>::infinity();
        const double gap = std::min(gapBelow, gapAbove);
        if (gap * gap > best) {
            break;
        }
        if (gapBelow <= gapAbove) {
            visitBand(--below);
        } else {
            visitBand(++above);
        }
    }
    return contact;
}

} // namespace pelagrin
