// TransportModelSections: the Physical Parameters screen's choice of transport model and the physical model's
// own numbers.
#pragma once

#include "app/projects/ParameterScreen.hpp"

namespace pelagrin {

class Project;

/// The "Transport Model" choice, "Original" or "Physical".
ParameterSection transportModelSection();

/// The physical model's numbers, one control per `physicalParameterFields` row, each in its unit (the windage
/// in percent), shown while the project's model is physical. Every range lies within what a run of the
/// physical model accepts.
ParameterSection physicalModelSection();

/// Whether `project` (or, without parameters, its defaults) runs the physical model.
bool runsPhysicalModel(const Project& project);

} // namespace pelagrin
