// SimulationEngine: the whole state of one run (particles, physics, boundary, clock) and its time step.
#pragma once

#include "simulation/BoundaryIndex.hpp"
#include "simulation/Deposit.hpp"
#include "simulation/Particle.hpp"
#include "simulation/PerlinNoise.hpp"
#include "simulation/RandomSource.hpp"
#include "simulation/SimulationEngineParameters.hpp"
#include "simulation/Vec2.hpp"
#include "simulation/physical/PhysicalTransport.hpp"

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace pelagrin {

class WorkerPool;

/// Axis-aligned bounding box of the boundary polygon, in simulation pixels.
struct Bounds {
    double minX = 0.0;
    double maxX = 0.0;
    double minY = 0.0;
    double maxY = 0.0;
};

/// One simulation run. Built by the controller when a run starts and stepped on one thread; `step()` changes
/// the particles in place and never adds, removes or reorders one. A particle's radius and density are fixed
/// for the run. The step spreads the particles over the process's worker threads; the result is the same as
/// stepping them one after the other in list order, random draws included.
class SimulationEngine {
public:
    /// Simulation time of one step at speed 1, s: a step advances the clock by `targetSpeed` × `baseStep`.
    static constexpr double baseStep = 0.016;
    /// The least and greatest factors `createParticles` spreads a particle's radius and density by.
    static constexpr std::array<double, 2> radiusSpread{0.8, 1.2};
    static constexpr std::array<double, 2> densitySpread{0.95, 1.05};

    /// Stores the three arguments and computes `bounds`. Throws std::invalid_argument, naming the field, when
    /// a parameter, a vertex or a particle's number is not finite: such a run could only produce garbage.
    SimulationEngine(std::vector<Particle> particles, SimulationEngineParameters params,
                     std::vector<Vec2> boundaryVertices, RandomSource random = RandomSource{});

    /// The initial particles of a run, sorted by release time. `count` particles (not negative) around
    /// `center` (px) in a disc of `emissionRadius` px (not negative), with radii around `radius` (mm) and
    /// densities around `density`; a fifth are released at once, the rest within the first tenth of
    /// `totalDuration` (s, not negative). Throws std::invalid_argument, naming the argument, for values
    /// outside those ranges.
    static std::vector<Particle> createParticles(std::int64_t count, Vec2 center, double radius,
                                                 double density, double totalDuration, double emissionRadius,
                                                 RandomSource& random);

    /// How a particle answers the water.
    struct Response {
        double settlingSpeed; ///< m/s, positive downward
        double decay;         ///< share of the gap to the water's velocity kept after one base step
    };
    /// The response the step gives a particle of `radiusMm` and relative `density` under `physics`, over a
    /// base step of `stepS` s.
    static Response responseOf(double radiusMm, double density, const SimulationEngineParameters& physics,
                               double stepS);

    /// From now on `step()` moves the particles by the physical model in metres on the ground, the canvas
    /// being `mapping`'s; without this call it moves them by the original model. Call it once, on a fresh
    /// engine before its first step. Draws the model's key from the engine's random source. Throws
    /// std::invalid_argument naming the field when a physical parameter or the mapping is out of range.
    void usePhysicalModel(const PhysicalParameters& physical, const CanvasMapping& mapping);

    /// Recomputes `bounds` (and the search index) from `boundaryVertices`.
    void computeBounds();

    /// Advances the clock by `targetSpeed` × `baseStep` and moves every released, unstranded particle once.
    void step();

    /// Water velocity in m/s at `point` (metres) and `time` (s): the mean current plus the curl of a noise
    /// stream function when turbulence is at least 0.01.
    Vec2 flowVelocity(Vec2 point, double time) const;

    /// Even-odd test of `point` (px) against the boundary; true for every point when it has fewer than 3
    /// vertices.
    bool isInsideBoundary(Vec2 point) const;

    /// The nearest point of the boundary outline to `point` (px) and its edge normal; nothing when the
    /// boundary has fewer than 2 vertices.
    std::optional<BoundaryContact> closestBoundaryPoint(Vec2 point) const;

    /// All particles of the run, in emission order.
    std::vector<Particle> particles;
    /// Physics of the run.
    SimulationEngineParameters params;
    /// Speed multiplier of the step; the controller writes it before each frame.
    double targetSpeed = 1.0;
    /// The run's duration in seconds; informative only, the controller ends the run.
    double simDurationLimit = 43200.0;
    /// The water polygon in simulation pixels, implicitly closed.
    std::vector<Vec2> boundaryVertices;
    /// Bounding box of `boundaryVertices`; absent exactly when the polygon is empty.
    std::optional<Bounds> bounds;
    /// Turbulence noise, the same field in every run.
    const PerlinNoise noiseGen{123};
    /// Base step in seconds; the relaxation towards the water velocity always uses it, whatever the speed.
    double timeStep = baseStep;
    /// Simulation clock in seconds; never decreases.
    double accumulatedTime = 0.0;
    /// One record per particle of `particles`, same order: when each stranded and first reached the bed.
    /// Written only by `step()`; empty before the first step.
    const std::vector<Deposit>& deposits() const { return deposits_; }

    /// The threads the step shares the particles over; the process's shared pool when null. The run is the
    /// same on any pool.
    WorkerPool* workers = nullptr;

private:
    struct StepConstants;
    /// A boundary contact fast enough that a random draw decides between stranding and bouncing.
    struct PendingContact {
        std::size_t particle;
        BoundaryContact contact;
    };

    void refreshResponses(const StepConstants& constants);
    /// Moves particles [begin, end); fast contacts are left to `resolvePending`, in list order.
    void stepRange(std::size_t begin, std::size_t end, const StepConstants& constants,
                   std::vector<PendingContact>& pending);
    void resolvePending(const PendingContact& pending);

    RandomSource random_;
    BoundaryIndex boundaryIndex_;
    std::vector<Response> responses_;
    std::vector<Deposit> deposits_;
    double responseGravity_ = 0.0; // the physics `responses_` were worked out for
    double responseViscosity_ = 0.0;
    double responseTimeStep_ = 0.0;
    /// One list per chunk of particles; kept between steps so that a step allocates nothing.
    std::vector<std::vector<PendingContact>> pending_;
    /// The physical model, once `usePhysicalModel` chose it.
    std::optional<PhysicalTransport> physical_;
};

} // namespace pelagrin
