// DepositsGeoJson: a run's resting particles, the lake's outline and its shore stretches as a GeoJSON file.
#pragma once

#include "exports/RunDeposits.hpp"

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace pelagrin {

class Project;
class SimulationController;
class SimulationParameters;

/// One snapshot of a run, written as an RFC 7946 FeatureCollection: the outline as a Polygon
/// (counter-clockwise, closed), a Point per stranded and per sedimented particle ("status", "time_s": when it
/// stranded or first reached the bed, s), a LineString per 100 m stretch of shore ("stranded", "per_100m"),
/// and the run itself (seed, time, counts, parameters) under the collection's "pelagrin" member. Positions
/// are longitude then latitude, in degrees to seven decimals (about a centimetre).
struct DepositsGeoJson {
    /// The snapshot; its outline may turn either way.
    RunDeposits run;
    /// The run's settings by name, as `parametersOf` gives them.
    nlohmann::json parameters = nlohmann::json::object();

    /// The physics and particle settings of a project, by their project-file keys ("particleSettings"
    /// nested).
    static nlohmann::json parametersOf(SimulationParameters& parameters);

    /// The file of `controller`'s last published frame over `project`'s region, with the run's seed and the
    /// project's settings; absent before a run has stepped or while the project has no outline to map.
    static std::optional<std::string> ofRun(const SimulationController& controller, Project& project);

    nlohmann::json document() const;
};

} // namespace pelagrin
