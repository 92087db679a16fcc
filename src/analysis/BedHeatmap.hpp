// BedHeatmap: where the sedimented particles of a run lie, on a latitude/longitude grid fitted to the lake.
#pragma once

#include <cstdint>
#include <vector>

namespace pelagrin {

/// A regular grid in degrees over the lake's bounding box. Cells are stored row-major from the south-west
/// cell: row r spans latitudes [south + r·cellLatitude, south + (r+1)·cellLatitude], column c the longitudes
/// [west + c·cellLongitude, …]. `counts` sum to the sedimented particles the grid was made from.
struct BedHeatmap {
    double south = 0.0; ///< degrees
    double west = 0.0;
    double cellLatitude = 0.0; ///< degrees per cell, positive
    double cellLongitude = 0.0;
    int rows = 0;
    int columns = 0;
    std::vector<std::int64_t> counts;    ///< sedimented particles per cell, rows × columns
    std::vector<double> particlesPerKm2; ///< each count over its cell's area on the ground
};

} // namespace pelagrin
