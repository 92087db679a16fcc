// TransportModelSections: the controls of the transport model and of the physical model's parameters.
#include "app/projects/TransportModelSections.hpp"

#include "app/ValueText.hpp"
#include "app/projects/LazyModel.hpp"
#include "projects/PhysicalParameterField.hpp"
#include "projects/Project.hpp"

#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

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

// The read/write pair and value text of the physical number `physicalParameterFields[i]`.
template <std::size_t i> double readPhysical(const Project& project) {
    constexpr PhysicalParameterField field = physicalParameterFields[i];
    const double shown = parametersOrDefaults(project).physical.get().*field.member * field.shownPerStored;
    // 0.07 × 100 is 7.000000000000001 in binary: the screen shows the decimal the user gave.
    return field.shownPerStored == 1.0 ? shown : std::round(shown * 1e9) / 1e9;
}

template <std::size_t i> void writePhysical(Project& project, double value) {
    constexpr PhysicalParameterField field = physicalParameterFields[i];
    SimulationParameters& parameters = parametersCreatingIfMissing(project);
    PhysicalParameters physical = parameters.physical;
    physical.*field.member = value / field.shownPerStored;
    parameters.physical = physical;
}

template <std::size_t i> std::string physicalText(double value) {
    constexpr PhysicalParameterField field = physicalParameterFields[i];
    if (field.isNeverAtZero && value == 0.0) {
        return "never";
    }
    return decimalText(("%." + std::to_string(field.decimals) + "f").c_str(), value);
}

/// Each physical number's name with its unit, as "Windage (%)".
const std::string& physicalLabel(std::size_t i) {
    static const auto labels = [] {
        std::array<std::string, physicalParameterFields.size()> named;
        for (std::size_t j = 0; j < named.size(); ++j) {
            const PhysicalParameterField& field = physicalParameterFields.at(j);
            named.at(j) = std::string(field.label) + " (" + std::string(field.unit) + ")";
        }
        return named;
    }();
    return labels.at(i);
}

template <std::size_t i> ParameterControl physicalControl() {
    constexpr PhysicalParameterField field = physicalParameterFields[i];
    return {.id = field.key,
            .label = physicalLabel(i),
            .min = field.slider.low,
            .max = field.slider.high,
            .step = field.slider.step,
            .text = physicalText<i>,
            .tooltip = field.description,
            .read = readPhysical<i>,
            .write = writePhysical<i>};
}

template <std::size_t... i> std::vector<ParameterControl> physicalControls(std::index_sequence<i...>) {
    return {physicalControl<i>()...};
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
    return {.title = "Physical Model",
            .controls = physicalControls(std::make_index_sequence<physicalParameterFields.size()>()),
            .isShown = runsPhysicalModel};
}

} // namespace pelagrin
