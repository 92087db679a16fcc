// LazyModel: the parts of a project that screens show with their creation defaults until the first write
// creates them.
#pragma once

namespace pelagrin {

class Project;
class SimulationParameters;
class ParticleSettings;

/// `project.parameters`, or parameters with their creation defaults while it has none: what a write would
/// create.
const SimulationParameters& parametersOrDefaults(const Project& project);

/// The project's particle settings, or settings with their creation defaults while it has none.
const ParticleSettings& particleSettingsOrDefaults(const Project& project);

/// `project.parameters`, first set to a new `SimulationParameters` with its creation defaults when absent.
SimulationParameters& parametersCreatingIfMissing(Project& project);

/// `project.parameters.particleSettings`, creating the parameters and then the settings with their creation
/// defaults where they are absent.
ParticleSettings& particleSettingsCreatingIfMissing(Project& project);

} // namespace pelagrin
