// CfConventions: the attributes every CF-conventions file of ours carries, and those of its coordinates.
#pragma once

#include "exports/NetCdfFile.hpp"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace pelagrin {

/// Puts Conventions "CF-1.8", `title`, source "Pelagrin" and a history line on the file, stamped `createdAt`
/// (UTC) when given (without it the file's bytes depend on its contents alone, so that the same results
/// give the same file), then the caller's `attributes` (the run's seed and parameters, say), which may
/// replace any.
void putCfGlobals(NetCdfFile& file, const std::string& title,
                  std::optional<std::chrono::system_clock::time_point> createdAt,
                  const std::vector<NetCdfAttribute>& attributes);

/// Marks `variable` as the latitude or longitude coordinate of WGS 84 degrees; `longName` describes it.
void putLatitudeAttributes(NetCdfFile& file, int variable, const std::string& longName);
void putLongitudeAttributes(NetCdfFile& file, int variable, const std::string& longName);

/// Adds the scalar "crs" variable that tells GIS tools the degrees are WGS 84 ones; returns its id, for the
/// data variables' "grid_mapping".
int addWgs84Crs(NetCdfFile& file);

/// The units of a time variable counting seconds from `start` (UTC), "seconds since 2026-05-01 12:00:00".
std::string secondsSince(std::chrono::system_clock::time_point start);

/// `time` as ISO 8601 UTC to the second, "2026-05-01T12:00:00Z".
std::string isoUtc(std::chrono::system_clock::time_point time);

} // namespace pelagrin
