// Random UUIDs and their canonical text.
#include "simulation/Uuid.hpp"

#include <algorithm>
#include <boost/uuid/random_generator.hpp>
#include <boost/uuid/uuid.hpp>

namespace pelagrin {

Uuid Uuid::random() {
    // Every identity takes all its 122 random bits from the operating system, so that ids made in different
    // runs and threads cannot repeat the way ids from a generator seeded with a few bits do.
    thread_local boost::uuids::random_generator generator;
    const boost::uuids::uuid fresh = generator();
    Uuid uuid;
    std::copy(fresh.begin(), fresh.end(), uuid.bytes.begin());
    return uuid;
}

std::string Uuid::toString() const {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(36);
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            text += '-';
        }
        text += kHex[bytes[i] >> 4];
        text += kHex[bytes[i] & 0x0F];
    }
    return text;
}

std::optional<Uuid> Uuid::fromString(std::string_view text) {
    if (text.size() != 36) {
        return std::nullopt;
    }
    const auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    Uuid uuid;
    std::size_t at = 0;
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            if (text[at++] != '-') {
                return std::nullopt;
            }
        }
        const int high = nibble(text[at++]);
        const int low = nibble(text[at++]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        uuid.bytes[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return uuid;
}

} // namespace pelagrin
