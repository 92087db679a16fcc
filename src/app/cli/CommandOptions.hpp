// CommandOptions: the command-line options the headless commands share, checked as they are read.
#pragma once

#include <CLI/App.hpp>
#include <cstdint>
#include <optional>

namespace pelagrin {

/// A command-line number that must be finite and greater than 0.
CLI::Validator positiveNumber();

/// Adds `--speed X` to `command`: the speed multiplier, a number above 0 stored in `speed`, whose value
/// beforehand is the default shown; `what` is its help text.
CLI::Option* addSpeedOption(CLI::App& command, double& speed, const std::string& what);

/// Adds `--seed N` to `command`: whole digits from 0 to `RandomSource::maxSeed`, stored in `seed`; `what` is
/// its help text.
CLI::Option* addSeedOption(CLI::App& command, std::optional<std::uint64_t>& seed, const std::string& what);

} // namespace pelagrin
