// NotificationCenter: the process-wide bus through which the windows hand project locations to each other.
#pragma once

#include "simulation/Observable.hpp"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelagrin {

/// The names posted on the bus; the object of the first three is the project file's location.
namespace NotificationName {
inline constexpr std::string_view openProjectFromWelcome = "OpenProjectFromWelcome";
inline constexpr std::string_view loadProjectInHomeView = "LoadProjectInHomeView";
inline constexpr std::string_view performProjectLoad = "PerformProjectLoad";
inline constexpr std::string_view triggerCreateProject = "TriggerCreateProject";
inline constexpr std::string_view triggerOpenProjectImporter = "TriggerOpenProjectImporter";
inline constexpr std::string_view closeProject = "CloseProject";
inline constexpr std::string_view triggerSaveProject = "TriggerSaveProject";
inline constexpr std::string_view toggleSimulation = "ToggleSimulation";
/// The app is about to end: every edited project keeps its changes in a recovery copy.
inline constexpr std::string_view keepUnsavedChanges = "KeepUnsavedChanges";
} // namespace NotificationName

/// Named notifications with an optional file location as their object. Posting delivers synchronously, on
/// the posting thread (the app thread), to every observer of that name in the order they registered. App
/// thread only.
class NotificationCenter {
public:
    using Object = std::optional<std::filesystem::path>;
    using Observer = std::function<void(const Object&)>;

    NotificationCenter() = default;
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    /// Calls `observer` for every later notification named `name`, whoever posts it, until the handle is
    /// dropped. The handle must not outlive this centre.
    [[nodiscard]] Subscription observe(std::string_view name, Observer observer);

    /// Delivers `object` to every current observer of `name`. An observer may observe, stop observing or post
    /// while it is being called; one that stopped meanwhile is not called.
    void post(std::string_view name, Object object = std::nullopt);

private:
    struct Registration {
        std::string name;
        std::shared_ptr<Observer> observer;
    };

    std::vector<Registration> registrations_;
};

} // namespace pelagrin
