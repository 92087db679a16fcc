// HeatmapNetCdf: the grid's definitions, then its coordinates and cells in one write each.
#include "exports/HeatmapNetCdf.hpp"

#include "exports/CfConventions.hpp"
#include "exports/RunAttributes.hpp"
#include "exports/RunDeposits.hpp"
#include "projects/Project.hpp"

#include <cassert>

namespace pelagrin {

namespace {

/// The centres of `count` cells of `size` degrees from `first`.
std::vector<double> centres(double first, double size, int count) {
    std::vector<double> values(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        values[static_cast<std::size_t>(i)] = first + (i + 0.5) * size;
    }
    return values;
}

} // namespace

BedGrid BedGrid::define(NetCdfFile& file, const BedHeatmap& heatmap) {
    BedGrid grid;
    grid.latDimension = file.addDimension("lat", static_cast<std::size_t>(heatmap.rows));
    grid.lonDimension = file.addDimension("lon", static_cast<std::size_t>(heatmap.columns));
    grid.lat = file.addVariable("lat", NC_DOUBLE, {grid.latDimension});
    putLatitudeAttributes(file, grid.lat, "latitude of the cell centre");
    grid.lon = file.addVariable("lon", NC_DOUBLE, {grid.lonDimension});
    putLongitudeAttributes(file, grid.lon, "longitude of the cell centre");
    addWgs84Crs(file);
    return grid;
}

void BedGrid::writeCoordinates(NetCdfFile& file, const BedHeatmap& heatmap) const {
    file.write(lat, {0}, {static_cast<std::size_t>(heatmap.rows)},
               centres(heatmap.south, heatmap.cellLatitude, heatmap.rows).data());
    file.write(lon, {0}, {static_cast<std::size_t>(heatmap.columns)},
               centres(heatmap.west, heatmap.cellLongitude, heatmap.columns).data());
}

void writeHeatmapNetCdf(const std::filesystem::path& path, const BedHeatmap& heatmap,
                        const std::vector<NetCdfAttribute>& attributes,
                        std::chrono::system_clock::time_point createdAt) {
    const auto rows = static_cast<std::size_t>(heatmap.rows);
    const auto columns = static_cast<std::size_t>(heatmap.columns);
    assert(rows > 0 && columns > 0 && heatmap.counts.size() == rows * columns &&
           heatmap.particlesPerKm2.size() == rows * columns);

    NetCdfFile file(path, "the heatmap");
    const BedGrid grid = BedGrid::define(file, heatmap);
    const int density =
        file.addVariable("sediment_density", NC_DOUBLE, {grid.latDimension, grid.lonDimension});
    file.putText(density, "long_name", "sedimented particles per square kilometre of bed");
    file.putText(density, "units", "km-2");
    const int count = file.addVariable("sediment_count", NC_INT64, {grid.latDimension, grid.lonDimension});
    file.putText(count, "long_name", "sedimented particles in the cell");
    file.putText(count, "units", "1");
    for (const int variable : {density, count}) {
        file.putText(variable, "grid_mapping", "crs");
    }
    putCfGlobals(file, "Sedimented particles of a Pelagrin run", createdAt, attributes);
    file.endDefinitions();

    grid.writeCoordinates(file, heatmap);
    file.write(density, {0, 0}, {rows, columns}, heatmap.particlesPerKm2.data());
    file.write(count, {0, 0}, {rows, columns}, heatmap.counts.data());
    file.close();
}

std::optional<RunHeatmap> RunHeatmap::of(const SimulationController& controller, Project& project,
                                         double speed) {
    const std::optional<RunDeposits> run = RunDeposits::of(controller, project.region.get().get());
    if (!run) {
        return std::nullopt;
    }
    return RunHeatmap{run->map().bed, runAttributes(project, run->seed, speed)};
}

} // namespace pelagrin
