// EnsembleDialog: prefilled ranges around the project's values and the command's own checks of the input.
#include "app/analysis/EnsembleDialog.hpp"

#include "app/Intent.hpp"
#include "ensemble/VariedParameter.hpp"
#include "simulation/RandomSource.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fmt/format.h>

namespace pelagrin {

namespace {

/// The text's count of members, refused outside the dialog's range.
std::size_t memberCount(const Intent& intent) {
    const std::string text = intent.string("members");
    std::size_t count = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (text.empty() || problem != std::errc() || end != text.data() + text.size() ||
        count < EnsembleDialog::minMembers || count > EnsembleDialog::maxMembers) {
        throw VariationError(fmt::format("Members must be a whole number from {} to {}, got \"{}\"",
                                         EnsembleDialog::minMembers, EnsembleDialog::maxMembers,
                                         text.substr(0, 40)));
    }
    return count;
}

std::uint64_t seedOf(const Intent& intent) {
    const std::string text = intent.string("seed");
    if (text.empty()) {
        return RandomSource::freshSeed();
    }
    const std::optional<std::uint64_t> seed = RandomSource::seedFromText(text);
    if (!seed) {
        throw VariationError(fmt::format("Seed must be blank or a whole number from 0 to {}, got \"{}\"",
                                         RandomSource::maxSeed, text.substr(0, 40)));
    }
    return *seed;
}

} // namespace

EnsembleDialog::EnsembleDialog(const Project& project) : parameters_(nlohmann::json::array()) {
    for (const VariedParameter& parameter : VariedParameter::all()) {
        const double value = parameter.read(project);
        const auto bound = [&](double factor) {
            const double clamped = std::clamp(value * factor, parameter.min, parameter.max);
            return parameter.isWhole ? std::round(clamped) : clamped;
        };
        parameters_.push_back({{"name", parameter.name},
                               {"low", bound(1.0 - defaultSpread)},
                               {"high", bound(1.0 + defaultSpread)},
                               {"min", parameter.min},
                               {"max", parameter.max}});
    }
}

EnsemblePlan EnsembleDialog::plan(const Intent& intent) {
    const std::size_t count = memberCount(intent);
    const std::uint64_t seed = seedOf(intent);
    const std::vector<std::string> texts = intent.strings("vary", VariedParameter::all().size(), 200);
    return EnsemblePlan::make(seed, count, Variation::parseAll(texts), false);
}

nlohmann::json EnsembleDialog::state() const {
    return {{"members", defaultMembers},
            {"seed", ""},
            {"parameters", parameters_},
            {"error", error ? nlohmann::json(*error) : nlohmann::json(nullptr)}};
}

} // namespace pelagrin
