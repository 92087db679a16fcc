// EnsembleDialog: the "Run Ensemble…" dialog's prefilled fields, and the plan it makes of what was typed.
#pragma once

#include "ensemble/EnsemblePlan.hpp"

#include <cstddef>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace pelagrin {

class Intent;
class Project;

/// The dialog over a project window that starts an ensemble of its project on this machine.
class EnsembleDialog {
public:
    /// The members the dialog offers: from 2 (the fewest a band can be drawn from) to 200.
    static constexpr std::size_t minMembers = 2;
    static constexpr std::size_t maxMembers = 200;
    static constexpr std::size_t defaultMembers = 20;
    /// How far each varied setting's low and high are prefilled from the project's value: ±20 %.
    static constexpr double defaultSpread = 0.2;

    /// Prefilled from `project`'s values.
    explicit EnsembleDialog(const Project& project);

    /// The plan a "runEnsemble" intent asks for: "members" and "seed" as typed (a blank seed is drawn
    /// afresh), "vary" as the command's NAME=LOW:HIGH texts. Throws `VariationError` with the message the
    /// command gives for the same input, IntentError for a message of the wrong shape.
    static EnsemblePlan plan(const Intent& intent);

    /// The refusal of the last "runEnsemble", shown in the dialog until the next one.
    std::optional<std::string> error;

    /// `{"members", "seed", "parameters": [{"name", "low", "high", "min", "max"}], "error"}`.
    nlohmann::json state() const;

private:
    nlohmann::json parameters_;
};

} // namespace pelagrin
