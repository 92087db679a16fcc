// ParameterScreen: the controls' JSON form and the checks and snapping of a new value.
#include "app/projects/ParameterScreen.hpp"

#include "app/Intent.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <sstream>

namespace pelagrin {
namespace {

using nlohmann::json;
using Kind = ParameterControl::Kind;

bool isWhole(Kind kind) {
    return kind == Kind::segmented || kind == Kind::stepper;
}

json choicesJson(std::span<const ControlChoice> choices) {
    json list = json::array();
    for (const ControlChoice& choice : choices) {
        list.push_back({{"label", choice.label}, {"value", choice.value}});
    }
    return list;
}

json controlJson(const ParameterControl& control, const Project& project) {
    const double value = control.read(project);
    json object = {{"id", control.id}, {"label", control.label}};
    object["value"] = isWhole(control.kind) ? json(static_cast<std::int64_t>(value)) : json(value);
    switch (control.kind) {
    case Kind::slider:
        object["kind"] = "slider";
        object["text"] = control.text(value);
        break;
    case Kind::picker:
        object["kind"] = "picker";
        object["choices"] = choicesJson(control.choices);
        break;
    case Kind::segmented:
        object["kind"] = "segmented";
        object["choices"] = choicesJson(control.choices);
        break;
    case Kind::stepper:
        object["kind"] = "stepper";
        object["label"] = std::string(control.label) + control.text(value);
        break;
    }
    if (control.kind == Kind::slider || control.kind == Kind::stepper) {
        object["min"] = control.min;
        object["max"] = control.max;
        object["step"] = control.step ? json(*control.step) : json(nullptr);
    }
    const std::string_view tooltip = control.tooltipFor ? control.tooltipFor(project) : control.tooltip;
    if (!tooltip.empty()) {
        object["tooltip"] = tooltip;
    }
    if (control.showsDirectionIcon) {
        object["iconRotation"] = value;
    }
    return object;
}

// A slider moves in whole steps from its minimum, as the widget does. The last rounding removes the binary
// residue of min + k·step (0.1 + 5 × 0.05), so that the model holds the decimal the user saw.
double snappedToSlider(const ParameterControl& control, double value) {
    double snapped = value;
    if (control.step) {
        snapped = control.min + std::round((snapped - control.min) / *control.step) * *control.step;
        snapped = std::clamp(std::round(snapped * 1e9) / 1e9, control.min, control.max);
    }
    return snapped;
}

// A value typed in the page may lie outside the range; the page says so in the same words.
void checkRange(const ParameterControl& control, const Intent& intent, double value) {
    if (value < control.min || value > control.max) {
        std::ostringstream message;
        message << "\"value\" must be a number from " << control.min << " to " << control.max << " for "
                << control.id;
        throw intent.error(message.str());
    }
}

double acceptedValue(const ParameterControl& control, const Intent& intent) {
    const double value = intent.number("value");
    switch (control.kind) {
    case Kind::slider:
        checkRange(control, intent, value);
        return snappedToSlider(control, value);
    case Kind::stepper:
        if (value != std::trunc(value)) {
            throw intent.error("\"value\" must be a whole number for " + std::string(control.id));
        }
        checkRange(control, intent, value);
        return value;
    case Kind::picker:
    case Kind::segmented:
        break;
    }
    const bool offered = std::any_of(control.choices.begin(), control.choices.end(),
                                     [&](const ControlChoice& choice) { return choice.value == value; });
    if (!offered) {
        throw intent.error("\"value\" is not one of the choices of " + std::string(control.id));
    }
    return value;
}

bool isShown(const ParameterSection& section, const Project& project) {
    return section.isShown == nullptr || section.isShown(project);
}

} // namespace

json ParameterScreen::state(const Project& project) const {
    json sectionList = json::array();
    for (const ParameterSection& section : sections) {
        if (!isShown(section, project)) {
            continue;
        }
        json controls = json::array();
        for (const ParameterControl& control : section.controls) {
            controls.push_back(controlJson(control, project));
        }
        sectionList.push_back({{"title", section.title}, {"controls", std::move(controls)}});
    }
    return {{"title", title}, {"subtitle", subtitle}, {"sections", std::move(sectionList)}};
}

void ParameterScreen::set(Project& project, const Intent& intent) const {
    const std::string id = intent.string("id");
    for (const ParameterSection& section : sections) {
        if (!isShown(section, project)) {
            continue;
        }
        for (const ParameterControl& control : section.controls) {
            if (control.id == id) {
                control.write(project, acceptedValue(control, intent));
                return;
            }
        }
    }
    throw intent.error("no control \"" + id + "\" on " + std::string(title));
}

} // namespace pelagrin
