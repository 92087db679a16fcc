// AppEnvironment: the process-wide services every main window works with.
#pragma once

#include "analysis/SimulationDataStore.hpp"
#include "app/NotificationCenter.hpp"
#include "app/UserSettings.hpp"
#include "projects/ObjectStore.hpp"
#include "projects/RecentProjectsManager.hpp"
#include "simulation/SimulationController.hpp"
#include "water/WaterBoundaryService.hpp"

#include <boost/asio/any_io_executor.hpp>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>

namespace pelagrin {

/// References to what the windows share; everything referred to outlives every window.
struct AppEnvironment {
    boost::asio::any_io_executor executor; ///< the app thread, for work "in a later turn"
    NotificationCenter& notifications;
    UserSettings& settings;
    RecentProjectsManager& recentProjects;
    ObjectStore& objectStore;
    SimulationController& controller;
    SimulationDataStore& dataStore;
    std::optional<std::filesystem::path> documentsFolder; ///< where new projects go by default; may be absent
    std::function<void()> stateChanged; ///< told whenever a window's state changed outside its `handle()`
    std::ostream& console;              ///< the diagnostic lines of loading and saving (std::cout in the app)
    WaterBoundaryService& waterBoundary; ///< water detection; its answers come back on `executor`
};

} // namespace pelagrin
