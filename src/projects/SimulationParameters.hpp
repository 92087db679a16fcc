// SimulationParameters: the physics of a run and the particle settings it owns.
#pragma once

#include "projects/ParticleSettings.hpp"
#include "simulation/Observable.hpp"
#include "simulation/physical/PhysicalParameters.hpp"

#include <cstdint>
#include <memory>
#include <optional>

namespace pelagrin {

/// The water's physics. Every field is observable.
class SimulationParameters {
public:
    /// The creation values; every argument has its documented default.
    struct Values {
        double flowSpeed = 1.0;
        double turbulence = 0.3;
        double viscosity = 1.0;
        double gravityScale = 1.0;
        double flowDirection = 0.0;
        double simulationDuration = 43200.0;
        double waterDepth = 10.0;
        double windSpeed = 0.0;
        double windDirection = 0.0;
        std::optional<std::uint64_t> seed;
    };

    SimulationParameters() : SimulationParameters(Values{}) {}
    explicit SimulationParameters(const Values& v)
        : flowSpeed(v.flowSpeed), turbulence(v.turbulence), viscosity(v.viscosity),
          gravityScale(v.gravityScale), flowDirection(v.flowDirection),
          simulationDuration(v.simulationDuration), waterDepth(v.waterDepth), windSpeed(v.windSpeed),
          windDirection(v.windDirection), seed(v.seed) {}

    Observable<double> flowSpeed;                                   ///< speed of the mean current, m/s
    Observable<double> turbulence;                                  ///< turbulence intensity, dimensionless
    Observable<std::shared_ptr<ParticleSettings>> particleSettings; ///< what is released; may be absent
    Observable<double> viscosity;          ///< viscosity relative to water (1 = water)
    Observable<double> gravityScale;       ///< multiplier of gravity
    Observable<double> flowDirection;      ///< direction of the current, degrees; used only without a region
    Observable<double> simulationDuration; ///< run length, s of simulation time
    Observable<double> waterDepth;         ///< depth of the water column, m
    Observable<double> windSpeed;          ///< m/s
    Observable<double> windDirection;      ///< degrees
    /// The seed every run starts from, in [0, RandomSource::maxSeed]; absent, each run draws a fresh one.
    Observable<std::optional<std::uint64_t>> seed;
    /// The law this project's runs move by. Like `physical`, it lives in the project file only: the object
    /// store and the exports keep the fields `forEachField` visits.
    Observable<TransportModel> transportModel{TransportModel::original};
    /// The physical model's numbers, used when `transportModel` is physical; each loaded one lies within its
    /// `physicalParameterFields` range. Its `shape` is unused: the particle settings carry the shape.
    Observable<PhysicalParameters> physical;

    /// Calls `visit(key, field)` for every stored scalar field in declaration order (not the relationship).
    template <class Visitor> void forEachField(Visitor&& visit) {
        visit("flowSpeed", flowSpeed);
        visit("turbulence", turbulence);
        visit("viscosity", viscosity);
        visit("gravityScale", gravityScale);
        visit("flowDirection", flowDirection);
        visit("simulationDuration", simulationDuration);
        visit("waterDepth", waterDepth);
        visit("windSpeed", windSpeed);
        visit("windDirection", windDirection);
    }
};

} // namespace pelagrin
