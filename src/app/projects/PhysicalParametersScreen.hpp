// PhysicalParametersScreen: the "Physical Parameters" screen, editing the project's SimulationParameters.
#pragma once

#include "app/projects/ParameterScreen.hpp"

namespace pelagrin {

/// Run duration, water column and wind, mean current and turbulence, the medium, the transport model and,
/// for the physical model, its own numbers. While the project has
/// no parameters the screen shows its own defaults; the first write creates the parameters.
const ParameterScreen& physicalParametersScreen();

} // namespace pelagrin
