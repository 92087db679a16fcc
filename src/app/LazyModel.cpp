// LazyModel: creation on first write.
#include "app/LazyModel.hpp"

#include "projects/Project.hpp"

namespace pelagrin {

SimulationParameters& parametersCreatingIfMissing(Project& project) {
    if (!project.parameters.get()) {
        project.parameters = std::make_shared<SimulationParameters>();
    }
    return *project.parameters.get();
}

ParticleSettings& particleSettingsCreatingIfMissing(Project& project) {
    SimulationParameters& parameters = parametersCreatingIfMissing(project);
    if (!parameters.particleSettings.get()) {
        parameters.particleSettings = std::make_shared<ParticleSettings>();
    }
    return *parameters.particleSettings.get();
}

} // namespace pelagrin
