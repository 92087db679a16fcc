// RunDeposits: the checks that make a frame and a region mappable, in one place.
#include "exports/RunDeposits.hpp"

#include "projects/Region.hpp"
#include "simulation/SimulationController.hpp"

namespace pelagrin {

std::optional<RegionOnCanvas> RegionOnCanvas::of(const Region* region) {
    if (region == nullptr) {
        return std::nullopt;
    }
    const std::optional<CanvasMapping> mapping = region->canvasMapping(kCanvasWidth, kCanvasHeight);
    std::vector<GeoCoordinate> outline = region->waterVertices();
    if (!mapping || outline.size() < 3) {
        return std::nullopt;
    }
    return RegionOnCanvas{*mapping, std::move(outline)};
}

std::optional<RunDeposits> RunDeposits::of(const SimulationController& controller, const Region* region) {
    const std::vector<Particle>& particles = controller.displayParticles.get();
    const std::vector<Deposit>& deposits = controller.deposits();
    if (deposits.empty() || deposits.size() != particles.size() || !controller.seed()) {
        return std::nullopt;
    }
    std::optional<RegionOnCanvas> onCanvas = RegionOnCanvas::of(region);
    if (!onCanvas) {
        return std::nullopt;
    }
    return RunDeposits{std::move(*onCanvas), particles, deposits, *controller.seed(),
                       controller.currentTime.get()};
}

} // namespace pelagrin
