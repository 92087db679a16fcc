// BoundaryIndex: horizontal bands over the water polygon that make the inside test and the nearest-edge
// search cost the few edges near a point instead of every edge, and a grid that answers the inside test
// away from the shore without any.
#pragma once

#include "simulation/ContainmentGrid.hpp"
#include "simulation/Vec2.hpp"

#include <cstdint>
#include <optional>
#include <vector>

namespace pelagrin {

/// A point on the boundary outline and the unit normal of its edge (the edge direction turned a quarter turn
/// counter-clockwise; it points into the water for one winding order and out of it for the other).
struct BoundaryContact {
    Vec2 point;
    Vec2 normal;
};

/// Answers exactly what the plain scans over every edge answer, bit for bit: each edge is evaluated with the
/// same arithmetic, only edges that cannot matter are left out. The polygon is implicitly closed.
class BoundaryIndex {
public:
    BoundaryIndex() = default;
    explicit BoundaryIndex(const std::vector<Vec2>& vertices);

    /// Even-odd ray casting towards +x: a point on a crossing does not flip. True for fewer than 3 vertices.
    bool contains(Vec2 point) const;

    /// Nearest point of the outline and its edge normal; the lowest-numbered of equally near edges wins and
    /// edges shorter than 0.01 px are ignored. Nothing for fewer than 2 vertices; (point, (0, 1)) when every
    /// edge is ignored.
    std::optional<BoundaryContact> closest(Vec2 point) const;

private:
    /// Edge k runs from vertex k to vertex k + 1, with what the two searches need of it precomputed.
    struct Edge {
        Vec2 start;
        Vec2 end;
        Vec2 direction;       // end - start
        double lengthSquared; // direction · direction
        Vec2 normal;
        // The inside test's crossing lies within [crossingLow, crossingHigh], whatever its rounding.
        double crossingLow;
        double crossingHigh;
        bool isTooShort; // ignored by the nearest-edge search
    };

    /// The even-odd count over the edges of the point's band.
    bool containsByBands(Vec2 point) const;
    std::size_t bandOf(double y) const;
    /// A lower bound of the vertical distance from `y` to band `band`, never above the true distance.
    double gapTo(double y, std::size_t band) const;

    std::size_t vertexCount_ = 0;
    std::vector<Edge> edges_;
    double minY_ = 0.0;
    double bandHeight_ = 0.0;
    double bandsPerUnit_ = 0.0; // 1 / bandHeight_: bandOf multiplies, which is monotonic as well
    std::size_t bandCount_ = 0;
    /// Edges of band b are bandEdges_[bandStart_[b] .. bandStart_[b + 1]).
    std::vector<std::uint32_t> bandStart_;
    std::vector<std::uint32_t> bandEdges_;
    /// Answers most points, those away from the shore, without looking at an edge.
    ContainmentGrid grid_;
};

} // namespace pelagrin
