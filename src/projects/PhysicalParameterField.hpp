// PhysicalParameterField: the physical model's numbers by name, with the range a project may hold.
#pragma once

#include "simulation/physical/PhysicalParameters.hpp"

#include <array>
#include <string_view>

namespace pelagrin {

/// One number of `PhysicalParameters`: its project-file key (also the name a refusal gives), its member and
/// the closed range a project may hold. The upper bounds lie far beyond any lake yet keep every product the
/// model forms from them finite.
struct PhysicalParameterField {
    std::string_view key;
    double PhysicalParameters::*member;
    double low;
    double high;
};

/// Every number of `PhysicalParameters`, in declaration order. The temperature stays within the range of the
/// water's density and viscosity fits; a half-life or speed of 0 means "never" where the field says so.
inline constexpr std::array<PhysicalParameterField, 7> physicalParameterFields{{
    {"waterTemperature", &PhysicalParameters::waterTemperature, 0.0, 40.0},
    {"horizontalDiffusivity", &PhysicalParameters::horizontalDiffusivity, 0.0, 1000.0},
    {"verticalDiffusivity", &PhysicalParameters::verticalDiffusivity, 0.0, 1.0},
    {"windage", &PhysicalParameters::windage, 0.0, 1.0},
    {"strandingHalfLife", &PhysicalParameters::strandingHalfLife, 0.0, 1e9},
    {"refloatHalfLife", &PhysicalParameters::refloatHalfLife, 0.0, 1e9},
    {"resuspensionSpeed", &PhysicalParameters::resuspensionSpeed, 0.0, 10.0},
}};

/// The project file's words for each shape (key "shape"), indexed by the `ParticleShape` code.
inline constexpr std::array<std::string_view, 3> particleShapeKeys{"sphere", "fragment", "fibre"};

/// The project file's words for each model, indexed by the `TransportModel` code.
inline constexpr std::array<std::string_view, 2> transportModelKeys{keyOf(TransportModel::original),
                                                                    keyOf(TransportModel::physical)};

} // namespace pelagrin
