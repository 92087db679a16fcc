// ValueText: printf formatting into a string.
#include "app/ValueText.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace pelagrin {
namespace {

template <class Number> std::string printed(const char* format, Number value) {
    const int length = std::snprintf(nullptr, 0, format, value);
    std::string text(static_cast<std::size_t>(std::max(length, 0)), '\0');
    std::snprintf(text.data(), text.size() + 1, format, value);
    return text;
}

} // namespace

std::string decimalText(const char* format, double value) {
    return printed(format, value);
}

std::string wholeText(const char* format, double value) {
    // A slider step times a scale lands a hair off the whole number the decimals stand for (1.15 × 100 is
    // 114.99999999999999 in binary); truncating that would print one less than the slider shows, so a
    // value within a billionth of a whole number is that number.
    const double nearest = std::round(value);
    const double whole =
        std::abs(value - nearest) <= 1e-9 * std::max(1.0, std::abs(value)) ? nearest : std::trunc(value);
    // 2^63 itself is not a long long, so the upper end is the largest double below it.
    constexpr double lowest = -9223372036854775808.0;
    const double highest = std::nextafter(9223372036854775808.0, 0.0);
    return printed(format, static_cast<long long>(std::clamp(whole, lowest, highest)));
}

} // namespace pelagrin
