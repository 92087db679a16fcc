// CommandOptions: the positive numbers, the speed and the seed.
#include "app/cli/CommandOptions.hpp"

#include "simulation/RandomSource.hpp"

#include <cmath>
#include <fmt/format.h>

namespace pelagrin {

CLI::Validator positiveNumber() {
    return CLI::Validator(
        [](const std::string& text) {
            double value = 0.0;
            const bool isNumber = CLI::detail::lexical_cast(text, value);
            return isNumber && std::isfinite(value) && value > 0.0
                       ? std::string()
                       : fmt::format("must be a number greater than 0, got \"{}\"", text);
        },
        "POSITIVE");
}

CLI::Option* addSpeedOption(CLI::App& command, double& speed, const std::string& what) {
    return command.add_option("--speed", speed, what)->capture_default_str()->check(positiveNumber());
}

CLI::Option* addSeedOption(CLI::App& command, std::optional<std::uint64_t>& seed, const std::string& what) {
    return command.add_option_function<std::string>(
        "--seed",
        [&seed](const std::string& text) {
            const std::optional<std::uint64_t> value = RandomSource::seedFromText(text);
            if (!value) {
                throw CLI::ValidationError("--seed",
                                           fmt::format("must be a whole number from 0 to {}, got \"{}\"",
                                                       RandomSource::maxSeed, text));
            }
            seed = value;
        },
        what);
}

} // namespace pelagrin
