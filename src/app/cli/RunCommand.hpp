// RunCommand: `pelagrin run PROJECT`, a whole simulation without the user interface.
#pragma once

#include <CLI/App.hpp>

namespace pelagrin {

/// Registers `run PROJECT.pelagrinproj [--speed X] [--seed N] [--csv FILE] [--deposits FILE] [--realtime]` on
/// `app`: it runs the project's simulation to its duration, showing progress on standard error, prints a
/// summary on standard output and writes the timeline CSV (and the deposits' GeoJSON) atomically. Ctrl-C (or
/// SIGTERM) ends the run early and still writes the CSV of what ran; the exit status is then 130. Bad input
/// (an unreadable or malformed project, a project without parameters, an unwritable CSV location, a speed
/// that is not a positive number, a seed that is not a whole number within range) prints one line on standard
/// error and exits with status 1 before anything runs.
void addRunCommand(CLI::App& app);

} // namespace pelagrin
