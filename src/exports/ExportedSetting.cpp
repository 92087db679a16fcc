// ExportedSetting: the project's visitors turned into a list.
#include "exports/ExportedSetting.hpp"

#include "projects/PhysicalParameterField.hpp"
#include "projects/SimulationParameters.hpp"

namespace pelagrin {

std::vector<ExportedSetting> exportedSettings(SimulationParameters& parameters) {
    std::vector<ExportedSetting> settings;
    parameters.forEachField([&](const char* key, const auto& field) {
        settings.push_back({false, key, field.get()});
    });
    const std::shared_ptr<ParticleSettings>& particles = parameters.particleSettings.get();
    if (particles) {
        particles->forEachField([&](const char* key, const auto& field) {
            settings.push_back({true, key, field.get()});
        });
    }
    const TransportModel model = parameters.transportModel.get();
    settings.push_back({false, "transportModel", std::string(keyOf(model))});
    if (model == TransportModel::physical) {
        const PhysicalParameters physical = parameters.physical.get();
        for (const PhysicalParameterField& field : physicalParameterFields) {
            settings.push_back({false, std::string(field.key), physical.*field.member});
        }
        if (particles) {
            const auto shape = static_cast<std::size_t>(particles->shape.get());
            settings.push_back({true, "shape", std::string(particleShapeKeys.at(shape))});
        }
    }
    return settings;
}

} // namespace pelagrin
