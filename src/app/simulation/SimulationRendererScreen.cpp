// SimulationRendererScreen: the renderer's state as JSON and its speed picker.
#include "app/simulation/SimulationRendererScreen.hpp"

#include "app/Intent.hpp"
#include "projects/Project.hpp"
#include "simulation/SimulationController.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fmt/format.h>
#include <optional>

namespace pelagrin {
namespace {

using nlohmann::json;

// The platform's system blue and cyan, at the opacities of the water's fill and outline.
constexpr const char* waterTopColor = "rgba(0, 122, 255, 0.4)";
constexpr const char* waterBottomColor = "rgba(50, 173, 230, 0.2)";
constexpr const char* waterStrokeColor = "rgba(0, 122, 255, 0.8)";
/// Outline width at zoom 1, view points.
constexpr double waterLineWidth = 2.0;

/// The degrees the canvas spans, so that the page can draw simulation px on the ground in true proportion.
json geoBoundsState(const Region& region) {
    const std::optional<CanvasMapping> mapping = region.canvasMapping(kCanvasWidth, kCanvasHeight);
    if (!mapping) {
        return nullptr;
    }
    return {{"south", mapping->minLatitude},
            {"north", mapping->maxLatitude},
            {"west", mapping->minLongitude},
            {"east", mapping->maxLongitude}};
}

json waterState(const Project& project) {
    json vertices = json::array();
    json geoBounds = nullptr;
    if (const std::shared_ptr<Region>& region = project.region; region) {
        for (const Vec2& vertex : region->waterVerticesSim()) {
            vertices.push_back({vertex.x, vertex.y});
        }
        geoBounds = geoBoundsState(*region);
    }
    return {{"vertices", std::move(vertices)},
            {"geoBounds", std::move(geoBounds)},
            {"fill", json::array({{{"location", 0}, {"color", waterTopColor}},
                                  {{"location", 1}, {"color", waterBottomColor}}})},
            {"stroke", waterStrokeColor},
            {"lineWidth", waterLineWidth}};
}

json speedState(const SimulationController& controller) {
    // A choice names its measured rate once it has run long enough to have one.
    json choices = json::array();
    for (const SpeedChoice& choice : speedChoices) {
        const std::optional<double> rate = controller.measuredRate(choice.value);
        const std::string label =
            rate ? std::string(choice.label) + " · " + formatRate(*rate) : std::string(choice.label);
        choices.push_back({{"label", label}, {"value", choice.value}});
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

/// The badge: the clock while running, where the run stands while paused or finished, nothing while idle.
json elapsedState(const SimulationController& controller) {
    const double time = controller.currentTime;
    std::string text = formatElapsed(time);
    switch (controller.runState()) {
    case RunState::idle:
    case RunState::running:
        break;
    case RunState::paused:
        text = "Paused at " + formatClock(time);
        break;
    case RunState::finished: {
        std::int64_t active = 0;
        std::int64_t stranded = 0;
        std::int64_t sedimented = 0;
        for (const Particle& particle : controller.displayParticles.get()) {
            stranded += particle.isStuck;
            sedimented += particle.isSedimented && !particle.isStuck;
            active += particle.isActive && !particle.isStuck && !particle.isSedimented;
        }
        text = fmt::format("Finished at {} · {} active · {} stranded · {} sedimented", formatClock(time),
                           active, stranded, sedimented);
        break;
    }
    }
    return {{"isShown", controller.runState() != RunState::idle}, {"symbol", "clock"}, {"text", text}};
}

/// Whole seconds of `seconds`, clamped so that no time can overflow the integer; a century is far beyond a
/// run.
long long wholeSeconds(double seconds) {
    constexpr double limit = 1e12;
    return std::isfinite(seconds) ? static_cast<long long>(std::clamp(seconds, -limit, limit)) : 0LL;
}

} // namespace

std::string formatClock(double seconds) {
    const long long n = wholeSeconds(seconds);
    return fmt::format("{} h {:02} min", n / 3600, n % 3600 / 60);
}

std::string formatRate(double simSecondsPerSecond) {
    const auto shortest = [](double value, const char* unit) {
        return value < 9.95 ? fmt::format("{:.1f} {}", value, unit) : fmt::format("{:.0f} {}", value, unit);
    };
    if (simSecondsPerSecond < 59.5) {
        return shortest(simSecondsPerSecond, "s/s");
    }
    if (simSecondsPerSecond < 3570.0) {
        return shortest(simSecondsPerSecond / 60.0, "min/s");
    }
    return shortest(simSecondsPerSecond / 3600.0, "h/s");
}

std::string_view runStateName(RunState state) {
    switch (state) {
    case RunState::idle:
        return "idle";
    case RunState::running:
        return "running";
    case RunState::paused:
        return "paused";
    case RunState::finished:
        return "finished";
    }
    return "idle";
}

std::string formatElapsed(double seconds) {
    const long long n = wholeSeconds(seconds);
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

double metresPerPx(const Project& project) {
    const std::shared_ptr<Region>& region = project.region;
    return region ? 1.0 / region->pixelsPerMeter() : 1.0;
}

namespace {

json noticeState(const Project& project, const SimulationController& controller) {
    if (controller.runState() == RunState::paused) {
        return pausedNotice;
    }
    const std::shared_ptr<Region>& region = project.region;
    return region && region->emissionOutsideOutline() ? json(emissionOnLandNotice) : json(nullptr);
}

} // namespace

json simulationRendererState(const Project& project, const SimulationController& controller) {
    const bool isRunning = controller.isRunning;
    return {{"water", waterState(project)},
            {"colorMode", colorMode(project)},
            {"waterDepth", depthScale(project)},
            {"metresPerPx", metresPerPx(project)},
            {"isRunning", isRunning},
            {"runState", runStateName(controller.runState())},
            {"notice", noticeState(project, controller)},
            {"playPauseSymbol", isRunning ? "pause.fill" : "play.fill"},
            {"speed", speedState(controller)},
            {"vectorsLabel", "Vectors"},
            {"elapsed", elapsedState(controller)}};
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
