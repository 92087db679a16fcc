// Random UUIDs and their canonical text.
#include "simulation/Uuid.hpp"

#include <random>

namespace pelagrin {

Uuid Uuid::random() {
    // Identities must differ between runs and threads but need no cryptographic strength.
    thread_local std::mt19937_64 generator{std::random_device{}()};
    Uuid uuid;
    for (int half = 0; half < 2; ++half) {
        std::uint64_t bits = generator();
        for (int i = 0; i < 8; ++i) {
            uuid.bytes[half * 8 + i] = static_cast<std::uint8_t>(bits >> (8 * i));
        }
    }
    uuid.bytes[6] = static_cast<std::uint8_t>((uuid.bytes[6] & 0x0F) | 0x40); // version 4
    uuid.bytes[8] = static_cast<std::uint8_t>((uuid.bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
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
