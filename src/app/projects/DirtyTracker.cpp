// DirtyTracker: subscriptions to every field along project → region / parameters → particle settings.
#include "app/projects/DirtyTracker.hpp"

namespace pelagrin {

DirtyTracker::DirtyTracker(std::shared_ptr<Project> project, std::function<void()> markDirty)
    : project_(std::move(project)), markDirty_(std::move(markDirty)) {
    follow();
}

template <class T> void DirtyTracker::watch(Observable<T>& field) {
    subscriptions_.push_back(field.subscribe([this, last = field.get()](const T& value) mutable {
        if (value != last) {
            last = value;
            markDirty_();
        }
    }));
}

template <class T> void DirtyTracker::watchLink(Observable<std::shared_ptr<T>>& link) {
    subscriptions_.push_back(link.subscribe([this, last = link.get()](const std::shared_ptr<T>& value) {
        if (value != last) {
            // Re-subscribing drops this subscription; the notification keeps this observer alive meanwhile.
            follow();
            markDirty_();
        }
    }));
}

void DirtyTracker::follow() {
    subscriptions_.clear();
    const auto watchField = [this](const auto&, auto& field) { watch(field); };
    region_ = project_->region;
    parameters_ = project_->parameters;
    settings_ = parameters_ ? parameters_->particleSettings.get() : nullptr;
    project_->forEachField(watchField);
    watchLink(project_->region);
    watchLink(project_->parameters);
    if (region_) {
        region_->forEachField(watchField);
    }
    if (parameters_) {
        parameters_->forEachField(watchField);
        watch(parameters_->transportModel);
        watch(parameters_->physical);
        watchLink(parameters_->particleSettings);
    }
    if (settings_) {
        settings_->forEachField(watchField);
        watch(settings_->shape);
    }
}

} // namespace pelagrin
