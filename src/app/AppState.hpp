// AppState: what one main window has open.
#pragma once

#include "simulation/Observable.hpp"

#include <optional>
#include <string>

namespace pelagrin {

/// Per main window, living as long as the window.
struct AppState {
    /// Path of the project file this window has open; set when a project is opened, absent after
    /// "CloseProject".
    Observable<std::optional<std::string>> openedProjectURL;
};

} // namespace pelagrin
