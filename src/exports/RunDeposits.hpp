// RunDeposits: a run's last frame over its region, where every map of its deposits starts.
#pragma once

#include "analysis/DepositMap.hpp"
#include "simulation/CanvasMapping.hpp"
#include "simulation/Deposit.hpp"
#include "simulation/GeoCoordinate.hpp"
#include "simulation/Particle.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pelagrin {

class Region;
class SimulationController;

/// A region as every run lays it out on the canvas: the mapping between the canvas and degrees, and the
/// water's outline in degrees.
struct RegionOnCanvas {
    CanvasMapping mapping;
    std::vector<GeoCoordinate> outline;

    /// Absent without a region, or while its outline has under 3 vertices or no extent on an axis.
    static std::optional<RegionOnCanvas> of(const Region* region);
};

/// The controller's last published frame: its particles, their deposit records, the run's seed and time,
/// over the region the run was laid out on. Views the controller's frame: use it before the next one.
struct RunDeposits {
    RegionOnCanvas region;
    std::span<const Particle> particles;
    /// One per particle, in their order.
    std::span<const Deposit> deposits;
    std::uint64_t seed = 0;
    /// Simulation time of the frame, s.
    double timeS = 0.0;

    /// Absent before a run has published a stepped frame, or where `RegionOnCanvas::of` is.
    static std::optional<RunDeposits> of(const SimulationController& controller, const Region* region);

    /// Where the particles came to rest, on the bed and along the shore.
    DepositMap map() const { return DepositMap::compute(particles, region.mapping, region.outline); }
};

} // namespace pelagrin
