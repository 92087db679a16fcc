// SimulationRendererScreen: the "Simulation Renderer" screen's model: water polygon, badge, control bar.
#pragma once

#include <array>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace pelagrin {

class Intent;
class Project;
class SimulationController;
enum class RunState;

/// One choice of the "Speed" picker and the speed multiplier it sets.
struct SpeedChoice {
    std::string_view label;
    double value;
};

inline constexpr std::array<SpeedChoice, 4> speedChoices{
    {{"1x", 1.0}, {"10x", 10.0}, {"60x", 60.0}, {"300x", 300.0}}};

/// Elapsed simulation time as "%02dh %02dm" of whole hours and minutes: 3725 s gives "01h 02m". A time that
/// is not finite shows as 0.
std::string formatElapsed(double seconds);

/// Simulation time as whole hours and minutes, "12 h 00 min", for the paused and finished badge; a time that
/// is not finite shows as 0.
std::string formatClock(double seconds);

/// A measured speed in simulated time per second of real time, at most three digits: "0.2 s/s", "9 s/s",
/// "41 min/s", "2.5 h/s".
std::string formatRate(double simSecondsPerSecond);

/// "idle", "running", "paused" or "finished", as the page is told.
std::string_view runStateName(RunState state);

/// What Play does after a pause, said while paused.
inline constexpr std::string_view pausedNotice =
    "Paused. Play resumes the run; after a change to the project's setup it starts a new one.";
/// The renderer's warning, before and during a run, while the particles would start on land.
inline constexpr std::string_view emissionOnLandNotice =
    "The emission point is outside the water body: the particles start on land. Move it on the Select Region "
    "screen (Alt+Click).";

/// The depth particles are shaded against, m: the project's `waterDepth`, 10 without parameters.
double depthScale(const Project& project);

/// Metres on the ground per simulation px, the run's own scale: 1 without a region.
double metresPerPx(const Project& project);

/// The `project.simulation` value of the window state for the loaded `project`.
nlohmann::json simulationRendererState(const Project& project, const SimulationController& controller);

/// A "setSpeed" intent: sets the controller's speed multiplier. Throws IntentError, changing nothing, unless
/// "value" is one of the picker's choices.
void setSpeed(SimulationController& controller, const Intent& intent);

} // namespace pelagrin
