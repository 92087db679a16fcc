// PhysicalParametersScreen: the controls of the physical parameters.
#include "app/projects/PhysicalParametersScreen.hpp"

#include "app/ValueText.hpp"
#include "app/projects/LazyModel.hpp"
#include "app/projects/TransportModelSections.hpp"
#include "projects/Project.hpp"

#include <array>

namespace pelagrin {
namespace {

using Kind = ParameterControl::Kind;

constexpr std::array<ControlChoice, 5> durationChoices{
    {{"1 Hour", 3600}, {"6 Hours", 21600}, {"12 Hours", 43200}, {"24 Hours", 86400}, {"1 Week", 604800}}};

// The read/write pair of one field.
template <Observable<double> SimulationParameters::*field> double readField(const Project& project) {
    return (parametersOrDefaults(project).*field).get();
}

template <Observable<double> SimulationParameters::*field> void writeField(Project& project, double value) {
    parametersCreatingIfMissing(project).*field = value;
}

ParameterScreen makeScreen() {
    ParameterControl duration{.id = "simulationDuration",
                              .kind = Kind::picker,
                              .label = "Run Simulation For",
                              .choices = durationChoices,
                              .read = readField<&SimulationParameters::simulationDuration>,
                              .write = writeField<&SimulationParameters::simulationDuration>};
    ParameterControl waterDepth{.id = "waterDepth",
                                .label = "Water Depth",
                                .min = 2.0,
                                .max = 50.0,
                                .step = 1.0,
                                .text = [](double v) { return decimalText("%.1f m", v); },
                                .tooltip = "Total depth of the water column.",
                                .read = readField<&SimulationParameters::waterDepth>,
                                .write = writeField<&SimulationParameters::waterDepth>};
    ParameterControl windSpeed{.id = "windSpeed",
                               .label = "Wind Speed",
                               .min = 0.0,
                               .max = 20.0,
                               .step = 0.5,
                               .text = [](double v) { return decimalText("%.1f m/s", v); },
                               .tooltip = "Surface wind speed affecting shallow particles.",
                               .read = readField<&SimulationParameters::windSpeed>,
                               .write = writeField<&SimulationParameters::windSpeed>};
    ParameterControl windDirection{.id = "windDirection",
                                   .label = "Wind Direction",
                                   .min = 0.0,
                                   .max = 360.0,
                                   .text = [](double v) { return wholeText("%lld°", v); },
                                   .showsDirectionIcon = true,
                                   .read = readField<&SimulationParameters::windDirection>,
                                   .write = writeField<&SimulationParameters::windDirection>};
    ParameterControl flowSpeed{.id = "flowSpeed",
                               .label = "Mean Flow Speed",
                               .min = 0.1,
                               .max = 2.0,
                               .step = 0.05,
                               .text = [](double v) { return decimalText("%.2f m/s", v); },
                               .read = readField<&SimulationParameters::flowSpeed>,
                               .write = writeField<&SimulationParameters::flowSpeed>};
    ParameterControl turbulence{.id = "turbulence",
                                .label = "Turbulence Intensity",
                                .min = 0.0,
                                .max = 10.0,
                                .step = 0.05,
                                .text = [](double v) { return wholeText("%lld %%", v * 100.0); },
                                .read = readField<&SimulationParameters::turbulence>,
                                .write = writeField<&SimulationParameters::turbulence>};
    ParameterControl viscosity{.id = "viscosity",
                               .label = "Relative Viscosity",
                               .min = 0.5,
                               .max = 2.0,
                               .step = 0.05,
                               .text = [](double v) { return decimalText("%.2f × water", v); },
                               .read = readField<&SimulationParameters::viscosity>,
                               .write = writeField<&SimulationParameters::viscosity>};
    ParameterControl gravityScale{.id = "gravityScale",
                                  .label = "Gravity Scale",
                                  .min = 0.5,
                                  .max = 1.5,
                                  .step = 0.05,
                                  .text = [](double v) { return decimalText("%.2f × g", v); },
                                  .read = readField<&SimulationParameters::gravityScale>,
                                  .write = writeField<&SimulationParameters::gravityScale>};
    return {"Physical Parameters",
            "Configure fluid dynamics and environmental variables.",
            {{"Experiment Duration", {duration}},
             {"Environment", {waterDepth, windSpeed, windDirection}},
             {"Flow Field", {flowSpeed, turbulence}},
             {"Medium Properties", {viscosity, gravityScale}},
             transportModelSection(),
             physicalModelSection()}};
}

} // namespace

const ParameterScreen& physicalParametersScreen() {
    static const ParameterScreen screen = makeScreen();
    return screen;
}

} // namespace pelagrin
