// DirtyTracker: subscriptions along project → region / parameters → particle settings.
#include "app/DirtyTracker.hpp"

namespace pelagrin {

DirtyTracker::DirtyTracker(std::shared_ptr<Project> project, std::function<void()> markDirty)
    : project_(std::move(project)), markDirty_(std::move(markDirty)), lastWaterVertices_(waterVertices()),
      lastFlowSpeed_(flowSpeed()), lastCount_(count()) {
    refresh();
}

std::optional<std::vector<GeoCoordinate>> DirtyTracker::waterVertices() const {
    const std::shared_ptr<Region>& region = project_->region;
    return region ? std::optional(region->waterVertices()) : std::nullopt;
}

std::optional<double> DirtyTracker::flowSpeed() const {
    const std::shared_ptr<SimulationParameters>& parameters = project_->parameters;
    return parameters ? std::optional(parameters->flowSpeed.get()) : std::nullopt;
}

std::optional<std::int64_t> DirtyTracker::count() const {
    const std::shared_ptr<SimulationParameters>& parameters = project_->parameters;
    const std::shared_ptr<ParticleSettings> settings =
        parameters ? parameters->particleSettings.get() : nullptr;
    return settings ? std::optional(settings->count.get()) : std::nullopt;
}

void DirtyTracker::refresh() {
    // Compare first: an observer may run in the middle of the chain changing (a screen creating the
    // parameters and then their settings).
    const auto vertices = waterVertices();
    const auto speed = flowSpeed();
    const auto particleCount = count();
    const bool changed = vertices != lastWaterVertices_ ||
                         (lastFlowSpeed_ && speed && *lastFlowSpeed_ != *speed) ||
                         (lastCount_ && particleCount && *lastCount_ != *particleCount);
    lastWaterVertices_ = vertices;
    lastFlowSpeed_ = speed;
    lastCount_ = particleCount;

    // Follow the chain as it now stands.
    subscriptions_.clear();
    const auto onChange = [this](const auto&) { refresh(); };
    region_ = project_->region;
    parameters_ = project_->parameters;
    settings_ = parameters_ ? parameters_->particleSettings.get() : nullptr;
    subscriptions_.push_back(project_->region.subscribe(onChange));
    subscriptions_.push_back(project_->parameters.subscribe(onChange));
    if (region_) {
        subscriptions_.push_back(region_->waterVerticesData.subscribe(onChange));
    }
    if (parameters_) {
        subscriptions_.push_back(parameters_->flowSpeed.subscribe(onChange));
        subscriptions_.push_back(parameters_->particleSettings.subscribe(onChange));
    }
    if (settings_) {
        subscriptions_.push_back(settings_->count.subscribe(onChange));
    }
    if (changed) {
        markDirty_();
    }
}

} // namespace pelagrin
