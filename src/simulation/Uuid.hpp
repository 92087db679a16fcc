// Uuid: the random (version 4) identity of a particle.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace pelagrin {

/// A 128-bit universally unique identifier, stored as 16 bytes so that it stays trivially copyable.
struct Uuid {
    std::array<std::uint8_t, 16> bytes{};

    /// A fresh random version-4 UUID from a per-thread generator seeded by the operating system.
    static Uuid random();

    /// Canonical lower-case text, "xxxxxxxx-xxxx-4xxx-yxxx-xxxxxxxxxxxx".
    std::string toString() const;

    bool operator==(const Uuid&) const = default;
};

} // namespace pelagrin
