// PelagrinApp: wiring the shared state to the browser windows, serving, and a clean stop on a signal.
#include "app/PelagrinApp.hpp"

#include "analysis/SimulationDataStore.hpp"
#include "app/AppEnvironment.hpp"
#include "app/AppStop.hpp"
#include "app/AppThread.hpp"
#include "app/BrowserWindows.hpp"
#include "app/DesktopBrowser.hpp"
#include "app/InstanceListener.hpp"
#include "app/NotificationCenter.hpp"
#include "app/PageToken.hpp"
#include "app/UserSettings.hpp"
#include "app/server/LocalServer.hpp"
#include "projects/ObjectStore.hpp"
#include "projects/RecentProjectsManager.hpp"
#include "simulation/SimulationController.hpp"
#include "support/AtomicWrite.hpp"
#include "support/UserFolders.hpp"
#include "support/UserInterfaceThread.hpp"
#include "water/WaterBoundaryService.hpp"

#include <algorithm>
#include <boost/asio/signal_set.hpp>
#include <csignal>
#include <iostream>
#include <optional>
#include <system_error>

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
          windows(environment), server(serve(options, windows)) {
        UserSettings::shared().pagePort = server.port();
    }

    /// The server on the port asked for; without one, on the last launch's port when that is free, else on
    /// a free one. The token outlives the launch, so the page's address does as well.
    static LocalServer serve(const Options& options, BrowserWindows& listener) {
        LocalServer::Options served{
            options.webRoot, options.port.value_or(0),
            keptPageToken(userConfigFolder() / "page-token", options.renewsToken, std::cerr)};
        const std::optional<std::uint16_t> lastPort = UserSettings::shared().pagePort;
        if (!options.port && lastPort) {
            try {
                return LocalServer(userInterfaceContext(), {served.webRoot, *lastPort, served.token},
                                   listener);
            } catch (const std::system_error&) {
                // Taken by something else meanwhile: any port will do, and a bookmark needs the new one.
            }
        }
        return LocalServer(userInterfaceContext(), served, listener);
    }

    /// A window for each file, or one when there is none: opened in the browser, or announced when the app
    /// opens none itself.
    void openWindows(const std::vector<std::filesystem::path>& files, bool opensBrowser) {
        const std::string address = server.url();
        for (std::size_t i = 0; i < std::max<std::size_t>(files.size(), 1); ++i) {
            if (i < files.size()) {
                windows.openInNextWindow(files[i]);
                std::cout << "📂 " << files[i].string() << " opens in the next window of " << address
                          << std::endl;
            }
            if (opensBrowser && !openInDesktopBrowser(address)) {
                std::cout << "No browser could be started; open " << address << " in one." << std::endl;
            }
        }
    }

    NotificationCenter notifications;
    WaterBoundaryService waterBoundary;
    AppEnvironment environment;
    BrowserWindows windows;
    LocalServer server;
    std::optional<InstanceListener> instanceListener;
};

PelagrinApp::PelagrinApp(Options options) : state_(std::make_unique<State>(options)) {
    // What a launch that was killed while saving left behind in the app's own folders.
    removeStaleTemporaries(userDataFolder());
    removeStaleTemporaries(userConfigFolder());
    if (!options.instanceSocket.empty()) {
        try {
            state_->instanceListener.emplace(userInterfaceContext(), options.instanceSocket,
                                             [this, opensBrowser = options.opensBrowser](auto files) {
                                                 state_->openWindows(files, opensBrowser);
                                             });
        } catch (const std::exception& error) {
            // The app works all the same; only files opened from outside start an app of their own.
            std::cout << "Files opened later will not reach this app: " << error.what() << std::endl;
        }
    }
    // Printed in every case: on a machine without a desktop the address is the only way in.
    std::cout << "Pelagrin is running at " << url() << std::endl;
    state_->openWindows(options.files, options.opensBrowser);
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
        // A launch from now on starts an app of its own rather than handing its files to this one.
        state_->instanceListener.reset();
        stopApp(state_->environment);
        state_->server.stop();
        AppThread::shared().stop();
    });
    AppThread::shared().run();
}

} // namespace pelagrin
