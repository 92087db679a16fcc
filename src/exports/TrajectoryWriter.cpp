// TrajectoryWriter: the file's layout and chunking, then one hyperslab per variable per sample.
#include "exports/TrajectoryWriter.hpp"

#include "exports/CfConventions.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <numeric>

namespace pelagrin {

namespace {

// A chunk spans every particle and as many samples as fill about this many bytes of packed values: one chunk
// a sample for large runs (20,000 particles make 40 KB), so an append writes whole chunks and nothing is read
// back; small runs gather samples so that the file is not mostly chunk index. A sample is a column of the
// (trajectory, obs) arrays, so a chunk of many samples would take each one in strided pieces: chunks of 25
// to 100 samples of 20,000 particles cost the writing three to five times the CPU of one chunk a sample.
constexpr std::size_t chunkTargetBytes = 64 * 1024;
constexpr std::size_t maxObsChunk = 1024;

enum Status : signed char { notReleased = 0, active = 1, stranded = 2, sedimented = 3 };

signed char statusOf(const Particle& particle) {
    if (particle.isStuck) {
        return stranded;
    }
    if (particle.isSedimented) {
        return sedimented;
    }
    return particle.isActive ? active : notReleased;
}

// The stored range used: a little short of the type's, so that rounding at the interval's ends never wraps.
constexpr double packedHalfRange = 32000.0;

} // namespace

TrajectoryWriter::PackedAxis TrajectoryWriter::PackedAxis::over(double low, double high) {
    assert(high > low);
    return {(low + high) / 2, (high - low) / 2 / packedHalfRange};
}

std::int16_t TrajectoryWriter::PackedAxis::Packer::operator()(double v) const {
    const double stored = std::clamp(v * factor + shift, -packedHalfRange, packedHalfRange);
    // Half away from zero as std::round, without its library call (a sample packs 60,000 of these on the
    // run's path); NaN, which no comparison holds, falls to the interval's middle rather than to an undefined
    // conversion.
    return std::isnan(stored) ? std::int16_t{0}
                              : static_cast<std::int16_t>(stored + std::copysign(0.5, stored));
}

TrajectoryWriter::TrajectoryWriter(const std::filesystem::path& path, std::size_t particleCount,
                                   const CanvasMapping& mapping, double waterDepth,
                                   std::chrono::system_clock::time_point runStart,
                                   const std::vector<NetCdfAttribute>& attributes)
    : file_(path, "trajectories"), particleCount_(particleCount),
      lonAxis_(PackedAxis::over(mapping.minLongitude, mapping.maxLongitude)),
      latAxis_(PackedAxis::over(mapping.minLatitude, mapping.maxLatitude)),
      zAxis_(PackedAxis::over(0.0, std::max(waterDepth, 1.0))),
      // The canvas mapping's stretch of each axis (x east from the west edge, y south from the north edge).
      lonFromX_(lonAxis_.packerOf((mapping.maxLongitude - mapping.minLongitude) / mapping.width,
                                  mapping.minLongitude)),
      latFromY_(latAxis_.packerOf((mapping.minLatitude - mapping.maxLatitude) / mapping.height,
                                  mapping.maxLatitude)),
      zFromDepth_(zAxis_.packerOf()),
      obsChunk_(std::clamp<std::size_t>(chunkTargetBytes / (sizeof(std::int16_t) * particleCount), 1,
                                        maxObsChunk)) {
    assert(particleCount > 0);
    const int trajectoryDimension = file_.addDimension("trajectory", particleCount);
    const int obsDimension = file_.addDimension("obs", 0);

    // The particles' ids: their places in the run's particle list.
    const int trajectory = file_.addVariable("trajectory", NC_INT, {trajectoryDimension});
    file_.putText(trajectory, "cf_role", "trajectory_id");
    file_.putText(trajectory, "long_name", "particle number in the run");

    time_ = file_.addVariable("time", NC_DOUBLE, {obsDimension});
    file_.putText(time_, "standard_name", "time");
    file_.putText(time_, "long_name", "simulated time since the start of the run");
    file_.putText(time_, "units", secondsSince(runStart));
    file_.putText(time_, "calendar", "standard");
    file_.putText(time_, "axis", "T");
    file_.setChunking(time_, {maxObsChunk});

    // The per-particle variables, chunked by whole samples.
    const std::vector<int> dimensions{trajectoryDimension, obsDimension};
    auto addSampled = [&](const std::string& name, nc_type type) {
        const int variable = file_.addVariable(name, type, dimensions);
        file_.setChunking(variable, {particleCount, obsChunk_});
        return variable;
    };
    // Packed: the writing, not the stepping, bounds how fast a recorded run goes, and this halves it.
    auto addPacked = [&](const std::string& name, const PackedAxis& axis) {
        const int variable = addSampled(name, NC_SHORT);
        file_.putDoubles(variable, "scale_factor", std::array{axis.scale});
        file_.putDoubles(variable, "add_offset", std::array{axis.offset});
        return variable;
    };
    lon_ = addPacked("lon", lonAxis_);
    putLongitudeAttributes(file_, lon_, "longitude of the particle");
    lat_ = addPacked("lat", latAxis_);
    putLatitudeAttributes(file_, lat_, "latitude of the particle");
    z_ = addPacked("z", zAxis_);
    file_.putText(z_, "standard_name", "depth");
    file_.putText(z_, "long_name", "depth below the surface");
    file_.putText(z_, "units", "m");
    file_.putText(z_, "positive", "down");
    file_.putText(z_, "axis", "Z");
    status_ = addSampled("status", NC_BYTE);
    file_.putText(status_, "long_name", "particle status");
    const std::array<signed char, 4> flags{notReleased, active, stranded, sedimented};
    file_.putBytes(status_, "flag_values", flags);
    file_.putText(status_, "flag_meanings", "not_released active stranded sedimented");
    for (const int variable : {z_, status_}) {
        file_.putText(variable, "coordinates", "time lat lon");
    }

    file_.putText(NC_GLOBAL, "featureType", "trajectory");
    putCfGlobals(file_, "Particle trajectories of a Pelagrin run", std::chrono::system_clock::now(),
                 attributes);
    file_.endDefinitions();

    std::vector<int> ids(particleCount);
    std::iota(ids.begin(), ids.end(), 0);
    file_.write(trajectory, {0}, {particleCount}, ids.data());
}

void TrajectoryWriter::pack(double time, std::span<const Particle> particles, Sample& sample) const {
    assert(particles.size() == particleCount_);
    sample.time = time;
    sample.lon.resize(particleCount_);
    sample.lat.resize(particleCount_);
    sample.z.resize(particleCount_);
    sample.status.resize(particleCount_);
    for (std::size_t i = 0; i < particleCount_; ++i) {
        const Particle& particle = particles[i];
        sample.lon[i] = lonFromX_(particle.position.x);
        sample.lat[i] = latFromY_(particle.position.y);
        sample.z[i] = zFromDepth_(particle.z);
        sample.status[i] = statusOf(particle);
    }
}

void TrajectoryWriter::write(const Sample& sample) {
    assert(sample.lon.size() == particleCount_);
    // A column of the (trajectory, obs) arrays: every particle at this sample.
    const std::vector<std::size_t> start{0, samples_};
    const std::vector<std::size_t> count{particleCount_, 1};
    file_.write(time_, {samples_}, {1}, &sample.time);
    file_.write(lon_, start, count, sample.lon.data());
    file_.write(lat_, start, count, sample.lat.data());
    file_.write(z_, start, count, sample.z.data());
    file_.write(status_, start, count, sample.status.data());
    ++samples_;
}

void TrajectoryWriter::close() {
    file_.close();
}

} // namespace pelagrin
