// MemberRun: a controller on an event loop of the member's own, and what its last frame left behind.
#include "ensemble/MemberRun.hpp"

#include "analysis/DepositMap.hpp"
#include "analysis/SimulationDataStore.hpp"
#include "projects/Project.hpp"
#include "projects/ProjectPersistence.hpp"
#include "projects/Region.hpp"
#include "projects/SimulationParameters.hpp"
#include "simulation/SimulationController.hpp"

#include <boost/asio/io_context.hpp>
#include <cassert>
#include <fmt/format.h>
#include <mutex>
#include <stdexcept>

namespace pelagrin {

namespace {

// Making a project goes through process-wide registries; members take turns at it, it is short.
std::mutex making;

/// A project of the member's own to set its values on, equal to `project` in all it stores.
std::shared_ptr<Project> copyOf(const Project& project) {
    const std::lock_guard lock(making);
    return ProjectPersistence::makeProject(ProjectPersistence::makeFile(project),
                                           project.directoryURL.get().value_or(""));
}

void recordDeposits(MemberResult& result, const std::vector<Particle>& particles, const Project& project) {
    const std::optional<DepositMap> found = depositMapOf(project, particles);
    if (!found) {
        return;
    }
    const DepositMap& map = *found;
    for (const std::int64_t count : map.bed.counts) {
        result.bedCells.push_back(count > 0 ? 1 : 0);
    }
    for (const ShoreSegment& segment : map.shore) {
        result.shoreSegments.push_back(segment.stranded > 0 ? 1 : 0);
    }
}

} // namespace

std::optional<DepositMap> depositMapOf(const Project& project, std::span<const Particle> particles) {
    const std::shared_ptr<Region> region = project.region.get();
    if (region == nullptr) {
        return std::nullopt;
    }
    const std::optional<CanvasMapping> mapping = region->canvasMapping(kCanvasWidth, kCanvasHeight);
    const std::vector<GeoCoordinate> outline = region->waterVertices();
    if (!mapping || outline.size() < 3) {
        return std::nullopt;
    }
    return DepositMap::compute(particles, *mapping, outline);
}

std::shared_ptr<const Project> projectOf(const EnsembleSetup& setup) {
    if (setup.project) {
        return setup.project;
    }
    std::shared_ptr<Project> project;
    {
        const std::lock_guard lock(making);
        project = ProjectPersistence::load(setup.projectPath);
    }
    if (!project->parameters.get()) {
        throw std::invalid_argument(
            fmt::format("\"{}\" has no simulation parameters; set them in the app first", setup.projectPath));
    }
    return project;
}

std::optional<MemberResult> runMember(const EnsembleSetup& setup, std::size_t index, WorkerPool& workers,
                                      const std::atomic<bool>& stopRequested,
                                      const std::function<void(std::int64_t)>& onSteps) {
    const MemberDraw& draw = setup.plan.members.at(index);
    assert(setup.project != nullptr);
    std::shared_ptr<Project> project = copyOf(*setup.project);
    for (std::size_t d = 0; d < setup.plan.variations.size(); ++d) {
        setup.plan.variations[d].parameter->apply(*project, draw.values[d]);
    }
    project->parameters.get()->seed = draw.seed;

    boost::asio::io_context context{1};
    SimulationDataStore store;
    SimulationController controller(context.get_executor(), store, RunPacing::unpaced());
    controller.setCurrentSpeedMultiplier(setup.speed);
    controller.workers = &workers;
    controller.afterStep = [&](const SimulationEngine&) {
        if (stopRequested.load(std::memory_order_relaxed)) {
            controller.stop();
        }
    };
    controller.start(*project);
    const auto particleCount = static_cast<std::int64_t>(controller.engine()->particles.size());
    const int steps = SimulationController::stepsPerFrame(setup.speed);
    Subscription onFrame = controller.currentTime.subscribe([&](double) { onSteps(steps * particleCount); });
    context.run();
    if (controller.runState() != RunState::finished) {
        return std::nullopt;
    }

    MemberResult result{.index = index,
                        .seed = draw.seed,
                        .values = draw.values,
                        .csv = store.exportCSV(),
                        .stuckCount = store.stuckParticles.get(),
                        .activeCount = store.activeParticles.get(),
                        .timeRunS = controller.currentTime.get(),
                        .bedCells = {},
                        .shoreSegments = {}};
    recordDeposits(result, controller.displayParticles.get(), *project);
    return result;
}

} // namespace pelagrin
