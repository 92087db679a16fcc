// EnsembleResults: the timeline and probability files, the manifest and the members' own CSV.
#include "ensemble/EnsembleResults.hpp"

#include "analysis/DepositMap.hpp"
#include "ensemble/EnsembleStatistics.hpp"
#include "exports/CfConventions.hpp"
#include "exports/HeatmapNetCdf.hpp"
#include "exports/NetCdfFile.hpp"
#include "projects/Project.hpp"
#include "support/AtomicWrite.hpp"

#include <array>
#include <cctype>
#include <cmath>
#include <fmt/format.h>
#include <nlohmann/json.hpp>

namespace pelagrin {

namespace {

using nlohmann::json;

constexpr std::array bandNames{"mean", "p5", "p50", "p95"};

double bandValue(const Band& band, std::size_t which) {
    const std::array values{band.mean, band.p5, band.p50, band.p95};
    return values[which];
}

/// "Avg Speed (Global)" → "avg_speed_global": a CSV column as a NetCDF variable name.
std::string variableName(const std::string& column) {
    std::string name;
    for (const char c : column) {
        if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        } else if (!name.empty() && name.back() != '_') {
            name += '_';
        }
    }
    while (!name.empty() && name.back() == '_') {
        name.pop_back();
    }
    return name;
}

std::vector<NetCdfAttribute> ensembleAttributes(const EnsembleSetup& setup, std::size_t memberCount) {
    return {{"project", setup.projectPath},
            {"base_seed", static_cast<std::int64_t>(setup.plan.baseSeed)},
            {"members", static_cast<std::int64_t>(memberCount)},
            {"speed", setup.speed}};
}

void writeTimelineCsv(const std::filesystem::path& path, const TimelineSummary& summary) {
    fmt::memory_buffer out;
    fmt::format_to(std::back_inserter(out), "{}", summary.timeColumn);
    for (const std::string& column : summary.columns) {
        for (const char* band : bandNames) {
            fmt::format_to(std::back_inserter(out), ",{} {}", column, band);
        }
    }
    out.push_back('\n');
    for (std::size_t t = 0; t < summary.times.size(); ++t) {
        fmt::format_to(std::back_inserter(out), "{:.2f}", summary.times[t]);
        for (const std::vector<Band>& bands : summary.bands) {
            for (std::size_t b = 0; b < bandNames.size(); ++b) {
                fmt::format_to(std::back_inserter(out), ",{:.4f}", bandValue(bands[t], b));
            }
        }
        out.push_back('\n');
    }
    writeFileAtomically(path, fmt::to_string(out));
}

void writeTimelineNetCdf(const std::filesystem::path& path, const TimelineSummary& summary,
                         const std::vector<NetCdfAttribute>& attributes) {
    NetCdfFile file(path, "the ensemble timeline");
    const std::size_t count = summary.times.size();
    const int timeDimension = file.addDimension("time", count);
    const int time = file.addVariable("time", NC_DOUBLE, {timeDimension});
    file.putText(time, "standard_name", "time");
    file.putText(time, "long_name", "simulation time since the release");
    file.putText(time, "units", "s");
    file.putText(time, "axis", "T");
    std::vector<int> variables;
    for (const std::string& column : summary.columns) {
        for (const char* band : bandNames) {
            const int variable =
                file.addVariable(variableName(column) + "_" + band, NC_DOUBLE, {timeDimension});
            file.putText(variable, "long_name", fmt::format("{}, {} across members", column, band));
            file.putText(variable, "units", column.find("Speed") != std::string::npos ? "px s-1" : "1");
            variables.push_back(variable);
        }
    }
    putCfGlobals(file, "Timeline of a Pelagrin ensemble", std::nullopt, attributes);
    file.endDefinitions();
    file.write(time, {0}, {count}, summary.times.data());
    std::vector<double> values(count);
    for (std::size_t c = 0; c < summary.columns.size(); ++c) {
        for (std::size_t b = 0; b < bandNames.size(); ++b) {
            for (std::size_t t = 0; t < count; ++t) {
                values[t] = bandValue(summary.bands[c][t], b);
            }
            file.write(variables[c * bandNames.size() + b], {0}, {count}, values.data());
        }
    }
    file.close();
}

void writeProbabilityNetCdf(const std::filesystem::path& path, const BedHeatmap& bed,
                            const std::vector<double>& shares,
                            const std::vector<NetCdfAttribute>& attributes) {
    const auto rows = static_cast<std::size_t>(bed.rows);
    const auto columns = static_cast<std::size_t>(bed.columns);
    NetCdfFile file(path, "the deposit probability");
    const BedGrid grid = BedGrid::define(file, bed);
    const int probability =
        file.addVariable("deposit_probability", NC_DOUBLE, {grid.latDimension, grid.lonDimension});
    file.putText(probability, "long_name",
                 "share of members leaving at least one particle on the cell's bed");
    file.putText(probability, "units", "1");
    file.putText(probability, "grid_mapping", "crs");
    putCfGlobals(file, "Deposit probability of a Pelagrin ensemble", std::nullopt, attributes);
    file.endDefinitions();
    grid.writeCoordinates(file, bed);
    file.write(probability, {0, 0}, {rows, columns}, shares.data());
    file.close();
}

json position(GeoCoordinate c) {
    // Seven decimals of a degree are about a centimetre.
    return json::array({std::round(c.longitude * 1e7) / 1e7, std::round(c.latitude * 1e7) / 1e7});
}

std::string probabilityGeoJson(const DepositMap& map, const std::vector<double>& shoreShares,
                               const std::vector<double>& bedShares) {
    json features = json::array();
    for (std::size_t i = 0; i < map.shore.size(); ++i) {
        json line = json::array();
        for (const GeoCoordinate& point : map.shore[i].points) {
            line.push_back(position(point));
        }
        features.push_back({{"type", "Feature"},
                            {"geometry", {{"type", "LineString"}, {"coordinates", line}}},
                            {"properties", {{"segment", i}, {"stranding_probability", shoreShares[i]}}}});
    }
    const BedHeatmap& bed = map.bed;
    for (std::size_t i = 0; i < bedShares.size(); ++i) {
        if (bedShares[i] <= 0.0) {
            continue;
        }
        const double south = bed.south + static_cast<double>(i / bed.columns) * bed.cellLatitude;
        const double west = bed.west + static_cast<double>(i % bed.columns) * bed.cellLongitude;
        const double north = south + bed.cellLatitude;
        const double east = west + bed.cellLongitude;
        const json ring =
            json::array({position({south, west}), position({south, east}), position({north, east}),
                         position({north, west}), position({south, west})});
        features.push_back({{"type", "Feature"},
                            {"geometry", {{"type", "Polygon"}, {"coordinates", json::array({ring})}}},
                            {"properties", {{"cell", i}, {"deposit_probability", bedShares[i]}}}});
    }
    return json{{"type", "FeatureCollection"}, {"features", features}}.dump();
}

std::string manifest(const EnsembleSetup& setup, std::span<const MemberResult> members, bool isGrid) {
    json variations = json::array();
    for (const Variation& variation : setup.plan.variations) {
        variations.push_back(
            {{"name", variation.parameter->name}, {"low", variation.low}, {"high", variation.high}});
    }
    json runs = json::array();
    for (const MemberResult& member : members) {
        json values = json::object();
        for (std::size_t d = 0; d < setup.plan.variations.size(); ++d) {
            values[std::string(setup.plan.variations[d].parameter->name)] = member.values[d];
        }
        runs.push_back({{"index", member.index},
                        {"seed", member.seed},
                        {"parameters", values},
                        {"summary",
                         {{"stuck", member.stuckCount},
                          {"active", member.activeCount},
                          {"timeRunS", member.timeRunS}}}});
    }
    return json{{"project", setup.projectPath},
                {"baseSeed", setup.plan.baseSeed},
                {"speed", setup.speed},
                {"sampling", isGrid ? "grid" : "latin-hypercube"},
                {"memberCount", setup.plan.members.size()},
                {"finishedCount", members.size()},
                {"variations", variations},
                {"members", runs}}
        .dump(2);
}

} // namespace

void writeEnsembleResults(const std::filesystem::path& folder, const EnsembleSetup& setup,
                          std::span<const MemberResult> members, bool isGrid, bool keepsMembers) {
    std::filesystem::create_directories(folder);
    if (!members.empty()) {
        const std::vector<NetCdfAttribute> attributes = ensembleAttributes(setup, members.size());
        const TimelineSummary timeline = TimelineSummary::of(members);
        writeTimelineCsv(folder / "timeline.csv", timeline);
        writeTimelineNetCdf(folder / "timeline.nc", timeline, attributes);
        if (const std::optional<DepositMap> map = depositMapOf(*projectOf(setup), {})) {
            const std::vector<double> bedShares = shareOfMembers(members, &MemberResult::bedCells);
            const std::vector<double> shoreShares = shareOfMembers(members, &MemberResult::shoreSegments);
            writeProbabilityNetCdf(folder / "probability.nc", map->bed, bedShares, attributes);
            writeFileAtomically(folder / "probability.geojson",
                                probabilityGeoJson(*map, shoreShares, bedShares));
        }
        if (keepsMembers) {
            for (const MemberResult& member : members) {
                writeFileAtomically(folder / fmt::format("member-{}.csv", member.index), member.csv);
            }
        }
    }
    writeFileAtomically(folder / "manifest.json", manifest(setup, members, isGrid));
}

} // namespace pelagrin
