// ValueText: a control's value as the screens print it, through its printf format.
#pragma once

#include <string>

namespace pelagrin {

/// `format` (one "%.Nf" conversion, e.g. "%.1f m") applied to `value`.
std::string decimalText(const char* format, double value);

/// `format` (one "%lld" conversion, e.g. "%lld°") applied to `value` truncated toward zero, where a value
/// within a billionth (relative) of a whole number counts as that number; a value beyond the 64-bit range
/// prints as the nearest end of it.
std::string wholeText(const char* format, double value);

} // namespace pelagrin
