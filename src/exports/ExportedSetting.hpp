// ExportedSetting: a run's physics and particle settings, the one list every export encodes them from.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace pelagrin {

class SimulationParameters;

/// One setting under its project-file key.
struct ExportedSetting {
    /// A setting of the particles ("particleSettings" in the project file) rather than of the physics.
    bool isParticle = false;
    std::string key;
    std::variant<double, std::int64_t, std::string> value;
};

/// The physics' fields, then the particle settings', each in the project file's order: walked by their own
/// visitors, so a setting added to the project is exported too. Then the transport model's word and, for the
/// physical model, its numbers and the particles' shape, under their project-file keys.
std::vector<ExportedSetting> exportedSettings(SimulationParameters& parameters);

} // namespace pelagrin
