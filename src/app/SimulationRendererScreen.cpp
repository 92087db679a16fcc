// SimulationRendererScreen: the renderer's state as JSON and its speed picker.
#include "app/SimulationRendererScreen.hpp"

#include "app/Intent.hpp"
#include "projects/Project.hpp"
#include "simulation/SimulationController.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace pelagrin {
namespace {

using nlohmann::json;

// The platform's system blue and cyan, at the opacities of the water's fill and outline.
constexpr const char* waterTopColor = "rgba(0, 122, 255, 0.4)";
constexpr const char* waterBottomColor = "rgba(50, 173, 230, 0.2)";
constexpr const char* waterStrokeColor = "rgba(0, 122, 255, 0.8)";
/// Outline width at zoom 1, view points.
constexpr double waterLineWidth = 2.0;

json waterState(const Project& project) {
    json vertices = json::array();
    if (const std::shared_ptr<Region>& region = project.region; region) {
        for (const Vec2& vertex : region->waterVerticesSim()) {
            vertices.push_back({vertex.x, vertex.y});
        }
    }
    return {{"vertices", std::move(vertices)},
            {"fill", json::array({{{"location", 0}, {"color", waterTopColor}},
                                  {{"location", 1}, {"color", waterBottomColor}}})},
            {"stroke", waterStrokeColor},
            {"lineWidth", waterLineWidth}};
}

json speedState(const SimulationController& controller) {
    json choices = json::array();
    for (const SpeedChoice& choice : speedChoices) {
        choices.push_back({{"label", choice.label}, {"value", choice.value}});
    }
    return {
        {"label", "Speed"}, {"value", controller.currentSpeedMultiplier()}, {"choices", std::move(choices)}};
}

std::int64_t colorMode(const Project& project) {
    const std::shared_ptr<SimulationParameters>& parameters = project.parameters;
    const std::shared_ptr<ParticleSettings> settings =
        parameters ? parameters->particleSettings.get() : nullptr;
    return settings ? settings->colorMode.get() : static_cast<std::int64_t>(ParticleColorMode::uniform);
}

} // namespace

std::string formatElapsed(double seconds) {
    // Clamped before the conversion so that no time can overflow the integer; a century is far beyond a run.
    constexpr double limit = 1e12;
    const auto n = std::isfinite(seconds) ? static_cast<long long>(std::clamp(seconds, -limit, limit)) : 0LL;
    const long long hours = n / 3600;
    const long long minutes = (n - hours * 3600) / 60;
    char text[64];
    std::snprintf(text, sizeof text, "%02lldh %02lldm", hours, minutes);
    return text;
}

double depthScale(const Project& project) {
    const std::shared_ptr<SimulationParameters>& parameters = project.parameters;
    return parameters ? parameters->waterDepth.get() : 10.0;
}

json simulationRendererState(const Project& project, const SimulationController& controller) {
    const bool isRunning = controller.isRunning;
    return {{"water", waterState(project)},
            {"colorMode", colorMode(project)},
            {"isRunning", isRunning},
            {"playPauseSymbol", isRunning ? "pause.fill" : "play.fill"},
            {"speed", speedState(controller)},
            {"vectorsLabel", "Vectors"},
            {"elapsed",
             {{"isShown", isRunning}, {"symbol", "clock"}, {"text", formatElapsed(controller.currentTime)}}}};
}

void setSpeed(SimulationController& controller, const Intent& intent) {
    const double value = intent.number("value");
    const auto chosen = std::find_if(speedChoices.begin(), speedChoices.end(),
                                     [&](const SpeedChoice& choice) { return choice.value == value; });
    if (chosen == speedChoices.end()) {
        throw intent.error("\"value\" must be 1, 10, 60 or 300");
    }
    controller.setCurrentSpeedMultiplier(chosen->value);
}

} // namespace pelagrin
