// CommandOptions: the command-line options the headless commands share, checked as they are read.
#pragma once

#include <CLI/App.hpp>
#include <cstdint>
#include <optional>

namespace pelagrin {

/// A command-line number that must be finite and greater than 0.
CLI::Validator positiveNumber();

/// Adds `--seed N` to `command`: whole digits from 0 to `RandomSource::maxSeed`, stored in `seed`; `what` is
/// its help text.
CLI::Option* addSeedOption(CLI::App& command, std::optional<std::uint64_t>& seed, const std::string& what);

} // namespace pelagrin
