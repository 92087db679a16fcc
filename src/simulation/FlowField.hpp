// FlowField: the water velocity of one instant (mean current plus turbulent swirl), evaluated for many
// points.
#pragma once

#include "simulation/PerlinNoise.hpp"
#include "simulation/SimulationEngineParameters.hpp"
#include "simulation/StreamFunctionStencil.hpp"
#include "simulation/Vec2.hpp"

#include <span>

namespace pelagrin {

/// The velocity field at a fixed time. What depends on the time alone (the noise's third coordinate in each
/// octave, down to a table of corner hashes) is worked out once; a point then costs its four stream-function
/// samples, taken side by side in vector lanes where the processor allows. Gives bit for bit what evaluating
/// each noise value on its own gives.
class FlowField {
public:
    /// The field of `params` at `time` (s), over the noise `noise`.
    FlowField(const PerlinNoise& noise, const SimulationEngineParameters& params, double time);

    /// Water velocity in m/s at `pointM` (metres).
    Vec2 velocity(Vec2 pointM) const;

    /// Water velocities in m/s at each of `pointsM` (metres) into the same place of `out`, which is as long
    /// as `pointsM`; what `velocity` gives point by point, at less cost per point.
    void velocities(std::span<const Vec2> pointsM, std::span<Vec2> out) const;

private:
    detail::Permutation permutation_{};
    detail::StencilOctaves octaves_{};
    Vec2 baseFlow_; // m/s
    double turbulence_ = 0.0;
    bool isTurbulent_ = false;
    bool useAvx2_ = false;
};

} // namespace pelagrin
