// ExportedSetting: the project's visitors turned into a list.
#include "exports/ExportedSetting.hpp"

#include "projects/SimulationParameters.hpp"

namespace pelagrin {

std::vector<ExportedSetting> exportedSettings(SimulationParameters& parameters) {
    std::vector<ExportedSetting> settings;
    parameters.forEachField([&](const char* key, const auto& field) {
        settings.push_back({false, key, field.get()});
    });
    if (const std::shared_ptr<ParticleSettings>& particles = parameters.particleSettings.get()) {
        particles->forEachField([&](const char* key, const auto& field) {
            settings.push_back({true, key, field.get()});
        });
    }
    return settings;
}

} // namespace pelagrin
