// RunAttributes: the project's fields walked by their own visitors, so a new parameter is exported too.
#include "exports/RunAttributes.hpp"

#include "projects/Project.hpp"

namespace pelagrin {

std::vector<NetCdfAttribute> runAttributes(Project& project, std::uint64_t seed, double speed) {
    std::vector<NetCdfAttribute> attributes{{"project", project.name.get()}};
    if (const std::shared_ptr<Region>& region = project.region.get()) {
        attributes.push_back({"region", region->name.get()});
    }
    attributes.push_back({"seed", static_cast<std::int64_t>(seed)});
    attributes.push_back({"speed_multiplier", speed});
    const std::shared_ptr<SimulationParameters>& parameters = project.parameters.get();
    if (!parameters) {
        return attributes;
    }
    parameters->forEachField([&](const char* key, const Observable<double>& field) {
        attributes.push_back({key, field.get()});
    });
    if (const std::shared_ptr<ParticleSettings>& particles = parameters->particleSettings.get()) {
        particles->forEachField([&](const std::string& key, const auto& field) {
            if (key != "colorMode") { // how the app draws them, not how they move
                attributes.push_back({"particle_" + key, field.get()});
            }
        });
    }
    return attributes;
}

} // namespace pelagrin
