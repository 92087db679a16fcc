// LazyModel: the parts of a project that screens create with their creation defaults on first write.
#pragma once

namespace pelagrin {

class Project;
class SimulationParameters;
class ParticleSettings;

/// `project.parameters`, first set to a new `SimulationParameters` with its creation defaults when absent.
SimulationParameters& parametersCreatingIfMissing(Project& project);

/// `project.parameters.particleSettings`, creating the parameters and then the settings (radius 1.0,
/// density 1.05, count 5000, colour mode 0) where they are absent.
ParticleSettings& particleSettingsCreatingIfMissing(Project& project);

} // namespace pelagrin
