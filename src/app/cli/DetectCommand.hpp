// DetectCommand: `pelagrin detect LAT LON`, the water detection without the user interface.
#pragma once

#include <CLI/App.hpp>

namespace pelagrin {

/// Registers the `detect LAT LON [--geojson | --text]` subcommand on `app`: it prints the outline of the
/// water at the point (degrees, latitude in [-90, 90], longitude in [-180, 180]) on standard output, as a
/// GeoJSON Feature by default, and the diagnostic lines on standard error. A failed detection prints one line
/// on standard error and makes the program exit with status 1.
void addDetectCommand(CLI::App& app);

} // namespace pelagrin
