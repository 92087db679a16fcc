// SimulationDataStore: statistics of a particle snapshot, the capped timeline and its CSV text.
#include "analysis/SimulationDataStore.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <fmt/format.h>
#include <iterator>

namespace pelagrin {

namespace {

constexpr double minimumSampleSpacing = 0.5; // s of simulation time between two timeline samples
constexpr std::size_t binCount = 5;
constexpr double fastestBinnedSpeed = 299.99; // px/s; faster particles are counted in the last bin
constexpr double narrowestFittedSpan = 0.001; // m/s; still water gets bars of 0.1 mm/s
constexpr double roundingSlack = 1e-9;        // relative; a quotient a hair off a whole number is that number

bool isStuckOrSedimented(const Particle& p) {
    return p.isStuck || p.isSedimented;
}

std::vector<SpeedBin> histogram(const std::vector<double>& activeSpeeds) {
    std::array<std::int64_t, binCount> counts{};
    for (const double speed : activeSpeeds) {
        // A speed that is not a number belongs in no bin; an infinite one is clamped like any fast one.
        const double index =
            std::trunc(std::min(speed, fastestBinnedSpeed) / SimulationDataStore::speedBinWidth);
        if (index >= 0.0 && index < static_cast<double>(binCount)) {
            ++counts[static_cast<std::size_t>(index)];
        }
    }
    std::vector<SpeedBin> bins;
    bins.reserve(binCount);
    for (std::size_t i = 0; i < binCount; ++i) {
        const auto width = static_cast<int>(SimulationDataStore::speedBinWidth);
        bins.push_back({fmt::format("{}-{}", i * width, (i + 1) * width), counts[i]});
    }
    return bins;
}

/// The narrowest width of 1, 2 or 5 times a power of ten that covers [0, `top`] in at most `maxFittedBins`.
double niceWidth(double top) {
    const double least =
        top / static_cast<double>(SimulationDataStore::maxFittedBins) * (1.0 - roundingSlack);
    const double decade = std::pow(10.0, std::floor(std::log10(least)));
    for (const double step : {1.0, 2.0, 5.0}) {
        if (step * decade >= least) {
            return step * decade;
        }
    }
    return 10.0 * decade;
}

std::vector<SpeedRange> fittedHistogram(const std::vector<double>& activeSpeeds, double pixelsPerMeter) {
    std::vector<double> speedsMPerS;
    speedsMPerS.reserve(activeSpeeds.size());
    double top = narrowestFittedSpan;
    for (const double speed : activeSpeeds) {
        if (std::isfinite(speed)) {
            speedsMPerS.push_back(speed / pixelsPerMeter);
            top = std::max(top, speedsMPerS.back());
        }
    }
    const double width = niceWidth(top);
    const double lastIndex = std::max(std::ceil(top / width * (1.0 - roundingSlack)), 1.0) - 1.0;
    std::vector<SpeedRange> bins(static_cast<std::size_t>(lastIndex) + 1);
    for (std::size_t i = 0; i < bins.size(); ++i) {
        bins[i].from = static_cast<double>(i) * width;
        bins[i].to = static_cast<double>(i + 1) * width;
    }
    for (const double speed : speedsMPerS) {
        ++bins[static_cast<std::size_t>(std::clamp(std::floor(speed / width), 0.0, lastIndex))].count;
    }
    return bins;
}

} // namespace

SimulationDataStore& SimulationDataStore::shared() {
    static SimulationDataStore store;
    return store;
}

void SimulationDataStore::update(std::span<const Particle> particles, double time) {
    // Global figures over every particle: non-finite speeds stay out of the sum and the maximum but count in
    // the divisor, so one bad particle cannot poison the average.
    const auto total = static_cast<std::int64_t>(particles.size());
    std::int64_t stuck = 0;
    double finiteSum = 0.0;
    double frameMaximum = 0.0;
    std::vector<double> activeSpeeds;
    activeSpeeds.reserve(particles.size());
    for (const Particle& p : particles) {
        if (std::isfinite(p.speed)) {
            finiteSum += p.speed;
            frameMaximum = std::max(frameMaximum, p.speed);
        }
        if (isStuckOrSedimented(p)) {
            ++stuck;
        } else {
            activeSpeeds.push_back(p.speed);
        }
    }
    const std::int64_t active = total - stuck;
    const double globalAverage = total > 0 ? finiteSum / static_cast<double>(total) : 0.0;

    // The active average has no finiteness filter: an infinite active speed must show, not vanish.
    double activeSum = 0.0;
    for (const double speed : activeSpeeds) {
        activeSum += speed;
    }
    const double activeAverage = active > 0 ? activeSum / static_cast<double>(active) : 0.0;

    totalParticles = total;
    stuckParticles = stuck;
    activeParticles = active;
    averageSpeed = globalAverage;
    activeAverageSpeed = activeAverage;
    maxSpeed = std::max(maxSpeed.get(), frameMaximum);

    // Timeline: at most one sample per half second of simulation time, the newest `historyLimit` kept.
    const std::vector<TimePoint>& samples = history;
    if (samples.empty() || time - samples.back().time > minimumSampleSpacing) {
        std::vector<TimePoint> next;
        const std::size_t kept = std::min(samples.size(), historyLimit - 1);
        next.reserve(kept + 1);
        next.insert(next.end(), samples.end() - static_cast<std::ptrdiff_t>(kept), samples.end());
        next.push_back({Uuid::random(), time, stuck, active, activeAverage, frameMaximum});
        history = std::move(next);
    }

    speedBuckets = histogram(activeSpeeds);
    fittedSpeedBins = fittedHistogram(activeSpeeds, pixelsPerMeter);
}

void SimulationDataStore::reset() {
    history.set({});
    totalParticles = 0;
    stuckParticles = 0;
    activeParticles = 0;
    averageSpeed = 0.0;
    maxSpeed = 0.0;
    activeAverageSpeed = 0.0;
    speedBuckets.set({});
    fittedSpeedBins.set({});
}

std::string SimulationDataStore::exportCSV() const {
    fmt::memory_buffer out;
    out.append(csvHeader);
    for (const TimePoint& sample : history.get()) {
        // The stuck particles of the moment count with speed 0 in the global average.
        const std::int64_t total = sample.activeCount + sample.stuckCount;
        const double globalAverage =
            total >= 1
                ? sample.averageSpeed * static_cast<double>(sample.activeCount) / static_cast<double>(total)
                : 0.0;
        // fmt formats without locale: always a decimal point, never a thousands separator.
        fmt::format_to(std::back_inserter(out), "{:.2f},{},{},{:.2f},{:.2f},{:.2f}\n", sample.time,
                       sample.stuckCount, sample.activeCount, globalAverage, sample.averageSpeed,
                       sample.maxSpeed);
    }
    return fmt::to_string(out);
}

} // namespace pelagrin
