// FlowField: the water velocity of one instant (mean current plus turbulent swirl), evaluated for many
// points.
#pragma once

#include "simulation/PerlinNoise.hpp"
#include "simulation/SimulationEngineParameters.hpp"
#include "simulation/StreamFunctionStencil.hpp"
#include "simulation/Vec2.hpp"

namespace pelagrin {

/// The velocity field at a fixed time. What depends on the time alone (the noise's third coordinate in each
/// octave) is worked out once; a point then costs its four stream-function samples, taken side by side in
/// vector lanes where the processor allows. Gives bit for bit what evaluating each noise value on its own
/// gives.
class FlowField {
public:
    /// The field of `params` at `time` (s), over the noise `noise`.
    FlowField(const PerlinNoise& noise, const SimulationEngineParameters& params, double time);

    /// Water velocity in m/s at `pointM` (metres).
    Vec2 velocity(Vec2 pointM) const;

private:
    detail::Permutation permutation_{};
    detail::StencilOctaves octaves_{};
    Vec2 baseFlow_; // m/s
    double turbulence_ = 0.0;
    bool isTurbulent_ = false;
    bool useAvx2_ = false;
};

} // namespace pelagrin
