// RunCommand: `pelagrin run PROJECT`, a whole simulation without the user interface.
#pragma once

#include <CLI/App.hpp>

namespace pelagrin {

/// Registers `run PROJECT.pelagrinproj [--speed X] [--seed N] [--csv FILE] [--trajectories FILE.nc
/// [--every SECONDS]] [--deposits FILE.geojson] [--heatmap FILE.nc]
/// [--realtime]` on `app`: it runs the project's simulation to
/// its duration, showing progress on standard error, prints a summary on standard output and writes the
/// timeline CSV atomically, and when asked the particles' trajectories (see `TrajectoryRecording`) and where
/// they came to rest (GeoJSON, and the bed's NetCDF heatmap). Ctrl-C (or SIGTERM) ends the run early and
/// still writes the files of what ran; the exit status is then 130. Bad input (an unreadable or malformed
/// project, a project without parameters, an unwritable destination) prints one line on standard error and
/// exits with status 1 before anything runs; so does a mistake on the command line (a speed or sampling
/// interval that is not a positive number, a seed that is not a whole number within range), with status 2.
void addRunCommand(CLI::App& app);

} // namespace pelagrin
