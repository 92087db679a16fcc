// The physical model's step.
#include "simulation/physical/PhysicalTransport.hpp"

#include "simulation/WorkerPool.hpp"
#include "simulation/physical/SettlingVelocity.hpp"
#include "simulation/physical/WaterProperties.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <string>

namespace pelagrin {

namespace {

constexpr double kGravity = 9.81;         // m/s²
constexpr double kPixelFloor = 1e-6;      // as the original model floors pixelsPerMeter
constexpr std::size_t kChunkSize = 1024;  // particles per task handed to a worker thread
constexpr double kTableMarginShare = 0.1; // the table reaches this share of the lake's size beyond its box

// The draws of one particle in one step.
constexpr std::uint32_t kHorizontalSlot = 0;
constexpr std::uint32_t kVerticalSlot = 1;
constexpr std::uint32_t kStrandSlot = 2;
constexpr std::uint32_t kRefloatSlot = 3;

void requireWithin(double value, double low, double high, const char* name) {
    if (!(value >= low && value <= high)) {
        throw std::invalid_argument(std::string("physical model: ") + name + " must be within [" +
                                    std::to_string(low) + ", " + std::to_string(high) + "], got " +
                                    std::to_string(value));
    }
}

void requireNonNegative(double value, const char* name) {
    if (!(value >= 0 && std::isfinite(value))) {
        throw std::invalid_argument(std::string("physical model: ") + name +
                                    " must be finite and not negative, got " + std::to_string(value));
    }
}

/// The chance that an event of half-life `halfLife` s happens within `dt` s; 0 for a half-life of 0 when
/// `zeroMeansNever`, else 1.
double chanceWithin(double dt, double halfLife, bool zeroMeansNever) {
    if (halfLife == 0) {
        return zeroMeansNever ? 0.0 : 1.0;
    }
    return -std::expm1(-dt / halfLife * std::numbers::ln2);
}

/// Mirrors `z` back into [0, depth] off the surface and the bed.
double reflectInto(double z, double depth) {
    if (z < 0) {
        z = -z;
    }
    if (z > depth) {
        z = 2 * depth - z;
    }
    return std::clamp(z, 0.0, depth);
}

const CanvasMapping& checked(const CanvasMapping& mapping) {
    requireWithin(mapping.maxLatitude - mapping.minLatitude, 1e-9, 180, "mapping latitude range");
    requireWithin(mapping.maxLongitude - mapping.minLongitude, 1e-9, 360, "mapping longitude range");
    requireWithin(mapping.width, 1e-9, 1e9, "mapping width");
    requireWithin(mapping.height, 1e-9, 1e9, "mapping height");
    return mapping;
}

GeoCoordinate centreOf(const CanvasMapping& mapping, const std::vector<Vec2>& outlinePx) {
    if (outlinePx.empty()) {
        return mapping.toGeo({mapping.width / 2, mapping.height / 2});
    }
    Vec2 low = outlinePx[0];
    Vec2 high = outlinePx[0];
    for (const Vec2& v : outlinePx) {
        low = {std::min(low.x, v.x), std::min(low.y, v.y)};
        high = {std::max(high.x, v.x), std::max(high.y, v.y)};
    }
    return mapping.toGeo((low + high) / 2);
}

} // namespace

/// Per-step values shared by every particle.
struct PhysicalTransport::StepConstants {
    double dt;              // s
    double time;            // s
    double horizontalSigma; // m, the random walk's spread per axis over dt
    double verticalSigma;   // m
    double strandChance;
    double refloatChance;
    bool isResuspending;   // the current lifts bed particles this step
    Vec2 surfaceDrift;     // m/s, current and windage
    double surfaceSpeedPx; // px/s
    double currentSpeedPx;
};

PhysicalTransport::PhysicalTransport(const PhysicalParameters& physical, const CanvasMapping& mapping,
                                     const std::vector<Vec2>& outlinePx,
                                     const std::vector<Particle>& particles,
                                     const SimulationEngineParameters& params, std::uint64_t key)
    : physical_(physical), plane_(checked(mapping), centreOf(mapping, outlinePx)),
      hasWater_(outlinePx.size() >= 3), random_(key), depth_(params.waterDepth) {
    requireWithin(physical.waterTemperature, 0, 40, "waterTemperature");
    requireNonNegative(physical.horizontalDiffusivity, "horizontalDiffusivity");
    requireNonNegative(physical.verticalDiffusivity, "verticalDiffusivity");
    requireWithin(physical.windage, 0, 1, "windage");
    requireNonNegative(physical.strandingHalfLife, "strandingHalfLife");
    requireNonNegative(physical.refloatHalfLife, "refloatHalfLife");
    requireNonNegative(physical.resuspensionSpeed, "resuspensionSpeed");

    // The shore in metres and on the canvas, the box of the inside test and a table a little beyond it.
    std::vector<Vec2> outlineM;
    outlineM.reserve(outlinePx.size());
    for (const Vec2& v : outlinePx) {
        outlineM.push_back(plane_.fromCanvas(v));
    }
    shore_ = BoundaryIndex(outlineM);
    canvasShore_ = BoundaryIndex(outlinePx);
    if (hasWater_) {
        shoreMin_ = outlineM[0];
        shoreMax_ = outlineM[0];
        for (const Vec2& v : outlineM) {
            shoreMin_ = {std::min(shoreMin_.x, v.x), std::min(shoreMin_.y, v.y)};
            shoreMax_ = {std::max(shoreMax_.x, v.x), std::max(shoreMax_.y, v.y)};
        }
        const Vec2 margin = Vec2{1, 1} + (shoreMax_ - shoreMin_) * kTableMarginShare;
        canvas_ = PlaneCanvasTable(plane_, shoreMin_ - margin, shoreMax_ + margin);
    }

    // The drift in plane axes: the canvas's y points south.
    const double ppm = std::fmax(params.pixelsPerMeter, kPixelFloor);
    currentMs_ = Vec2{params.baseFlowVelocity.x, -params.baseFlowVelocity.y} / ppm;
    windMs_ = Vec2{params.windVelocity.x, -params.windVelocity.y} * physical.windage;
    pixelsPerMetreAxes_ = {ppm, -ppm};

    // Each particle's place in metres and its terminal velocity, fixed for the run.
    WaterProperties water = WaterProperties::at(physical.waterTemperature);
    water.viscosity *= params.viscosity;
    const double gravity = params.gravityScale * kGravity;
    const SettlingVelocity::Shape shape = SettlingVelocity::shapeOf(physical.shape);
    positionsM_.reserve(particles.size());
    settlingMs_.reserve(particles.size());
    for (const Particle& p : particles) {
        positionsM_.push_back(plane_.fromCanvas(p.position));
        // `radius` is in millimetres; `density` relative to 1000 kg/m³.
        settlingMs_.push_back(
            water.viscosity > 0
                ? SettlingVelocity::of(2 * p.radius / 1000, p.density * 1000, water, gravity, shape)
                : 0.0);
    }
}

void PhysicalTransport::step(std::vector<Particle>& particles, std::vector<Deposit>& deposits, double dt,
                             double time, WorkerPool& workers) {
    ++stepCount_;
    const double current = currentMs_.length();
    const StepConstants constants{
        .dt = dt,
        .time = time,
        // A random walk of these steps spreads as 2 K t whatever dt is.
        .horizontalSigma = std::sqrt(2 * physical_.horizontalDiffusivity * dt),
        .verticalSigma = std::sqrt(2 * physical_.verticalDiffusivity * dt),
        .strandChance = chanceWithin(dt, physical_.strandingHalfLife, false),
        .refloatChance = chanceWithin(dt, physical_.refloatHalfLife, true),
        .isResuspending = physical_.resuspensionSpeed > 0 && current > physical_.resuspensionSpeed,
        .surfaceDrift = currentMs_ + windMs_,
        .surfaceSpeedPx = (currentMs_ + windMs_).length() * pixelsPerMetreAxes_.x,
        .currentSpeedPx = current * pixelsPerMetreAxes_.x,
    };
    const std::size_t chunkCount = (particles.size() + kChunkSize - 1) / kChunkSize;
    auto moveChunk = [&](std::size_t chunk) {
        stepRange(chunk * kChunkSize, std::min(particles.size(), (chunk + 1) * kChunkSize), particles,
                  deposits, constants);
    };
    workers.run(chunkCount, moveChunk);
}

void PhysicalTransport::stepRange(std::size_t begin, std::size_t end, std::vector<Particle>& particles,
                                  std::vector<Deposit>& deposits, const StepConstants& c) {
    for (std::size_t i = begin; i < end; ++i) {
        Particle& p = particles[i];
        Deposit& deposit = deposits[i];

        // Release, and the stranded particles' chance to refloat.
        if (!p.releaseBy(c.time)) {
            continue;
        }
        if (p.isStuck) {
            if (!(c.refloatChance > 0 && random_.uniform(stepCount_, i, kRefloatSlot) < c.refloatChance)) {
                continue;
            }
            p.isStuck = false;
            deposit.strandedAt = std::numeric_limits<double>::quiet_NaN();
        }
        // A particle on the bed stays there unless the current lifts it.
        if (p.isSedimented && !c.isResuspending) {
            p.velocity = {};
            p.speed = 0;
            continue;
        }

        // Vertical: eddy mixing reflected at the surface and the bed, then the terminal velocity, which
        // alone lays a particle on the bed or holds it at the surface.
        double z = p.z;
        if (c.verticalSigma > 0) {
            z = reflectInto(z + c.verticalSigma * random_.normalPair(stepCount_, i, kVerticalSlot).first,
                            depth_);
        }
        z += settlingMs_[i] * c.dt;
        if (z >= depth_) {
            z = depth_;
            p.isSedimented = true;
            if (!deposit.hasSedimented()) {
                deposit.sedimentedAt = c.time;
            }
        } else {
            p.isSedimented = false;
            z = std::fmax(z, 0.0);
        }
        p.z = z;

        // Horizontal: the drift, wind only at the surface, and the random walk.
        const bool isAtSurface = z < surfaceLayer;
        const Vec2 drift = isAtSurface ? c.surfaceDrift : currentMs_;
        Vec2 move = drift * c.dt;
        if (c.horizontalSigma > 0) {
            const auto [east, north] = random_.normalPair(stepCount_, i, kHorizontalSlot);
            move += Vec2{east, north} * c.horizontalSigma;
        }
        Vec2& at = positionsM_[i];
        const Vec2 candidate = at + move;
        Vec2 atPx;
        if (!hasWater_) {
            // No lake to move in: the particle keeps its place.
            atPx = p.position;
        } else if (isInWater(candidate, atPx)) {
            at = candidate;
        } else if (random_.uniform(stepCount_, i, kStrandSlot) < c.strandChance) {
            // Touching the shore: strands where it last was in the water, off the bed if it lay there.
            p.isStuck = true;
            p.isSedimented = false;
            p.velocity = {};
            p.speed = 0;
            deposit.strandedAt = c.time;
            continue;
        } else if (const Vec2 mirrored = reflected(candidate); isInWater(mirrored, atPx)) {
            at = mirrored;
        } else {
            atPx = p.position;
        }
        p.position = atPx;
        p.velocity = drift * pixelsPerMetreAxes_;
        p.speed = isAtSurface ? c.surfaceSpeedPx : c.currentSpeedPx;
    }
}

bool PhysicalTransport::isInWater(Vec2 metres, Vec2& px) const {
    // In the water on the ground and on the canvas: the two outlines' edges bow apart by millimetres to
    // centimetres, and what is drawn and counted downstream must never lie ashore.
    if (!(shoreMin_.x < metres.x && metres.x < shoreMax_.x && shoreMin_.y < metres.y &&
          metres.y < shoreMax_.y && shore_.contains(metres))) {
        return false;
    }
    px = canvas_.at(metres);
    return canvasShore_.contains(px);
}

Vec2 PhysicalTransport::reflected(Vec2 candidate) const {
    const BoundaryContact contact = *shore_.closest(candidate);
    return candidate - contact.normal * (2 * (candidate - contact.point).dot(contact.normal));
}

} // namespace pelagrin
