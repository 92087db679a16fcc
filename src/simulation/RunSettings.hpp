// RunSettings: a project turned into what the engine runs, refused when the engine could not run it.
#pragma once

#include "simulation/CanvasMapping.hpp"
#include "simulation/SimulationEngineParameters.hpp"
#include "simulation/Vec2.hpp"
#include "simulation/physical/PhysicalParameters.hpp"

#include <cstdint>
#include <optional>
#include <vector>

namespace pelagrin {

class Project;

/// What one run of a project hands the engine, in engine units.
struct RunSettings {
    /// The most particles a run may release. A particle costs about 370 bytes while a run lasts (its record
    /// in the engine, its response, the published frame and the copies on the way to the browser), so a
    /// million take some 370 MB; ten times that froze the app for seconds and a hundred times ran out of
    /// memory.
    static constexpr std::int64_t maxParticleCount = 1'000'000;

    std::int64_t count = 0;        ///< particles released, [0, maxParticleCount]
    Vec2 center;                   ///< centre of the emission disc, px
    double radiusMm = 0.0;         ///< base particle radius, mm
    double density = 0.0;          ///< base relative density
    double duration = 0.0;         ///< run length, s, at least 60
    double emissionRadiusPx = 0.0; ///< radius of the emission disc, px, not negative
    SimulationEngineParameters params;
    std::vector<Vec2> boundary;        ///< the water polygon, px
    std::optional<std::uint64_t> seed; ///< the project's seed; absent, the run draws a fresh one
    TransportModel model = TransportModel::original; ///< the law the particles move by
    /// The physical model's numbers and the particles' shape; left at their defaults for the original model.
    PhysicalParameters physical;
    /// The region's fit onto the canvas the run uses; absent without a region or with a degenerate outline.
    std::optional<CanvasMapping> mapping;

    bool operator==(const RunSettings&) const = default;
};

/// The run of `project`, which must have parameters, at `speed` (the speed multiplier the run starts with,
/// finite and positive), by the project's transport model. For the physical model the particle settings'
/// `radius` field holds the diameter, so `radiusMm` is half of it. Missing region
/// or particle settings fall back to 1 px/m, an emission disc of 10 m round (400, 300) and 1000 particles of
/// 2 mm at density 1; a duration below 60 s becomes 3600 s. Lays the region out on the canvas when it has not
/// been yet. Throws std::invalid_argument, its message "FIELD: VALUE PROBLEM" naming the project's field,
/// when a value is not finite, a count is negative or beyond `maxParticleCount`, or a product the step forms
/// from the values overflows within the run; for the physical model also when a physical number lies outside
/// its `physicalParameterFields` range or the water outline has fewer than `minPhysicalOutlineVertices`
/// vertices.
RunSettings runSettingsOf(Project& project, double speed);

/// The fewest canvas vertices of a water outline the physical model can keep particles inside.
inline constexpr std::size_t minPhysicalOutlineVertices = 3;

} // namespace pelagrin
