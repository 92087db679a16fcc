// Random UUIDs for particles.
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

} // namespace pelagrin
