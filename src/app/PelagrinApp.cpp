// PelagrinApp: wiring the shared state to the browser windows, serving, and a clean stop on a signal.
#include "app/PelagrinApp.hpp"

#include "analysis/SimulationDataStore.hpp"
#include "app/AppEnvironment.hpp"
#include "app/AppStop.hpp"
#include "app/AppThread.hpp"
#include "app/BrowserWindows.hpp"
#include "app/DesktopBrowser.hpp"
#include "app/NotificationCenter.hpp"
#include "app/UserSettings.hpp"
#include "app/server/LocalServer.hpp"
#include "projects/ObjectStore.hpp"
#include "projects/RecentProjectsManager.hpp"
#include "simulation/SimulationController.hpp"
#include "support/AtomicWrite.hpp"
#include "support/UserFolders.hpp"
#include "support/UserInterfaceThread.hpp"
#include "water/WaterBoundaryService.hpp"

#include <boost/asio/signal_set.hpp>
#include <csignal>
#include <iostream>

namespace pelagrin {

struct PelagrinApp::State {
    explicit State(const Options& options)
        : environment{userInterfaceContext().get_executor(),
                      notifications,
                      UserSettings::shared(),
                      RecentProjectsManager::shared(),
                      ObjectStore::shared(),
                      SimulationController::shared(),
                      SimulationDataStore::shared(),
                      userDocumentsFolder(),
                      [this] { windows.refresh(); },
                      std::cout,
                      waterBoundary},
          windows(environment), server(userInterfaceContext(),
                                       {options.webRoot, options.port, LocalServer::randomToken()}, windows) {
    }

    NotificationCenter notifications;
    WaterBoundaryService waterBoundary;
    AppEnvironment environment;
    BrowserWindows windows;
    LocalServer server;
};

PelagrinApp::PelagrinApp(Options options) : state_(std::make_unique<State>(options)) {
    // What a launch that was killed while saving left behind in the app's own folders.
    removeStaleTemporaries(userDataFolder());
    removeStaleTemporaries(userConfigFolder());
    // Printed in every case: on a machine without a desktop the address is the only way in.
    std::cout << "Pelagrin is running at " << url() << std::endl;
    if (options.opensBrowser && !openInDesktopBrowser(url())) {
        std::cout << "No browser could be started; open the address above in one." << std::endl;
    }
}

PelagrinApp::~PelagrinApp() = default;

std::string PelagrinApp::url() const {
    return state_->server.url();
}

void PelagrinApp::run() {
    boost::asio::signal_set signals(userInterfaceContext(), SIGINT, SIGTERM);
    signals.async_wait([this](const boost::system::error_code& error, int) {
        if (error) {
            return;
        }
        stopApp(state_->environment);
        state_->server.stop();
        AppThread::shared().stop();
    });
    AppThread::shared().run();
}

} // namespace pelagrin
