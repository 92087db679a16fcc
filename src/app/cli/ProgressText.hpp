// ProgressText: the words and the bar the headless commands show their progress with.
#pragma once

#include <cstdio>
#include <string>

namespace pelagrin {

/// "2h 05m 07s", "4m 30s", "12.5s": a duration in s the way a reader thinks of it.
std::string formatDuration(double seconds);
/// "850", "12.3k", "4.56M": a rate per second with a metric prefix.
std::string formatMetricRate(double perSecond);
/// Shows `figures` on `out`: on a terminal after a bar `share` (0 to 1) full, redrawn in place over the
/// previous report; elsewhere as a line of its own.
void drawProgress(std::FILE* out, bool isTerminal, double share, const std::string& figures);

} // namespace pelagrin
