// PhysicalParametersScreen: the "Physical Parameters" screen, editing the project's SimulationParameters.
#pragma once

#include "app/projects/ParameterScreen.hpp"

namespace pelagrin {

/// Run duration, water column and wind, mean current and turbulence, and the medium. While the project has
/// no parameters the screen shows its own defaults; the first write creates the parameters.
const ParameterScreen& physicalParametersScreen();

} // namespace pelagrin
