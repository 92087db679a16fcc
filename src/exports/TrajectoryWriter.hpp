// TrajectoryWriter: a run's particles sample by sample into a CF-conventions trajectory file.
#pragma once

#include "exports/NetCdfFile.hpp"
#include "simulation/CanvasMapping.hpp"
#include "simulation/Particle.hpp"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace pelagrin {

/// Writes the particles of one run as CF-1.8 trajectories (featureType "trajectory", a multidimensional
/// array): dimension trajectory (one per particle) and obs (unlimited, one per sample);
/// trajectory(trajectory) ids, time(obs) in seconds since the run's start, and lon, lat (degrees), z (m,
/// positive down: packed as CF 16-bit integers, see `PackedAxis`) and status (0 not_released, 1 active, 2
/// stranded, 3 sedimented) over (trajectory, obs). A sample is packed into a `Sample` by `pack` and written
/// by `write`, which keeps nothing of it, so memory does not grow with the samples; the library's chunk
/// cache holds one chunk of each variable, a single sample's on large runs. The file takes its path on
/// `close`; until then, and if the writing fails or the writer is dropped, an earlier file there stays as
/// it was. Throws `NetCdfError` ("Cannot write trajectories to …").
class TrajectoryWriter {
public:
    /// A coordinate packed by CF's rule, value = add_offset + scale_factor × stored, into the 16-bit range
    /// over a known interval: a quarter of the bytes of a double, half of a float's, and a step of 1/64,000
    /// of the interval (3 cm on a lake of 2 km, 1.5 m on one of 100 km), finer than single precision's
    /// degrees on most lakes. Any CF reader (xarray, ncview, QGIS) unpacks it.
    struct PackedAxis {
        double offset = 0.0;
        double scale = 1.0;
        /// Spans [low, high] (high > low) with a little room at both ends.
        static PackedAxis over(double low, double high);
        /// The stored integer of a value a × v + b, from v: a canvas coordinate goes straight to its packed
        /// degrees in one multiply and add. Values outside the interval are held at its ends.
        struct Packer {
            double factor = 1.0;
            double shift = 0.0;
            std::int16_t operator()(double v) const;
        };
        Packer packerOf(double a = 1.0, double b = 0.0) const { return {a / scale, (b - offset) / scale}; }
    };

    /// One sample's packed columns, in the order of the particles.
    struct Sample {
        double time = 0.0;
        std::vector<std::int16_t> lon, lat, z;
        std::vector<signed char> status;
    };

    /// Starts the file for `particleCount` particles (at least 1) whose canvas positions `mapping` turns into
    /// degrees and whose depths lie within [0, `waterDepth`] m; `runStart` is the wall-clock moment the run's
    /// time 0 is written as; `attributes` follow the CF globals (the run's seed and parameters).
    TrajectoryWriter(const std::filesystem::path& path, std::size_t particleCount,
                     const CanvasMapping& mapping, double waterDepth,
                     std::chrono::system_clock::time_point runStart,
                     const std::vector<NetCdfAttribute>& attributes);

    /// Packs the particles, in the order and number given at construction, at `time` (s since the run's
    /// start) into `sample`, whose columns are sized on first use. It reads nothing that `write` changes, so
    /// one thread may pack a sample while another writes an earlier one.
    void pack(double time, std::span<const Particle> particles, Sample& sample) const;
    /// Writes `sample` as the next one.
    void write(const Sample& sample);
    /// Samples written so far.
    std::size_t sampleCount() const { return samples_; }
    /// Finishes the file and puts it at its path.
    void close();

private:
    NetCdfFile file_;
    std::size_t particleCount_;
    PackedAxis lonAxis_, latAxis_, zAxis_;
    PackedAxis::Packer lonFromX_, latFromY_, zFromDepth_;
    std::size_t obsChunk_;
    int time_ = -1, lon_ = -1, lat_ = -1, z_ = -1, status_ = -1;
    std::size_t samples_ = 0;
};

} // namespace pelagrin
