// AppStop: what the app does before it ends on a signal.
#pragma once

#include "app/AppEnvironment.hpp"

namespace pelagrin {

/// Every window with unsaved changes keeps them in its project's recovery copy and says so on the console,
/// then the run stops. The server and the app thread are left to the caller.
void stopApp(AppEnvironment& environment);

} // namespace pelagrin
