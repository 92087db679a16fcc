// ParticleSettingsScreen: the "Particle Settings" screen, editing the project's ParticleSettings.
#pragma once

#include "app/projects/ParameterScreen.hpp"

namespace pelagrin {

/// Particle size, density, colour mode and count. While the project has no parameters or no particle
/// settings the screen shows its own defaults (density 0.9, not the 1.05 a new record gets); the first write
/// creates what is missing with the creation defaults.
const ParameterScreen& particleSettingsScreen();

} // namespace pelagrin
