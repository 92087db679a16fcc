// PhysicalParameters: what the physical transport model needs beyond the physics both models share.
#pragma once

#include <cstdint>
#include <string_view>

namespace pelagrin {

/// The law a run moves its particles by. `original` is the canvas model every project had before; it stays
/// the default, so a file without a model runs exactly as it always did.
enum class TransportModel : std::int64_t { original = 0, physical = 1 };

/// The project file's word for each model (key "transportModel").
constexpr std::string_view keyOf(TransportModel model) {
    return model == TransportModel::physical ? "physical" : "original";
}

/// The particle's shape, which slows its settling against a sphere of the same diameter.
enum class ParticleShape : std::int64_t { sphere = 0, fragment = 1, fibre = 2 };

/// Constant for a run of the physical model; every field finite. The current, wind, depth, gravity and
/// viscosity come from `SimulationEngineParameters` as in the original model.
struct PhysicalParameters {
    /// Water temperature, °C: sets the water's density and kinematic viscosity.
    double waterTemperature = 15.0;
    /// Horizontal eddy diffusivity K, m²/s, of the random walk.
    double horizontalDiffusivity = 0.1;
    /// Vertical eddy diffusivity Kz, m²/s; 0 turns vertical mixing off.
    double verticalDiffusivity = 0.0;
    /// Share of the wind speed a particle at the surface drifts with (0.03 = 3 %).
    double windage = 0.03;
    /// Half-life, s, of a particle touching the shore before it strands.
    double strandingHalfLife = 3600.0;
    /// Half-life, s, of a stranded particle before the water takes it back; 0 means never.
    double refloatHalfLife = 0.0;
    /// Current speed, m/s, above which a particle on the bed is lifted back into the water; 0 means never.
    double resuspensionSpeed = 0.0;
    ParticleShape shape = ParticleShape::sphere;

    bool operator==(const PhysicalParameters&) const = default;
};

} // namespace pelagrin
