// VariedParameter: the table of settings and the reading of their ranges.
#include "ensemble/VariedParameter.hpp"

#include "projects/ParticleSettings.hpp"
#include "projects/Project.hpp"
#include "projects/SimulationParameters.hpp"
#include "simulation/RunSettings.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <fmt/format.h>
#include <memory>

namespace pelagrin {

namespace {

constexpr std::size_t maxVariationLength = 200;

template <auto field> void setPhysical(Project& project, double value) {
    (*project.parameters.get()).*field = value;
}

template <auto field> double readPhysical(const Project& project) {
    const std::shared_ptr<SimulationParameters> parameters = project.parameters.get();
    return parameters ? (*parameters.*field).get() : (SimulationParameters().*field).get();
}

/// The settings a run falls back to without any, so that varying one leaves the others as they ran.
std::shared_ptr<ParticleSettings> fallbackParticleSettings() {
    return std::make_shared<ParticleSettings>(2.0, 1.0, 1000);
}

ParticleSettings& particleSettingsOf(Project& project) {
    SimulationParameters& parameters = *project.parameters.get();
    if (!parameters.particleSettings.get()) {
        parameters.particleSettings = fallbackParticleSettings();
    }
    return *parameters.particleSettings.get();
}

template <auto field> void setParticle(Project& project, double value) {
    auto& observable = particleSettingsOf(project).*field;
    observable = static_cast<std::decay_t<decltype(observable.get())>>(value);
}

template <auto field> double readParticle(const Project& project) {
    const std::shared_ptr<SimulationParameters> parameters = project.parameters.get();
    std::shared_ptr<ParticleSettings> settings = parameters ? parameters->particleSettings.get() : nullptr;
    if (!settings) {
        settings = fallbackParticleSettings();
    }
    return static_cast<double>((*settings.*field).get());
}

// The ranges are those the app's parameter screens offer; the count goes as far as a run can hold.
const std::array parameters{
    VariedParameter{"flowSpeed", 0.1, 2.0, false, setPhysical<&SimulationParameters::flowSpeed>,
                    readPhysical<&SimulationParameters::flowSpeed>},
    VariedParameter{"flowDirection", 0.0, 360.0, false, setPhysical<&SimulationParameters::flowDirection>,
                    readPhysical<&SimulationParameters::flowDirection>},
    VariedParameter{"turbulence", 0.0, 10.0, false, setPhysical<&SimulationParameters::turbulence>,
                    readPhysical<&SimulationParameters::turbulence>},
    VariedParameter{"windSpeed", 0.0, 20.0, false, setPhysical<&SimulationParameters::windSpeed>,
                    readPhysical<&SimulationParameters::windSpeed>},
    VariedParameter{"windDirection", 0.0, 360.0, false, setPhysical<&SimulationParameters::windDirection>,
                    readPhysical<&SimulationParameters::windDirection>},
    VariedParameter{"radius", 0.1, 5.0, false, setParticle<&ParticleSettings::radius>,
                    readParticle<&ParticleSettings::radius>},
    VariedParameter{"density", 0.5, 1.4, false, setParticle<&ParticleSettings::density>,
                    readParticle<&ParticleSettings::density>},
    VariedParameter{"count", 1.0, static_cast<double>(RunSettings::maxParticleCount), true,
                    setParticle<&ParticleSettings::count>, readParticle<&ParticleSettings::count>},
};

std::string knownNames() {
    std::string names;
    for (const VariedParameter& parameter : parameters) {
        names += names.empty() ? "" : ", ";
        names += parameter.name;
    }
    return names;
}

double boundOf(std::string_view text, std::string_view whole, const char* which) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        throw VariationError(
            fmt::format("--vary \"{}\": {} \"{}\" is not a finite number", whole, which, text));
    }
    return value;
}

} // namespace

std::span<const VariedParameter> VariedParameter::all() {
    return parameters;
}

const VariedParameter* VariedParameter::named(std::string_view name) {
    for (const VariedParameter& parameter : parameters) {
        if (parameter.name == name) {
            return &parameter;
        }
    }
    return nullptr;
}

Variation Variation::parse(std::string_view text) {
    if (text.size() > maxVariationLength) {
        throw VariationError(
            fmt::format("--vary \"{}…\": longer than {} characters", text.substr(0, 40), maxVariationLength));
    }
    const std::size_t equals = text.find('=');
    const std::size_t colon = text.find(':', equals == std::string_view::npos ? 0 : equals);
    if (equals == std::string_view::npos || colon == std::string_view::npos) {
        throw VariationError(fmt::format("--vary \"{}\": expected NAME=LOW:HIGH", text));
    }
    const std::string_view name = text.substr(0, equals);
    const VariedParameter* parameter = VariedParameter::named(name);
    if (parameter == nullptr) {
        throw VariationError(
            fmt::format("--vary \"{}\": unknown parameter \"{}\" (known: {})", text, name, knownNames()));
    }
    const double low = boundOf(text.substr(equals + 1, colon - equals - 1), text, "LOW");
    const double high = boundOf(text.substr(colon + 1), text, "HIGH");
    if (low > high) {
        throw VariationError(fmt::format("--vary \"{}\": LOW {} is above HIGH {}", text, low, high));
    }
    if (low < parameter->min || high > parameter->max) {
        throw VariationError(fmt::format("--vary \"{}\": {} must lie within [{}, {}]", text, name,
                                         parameter->min, parameter->max));
    }
    return {parameter, low, high};
}

std::vector<Variation> Variation::parseAll(std::span<const std::string> texts) {
    std::vector<Variation> variations;
    for (const std::string& text : texts) {
        const Variation variation = parse(text);
        for (const Variation& earlier : variations) {
            if (earlier.parameter == variation.parameter) {
                throw VariationError(
                    fmt::format("--vary \"{}\": {} is varied twice", text, variation.parameter->name));
            }
        }
        variations.push_back(variation);
    }
    return variations;
}

double Variation::valueAt(double share) const {
    const double value = low + share * (high - low);
    return parameter->isWhole ? std::round(value) : value;
}

} // namespace pelagrin
