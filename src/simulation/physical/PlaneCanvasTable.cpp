// The tabulated way from the plane back to the canvas.
#include "simulation/physical/PlaneCanvasTable.hpp"

#include "simulation/physical/LocalPlane.hpp"

#include <algorithm>
#include <cmath>

namespace pelagrin {

PlaneCanvasTable::PlaneCanvasTable(const LocalPlane& plane, Vec2 minCorner, Vec2 maxCorner)
    : origin_(minCorner), cellsPerMetre_(Vec2{kCells, kCells} / (maxCorner - minCorner)) {
    nodes_.reserve((kCells + 1) * (kCells + 1));
    const Vec2 cellSize = (maxCorner - minCorner) / static_cast<double>(kCells);
    for (std::size_t row = 0; row <= kCells; ++row) {
        for (std::size_t column = 0; column <= kCells; ++column) {
            const Vec2 node =
                minCorner + cellSize * Vec2{static_cast<double>(column), static_cast<double>(row)};
            nodes_.push_back(plane.toCanvas(node));
        }
    }
}

Vec2 PlaneCanvasTable::at(Vec2 metres) const {
    const Vec2 cell = (metres - origin_) * cellsPerMetre_;
    // Beyond the box the clamp picks the edge cell; within it truncation is the floor.
    constexpr double kLastCell = kCells - 1;
    const double column = static_cast<double>(static_cast<long>(std::clamp(cell.x, 0.0, kLastCell)));
    const double row = static_cast<double>(static_cast<long>(std::clamp(cell.y, 0.0, kLastCell)));
    const double tx = cell.x - column;
    const double ty = cell.y - row;
    const std::size_t k = static_cast<std::size_t>(row) * (kCells + 1) + static_cast<std::size_t>(column);
    const Vec2 south = nodes_[k] + (nodes_[k + 1] - nodes_[k]) * tx;
    const Vec2 north = nodes_[k + kCells + 1] + (nodes_[k + kCells + 2] - nodes_[k + kCells + 1]) * tx;
    return south + (north - south) * ty;
}

} // namespace pelagrin
