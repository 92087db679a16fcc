// ParticleSettingsScreen: the controls of the particle settings.
#include "app/projects/ParticleSettingsScreen.hpp"

#include "app/ValueText.hpp"
#include "app/projects/LazyModel.hpp"
#include "projects/Project.hpp"

#include <array>
#include <type_traits>

namespace pelagrin {
namespace {

using Kind = ParameterControl::Kind;

constexpr std::array<ControlChoice, 3> colorModeChoices{
    {{label(ParticleColorMode::uniform), static_cast<double>(ParticleColorMode::uniform)},
     {label(ParticleColorMode::bySpeed), static_cast<double>(ParticleColorMode::bySpeed)},
     {label(ParticleColorMode::byDepth), static_cast<double>(ParticleColorMode::byDepth)}}};

// The read/write pair of one field. The values reaching a whole-number field are whole already (the screen
// refuses others).
template <auto field> double readField(const Project& project) {
    return static_cast<double>((particleSettingsOrDefaults(project).*field).get());
}

template <auto field> void writeField(Project& project, double value) {
    auto& observable = particleSettingsCreatingIfMissing(project).*field;
    observable = static_cast<std::decay_t<decltype(observable.get())>>(value);
}

ParameterScreen makeScreen() {
    ParameterControl diameter{.id = "radius",
                              .label = "Diameter",
                              .min = 0.1,
                              .max = 5.0,
                              .step = 0.1,
                              .text = [](double v) { return decimalText("%.2f mm", v); },
                              .read = readField<&ParticleSettings::radius>,
                              .write = writeField<&ParticleSettings::radius>};
    ParameterControl density{.id = "density",
                             .label = "Relative Density",
                             .min = 0.5,
                             .max = 1.4,
                             .step = 0.05,
                             .text = [](double v) { return decimalText("%.2f g/cm³", v); },
                             .read = readField<&ParticleSettings::density>,
                             .write = writeField<&ParticleSettings::density>};
    ParameterControl colorMode{.id = "colorMode",
                               .kind = Kind::segmented,
                               .label = "Color Mode",
                               .choices = colorModeChoices,
                               .read = readField<&ParticleSettings::colorMode>,
                               .write = writeField<&ParticleSettings::colorMode>};
    ParameterControl count{.id = "count",
                           .kind = Kind::stepper,
                           .label = "Count: ",
                           .min = 500,
                           .max = 20000,
                           .step = 500,
                           .text = [](double v) { return wholeText("%lld", v); },
                           .read = readField<&ParticleSettings::count>,
                           .write = writeField<&ParticleSettings::count>};
    return {"Particle Settings",
            "Define particle characteristics for the Stokes-based microplastic simulation.",
            {{"Particle Size", {diameter}},
             {"Density / Polymer Type", {density, colorMode}},
             {"Particle Count", {count}}}};
}

} // namespace

const ParameterScreen& particleSettingsScreen() {
    static const ParameterScreen screen = makeScreen();
    return screen;
}

} // namespace pelagrin
