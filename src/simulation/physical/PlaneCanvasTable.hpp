// PlaneCanvasTable: the canvas position of plane points, tabulated over a lake so that a step does not pay a
// projection per particle.
#pragma once

#include "simulation/Vec2.hpp"

#include <cstddef>
#include <vector>

namespace pelagrin {

class LocalPlane;

/// Bilinear interpolation between exact canvas positions on a square grid of nodes over a box of the
/// plane. The mapping is smooth, so the error is about h² tan(latitude) / (8 R) for nodes h apart and the
/// Earth's radius R: under a millimetre for a lake of 10 km; beyond the box it extrapolates the edge cells.
class PlaneCanvasTable {
public:
    PlaneCanvasTable() = default;
    /// A table over the box [minCorner, maxCorner] (metres, maxCorner above minCorner on both axes).
    PlaneCanvasTable(const LocalPlane& plane, Vec2 minCorner, Vec2 maxCorner);

    /// The canvas position, px, of `metres`.
    Vec2 at(Vec2 metres) const;

private:
    static constexpr std::size_t kCells = 128; // per side

    Vec2 origin_;
    Vec2 cellsPerMetre_;
    std::vector<Vec2> nodes_; // (kCells + 1)² positions, row by row from the box's south-west corner
};

} // namespace pelagrin
