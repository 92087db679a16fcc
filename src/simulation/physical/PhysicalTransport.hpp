// PhysicalTransport: the physical model's step: particles in metres on the ground, advected by the current
// and the wind, spread by eddy diffusion, settling or rising by their terminal velocity, stranding on and
// refloating from the shore, and lifted off the bed by a strong current.
#pragma once

#include "simulation/BoundaryIndex.hpp"
#include "simulation/CanvasMapping.hpp"
#include "simulation/Deposit.hpp"
#include "simulation/Particle.hpp"
#include "simulation/SimulationEngineParameters.hpp"
#include "simulation/Vec2.hpp"
#include "simulation/physical/CounterRandom.hpp"
#include "simulation/physical/LocalPlane.hpp"
#include "simulation/physical/PhysicalParameters.hpp"
#include "simulation/physical/PlaneCanvasTable.hpp"

#include <cstdint>
#include <vector>

namespace pelagrin {

class WorkerPool;

/// The state the physical model keeps beside the engine's particles: their positions in metres and their
/// terminal velocities. Particles keep their meaning: `position` px (from the metres), `z` m in [0, depth],
/// `velocity` the drift (current plus windage) in px/s and `speed` its length, 0 for a particle at rest.
/// A particle strands where it last was in the water, so it never leaves the outline; refloating clears
/// `isStuck` and its deposit's `strandedAt`, which a later stranding sets anew.
class PhysicalTransport {
public:
    /// Depth, m, above which a particle is at the surface and drifts with the wind's `windage`.
    static constexpr double surfaceLayer = 0.1;

    /// The model for `particles` (their positions px, radii mm, relative densities) in the lake `outlinePx`
    /// on the canvas of `mapping`, with the shared physics `params`; `key` seeds every draw. Throws
    /// std::invalid_argument naming the field when a parameter is out of range.
    PhysicalTransport(const PhysicalParameters& physical, const CanvasMapping& mapping,
                      const std::vector<Vec2>& outlinePx, const std::vector<Particle>& particles,
                      const SimulationEngineParameters& params, std::uint64_t key);

    /// Moves every released particle over `dt` s, the clock being `time` s at the step's end; `deposits`
    /// has one record per particle.
    void step(std::vector<Particle>& particles, std::vector<Deposit>& deposits, double dt, double time,
              WorkerPool& workers);

private:
    struct StepConstants;
    void stepRange(std::size_t begin, std::size_t end, std::vector<Particle>& particles,
                   std::vector<Deposit>& deposits, const StepConstants& c);
    /// Whether `metres` lies in the lake, and then its canvas position `px`.
    bool isInWater(Vec2 metres, Vec2& px) const;
    /// `candidate`, outside the water, mirrored in the nearest stretch of shore.
    Vec2 reflected(Vec2 candidate) const;

    PhysicalParameters physical_;
    LocalPlane plane_;
    BoundaryIndex shore_;       // metres
    BoundaryIndex canvasShore_; // px
    Vec2 shoreMin_;             // the shore's box in metres
    Vec2 shoreMax_;
    bool hasWater_;
    PlaneCanvasTable canvas_;
    CounterRandom random_;
    Vec2 currentMs_; // plane axes: x east, y north
    Vec2 windMs_;
    Vec2 pixelsPerMetreAxes_; // canvas axes from plane axes: (ppm, -ppm)
    double depth_;
    std::uint64_t stepCount_ = 0;
    std::vector<Vec2> positionsM_;
    std::vector<double> settlingMs_; // positive downward
};

} // namespace pelagrin
