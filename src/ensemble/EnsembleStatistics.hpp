// EnsembleStatistics: the members' timelines and deposits summed up across members.
#pragma once

#include "ensemble/MemberResult.hpp"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pelagrin {

/// The `percent` (0 to 100) percentile of `sorted` (ascending, not empty), by linear interpolation between
/// the order statistics, as numpy's default: at rank h = (n − 1) · percent / 100, x[⌊h⌋] plus the fraction of
/// h times the step to the next one.
double percentile(std::span<const double> sorted, double percent);

/// One value of the timeline across members.
struct Band {
    double mean = 0.0; ///< summed in member order
    double p5 = 0.0;
    double p50 = 0.0;
    double p95 = 0.0;
};

/// The members' timelines side by side: for each CSV column after the time, and each time, its band.
struct TimelineSummary {
    std::string timeColumn;               ///< the CSV's first column's name
    std::vector<std::string> columns;     ///< the other columns' names, in CSV order
    std::vector<double> times;            ///< s, the samples the members share
    std::vector<std::vector<Band>> bands; ///< [column][sample]

    /// The summary of `members` (at least one), from their CSV text. Members run at one speed sample at the
    /// same times; should their timelines differ in length, the samples all of them have are summed up.
    static TimelineSummary of(std::span<const MemberResult> members);
};

/// Share of `members` with a 1 at each place of their `field` (all as long): the chance, as far as this
/// ensemble tells, of a bed cell or a shore stretch receiving plastic.
std::vector<double> shareOfMembers(std::span<const MemberResult> members,
                                   std::vector<std::uint8_t> MemberResult::*field);

} // namespace pelagrin
