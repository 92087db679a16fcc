// RunCommand: `pelagrin run PROJECT`, a whole simulation without the user interface.
#pragma once

#include <CLI/App.hpp>

namespace pelagrin {

/// Registers `run PROJECT.pelagrinproj [--speed X] [--seed N] [--csv FILE] [--trajectories FILE.nc
/// [--every SECONDS]] [--realtime]` on `app`: it runs the project's simulation to its duration, showing
/// progress on standard error, prints a summary on standard output and writes the timeline CSV atomically,
/// and the particles' trajectories (see `TrajectoryRecording`) when asked. Ctrl-C (or SIGTERM) ends the run
/// early and still writes the CSV and trajectories of what ran; the exit status is then 130. Bad input (an
/// unreadable or malformed project, a project without parameters, an unwritable CSV or trajectory location)
/// prints one line on standard error and exits with status 1 before anything runs; so does a mistake on the
/// command line (a speed or sampling interval that is not a positive number, a seed that is not a whole
/// number within range), with status 2.
void addRunCommand(CLI::App& app);

} // namespace pelagrin
