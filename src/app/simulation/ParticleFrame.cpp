// ParticleFrame: writing the header and the particle records, byte by byte in little-endian order.
#include "app/simulation/ParticleFrame.hpp"

#include <bit>
#include <cassert>
#include <cmath>
#include <limits>

namespace pelagrin {
namespace {

/// Writes `value`'s bytes least significant first, whatever the host's byte order.
template <class Unsigned> char* putLittleEndian(char* out, Unsigned value) {
    for (std::size_t i = 0; i < sizeof(Unsigned); ++i) {
        *out++ = static_cast<char>(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    return out;
}

char* putFloat(char* out, double value) {
    return putLittleEndian(out, std::bit_cast<std::uint32_t>(static_cast<float>(value)));
}

char* putDouble(char* out, double value) {
    return putLittleEndian(out, std::bit_cast<std::uint64_t>(value));
}

std::uint8_t flags(const Particle& particle) {
    return static_cast<std::uint8_t>(
        (particle.isActive ? ParticleFrame::isActiveBit : 0) |
        (particle.isStuck ? ParticleFrame::isStuckBit : 0) |
        (particle.isSedimented ? ParticleFrame::isSedimentedBit : 0) |
        (std::hypot(particle.velocity.x, particle.velocity.y) > ParticleFrame::flowVectorMinimumSpeed
             ? ParticleFrame::isMovingBit
             : 0));
}

} // namespace

std::string ParticleFrame::encode(std::span<const Particle> particles) const {
    assert(particles.size() <= std::numeric_limits<std::uint32_t>::max());
    // Zero-filled, so the padding after each flags byte is zero without writing it.
    std::string bytes(headerBytes + recordBytes * particles.size(), '\0');
    char* out = bytes.data();
    out = putLittleEndian(out, magic);
    out = putLittleEndian(out, version);
    out = putLittleEndian(out, static_cast<std::uint16_t>(recordBytes));
    out = putLittleEndian(out, frameNumber);
    out = putLittleEndian(out, static_cast<std::uint32_t>(particles.size()));
    out = putDouble(out, time);
    out = putDouble(out, totalDuration);
    out = putDouble(out, waterDepth);
    assert(out == bytes.data() + headerBytes);

    for (const Particle& particle : particles) {
        char* record = out;
        out = putFloat(out, particle.position.x);
        out = putFloat(out, particle.position.y);
        out = putFloat(out, particle.z);
        out = putFloat(out, particle.velocity.x);
        out = putFloat(out, particle.velocity.y);
        out = putFloat(out, particle.speed);
        *out = static_cast<char>(flags(particle));
        out = record + recordBytes;
    }
    return bytes;
}

void ParticleFrame::setWaterDepth(std::string& bytes, double waterDepthM) {
    assert(bytes.size() >= headerBytes);
    putDouble(bytes.data() + waterDepthOffset, waterDepthM);
}

} // namespace pelagrin
