// Engine construction, particle emission, the time step and the boundary geometry.
#include "simulation/SimulationEngine.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <string>

namespace pelagrin {

namespace {

constexpr double kBaseStep = 0.016;       // s; dt = targetSpeed × kBaseStep
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
constexpr double kTurbulenceFloor = 0.01;
constexpr double kMinEdgeLengthSquared = 0.0001; // px²

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
    double dragConstant;   // 6πμ, Pa·s
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
                                                        double emissionRadius) {
    RandomSource random;
    return createParticles(count, center, radius, density, totalDuration, emissionRadius, random);
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
        const double radiusFactor = random.uniformRandom(0.8, 1.2);
        const double densityFactor = random.uniformRandom(0.95, 1.05);
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

void SimulationEngine::step() {
    const double dt = targetSpeed * kBaseStep;
    accumulatedTime += dt;

    const double viscosity = params.viscosity * kWaterViscosity;
    const StepConstants constants{
        .dt = dt,
        .time = accumulatedTime,
        .gravity = params.gravityScale * kGravity,
        .viscosity = viscosity,
        .pixelsPerMeter = std::fmax(params.pixelsPerMeter, kPixelFloor),
        .dragConstant = 6 * std::numbers::pi * viscosity,
    };

    for (Particle& particle : particles) {
        stepParticle(particle, constants);
    }
}

void SimulationEngine::stepParticle(Particle& p, const StepConstants& c) {
    // Release: stranded particles are final; waiting ones join in the step whose clock reaches their time.
    if (p.isStuck) {
        return;
    }
    if (!p.isActive) {
        if (p.releaseTime > c.time) {
            return;
        }
        p.isActive = true;
    }

    // Settling: Stokes' law, w = 2/9 r² g Δρ / μ with Δρ in kg/m³ (the 1000 of water folded into the
    // coefficient 10000/9); positive sinks, negative rises.
    const double r = p.radius / 1000.0;
    const double settlingSpeed = r * r * c.gravity * (p.density - 1.0) * kSettlingCoefficient / c.viscosity;
    p.z += settlingSpeed * c.dt;

    // Bottom and surface: a particle on the bottom drags along it at a fraction of the water's speed.
    double bottomFactor = 1.0;
    if (p.z >= params.waterDepth) {
        p.z = params.waterDepth;
        p.isSedimented = true;
        bottomFactor = kBottomDragFactor;
    } else {
        p.isSedimented = false;
        if (p.z <= 0) {
            p.z = 0;
        }
    }

    // Depth factor: the current weakens linearly to half at the bottom. fmax, not max, so that the 0/0 of a
    // zero-depth column falls to the floor instead of propagating.
    const double depthFactor = std::fmax(1 - kDepthWeakening * p.z / params.waterDepth, kDepthFactorFloor);

    // Target velocity in m/s: current and swirl, plus the wind's pull that fades with depth.
    Vec2 target = flowVelocity(p.position / c.pixelsPerMeter, c.time) * depthFactor;
    if (params.windVelocity.x != 0 || params.windVelocity.y != 0) {
        target += params.windVelocity * (std::exp(-kWindDecayPerMetre * p.z) * kWindTransfer);
    }
    target = target * bottomFactor;

    // Relaxation: the particle's velocity approaches the water's with the Stokes response time
    // τ = m / (6πμr), exactly over one base step of the clock whatever the speed multiplier.
    const double mass = kWaterDensity * p.density * (4.0 / 3.0) * std::numbers::pi * r * r * r;
    const double responseTime = mass / std::fmax(c.dragConstant * r, kDragFloor);
    const double decay = std::exp(-timeStep / responseTime);
    const Vec2 velocityMs = p.velocity / c.pixelsPerMeter;
    p.velocity = (target + (velocityMs - target) * decay) * c.pixelsPerMeter;

    // Containment: the cheap box test first, the polygon only for candidates inside the box.
    const Vec2 candidate = p.position + p.velocity * c.dt;
    const bool isInside = bounds && bounds->minX < candidate.x && candidate.x < bounds->maxX &&
                          bounds->minY < candidate.y && candidate.y < bounds->maxY &&
                          isInsideBoundary(candidate);
    if (isInside) {
        p.position = candidate;
    } else {
        resolveContact(p, candidate);
    }

    p.speed = p.velocity.length();
}

void SimulationEngine::resolveContact(Particle& p, Vec2 candidate) {
    const std::optional<BoundaryContact> contact = closestBoundaryPoint(candidate);
    if (!contact) {
        // No outline to meet: the particle is held where it was.
        p.velocity = {};
        return;
    }

    // Slow contacts always strand; fast ones strand by chance, and only they draw a random number.
    const double speed = p.velocity.length();
    if (speed < kStickSpeed || random_.uniformRandom(0, 1) < kStickChance) {
        p.position = contact->point;
        p.velocity = {};
        p.isStuck = true;
        return;
    }

    // Bounce: placed just off the outline along the normal, most of the tangential motion lost and the
    // normal motion reversed and nearly damped out.
    p.position = contact->point + contact->normal * kBounceOffset;
    const Vec2 normalPart = contact->normal * p.velocity.dot(contact->normal);
    p.velocity = (p.velocity - normalPart) * kTangentialRestitution + normalPart * kNormalRestitution;
}

double SimulationEngine::streamFunction(double x, double y, double scaledTime) const {
    return 60 * noiseGen.noise(x / 300, y / 300, scaledTime * 0.1) +
           20 * noiseGen.noise(x / 100, y / 100, scaledTime * 0.3) +
           5 * noiseGen.noise(x / 25, y / 25, scaledTime * 0.8);
}

Vec2 SimulationEngine::flowVelocity(Vec2 point, double time) const {
    const Vec2 base = params.baseFlowVelocity / std::fmax(params.pixelsPerMeter, kPixelFloor);
    if (params.turbulence < kTurbulenceFloor) {
        return base;
    }

    // The swirl is the curl of the stream function, by central differences over one metre: a velocity field
    // without divergence, so the turbulence stirs the water without piling particles up.
    const double s = params.turbulence * time;
    const double dNdy =
        (streamFunction(point.x, point.y + 1, s) - streamFunction(point.x, point.y - 1, s)) * 0.5;
    const double dNdx =
        (streamFunction(point.x + 1, point.y, s) - streamFunction(point.x - 1, point.y, s)) * 0.5;
    return {base.x + params.turbulence * dNdy, base.y - params.turbulence * dNdx};
}

bool SimulationEngine::isInsideBoundary(Vec2 point) const {
    const std::size_t n = boundaryVertices.size();
    if (n < 3) {
        return true;
    }
    // Even-odd rule: a ray towards +x crosses the outline an odd number of times from inside.
    bool inside = false;
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const Vec2 a = boundaryVertices[i];
        const Vec2 b = boundaryVertices[j];
        if ((a.y > point.y) != (b.y > point.y)) {
            const double crossingX = a.x + (point.y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (point.x < crossingX) {
                inside = !inside;
            }
        }
    }
    return inside;
}

std::optional<BoundaryContact> SimulationEngine::closestBoundaryPoint(Vec2 point) const {
    const std::size_t count = boundaryVertices.size();
    if (count < 2) {
        return std::nullopt;
    }
    double best = std::numeric_limits<double>::max();
    BoundaryContact contact{point, {0, 1}};
    for (std::size_t i = 0; i < count; ++i) {
        const Vec2 a = boundaryVertices[i];
        const Vec2 edge = boundaryVertices[(i + 1) % count] - a;
        const double lengthSquared = edge.dot(edge);
        if (lengthSquared <= kMinEdgeLengthSquared) {
            continue;
        }
        const double k = std::clamp((point - a).dot(edge) / lengthSquared, 0.0, 1.0);
        const Vec2 foot = a + edge * k;
        const Vec2 offset = point - foot;
        const double distanceSquared = offset.dot(offset);
        if (distanceSquared < best) { // strict: the first of equally near edges wins
            best = distanceSquared;
            contact.point = foot;
            const double length = std::sqrt(lengthSquared);
            contact.normal = length > 0 ? Vec2{-edge.y, edge.x} / length : Vec2{};
        }
    }
    return contact;
}

} // namespace pelagrin
