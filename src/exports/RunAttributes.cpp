// RunAttributes: the project's names and the run's settings as attributes, particle settings prefixed.
#include "exports/RunAttributes.hpp"

#include "exports/ExportedSetting.hpp"
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
    for (const ExportedSetting& setting : exportedSettings(*parameters)) {
        if (setting.isParticle && setting.key == "colorMode") {
            continue; // how the app draws them, not how they move
        }
        std::visit(
            [&](auto value) {
                attributes.push_back({(setting.isParticle ? "particle_" : "") + setting.key, value});
            },
            setting.value);
    }
    return attributes;
}

} // namespace pelagrin
