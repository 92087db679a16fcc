// CfConventions: global, coordinate and reference-system attributes.
#include "exports/CfConventions.hpp"

#include <array>
#include <fmt/chrono.h>
#include <fmt/format.h>

namespace pelagrin {

namespace {

void putCoordinateAttributes(NetCdfFile& file, int variable, const std::string& standardName,
                             const std::string& longName, const std::string& units, const std::string& axis) {
    file.putText(variable, "standard_name", standardName);
    file.putText(variable, "long_name", longName);
    file.putText(variable, "units", units);
    file.putText(variable, "axis", axis);
}

} // namespace

void putCfGlobals(NetCdfFile& file, const std::string& title,
                  std::optional<std::chrono::system_clock::time_point> createdAt,
                  const std::vector<NetCdfAttribute>& attributes) {
    file.putText(NC_GLOBAL, "Conventions", "CF-1.8");
    file.putText(NC_GLOBAL, "title", title);
    file.putText(NC_GLOBAL, "source", "Pelagrin");
    file.putText(NC_GLOBAL, "history",
                 createdAt ? isoUtc(*createdAt) + " created by Pelagrin" : "created by Pelagrin");
    for (const NetCdfAttribute& attribute : attributes) {
        file.putAttribute(NC_GLOBAL, attribute);
    }
}

void putLatitudeAttributes(NetCdfFile& file, int variable, const std::string& longName) {
    putCoordinateAttributes(file, variable, "latitude", longName, "degrees_north", "Y");
}

void putLongitudeAttributes(NetCdfFile& file, int variable, const std::string& longName) {
    putCoordinateAttributes(file, variable, "longitude", longName, "degrees_east", "X");
}

int addWgs84Crs(NetCdfFile& file) {
    const int crs = file.addVariable("crs", NC_INT, {});
    file.putText(crs, "grid_mapping_name", "latitude_longitude");
    const std::array semiMajorAxis{6378137.0};
    const std::array inverseFlattening{298.257223563};
    file.putDoubles(crs, "semi_major_axis", semiMajorAxis);
    file.putDoubles(crs, "inverse_flattening", inverseFlattening);
    file.putText(crs, "crs_wkt",
                 "GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,298.257223563]],"
                 "PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]");
    return crs;
}

std::string secondsSince(std::chrono::system_clock::time_point start) {
    // The reference date as every reader of CF units parses it: no "T", no zone (UTC is implied).
    return fmt::format("seconds since {:%Y-%m-%d %H:%M:%S}", std::chrono::floor<std::chrono::seconds>(start));
}

std::string isoUtc(std::chrono::system_clock::time_point time) {
    return fmt::format("{:%Y-%m-%dT%H:%M:%SZ}", std::chrono::floor<std::chrono::seconds>(time));
}

} // namespace pelagrin
