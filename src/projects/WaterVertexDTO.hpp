// WaterVertexDTO: one vertex of an encoded polygon, geographic or simulation.
#pragma once

namespace pelagrin {

/// A polygon vertex as stored in a region's encoded lists. Geographic lists hold degrees; simulation lists
/// hold x in `latitude` and y in `longitude`, in simulation px. Encodes as {"latitude": …, "longitude": …}.
struct WaterVertexDTO {
    double latitude = 0.0;
    double longitude = 0.0;
};

} // namespace pelagrin
