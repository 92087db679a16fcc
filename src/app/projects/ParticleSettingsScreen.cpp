// ParticleSettingsScreen: the controls of the particle settings.
#include "app/projects/ParticleSettingsScreen.hpp"

#include "app/ValueText.hpp"
#include "app/projects/LazyModel.hpp"
#include "app/projects/TransportModelSections.hpp"
#include "projects/Project.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <type_traits>

namespace pelagrin {
namespace {

using Kind = ParameterControl::Kind;

constexpr std::array<ControlChoice, 3> colorModeChoices{
    {{label(ParticleColorMode::uniform), static_cast<double>(ParticleColorMode::uniform)},
     {label(ParticleColorMode::bySpeed), static_cast<double>(ParticleColorMode::bySpeed)},
     {label(ParticleColorMode::byDepth), static_cast<double>(ParticleColorMode::byDepth)}}};

constexpr std::array<ControlChoice, 3> shapeChoices{
    {{"Sphere", static_cast<double>(ParticleShape::sphere)},
     {"Fragment", static_cast<double>(ParticleShape::fragment)},
     {"Fibre", static_cast<double>(ParticleShape::fibre)}}};

// The relative density slider's range.
constexpr double densityMin = 0.5;
constexpr double densityMax = 1.4;

/// A common polymer and the density range of its plastics, g/cm³, as tabled by Hidalgo-Ruz et al.,
/// "Microplastics in the marine environment", Environ. Sci. Technol. 46 (2012) 3060–3075, Table 1.
struct Polymer {
    double lowDensity;
    double highDensity;

    /// The middle of the range, held within the density slider's range so that the slider shows what the
    /// preset set: PET's middle, 1.41, becomes 1.40, still one of its plastics.
    constexpr double preset() const { return std::min((lowDensity + highDensity) / 2.0, densityMax); }
};

constexpr std::array<Polymer, 6> polymers{
    {{0.917, 0.965}, {0.90, 0.91}, {1.04, 1.10}, {1.02, 1.05}, {1.37, 1.45}, {1.16, 1.58}}};

constexpr std::array<ControlChoice, 6> polymerChoices{{{"PE (0.917–0.965 g/cm³)", 0},
                                                       {"PP (0.90–0.91 g/cm³)", 1},
                                                       {"PS (1.04–1.10 g/cm³)", 2},
                                                       {"PA (1.02–1.05 g/cm³)", 3},
                                                       {"PET (1.37–1.45 g/cm³)", 4},
                                                       {"PVC (1.16–1.58 g/cm³)", 5}}};

// The polymer whose preset the density is, or -1 (no selection) for any other density.
double readPolymer(const Project& project) {
    const double density = particleSettingsOrDefaults(project).density;
    const auto found = std::find_if(polymers.begin(), polymers.end(),
                                    [&](const Polymer& polymer) { return polymer.preset() == density; });
    return found == polymers.end() ? -1.0 : static_cast<double>(found - polymers.begin());
}

void writePolymer(Project& project, double index) {
    particleSettingsCreatingIfMissing(project).density =
        polymers.at(static_cast<std::size_t>(index)).preset();
}

std::string_view diameterTooltip(const Project& project) {
    return runsPhysicalModel(project) ? "The physical model reads this size as the particle's diameter."
                                      : std::string_view();
}

// The read/write pair of one field. The values reaching a whole-number field are whole already (the screen
// refuses others).
template <auto field> double readField(const Project& project) {
    return static_cast<double>((particleSettingsOrDefaults(project).*field).get());
}

template <auto field> void writeField(Project& project, double value) {
    auto& observable = particleSettingsCreatingIfMissing(project).*field;
    using Value = std::decay_t<decltype(observable.get())>;
    if constexpr (std::is_enum_v<Value>) {
        observable = static_cast<Value>(static_cast<std::int64_t>(value));
    } else {
        observable = static_cast<Value>(value);
    }
}

ParameterScreen makeScreen() {
    ParameterControl diameter{.id = "radius",
                              .label = "Diameter",
                              .min = 0.1,
                              .max = 5.0,
                              .step = 0.1,
                              .text = [](double v) { return decimalText("%.2f mm", v); },
                              .tooltipFor = diameterTooltip,
                              .read = readField<&ParticleSettings::radius>,
                              .write = writeField<&ParticleSettings::radius>};
    ParameterControl shape{.id = "shape",
                           .kind = Kind::segmented,
                           .label = "Shape",
                           .tooltip = "In the physical model fragments and fibres settle more slowly than "
                                      "spheres of the same diameter.",
                           .choices = shapeChoices,
                           .read = readField<&ParticleSettings::shape>,
                           .write = writeField<&ParticleSettings::shape>};
    ParameterControl polymer{
        .id = "polymer",
        .kind = Kind::picker,
        .label = "Polymer",
        .tooltip =
            "Sets the density to the middle of the polymer's published range (at most the slider's 1.40).",
        .choices = polymerChoices,
        .read = readPolymer,
        .write = writePolymer};
    ParameterControl density{.id = "density",
                             .label = "Relative Density",
                             .min = densityMin,
                             .max = densityMax,
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
            {{"Particle Size", {diameter, shape}},
             {"Density / Polymer Type", {polymer, density, colorMode}},
             {"Particle Count", {count}}}};
}

} // namespace

const ParameterScreen& particleSettingsScreen() {
    static const ParameterScreen screen = makeScreen();
    return screen;
}

} // namespace pelagrin
