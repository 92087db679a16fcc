// SimulationDataStore: the statistics of a running simulation (counts, speeds, timeline, histogram) and their
// CSV form.
#pragma once

#include "simulation/Observable.hpp"
#include "simulation/Particle.hpp"
#include "simulation/Uuid.hpp"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pelagrin {

/// One timeline sample.
struct TimePoint {
    Uuid id;                     ///< fresh when the sample is taken
    double time = 0.0;           ///< simulation time, s
    std::int64_t stuckCount = 0; ///< stuck or sedimented particles
    std::int64_t activeCount = 0;
    double averageSpeed = 0.0; ///< mean speed of the active particles, px/s
    double maxSpeed = 0.0;     ///< fastest finite speed of that frame, px/s
};

/// One bar of the speed histogram; `range` ("0-60" …) is also its identity.
struct SpeedBin {
    std::string range;
    std::int64_t count = 0;

    bool operator==(const SpeedBin&) const = default;
};

/// One bar of the fitted speed histogram: the active particles whose speed lies in [from, to) m/s; the last
/// bar holds its upper end too.
struct SpeedRange {
    double from = 0.0; ///< m/s
    double to = 0.0;   ///< m/s
    std::int64_t count = 0;

    bool operator==(const SpeedRange&) const = default;
};

/// Fed by the controller with whole particle snapshots, read by the analysis screen. Lives on the app
/// thread; every property notifies when assigned, so a screen redraws from it.
class SimulationDataStore {
public:
    /// The most samples `history` keeps; the oldest go first.
    static constexpr std::size_t historyLimit = 2000;
    /// Width of a histogram bin, px/s; speeds from 4 × this upward share the last bin.
    static constexpr double speedBinWidth = 60.0;
    /// The most bars of `fittedSpeedBins`.
    static constexpr std::size_t maxFittedBins = 12;
    /// The first line of every CSV export, with its line feed.
    static constexpr std::string_view csvHeader =
        "Time (s),Stuck Particles,Active Particles,Avg Speed (Global),Active Avg Speed,Max Speed\n";

    /// The process's store, made on first use.
    static SimulationDataStore& shared();

    SimulationDataStore() = default;
    SimulationDataStore(const SimulationDataStore&) = delete;
    SimulationDataStore& operator=(const SimulationDataStore&) = delete;

    /// Recomputes every statistic from a complete particle snapshot taken at simulation time `time` (s), and
    /// appends a timeline sample when `time` lies more than 0.5 s after the last one.
    void update(std::span<const Particle> particles, double time);
    /// Back to the initial values: zeros, no samples and no bins at all.
    void reset();
    /// The timeline as CSV text: the header, then one line per sample, oldest first.
    std::string exportCSV() const;

    Observable<std::int64_t> totalParticles;
    Observable<std::int64_t> stuckParticles; ///< stuck or sedimented
    Observable<std::int64_t> activeParticles;
    Observable<double> averageSpeed;       ///< finite speeds summed over all particles, px/s
    Observable<double> maxSpeed;           ///< highest frame maximum since the last reset, px/s
    Observable<double> activeAverageSpeed; ///< px/s; infinite when an active speed is
    Observable<std::vector<TimePoint>> history;
    Observable<std::vector<SpeedBin>> speedBuckets; ///< five bins once updated, none after a reset
    /// The active particles' finite speeds over [0, the fastest of them] (at least 1 mm/s), in as few bars of
    /// one width as fit within `maxFittedBins`, the width 1, 2 or 5 times a power of ten m/s; none after a
    /// reset.
    Observable<std::vector<SpeedRange>> fittedSpeedBins;

    /// The scale of the speeds fed in: simulation px per metre of the run's region, finite and positive. Set
    /// before a run's first update; a reset keeps it.
    double pixelsPerMeter = 1.0;
};

} // namespace pelagrin
