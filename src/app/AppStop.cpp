// AppStop: the unsaved changes kept, then the run stopped.
#include "app/AppStop.hpp"

namespace pelagrin {

void stopApp(AppEnvironment& environment) {
    environment.notifications.post(NotificationName::keepUnsavedChanges);
    environment.controller.stop();
}

} // namespace pelagrin
