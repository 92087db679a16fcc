// ParticleFrame: the binary WebSocket frame that carries one particle snapshot to the renderer.
#pragma once

#include "simulation/Particle.hpp"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pelagrin {

/// The little-endian layout of docs/protocol.md, "Particle frames": a header, then one fixed-size record
/// per particle in snapshot order.
struct ParticleFrame {
    /// "PFRM" read as a little-endian 32-bit number.
    static constexpr std::uint32_t magic = 0x4D524650;
    static constexpr std::uint16_t version = 1;
    static constexpr std::size_t headerBytes = 40;
    static constexpr std::size_t recordBytes = 28;
    /// Byte offset of the water depth inside the header.
    static constexpr std::size_t waterDepthOffset = 32;

    /// Bits of a record's flags byte.
    static constexpr std::uint8_t isActiveBit = 1;
    static constexpr std::uint8_t isStuckBit = 2;
    static constexpr std::uint8_t isSedimentedBit = 4;
    /// Set when |velocity| > `flowVectorMinimumSpeed`. Made here, on the model's doubles: the record's 32-bit
    /// velocity may round across the threshold. Kept for the frame's readers; the page draws its flow vectors
    /// to a scale in m/s, for which a real current on a large lake is far below this threshold.
    static constexpr std::uint8_t isMovingBit = 8;
    /// The speed that sets `isMovingBit`, px/s; exactly this does not.
    static constexpr double flowVectorMinimumSpeed = 0.1;

    /// Counts published snapshots from 0; wraps after 2³² − 1.
    std::uint32_t frameNumber = 0;
    /// Simulation time of the snapshot, s.
    double time = 0.0;
    /// Duration of the run, s.
    double totalDuration = 0.0;
    /// The depth the page shades particles against, m.
    double waterDepth = 10.0;

    /// The frame's bytes for `particles`; positions, depths and speeds narrowed to 32-bit floats. At most
    /// 2³² − 1 particles.
    std::string encode(std::span<const Particle> particles) const;

    /// Rewrites the water depth of an encoded frame, which must hold at least a whole header.
    static void setWaterDepth(std::string& bytes, double waterDepthM);
};

} // namespace pelagrin
