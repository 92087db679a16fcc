// Engine construction, particle emission, the time step and the boundary geometry.
#include "simulation/SimulationEngine.hpp"

#include "simulation/FlowField.hpp"
#include "simulation/WorkerPool.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <string>

namespace pelagrin {

namespace {

constexpr double kGravity = 9.81;         // m/s²
constexpr double kWaterViscosity = 0.001; // Pa·s
constexpr double kWaterDensity = 1000.0;  // kg/m³
constexpr double kSettlingCoefficient = 10000.0 / 9.0;
constexpr double kDragFloor = 1e-9;
constexpr double kPixelFloor = 1e-6;
constexpr double kBottomDragFactor = 0.05;
constexpr double kDepthWeakening = 0.5;
constexpr double kDepthFactorFloor = 0.2;
constexpr double kWindTransfer = 0.03;
constexpr double kWindDecayPerMetre = 0.5;
constexpr double kStickSpeed = 15.0; // px/s
constexpr double kStickChance = 0.2;
constexpr double kBounceOffset = 1.5; // px
constexpr double kTangentialRestitution = 0.1;
constexpr double kNormalRestitution = -0.05;
// Particles are handed to the worker threads in chunks of this many; smaller runs stay on the calling thread.
constexpr std::size_t kChunkSize = 1024;
// A chunk moves in blocks of this many particles, whose scratch fits the stack and the first-level cache.
constexpr std::size_t kBlockSize = 64;

void requireFinite(double value, const std::string& name) {
    if (!std::isfinite(value)) {
        throw std::invalid_argument("SimulationEngine: " + name + " must be a finite number, got " +
                                    std::to_string(value));
    }
}

void requireFinite(Vec2 value, const std::string& name) {
    requireFinite(value.x, name + ".x");
    requireFinite(value.y, name + ".y");
}

void requireNonNegative(double value, const std::string& name) {
    requireFinite(value, name);
    if (value < 0) {
        throw std::invalid_argument("SimulationEngine: " + name + " must not be negative, got " +
                                    std::to_string(value));
    }
}

} // namespace

/// Per-step values shared by every particle, hoisted out of the particle loop.
struct SimulationEngine::StepConstants {
    double dt;             // s
    double time;           // s, the clock after this step's advance
    double gravity;        // m/s²
    double viscosity;      // Pa·s
    double pixelsPerMeter; // floored
    FlowField flow;        // the water's velocity at `time`
};

SimulationEngine::SimulationEngine(std::vector<Particle> particles_, SimulationEngineParameters params_,
                                   std::vector<Vec2> boundaryVertices_, RandomSource random)
    : particles(std::move(particles_)), params(params_), boundaryVertices(std::move(boundaryVertices_)),
      random_(std::move(random)) {
    requireFinite(params.viscosity, "viscosity");
    requireFinite(params.turbulence, "turbulence");
    requireFinite(params.gravityScale, "gravityScale");
    requireFinite(params.waterDensity, "waterDensity");
    requireFinite(params.baseFlowVelocity, "baseFlowVelocity");
    requireFinite(params.pixelsPerMeter, "pixelsPerMeter");
    requireFinite(params.waterDepth, "waterDepth");
    requireFinite(params.windVelocity, "windVelocity");
    for (std::size_t i = 0; i < boundaryVertices.size(); ++i) {
        requireFinite(boundaryVertices[i], "boundary vertex " + std::to_string(i));
    }
    for (std::size_t i = 0; i < particles.size(); ++i) {
        const Particle& p = particles[i];
        const std::string name = "particle " + std::to_string(i);
        requireFinite(p.position, name + " position");
        requireFinite(p.velocity, name + " velocity");
        requireFinite(p.z, name + " z");
        requireFinite(p.radius, name + " radius");
        requireFinite(p.density, name + " density");
        requireFinite(p.releaseTime, name + " releaseTime");
    }
    computeBounds();
}

std::vector<Particle> SimulationEngine::createParticles(std::int64_t count, Vec2 center, double radius,
                                                        double density, double totalDuration,
                                                        double emissionRadius, RandomSource& random) {
    if (count < 0) {
        throw std::invalid_argument("SimulationEngine: particle count must not be negative, got " +
                                    std::to_string(count));
    }
    requireFinite(center, "emission center");
    requireFinite(radius, "particle radius");
    requireFinite(density, "particle density");
    requireNonNegative(totalDuration, "totalDuration");
    requireNonNegative(emissionRadius, "emissionRadius");

    std::vector<Particle> particles;
    if (count == 0) {
        return particles;
    }
    particles.reserve(static_cast<std::size_t>(count));

    // A fifth of the particles enter at once; the rest trickle in over the first tenth of the run.
    const auto immediateCount = static_cast<std::int64_t>(static_cast<double>(count) * 0.2);
    const double releaseWindow = totalDuration * 0.1;

    for (std::int64_t i = 0; i < count; ++i) {
        // The order of the draws is part of the behaviour: a seeded source must give the same particles.
        const double angle = random.uniformRandom(0, 2 * std::numbers::pi);
        const double distance = random.uniformRandom(0, emissionRadius);
        const double releaseTime = i < immediateCount ? 0.0 : random.uniformRandom(0, releaseWindow);
        const double radiusFactor = random.uniformRandom(radiusSpread[0], radiusSpread[1]);
        const double densityFactor = random.uniformRandom(densitySpread[0], densitySpread[1]);
        const double noiseOffset = random.uniformRandom(0, 10);

        Particle& p = particles.emplace_back();
        p.id = Uuid::random();
        p.position = center + Vec2{std::cos(angle) * distance, std::sin(angle) * distance};
        p.radius = radiusFactor * radius;
        p.density = densityFactor * density;
        p.noiseOffset = noiseOffset;
        p.releaseTime = releaseTime;
        p.isActive = releaseTime == 0;
    }

    std::stable_sort(particles.begin(), particles.end(),
                     [](const Particle& a, const Particle& b) { return a.releaseTime < b.releaseTime; });
    return particles;
}

void SimulationEngine::computeBounds() {
    boundaryIndex_ = BoundaryIndex(boundaryVertices);
    if (boundaryVertices.empty()) {
        bounds.reset();
        return;
    }
    Bounds box{boundaryVertices[0].x, boundaryVertices[0].x, boundaryVertices[0].y, boundaryVertices[0].y};
    for (const Vec2& v : boundaryVertices) {
        box.minX = std::min(box.minX, v.x);
        box.maxX = std::max(box.maxX, v.x);
        box.minY = std::min(box.minY, v.y);
        box.maxY = std::max(box.maxY, v.y);
    }
    bounds = box;
}

void SimulationEngine::usePhysicalModel(const PhysicalParameters& physical, const CanvasMapping& mapping) {
    // Every integer up to 2^53 is exact in a double, so the draw is a whole 53-bit key. The draw comes from
    // a copy, kept only once the model stands, so that a refused call leaves the run as it was.
    RandomSource draws = random_;
    const auto key = static_cast<std::uint64_t>(draws.uniformRandom(0, 0x1p53));
    physical_.emplace(physical, mapping, boundaryVertices, particles, params, key);
    random_ = std::move(draws);
}

void SimulationEngine::step() {
    const double dt = targetSpeed * baseStep;
    accumulatedTime += dt;
    if (physical_) {
        deposits_.resize(particles.size());
        physical_->step(particles, deposits_, dt, accumulatedTime,
                        workers != nullptr ? *workers : WorkerPool::shared());
        return;
    }

    const double viscosity = params.viscosity * kWaterViscosity;
    const StepConstants constants{
        .dt = dt,
        .time = accumulatedTime,
        .gravity = params.gravityScale * kGravity,
        .viscosity = viscosity,
        .pixelsPerMeter = std::fmax(params.pixelsPerMeter, kPixelFloor),
        .flow = FlowField(noiseGen, params, accumulatedTime),
    };
    refreshResponses(constants);
    if (deposits_.size() != particles.size()) {
        deposits_.resize(particles.size());
    }

    // Chunks move in parallel; the random draws of their fast contacts then follow in list order, so the run
    // is the one a single thread stepping particle after particle would produce.
    const std::size_t chunkCount = (particles.size() + kChunkSize - 1) / kChunkSize;
    if (pending_.size() < chunkCount) {
        pending_.resize(chunkCount);
    }
    auto moveChunk = [&](std::size_t chunk) {
        pending_[chunk].clear();
        stepRange(chunk * kChunkSize, std::min(particles.size(), (chunk + 1) * kChunkSize), constants,
                  pending_[chunk]);
    };
    (workers != nullptr ? *workers : WorkerPool::shared()).run(chunkCount, moveChunk);
    for (std::size_t chunk = 0; chunk < chunkCount; ++chunk) {
        for (const PendingContact& pending : pending_[chunk]) {
            resolvePending(pending);
        }
    }
}

SimulationEngine::Response SimulationEngine::responseOf(double radiusMm, double density,
                                                        const SimulationEngineParameters& physics,
                                                        double stepS) {
    const double gravity = physics.gravityScale * kGravity;
    const double viscosity = physics.viscosity * kWaterViscosity;
    const double r = radiusMm / 1000.0;
    // Settling: Stokes' law, w = 2/9 r² g Δρ / μ with Δρ in kg/m³ (the 1000 of water folded into the
    // coefficient 10000/9); positive sinks, negative rises.
    const double settlingSpeed = r * r * gravity * (density - 1.0) * kSettlingCoefficient / viscosity;
    // Relaxation: the particle's velocity approaches the water's with the Stokes response time
    // τ = m / (6πμr), exactly over one base step of the clock whatever the speed multiplier.
    const double mass = kWaterDensity * density * (4.0 / 3.0) * std::numbers::pi * r * r * r;
    const double responseTime = mass / std::fmax(6 * std::numbers::pi * viscosity * r, kDragFloor);
    return {settlingSpeed, std::exp(-stepS / responseTime)};
}

void SimulationEngine::refreshResponses(const StepConstants& c) {
    if (responses_.size() == particles.size() && responseGravity_ == c.gravity &&
        responseViscosity_ == c.viscosity && responseTimeStep_ == timeStep) {
        return;
    }
    responses_.resize(particles.size());
    for (std::size_t i = 0; i < particles.size(); ++i) {
        responses_[i] = responseOf(particles[i].radius, particles[i].density, params, timeStep);
    }
    responseGravity_ = c.gravity;
    responseViscosity_ = c.viscosity;
    responseTimeStep_ = timeStep;
}

void SimulationEngine::stepRange(std::size_t begin, std::size_t end, const StepConstants& c,
                                 std::vector<PendingContact>& pending) {
    const bool hasWind = params.windVelocity.x != 0 || params.windVelocity.y != 0;
    const double waterDepth = params.waterDepth;
    // Particles go through in blocks: the water velocities of a block's moving particles are worked out
    // together, where the noise kernel can overlap one point's work with the next's. Each particle still
    // sees exactly the arithmetic of a particle-by-particle pass.
    std::array<std::uint32_t, kBlockSize> moving;
    std::array<Vec2, kBlockSize> pointsM;
    std::array<Vec2, kBlockSize> waterVelocities;
    for (std::size_t blockBegin = begin; blockBegin < end; blockBegin += kBlockSize) {
        const std::size_t blockEnd = std::min(end, blockBegin + kBlockSize);
        std::size_t movingCount = 0;
        for (std::size_t i = blockBegin; i < blockEnd; ++i) {
            Particle& p = particles[i];

            // Release: stranded particles are final; waiting ones join in the step whose clock reaches their
            // time.
            if (p.isStuck || !p.releaseBy(c.time)) {
                continue;
            }

            // Settling, then the bottom and the surface.
            p.z += responses_[i].settlingSpeed * c.dt;
            if (p.z >= waterDepth) {
                p.z = waterDepth;
                p.isSedimented = true;
                if (!deposits_[i].hasSedimented()) {
                    deposits_[i].sedimentedAt = c.time;
                }
            } else {
                p.isSedimented = false;
                if (p.z <= 0) {
                    p.z = 0;
                }
            }
            moving[movingCount] = static_cast<std::uint32_t>(i);
            pointsM[movingCount] = p.position / c.pixelsPerMeter;
            ++movingCount;
        }
        c.flow.velocities({pointsM.data(), movingCount}, {waterVelocities.data(), movingCount});

        for (std::size_t k = 0; k < movingCount; ++k) {
            const std::size_t i = moving[k];
            Particle& p = particles[i];

            // Depth factor: the current weakens linearly to half at the bottom. fmax, not max, so that the
            // 0/0 of a zero-depth column falls to the floor instead of propagating. A particle on the bottom
            // drags along it at a fraction of the water's speed.
            const double depthFactor = std::fmax(1 - kDepthWeakening * p.z / waterDepth, kDepthFactorFloor);
            const double bottomFactor = p.isSedimented ? kBottomDragFactor : 1.0;

            // Target velocity in m/s: current and swirl, plus the wind's pull that fades with depth.
            Vec2 target = waterVelocities[k] * depthFactor;
            if (hasWind) {
                target += params.windVelocity * (std::exp(-kWindDecayPerMetre * p.z) * kWindTransfer);
            }
            target = target * bottomFactor;

            const Vec2 velocityMs = p.velocity / c.pixelsPerMeter;
            p.velocity = (target + (velocityMs - target) * responses_[i].decay) * c.pixelsPerMeter;

            // Containment: the cheap box test first, the polygon only for candidates inside the box.
            const Vec2 candidate = p.position + p.velocity * c.dt;
            const bool isInside = bounds && bounds->minX < candidate.x && candidate.x < bounds->maxX &&
                                  bounds->minY < candidate.y && candidate.y < bounds->maxY &&
                                  boundaryIndex_.contains(candidate);
            if (isInside) {
                p.position = candidate;
            } else if (const std::optional<BoundaryContact> contact = boundaryIndex_.closest(candidate);
                       !contact) {
                // No outline to meet: the particle is held where it was.
                p.velocity = {};
            } else if (p.velocity.length() < kStickSpeed) {
                // Slow contacts always strand and draw no random number.
                p.position = contact->point;
                p.velocity = {};
                p.isStuck = true;
                deposits_[i].strandedAt = c.time;
            } else {
                pending.push_back({i, *contact});
                continue; // its speed is set once the draw has decided
            }
            p.speed = p.velocity.length();
        }
    }
}

void SimulationEngine::resolvePending(const PendingContact& pending) {
    Particle& p = particles[pending.particle];
    const BoundaryContact& contact = pending.contact;
    if (random_.uniformRandom(0, 1) < kStickChance) {
        p.position = contact.point;
        p.velocity = {};
        p.isStuck = true;
        deposits_[pending.particle].strandedAt = accumulatedTime;
    } else {
        // Bounce: placed just off the outline along the normal, most of the tangential motion lost and the
        // normal motion reversed and nearly damped out.
        p.position = contact.point + contact.normal * kBounceOffset;
        const Vec2 normalPart = contact.normal * p.velocity.dot(contact.normal);
        p.velocity = (p.velocity - normalPart) * kTangentialRestitution + normalPart * kNormalRestitution;
    }
    p.speed = p.velocity.length();
}

Vec2 SimulationEngine::flowVelocity(Vec2 point, double time) const {
    return FlowField(noiseGen, params, time).velocity(point);
}

bool SimulationEngine::isInsideBoundary(Vec2 point) const {
    return boundaryIndex_.contains(point);
}

std::optional<BoundaryContact> SimulationEngine::closestBoundaryPoint(Vec2 point) const {
    return boundaryIndex_.closest(point);
}

} // namespace pelagrin
