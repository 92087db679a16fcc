// TrajectoryRecording: the writer fed from the controller's frames.
#include "app/cli/TrajectoryRecording.hpp"

#include "exports/RunAttributes.hpp"
#include "exports/RunDeposits.hpp"
#include "projects/Project.hpp"
#include "simulation/SimulationController.hpp"

#include <chrono>
#include <cmath>
#include <stdexcept>

namespace pelagrin {

namespace {

CanvasMapping mappingOf(Project& project) {
    const std::optional<RegionOnCanvas> region = RegionOnCanvas::of(project.region.get().get());
    if (!region) {
        throw std::invalid_argument("its region has no outline to place the particles in degrees");
    }
    return region->mapping;
}

} // namespace

TrajectoryRecording::TrajectoryRecording(const std::filesystem::path& path, double every,
                                         SimulationController& controller, Project& project)
    : controller_(controller), every_(every),
      writer_(path, controller.engine()->particles.size(), mappingOf(project),
              controller.engine()->params.waterDepth, std::chrono::system_clock::now(),
              runAttributes(project, *controller.seed(), controller.currentSpeedMultiplier())),
      nextSample_(every) {
    writer_.append(0.0, controller.engine()->particles);
    controller.afterStep = [this](const SimulationEngine& engine) { step(engine); };
}

void TrajectoryRecording::step(const SimulationEngine& engine) {
    const double time = engine.accumulatedTime;
    if (time < nextSample_ || error_) {
        return;
    }
    try {
        writer_.append(time, engine.particles);
        lastSample_ = time;
        nextSample_ = (std::floor(time / every_) + 1.0) * every_;
    } catch (const NetCdfError& error) {
        error_ = error;
        controller_.stop();
    }
}

void TrajectoryRecording::finish() {
    controller_.afterStep = nullptr;
    if (error_) {
        throw *error_;
    }
    // Where the run ended, finished or interrupted, whatever the time since the last sample.
    const SimulationEngine& engine = *controller_.engine();
    if (engine.accumulatedTime > lastSample_) {
        writer_.append(engine.accumulatedTime, engine.particles);
    }
    writer_.close();
}

} // namespace pelagrin
