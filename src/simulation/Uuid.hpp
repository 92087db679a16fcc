// Uuid: the random (version 4) identity of a particle or a project.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pelagrin {

/// A 128-bit universally unique identifier, stored as 16 bytes so that it stays trivially copyable.
struct Uuid {
    std::array<std::uint8_t, 16> bytes{};

    /// A fresh random version-4 UUID, its random bits from the operating system. Throws
    /// `boost::uuids::entropy_error` in the unlikely case that the system has none to give.
    static Uuid random();

    /// Canonical lower-case text, "xxxxxxxx-xxxx-4xxx-yxxx-xxxxxxxxxxxx".
    std::string toString() const;

    /// Reads the canonical text form (either case); absent for anything else.
    static std::optional<Uuid> fromString(std::string_view text);

    bool operator==(const Uuid&) const = default;
};

} // namespace pelagrin
