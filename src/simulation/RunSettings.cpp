// RunSettings: the conversion of a project into engine units, and the refusal of what would overflow.
#include "simulation/RunSettings.hpp"

#include "projects/PhysicalParameterField.hpp"
#include "projects/Project.hpp"
#include "simulation/SimulationController.hpp"
#include "simulation/SimulationEngine.hpp"

#include <cmath>
#include <fmt/format.h>
#include <numbers>
#include <stdexcept>
#include <string>
#include <utility>

namespace pelagrin {

namespace {

constexpr double shortestDuration = 60.0;       // s; anything shorter is taken for a slip
constexpr double fallbackDuration = 3600.0;     // s
constexpr Vec2 canvasCentre{400.0, 300.0};      // px, the centre of the nominal 800 × 600 canvas
constexpr double fallbackEmissionRadius = 10.0; // m
constexpr std::int64_t fallbackCount = 1000;
constexpr double fallbackRadius = 2.0; // mm
constexpr double fallbackDensity = 1.0;
// The swirl is half the difference of two stream-function samples, and the stream function weighs noise of
// about ±1 by 60 + 20 + 5: its speed stays below this many times the turbulence, m/s.
constexpr double swirlPerTurbulence = 100.0;

Vec2 unitVector(double degrees) {
    const double theta = degrees * std::numbers::pi / 180.0;
    return {std::cos(theta), std::sin(theta)};
}

[[noreturn]] void refuse(const std::string& field, const std::string& problem) {
    throw std::invalid_argument(field + ": " + problem);
}

void requireFinite(const char* field, double value) {
    if (!std::isfinite(value)) {
        refuse(field, fmt::format("{} is not a finite number", value));
    }
}

void requireNotNegative(const char* field, double value) {
    if (value < 0) {
        refuse(field, fmt::format("{} is negative", value));
    }
}

/// Every particle's settling speed and response must be numbers: the spread's extremes bound them all.
void requireFiniteResponses(const RunSettings& run, double enteredSizeMm) {
    for (const double radiusFactor : SimulationEngine::radiusSpread) {
        for (const double densityFactor : SimulationEngine::densitySpread) {
            const SimulationEngine::Response response =
                SimulationEngine::responseOf(run.radiusMm * radiusFactor, run.density * densityFactor,
                                             run.params, SimulationEngine::baseStep);
            if (!std::isfinite(response.settlingSpeed) || !std::isfinite(response.decay)) {
                refuse("viscosity", fmt::format("{} with gravityScale {}, particleSettings.radius {} and "
                                                "particleSettings.density {} gives particles no finite "
                                                "settling speed",
                                                run.params.viscosity, run.params.gravityScale, enteredSizeMm,
                                                run.density));
            }
        }
    }
}

/// The clock, the noise's time and the particles' speeds must stay numbers over the whole run, including the
/// last frame's overshoot of the duration at the starting speed.
void requireFiniteMotion(const RunSettings& run, const SimulationParameters& parameters, double speed) {
    const double longestStep = speed * SimulationEngine::baseStep;
    const double lastTime = run.duration + SimulationController::maxStepsPerFrame * longestStep;
    if (!std::isfinite(lastTime)) {
        refuse("speed", fmt::format("{} overflows the run's clock", speed));
    }
    const double turbulence = parameters.turbulence;
    const double flowSpeed = parameters.flowSpeed;
    const double windSpeed = parameters.windSpeed;
    if (!std::isfinite(turbulence * lastTime)) {
        refuse("turbulence", fmt::format("{} over the run's {:.0f} s overflows the turbulence's clock",
                                         turbulence, lastTime));
    }
    const double waterSpeed =
        std::abs(flowSpeed) + swirlPerTurbulence * std::abs(turbulence) + std::abs(windSpeed);
    const double speedPx = waterSpeed * run.params.pixelsPerMeter;
    if (!std::isfinite(speedPx) || !std::isfinite(speedPx * longestStep)) {
        refuse("flowSpeed", fmt::format("{} with turbulence {} and windSpeed {} moves particles beyond any "
                                        "finite distance in a step",
                                        flowSpeed, turbulence, windSpeed));
    }
}

/// The physical model's own numbers, and the outline it keeps its particles in.
void requirePhysicalRun(const RunSettings& run) {
    for (const PhysicalParameterField& field : physicalParameterFields) {
        const double value = run.physical.*field.member;
        if (!(value >= field.low && value <= field.high)) {
            refuse(std::string(field.key),
                   fmt::format("{} is outside [{}, {}]", value, field.low, field.high));
        }
    }
    if (run.boundary.size() < minPhysicalOutlineVertices || !run.mapping) {
        refuse("region.waterVertices",
               fmt::format("{} vertices make no water outline; the physical model needs at least {}",
                           run.boundary.size(), minPhysicalOutlineVertices));
    }
}

} // namespace

RunSettings runSettingsOf(Project& project, double speed) {
    const std::shared_ptr<SimulationParameters> parameters = project.parameters;
    const std::shared_ptr<Region> region = project.region;
    const std::shared_ptr<ParticleSettings> particles = parameters->particleSettings;

    RunSettings run;
    run.model = parameters->transportModel;
    const bool isPhysical = run.model == TransportModel::physical;
    run.count = particles ? particles->count.get() : fallbackCount;
    // The physical model reads the settings' size as a diameter, as a sieve or a microscope measures it.
    const double enteredSizeMm = particles ? particles->radius.get() : fallbackRadius;
    run.radiusMm = particles && isPhysical ? enteredSizeMm / 2.0 : enteredSizeMm;
    run.density = particles ? particles->density.get() : fallbackDensity;

    // Every number as entered.
    const std::pair<const char*, double> entered[] = {
        {"flowSpeed", parameters->flowSpeed},         {"turbulence", parameters->turbulence},
        {"viscosity", parameters->viscosity},         {"gravityScale", parameters->gravityScale},
        {"flowDirection", parameters->flowDirection}, {"simulationDuration", parameters->simulationDuration},
        {"waterDepth", parameters->waterDepth},       {"windSpeed", parameters->windSpeed},
        {"windDirection", parameters->windDirection}, {"particleSettings.radius", enteredSizeMm},
        {"particleSettings.density", run.density},
    };
    for (const auto& [field, value] : entered) {
        requireFinite(field, value);
    }

    if (run.count < 0) {
        refuse("particleSettings.count", fmt::format("{} is negative", run.count));
    }
    if (run.count > RunSettings::maxParticleCount) {
        refuse("particleSettings.count", fmt::format("{} is more than the {} particles a run can hold",
                                                     run.count, RunSettings::maxParticleCount));
    }
    requireNotNegative("particleSettings.radius", enteredSizeMm);
    requireNotNegative("particleSettings.density", run.density);
    requireNotNegative("waterDepth", parameters->waterDepth);
    run.duration = parameters->simulationDuration < shortestDuration ? fallbackDuration
                                                                     : parameters->simulationDuration.get();

    // Geometry: the region's canvas polygon, and its scale measured along the bounding box's southern edge.
    double ppm = 1.0;
    double flowDirection = parameters->flowDirection;
    double emissionRadiusM = fallbackEmissionRadius;
    run.center = canvasCentre;
    if (region) {
        if (region->waterVerticesSim().empty()) {
            region->updateSimulationCoordinates(kCanvasWidth, kCanvasHeight);
        }
        run.boundary = region->waterVerticesSim();
        run.mapping = region->canvasMapping(kCanvasWidth, kCanvasHeight);
        ppm = region->pixelsPerMeter();
        flowDirection = region->flowDirection;
        run.center = region->emissionPointSim().value_or(canvasCentre);
        emissionRadiusM = region->emissionRadius;
        requireFinite("region.flowDirection", flowDirection);
        requireFinite("region.emissionRadius", emissionRadiusM);
        requireNotNegative("region.emissionRadius", emissionRadiusM);
    }
    run.emissionRadiusPx = ppm * emissionRadiusM;
    if (!std::isfinite(run.emissionRadiusPx)) {
        refuse("region.emissionRadius", fmt::format("{} m is beyond any canvas", emissionRadiusM));
    }

    // Physics in engine units: the current in px/s, the wind as entered.
    run.params.viscosity = parameters->viscosity;
    run.params.turbulence = parameters->turbulence;
    run.params.gravityScale = parameters->gravityScale;
    run.params.waterDensity = 1.0;
    run.params.baseFlowVelocity = unitVector(flowDirection) * (ppm * parameters->flowSpeed);
    run.params.pixelsPerMeter = ppm;
    run.params.waterDepth = parameters->waterDepth;
    run.params.windVelocity = unitVector(parameters->windDirection) * parameters->windSpeed.get();
    run.seed = parameters->seed;
    if (isPhysical) {
        run.physical = parameters->physical;
        run.physical.shape = particles ? particles->shape.get() : ParticleShape::sphere;
        requirePhysicalRun(run);
    }

    requireFiniteResponses(run, enteredSizeMm);
    requireFiniteMotion(run, *parameters, speed);
    return run;
}

} // namespace pelagrin
