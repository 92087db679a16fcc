// PhysicalParameterField: the physical model's numbers by name, with the range a project may hold.
#pragma once

#include "simulation/physical/PhysicalParameters.hpp"

#include <array>
#include <string_view>

namespace pelagrin {

/// The range of a number's slider, in the unit it is shown in.
struct SliderRange {
    double low;
    double high;
    double step;
};

/// One number of `PhysicalParameters`: its project-file key (also the name a refusal gives and the control's
/// id), its member and the closed range a project may hold, and how the parameter screen shows it. The upper
/// bounds lie far beyond any lake yet keep every product the model forms from them finite; the slider keeps
/// to the lakes the model is meant for.
struct PhysicalParameterField {
    std::string_view key;
    double PhysicalParameters::*member;
    double low;
    double high;
    /// The name on the screen, and the unit the screen shows the number in.
    std::string_view label;
    std::string_view unit;
    /// The shown number per stored one: 100 for a share shown in percent.
    double shownPerStored = 1.0;
    SliderRange slider;
    /// Decimals of the shown number.
    int decimals;
    /// Whether 0 means the event never happens.
    bool isNeverAtZero = false;
    /// What the number does, in a sentence.
    std::string_view description;
};

/// Every number of `PhysicalParameters`, in declaration order. The temperature stays within the range of the
/// water's density and viscosity fits.
inline constexpr std::array<PhysicalParameterField, 7> physicalParameterFields{{
    {.key = "waterTemperature",
     .member = &PhysicalParameters::waterTemperature,
     .low = 0.0,
     .high = 40.0,
     .label = "Water Temperature",
     .unit = "°C",
     .slider = {0.0, 40.0, 0.5},
     .decimals = 1,
     .description = "Sets the water's density and viscosity, and with them how fast particles settle."},
    {.key = "horizontalDiffusivity",
     .member = &PhysicalParameters::horizontalDiffusivity,
     .low = 0.0,
     .high = 1000.0,
     .label = "Diffusivity K",
     .unit = "m²/s",
     .slider = {0.0, 10.0, 0.01},
     .decimals = 2,
     .description = "Horizontal eddy diffusivity: how fast turbulence spreads particles across the water."},
    {.key = "verticalDiffusivity",
     .member = &PhysicalParameters::verticalDiffusivity,
     .low = 0.0,
     .high = 1.0,
     .label = "Vertical Diffusivity Kz",
     .unit = "m²/s",
     .slider = {0.0, 0.01, 0.0001},
     .decimals = 4,
     .description = "Mixing through the water column; 0 turns it off."},
    {.key = "windage",
     .member = &PhysicalParameters::windage,
     .low = 0.0,
     .high = 1.0,
     .label = "Windage",
     .unit = "%",
     .shownPerStored = 100.0,
     .slider = {0.0, 10.0, 0.1},
     .decimals = 1,
     .description = "Share of the wind speed a particle at the surface drifts with."},
    {.key = "strandingHalfLife",
     .member = &PhysicalParameters::strandingHalfLife,
     .low = 0.0,
     .high = 1e9,
     .label = "Stranding Half-Life",
     .unit = "s",
     .slider = {0.0, 86400.0, 60.0},
     .decimals = 0,
     .description = "Half-life of a particle touching the shore before it stays there."},
    {.key = "refloatHalfLife",
     .member = &PhysicalParameters::refloatHalfLife,
     .low = 0.0,
     .high = 1e9,
     .label = "Refloat Half-Life",
     .unit = "s",
     .slider = {0.0, 86400.0, 60.0},
     .decimals = 0,
     .isNeverAtZero = true,
     .description = "Half-life of a stranded particle before the water takes it back; 0 = never."},
    {.key = "resuspensionSpeed",
     .member = &PhysicalParameters::resuspensionSpeed,
     .low = 0.0,
     .high = 10.0,
     .label = "Resuspension Speed",
     .unit = "m/s",
     .slider = {0.0, 2.0, 0.01},
     .decimals = 2,
     .isNeverAtZero = true,
     .description =
         "Current speed above which a particle on the bed is lifted back into the water; 0 = never."},
}};

/// The project file's words for each shape (key "shape"), indexed by the `ParticleShape` code.
inline constexpr std::array<std::string_view, 3> particleShapeKeys{"sphere", "fragment", "fibre"};

/// The project file's words for each model, indexed by the `TransportModel` code.
inline constexpr std::array<std::string_view, 2> transportModelKeys{keyOf(TransportModel::original),
                                                                    keyOf(TransportModel::physical)};

} // namespace pelagrin
