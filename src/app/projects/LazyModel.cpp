// LazyModel: creation on first write, and the creation defaults shown before it.
#include "app/projects/LazyModel.hpp"

#include "projects/Project.hpp"

namespace pelagrin {

const SimulationParameters& parametersOrDefaults(const Project& project) {
    static const SimulationParameters defaults;
    const std::shared_ptr<SimulationParameters>& parameters = project.parameters;
    return parameters ? *parameters : defaults;
}

const ParticleSettings& particleSettingsOrDefaults(const Project& project) {
    static const ParticleSettings defaults;
    const std::shared_ptr<ParticleSettings> settings = parametersOrDefaults(project).particleSettings.get();
    return settings ? *settings : defaults;
}

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
