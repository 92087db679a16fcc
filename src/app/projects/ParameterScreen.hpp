// ParameterScreen: a form of labelled controls bound to fields of the open project.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelagrin {

class Intent;
class Project;

/// One entry of a picker or segmented control.
struct ControlChoice {
    std::string_view label{};
    double value = 0.0;
};

/// One control and the field it edits through a read/write pair. While the model object is missing the read
/// gives the value its creation would hold, and the write creates it first.
struct ParameterControl {
    enum class Kind { slider, picker, segmented, stepper };

    std::string_view id{};
    Kind kind = Kind::slider;
    /// A stepper's label is followed by its value text.
    std::string_view label{};
    double min = 0.0; ///< slider and stepper
    double max = 0.0;
    std::optional<double> step{};          ///< slider (absent: continuous) and stepper
    std::string (*text)(double) = nullptr; ///< slider and stepper: the value as shown
    std::string_view tooltip{};            ///< empty: none
    /// When given, the tooltip for this project instead of `tooltip` (empty: none).
    std::string_view (*tooltipFor)(const Project&) = nullptr;
    std::span<const ControlChoice> choices{}; ///< picker and segmented
    bool showsDirectionIcon = false;          ///< the value also turns an arrow, in degrees clockwise
    double (*read)(const Project&) = nullptr;
    void (*write)(Project&, double) = nullptr;
};

struct ParameterSection {
    std::string_view title;
    std::vector<ParameterControl> controls;
    /// When given, whether the section is on the screen for this project; a hidden section's controls are
    /// neither shown nor set.
    bool (*isShown)(const Project&) = nullptr;
};

/// A screen's header and its sections of controls.
struct ParameterScreen {
    std::string_view title;
    std::string_view subtitle;
    std::vector<ParameterSection> sections;

    /// `{"title", "subtitle", "sections": [{"title", "controls": [...]}]}` for `project`, without the
    /// sections hidden for it.
    nlohmann::json state(const Project& project) const;

    /// Applies a "setControl" of this screen: a slider's value must lie in its range and is rounded to its
    /// step, a stepper's must be a whole number in its range; a picker's or segmented control's must be one
    /// of its choices. Throws IntentError, changing nothing, for an unknown or hidden id or an unacceptable
    /// value.
    void set(Project& project, const Intent& intent) const;
};

} // namespace pelagrin
