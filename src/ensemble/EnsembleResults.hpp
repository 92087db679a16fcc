// EnsembleResults: the files an ensemble leaves in its output folder.
#pragma once

#include "ensemble/MemberRun.hpp"

#include <filesystem>
#include <span>

namespace pelagrin {

/// Writes into `folder` (made when missing; each file replaced atomically) what `members` (finished ones, in
/// member order) of `setup` give: timeline.csv and timeline.nc (for each CSV column and time the mean, 5th,
/// 50th and 95th percentile across members), probability.nc and probability.geojson (the share of members
/// leaving plastic on each bed cell and each 100 m of shore; only for a project with a water outline),
/// manifest.json (the project, the seeds, each member's values and summary, `isGrid` telling how they were
/// drawn), and with `keepsMembers` member-K.csv for each member K. Without members only the manifest is
/// written. The project's outline is `setup`'s project's, read from its file when it has none. The files
/// depend on `setup` and `members` alone, byte for byte: no time of writing. Throws std::runtime_error
/// (`FileWriteError`, `NetCdfError`, std::filesystem::filesystem_error) with the path and the reason.
void writeEnsembleResults(const std::filesystem::path& folder, const EnsembleSetup& setup,
                          std::span<const MemberResult> members, bool isGrid, bool keepsMembers);

} // namespace pelagrin
