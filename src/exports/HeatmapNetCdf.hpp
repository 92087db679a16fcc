// HeatmapNetCdf: a bed heatmap as a CF-conventions latitude/longitude grid.
#pragma once

#include "analysis/BedHeatmap.hpp"
#include "exports/NetCdfFile.hpp"

#include <chrono>
#include <filesystem>
#include <optional>
#include <vector>

namespace pelagrin {

class Project;
class SimulationController;

/// The lat/lon grid of a bed heatmap in a file being defined: its dimensions and coordinate variables.
struct BedGrid {
    int latDimension = -1;
    int lonDimension = -1;
    int lat = -1;
    int lon = -1;

    /// Adds the grid of `heatmap` (at least one row and one column) to `file` before `endDefinitions`: the
    /// dimensions, the cells' centres as CF coordinates and the WGS 84 "crs" its data variables refer to.
    static BedGrid define(NetCdfFile& file, const BedHeatmap& heatmap);
    /// Writes the cells' centres, after `endDefinitions`.
    void writeCoordinates(NetCdfFile& file, const BedHeatmap& heatmap) const;
};

/// Writes `heatmap` (at least one row and one column, its vectors rows × columns long) to `path`: dimensions
/// lat and lon, the cells' centres as coordinates, sediment_density (particles per km², double) and
/// sediment_count (int64) over them, WGS 84 as grid mapping, the CF global attributes stamped `createdAt`
/// and then `attributes`. An earlier file at `path` is replaced only once the new one is complete. Throws
/// `NetCdfError` ("Cannot write the heatmap to …").
void writeHeatmapNetCdf(const std::filesystem::path& path, const BedHeatmap& heatmap,
                        const std::vector<NetCdfAttribute>& attributes,
                        std::chrono::system_clock::time_point createdAt = std::chrono::system_clock::now());

/// The bed heatmap of a run as of one frame, with the run's attributes: taken when the user asks for it,
/// written wherever they then choose.
struct RunHeatmap {
    BedHeatmap bed;
    std::vector<NetCdfAttribute> attributes;

    /// The heatmap of `controller`'s last published frame over `project`'s region, with `runAttributes` at
    /// `speed`; absent before a run has stepped or while the project has no outline to map.
    static std::optional<RunHeatmap> of(const SimulationController& controller, Project& project,
                                        double speed);

    /// Throws as `writeHeatmapNetCdf` does.
    void write(const std::filesystem::path& path) const { writeHeatmapNetCdf(path, bed, attributes); }
};

} // namespace pelagrin
