// Timestamp: a moment in time as the project file carries it.
#pragma once

#include <chrono>

namespace pelagrin {

/// A moment as seconds since 2001-01-01 00:00:00 UTC, fractional. Kept as the single 64-bit float that the
/// project file stores, so that a save/load round trip gives back the same bits.
struct Timestamp {
    double secondsSince2001 = 0.0;

    /// Seconds from the Unix epoch to 2001-01-01 00:00:00 UTC.
    static constexpr double kUnixOffset = 978'307'200.0;

    static Timestamp now() { return fromSystemClock(std::chrono::system_clock::now()); }
    static Timestamp fromSystemClock(std::chrono::system_clock::time_point time) {
        return {std::chrono::duration<double>(time.time_since_epoch()).count() - kUnixOffset};
    }
    std::chrono::system_clock::time_point toSystemClock() const {
        return std::chrono::system_clock::time_point(
            std::chrono::duration_cast<std::chrono::system_clock::duration>(
                std::chrono::duration<double>(secondsSince2001 + kUnixOffset)));
    }

    bool operator==(const Timestamp&) const = default;
};

} // namespace pelagrin
