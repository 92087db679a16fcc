// The mean current and the curl of the turbulent stream function.
#include "simulation/FlowField.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>

namespace pelagrin {

namespace {

constexpr double kTurbulenceFloor = 0.01;
constexpr double kPixelFloor = 1e-6;
constexpr double kScales[3] = {300, 100, 25}; // metres per noise cell
constexpr double kWeights[3] = {60, 20, 5};
constexpr double kTimeRates[3] = {0.1, 0.3, 0.8};
constexpr double kVectorLimit = 0x1p30 * 25; // metres; beyond, cells overflow the kernel's 32-bit lanes

} // namespace

FlowField::FlowField(const PerlinNoise& noise, const SimulationEngineParameters& params, double time)
    : baseFlow_(params.baseFlowVelocity / std::fmax(params.pixelsPerMeter, kPixelFloor)),
      turbulence_(params.turbulence), isTurbulent_(params.turbulence >= kTurbulenceFloor),
      useAvx2_(detail::hasAvx2()) {
    if (!isTurbulent_) {
        return;
    }
    for (std::size_t i = 0; i < permutation_.size(); ++i) {
        permutation_[i] = static_cast<std::uint8_t>(noise.permutation()[i]);
    }
    const double scaledTime = params.turbulence * time;
    for (std::size_t octave = 0; octave < octaves_.size(); ++octave) {
        octaves_[octave] = detail::makeStencilOctave(permutation_, kScales[octave], kWeights[octave],
                                                     scaledTime * kTimeRates[octave]);
    }
}

Vec2 FlowField::velocity(Vec2 pointM) const {
    Vec2 result;
    velocities({&pointM, 1}, {&result, 1});
    return result;
}

void FlowField::velocities(std::span<const Vec2> pointsM, std::span<Vec2> out) const {
    assert(out.size() == pointsM.size());
    if (!isTurbulent_) {
        std::fill(out.begin(), out.end(), baseFlow_);
        return;
    }
    // Points go to the kernel in small batches whose samples stay on the stack.
    constexpr std::size_t kBatch = 16;
    std::array<detail::StencilSamples, kBatch> samples;
    for (std::size_t first = 0; first < pointsM.size(); first += kBatch) {
        const std::span<const Vec2> batch = pointsM.subspan(first, std::min(kBatch, pointsM.size() - first));
        const std::span<detail::StencilSamples> n(samples.data(), batch.size());
        const bool fitsLanes = std::all_of(batch.begin(), batch.end(), [](Vec2 p) {
            return std::abs(p.x) < kVectorLimit && std::abs(p.y) < kVectorLimit;
        });
        if (useAvx2_ && fitsLanes) {
            detail::streamFunctionStencilAvx2(permutation_, octaves_, batch, n);
        } else {
            detail::streamFunctionStencilScalar(permutation_, octaves_, batch, n);
        }
        // The swirl is the curl of the stream function by central differences over one metre: a velocity
        // field without divergence, so the turbulence stirs the water without piling particles up.
        for (std::size_t k = 0; k < batch.size(); ++k) {
            const double dNdy = (n[k][2] - n[k][3]) * 0.5;
            const double dNdx = (n[k][0] - n[k][1]) * 0.5;
            out[first + k] = {baseFlow_.x + turbulence_ * dNdy, baseFlow_.y - turbulence_ * dNdx};
        }
    }
}

} // namespace pelagrin
