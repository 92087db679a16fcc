// TransportModelSections: the controls of the transport model and of the physical model's parameters.
#include "app/projects/TransportModelSections.hpp"

#include "app/ValueText.hpp"
#include "app/projects/LazyModel.hpp"
#include "projects/Project.hpp"

#include <array>
#include <cmath>
#include <string>

namespace pelagrin {
namespace {

using Kind = ParameterControl::Kind;

constexpr std::array<ControlChoice, 2> modelChoices{
    {{"Original", static_cast<double>(TransportModel::original)},
     {"Physical", static_cast<double>(TransportModel::physical)}}};

double readModel(const Project& project) {
    return static_cast<double>(parametersOrDefaults(project).transportModel.get());
}

void writeModel(Project& project, double value) {
    parametersCreatingIfMissing(project).transportModel =
        static_cast<TransportModel>(static_cast<std::int64_t>(value));
}

// The read/write pair of one physical number, `scale` times the stored value on the screen.
template <double PhysicalParameters::*member, int scale = 1> double readPhysical(const Project& project) {
    const double shown = parametersOrDefaults(project).physical.get().*member * scale;
    // 0.07 × 100 is 7.000000000000001 in binary: the screen shows the decimal the user gave.
    return scale == 1 ? shown : std::round(shown * 1e9) / 1e9;
}

template <double PhysicalParameters::*member, int scale = 1>
void writePhysical(Project& project, double value) {
    SimulationParameters& parameters = parametersCreatingIfMissing(project);
    PhysicalParameters physical = parameters.physical;
    physical.*member = value / scale;
    parameters.physical = physical;
}

/// A half-life or threshold where 0 means the event never happens.
std::string orNever(const char* format, double value) {
    return value == 0.0 ? std::string("never") : decimalText(format, value);
}

} // namespace

bool runsPhysicalModel(const Project& project) {
    return parametersOrDefaults(project).transportModel.get() == TransportModel::physical;
}

ParameterSection transportModelSection() {
    ParameterControl model{.id = "transportModel",
                           .kind = Kind::segmented,
                           .label = "Transport Model",
                           .tooltip = "Original: the model of earlier versions, on the canvas. Physical: "
                                      "settling, diffusion, windage and stranding in metres and seconds.",
                           .choices = modelChoices,
                           .read = readModel,
                           .write = writeModel};
    return {.title = "Transport", .controls = {model}};
}

ParameterSection physicalModelSection() {
    ParameterControl temperature{
        .id = "waterTemperature",
        .label = "Water Temperature (°C)",
        .min = 0.0,
        .max = 40.0,
        .step = 0.5,
        .text = [](double v) { return decimalText("%.1f", v); },
        .tooltip = "Sets the water's density and viscosity, and with them how fast particles settle.",
        .read = readPhysical<&PhysicalParameters::waterTemperature>,
        .write = writePhysical<&PhysicalParameters::waterTemperature>};
    ParameterControl diffusivity{
        .id = "horizontalDiffusivity",
        .label = "Diffusivity K (m²/s)",
        .min = 0.0,
        .max = 10.0,
        .step = 0.01,
        .text = [](double v) { return decimalText("%.2f", v); },
        .tooltip = "Horizontal eddy diffusivity: how fast turbulence spreads particles across the water.",
        .read = readPhysical<&PhysicalParameters::horizontalDiffusivity>,
        .write = writePhysical<&PhysicalParameters::horizontalDiffusivity>};
    ParameterControl verticalDiffusivity{.id = "verticalDiffusivity",
                                         .label = "Vertical Diffusivity Kz (m²/s)",
                                         .min = 0.0,
                                         .max = 0.01,
                                         .step = 0.0001,
                                         .text = [](double v) { return decimalText("%.4f", v); },
                                         .tooltip = "Mixing through the water column; 0 turns it off.",
                                         .read = readPhysical<&PhysicalParameters::verticalDiffusivity>,
                                         .write = writePhysical<&PhysicalParameters::verticalDiffusivity>};
    ParameterControl windage{.id = "windage",
                             .label = "Windage (%)",
                             .min = 0.0,
                             .max = 10.0,
                             .step = 0.1,
                             .text = [](double v) { return decimalText("%.1f", v); },
                             .tooltip = "Share of the wind speed a particle at the surface drifts with.",
                             .read = readPhysical<&PhysicalParameters::windage, 100>,
                             .write = writePhysical<&PhysicalParameters::windage, 100>};
    ParameterControl stranding{.id = "strandingHalfLife",
                               .label = "Stranding Half-Life (s)",
                               .min = 0.0,
                               .max = 86400.0,
                               .step = 60.0,
                               .text = [](double v) { return decimalText("%.0f", v); },
                               .tooltip = "Half-life of a particle touching the shore before it stays there.",
                               .read = readPhysical<&PhysicalParameters::strandingHalfLife>,
                               .write = writePhysical<&PhysicalParameters::strandingHalfLife>};
    ParameterControl refloat{
        .id = "refloatHalfLife",
        .label = "Refloat Half-Life (s)",
        .min = 0.0,
        .max = 86400.0,
        .step = 60.0,
        .text = [](double v) { return orNever("%.0f", v); },
        .tooltip = "Half-life of a stranded particle before the water takes it back; 0 = never.",
        .read = readPhysical<&PhysicalParameters::refloatHalfLife>,
        .write = writePhysical<&PhysicalParameters::refloatHalfLife>};
    ParameterControl resuspension{
        .id = "resuspensionSpeed",
        .label = "Resuspension Speed (m/s)",
        .min = 0.0,
        .max = 2.0,
        .step = 0.01,
        .text = [](double v) { return orNever("%.2f", v); },
        .tooltip =
            "Current speed above which a particle on the bed is lifted back into the water; 0 = never.",
        .read = readPhysical<&PhysicalParameters::resuspensionSpeed>,
        .write = writePhysical<&PhysicalParameters::resuspensionSpeed>};
    return {.title = "Physical Model",
            .controls = {temperature, diffusivity, verticalDiffusivity, windage, stranding, refloat,
                         resuspension},
            .isShown = runsPhysicalModel};
}

} // namespace pelagrin
