// The mean current and the curl of the turbulent stream function.
#include "simulation/FlowField.hpp"

#include <cmath>

namespace pelagrin {

namespace {

constexpr double kTurbulenceFloor = 0.01;
constexpr double kPixelFloor = 1e-6;
constexpr double kScales[3] = {300, 100, 25}; // metres per noise cell
constexpr double kWeights[3] = {60, 20, 5};
constexpr double kTimeRates[3] = {0.1, 0.3, 0.8};
constexpr double kVectorLimit = 0x1p30 * 25; // metres; beyond, cells overflow the kernel's 32-bit lanes

double fade(double t) {
    return t * t * t * (t * (t * 6 - 15) + 10);
}

} // namespace

FlowField::FlowField(const PerlinNoise& noise, const SimulationEngineParameters& params, double time)
    : baseFlow_(params.baseFlowVelocity / std::fmax(params.pixelsPerMeter, kPixelFloor)),
      turbulence_(params.turbulence), isTurbulent_(params.turbulence >= kTurbulenceFloor),
      useAvx2_(detail::hasAvx2()) {
    if (!isTurbulent_) {
        return;
    }
    for (std::size_t i = 0; i < permutation_.size(); ++i) {
        permutation_[i] = static_cast<std::int32_t>(noise.permutation()[i]);
    }
    const double scaledTime = params.turbulence * time;
    for (std::size_t octave = 0; octave < octaves_.size(); ++octave) {
        const double z = scaledTime * kTimeRates[octave];
        const double floorZ = std::floor(z);
        const double fraction = z - floorZ;
        const auto cell = static_cast<std::int32_t>(floorZ - 256.0 * std::floor(floorZ * (1.0 / 256.0)));
        octaves_[octave] = {kScales[octave], kWeights[octave], cell, fraction, fade(fraction)};
    }
}

Vec2 FlowField::velocity(Vec2 pointM) const {
    if (!isTurbulent_) {
        return baseFlow_;
    }
    // The swirl is the curl of the stream function by central differences over one metre: a velocity field
    // without divergence, so the turbulence stirs the water without piling particles up.
    double n[4];
    if (useAvx2_ && std::abs(pointM.x) < kVectorLimit && std::abs(pointM.y) < kVectorLimit) {
        detail::streamFunctionStencilAvx2(permutation_, octaves_, pointM, n);
    } else {
        detail::streamFunctionStencilScalar(permutation_, octaves_, pointM, n);
    }
    const double dNdy = (n[2] - n[3]) * 0.5;
    const double dNdx = (n[0] - n[1]) * 0.5;
    return {baseFlow_.x + turbulence_ * dNdy, baseFlow_.y - turbulence_ * dNdx};
}

} // namespace pelagrin
