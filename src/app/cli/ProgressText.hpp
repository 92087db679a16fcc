// ProgressText: the words the headless commands show their progress with.
#pragma once

#include <string>

namespace pelagrin {

/// "2h 05m 07s", "4m 30s", "12.5s": a duration in s the way a reader thinks of it.
std::string formatDuration(double seconds);
/// "850", "12.3k", "4.56M": a rate per second with a metric prefix.
std::string formatMetricRate(double perSecond);

} // namespace pelagrin
