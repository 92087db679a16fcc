// RunAttributes: what an export says of the run it comes from, as file attributes.
#pragma once

#include "exports/NetCdfFile.hpp"

#include <cstdint>
#include <vector>

namespace pelagrin {

class Project;

/// The project's and region's names, the run's seed and speed multiplier, the physical parameters under
/// their project-file keys and the particle settings as "particle_<key>": enough to repeat the run with
/// `pelagrin run --seed`. A project without parameters gives only the names, seed and speed.
std::vector<NetCdfAttribute> runAttributes(Project& project, std::uint64_t seed, double speed);

} // namespace pelagrin
