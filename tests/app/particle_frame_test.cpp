// ParticleFrame: the exact bytes of a snapshot, and what each particle's flags byte says.
#include "app/simulation/ParticleFrame.hpp"

#include <cmath>
#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace pelagrin {
namespace {

/// `bytes` as space-separated lower-case hex pairs, so that a mismatch shows where it lies.
std::string hex(const std::string& bytes) {
    std::ostringstream out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out << (i == 0 ? "" : " ") << std::hex
            << (static_cast<unsigned>(static_cast<unsigned char>(bytes[i])) >> 4)
            << (static_cast<unsigned>(static_cast<unsigned char>(bytes[i])) & 0xF);
    }
    return out.str();
}

Particle particle(Vec2 position, double z, Vec2 velocity, double speed) {
    Particle p;
    p.position = position;
    p.z = z;
    p.velocity = velocity;
    p.speed = speed;
    p.isActive = true;
    return p;
}

/// The snapshot docs/protocol.md shows byte by byte (and the page's decoder test reads).
std::vector<Particle> documentedSnapshot() {
    Particle drifting = particle({1.5, -2.0}, 0.25, {3.0, 4.0}, 5.0);
    Particle stuck = particle({800.0, 600.0}, 10.0, {0.0, 0.0}, 0.0);
    stuck.isStuck = true;
    return {drifting, stuck};
}

const ParticleFrame documentedHeader{
    .frameNumber = 7, .time = 3725.5, .totalDuration = 43200.0, .waterDepth = 10.0};

TEST(ParticleFrameEncoding, ASmallSnapshotHasTheDocumentedBytes) {
    const std::string bytes = documentedHeader.encode(documentedSnapshot());
    ASSERT_EQ(bytes.size(), ParticleFrame::headerBytes + 2 * ParticleFrame::recordBytes);
    EXPECT_EQ(hex(bytes.substr(0, 40)), "50 46 52 4d 01 00 1c 00 07 00 00 00 02 00 00 00 "
                                        "00 00 00 00 00 1b ad 40 00 00 00 00 00 18 e5 40 "
                                        "00 00 00 00 00 00 24 40");
    EXPECT_EQ(hex(bytes.substr(40, 28)), "00 00 c0 3f 00 00 00 c0 00 00 80 3e 00 00 40 40 "
                                         "00 00 80 40 00 00 a0 40 09 00 00 00");
    EXPECT_EQ(hex(bytes.substr(68, 28)), "00 00 48 44 00 00 16 44 00 00 20 41 00 00 00 00 "
                                         "00 00 00 00 00 00 00 00 03 00 00 00");
}

TEST(ParticleFrameEncoding, EachStateSetsItsOwnFlagBitInItsRecord) {
    Particle waiting;
    Particle sedimented = particle({}, 10.0, {}, 0.0);
    sedimented.isSedimented = true;
    Particle stuckOnTheBottom = sedimented;
    stuckOnTheBottom.isStuck = true;
    EXPECT_EQ(ParticleFrame{}.encode({}).size(), ParticleFrame::headerBytes) << "no particle, no record";
    // At the flow vector's threshold, and just past it where the velocity's 32-bit form is not.
    const Particle atThreshold = particle({}, 0.0, {0.1, 0.0}, 0.1);
    const Particle pastThreshold = particle({}, 0.0, {0.0, std::nextafter(0.1, 1.0)}, 0.1);
    const std::string bytes = ParticleFrame{}.encode(
        std::vector{waiting, sedimented, stuckOnTheBottom, atThreshold, pastThreshold});
    const auto flagsOf = [&](std::size_t index) {
        return static_cast<unsigned char>(
            bytes[ParticleFrame::headerBytes + index * ParticleFrame::recordBytes + 24]);
    };
    EXPECT_EQ(flagsOf(0), 0u);
    EXPECT_EQ(flagsOf(1), ParticleFrame::isActiveBit | ParticleFrame::isSedimentedBit);
    EXPECT_EQ(flagsOf(2),
              ParticleFrame::isActiveBit | ParticleFrame::isStuckBit | ParticleFrame::isSedimentedBit);
    EXPECT_EQ(flagsOf(3), ParticleFrame::isActiveBit);
    EXPECT_EQ(flagsOf(4), ParticleFrame::isActiveBit | ParticleFrame::isMovingBit);
}

} // namespace
} // namespace pelagrin
