// ContainmentGrid: a uniform grid over the water polygon whose cells know whether every point in them is
// inside, outside, or whether an edge comes near enough that the point must be tested.
#pragma once

#include "simulation/Vec2.hpp"

#include <cstdint>
#include <functional>
#include <vector>

namespace pelagrin {

class ContainmentGrid {
public:
    enum class Cell : std::uint8_t { Crossed, Outside, Inside };

    ContainmentGrid() = default;

    /// A grid over the bounding box of the closed polygon `vertices`. A cell that no edge comes near gives
    /// every point in it the answer `isInside` gives at its centre; `isInside` must be the even-odd test
    /// whose answers the grid stands in for. No grid (every point `Crossed`) for fewer than 3 vertices, a
    /// flat box or coordinates too large for the rounding bounds below.
    ContainmentGrid(const std::vector<Vec2>& vertices, const std::function<bool(Vec2)>& isInside);

    /// What the grid knows of `point`: `Crossed` when it lies in a crossed cell or off the grid.
    Cell at(Vec2 point) const {
        const double column = (point.x - minX_) * columnsPerUnit_;
        const double row = (point.y - minY_) * rowsPerUnit_;
        // Written so that NaN fails both comparisons; an empty grid has no columns.
        if (!(column >= 0 && column < columnCount_ && row >= 0 && row < rowCount_)) {
            return Cell::Crossed;
        }
        return cells_[static_cast<std::size_t>(row) * columns_ + static_cast<std::size_t>(column)];
    }

private:
    double minX_ = 0.0;
    double minY_ = 0.0;
    double columnsPerUnit_ = 0.0;
    double rowsPerUnit_ = 0.0;
    double columnCount_ = 0.0; // as doubles, for the bounds test of `at`
    double rowCount_ = 0.0;
    std::size_t columns_ = 0;
    std::vector<Cell> cells_;
};

} // namespace pelagrin
