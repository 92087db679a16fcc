// ParticleSettings: what a run releases, and the colour-mode codes the settings screen offers.
#pragma once

#include "simulation/Observable.hpp"
#include "simulation/physical/PhysicalParameters.hpp"

#include <array>
#include <cstdint>
#include <string_view>

namespace pelagrin {

/// The codes stored in `ParticleSettings::colorMode`. A file may carry any other integer; it is kept as is.
enum class ParticleColorMode : std::int64_t { uniform = 0, bySpeed = 1, byDepth = 2 };

/// The label under which the settings screen offers a colour mode.
constexpr std::string_view label(ParticleColorMode mode) {
    constexpr std::array<std::string_view, 3> labels{"Uniform", "By Speed", "By Depth"};
    return labels.at(static_cast<std::size_t>(mode));
}

/// The particles of a run. Every field is observable.
class ParticleSettings {
public:
    explicit ParticleSettings(double radiusMm = 1.0, double relativeDensity = 1.05,
                              std::int64_t particleCount = 5000, std::int64_t colorModeCode = 0)
        : radius(radiusMm), density(relativeDensity), count(particleCount), colorMode(colorModeCode) {}

    Observable<double> radius;          ///< particle radius, mm (spread per particle by the engine)
    Observable<double> density;         ///< density relative to water
    Observable<std::int64_t> count;     ///< particles released in a run
    Observable<std::int64_t> colorMode; ///< a `ParticleColorMode` code, stored unchanged even outside 0 to 2
    /// What slows the particles' settling in the physical model; kept, like the model, in the file only.
    Observable<ParticleShape> shape{ParticleShape::sphere};

    /// Calls `visit(key, field)` for every stored field in declaration order.
    template <class Visitor> void forEachField(Visitor&& visit) {
        visit("radius", radius);
        visit("density", density);
        visit("count", count);
        visit("colorMode", colorMode);
    }
};

} // namespace pelagrin
