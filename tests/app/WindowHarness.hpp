// WindowHarness: main windows on a real environment in a temporary folder, with a hand-driven app thread.
#pragma once

#include "app/Intent.hpp"
#include "app/MainWindow.hpp"
#include "projects/ProjectPersistence.hpp"
#include "tests/support/TemporaryFolder.hpp"

#include <boost/asio/io_context.hpp>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

namespace pelagrin::test {

/// One launch of the app over the files of `folder`: settings, recent list and object store live there, and
/// "Documents" is the Documents folder. The controller's run loop is never driven, so a started run stays
/// running until stopped.
class Launch {
public:
    explicit Launch(const std::filesystem::path& folder,
                    std::optional<std::filesystem::path> documents = std::nullopt)
        : settings(folder / "config" / "settings.json"),
          recentProjects(folder / "data" / "recent-projects.json"),
          objectStore(folder / "data" / "Pelagrin.sqlite"),
          controller(runLoop.get_executor(), dataStore), environment{appThread.get_executor(),
                                                                     notifications,
                                                                     settings,
                                                                     recentProjects,
                                                                     objectStore,
                                                                     controller,
                                                                     dataStore,
                                                                     documents,
                                                                     [this] { stateChanged(); },
                                                                     console,
                                                                     waterBoundary} {
        // No base URL: a detection fails at once unless a test points the service at its fake server.
        waterBoundary.setBaseUrl("");
        waterBoundary.setDiagnostics(console);
    }

    void stateChanged() {
        ++stateChanges;
        if (onStateChange) {
            onStateChange();
        }
    }

    /// A new main window, already shown.
    std::unique_ptr<MainWindow> openWindow() {
        auto window = std::make_unique<MainWindow>(environment, ++windows);
        window->shown();
        return window;
    }

    /// Runs the work deferred to later turns of the app thread until none is left.
    void settle() {
        appThread.restart();
        appThread.run();
    }

    boost::asio::io_context appThread;
    boost::asio::io_context runLoop;
    NotificationCenter notifications;
    UserSettings settings;
    RecentProjectsManager recentProjects;
    ObjectStore objectStore;
    SimulationDataStore dataStore;
    SimulationController controller;
    std::ostringstream console;
    int stateChanges = 0;
    std::function<void()> onStateChange; // what the app would do next: redraw its browser windows
    int windows = 0;
    WaterBoundaryService waterBoundary; // after the app thread, whose context must outlive it
    AppEnvironment environment;
};

/// Hands `intent` to `window` as the browser would.
inline void send(MainWindow& window, nlohmann::json intent) {
    window.handle(Intent(std::move(intent)));
}

/// The "setControl" intent of the parameter screens: `id` on `screen` ("parameters" or "particles") to
/// `value`.
inline nlohmann::json setControl(const char* screen, const char* id, double value) {
    return {{"intent", "setControl"}, {"screen", screen}, {"id", id}, {"value", value}};
}

/// A region whose outline is the square of 47–48° N, 8–9° E, selected at its centre; it fills the canvas.
inline std::shared_ptr<Region> squareRegion() {
    auto region = std::make_shared<Region>("Square", 47.5, 8.5);
    region->setWaterVertices({{47.0, 8.0}, {47.0, 9.0}, {48.0, 9.0}, {48.0, 8.0}});
    return region;
}

/// A test folder with "Documents" and "projects" in it and one launch over it.
class WindowTest : public ::testing::Test {
protected:
    WindowTest() {
        std::filesystem::create_directories(documents());
        std::filesystem::create_directories(projects());
        launch = std::make_unique<Launch>(folder.path(), documents());
    }

    std::filesystem::path documents() const { return folder / "Documents"; }
    std::filesystem::path projects() const { return folder / "projects"; }

    /// Quits the app (after its windows were dropped) and launches it again over the same files.
    void relaunch() {
        launch.reset();
        launch = std::make_unique<Launch>(folder.path(), documents());
    }

    /// Writes a project file `name`.pelagrinproj into "projects"; with `parameters`, it has parameters and
    /// particle settings (500 particles, so that a run starts quickly); with `outline`, the water of
    /// `squareRegion()`, not yet applied.
    std::filesystem::path projectFile(const std::string& name, bool parameters = true,
                                      bool outline = false) const {
        Project project(name);
        if (outline) {
            project.region = squareRegion();
        }
        if (parameters) {
            auto values = std::make_shared<SimulationParameters>();
            values->particleSettings = std::make_shared<ParticleSettings>(1.0, 1.05, 500);
            project.parameters = values;
        }
        const auto path = projects() / (name + ".pelagrinproj");
        ProjectPersistence::save(project, path);
        return path;
    }

    /// The shown project, as the object store holds it.
    Project& project() const { return *launch->objectStore.projects().back(); }

    /// Opens `path` through the menu's "Open Project…" in `window`, which works whatever the windows show
    /// (a new window may have reopened the last project already), and lets the load finish.
    void open(MainWindow& window, const std::filesystem::path& path) {
        send(window, {{"intent", "openProject"}});
        send(window, {{"intent", "fileDialogChoose"}, {"path", path.string()}});
        launch->settle();
    }

    TemporaryFolder folder;
    std::unique_ptr<Launch> launch;
};

/// Whether the project `window` shows has edits that are not saved.
inline bool isDirty(const MainWindow& window) {
    return window.state()["project"]["isDirty"];
}

/// Sends `intent`, which must be refused with a message containing `message`, and leave the state as it was.
inline void expectRefused(MainWindow& window, const nlohmann::json& intent, const std::string& message) {
    const nlohmann::json before = window.state();
    try {
        window.handle(Intent(intent));
        ADD_FAILURE() << "accepted " << intent.dump();
    } catch (const IntentError& error) {
        EXPECT_NE(std::string(error.what()).find(message), std::string::npos)
            << "message: " << error.what() << "\nexpected to contain: " << message;
    }
    EXPECT_EQ(window.state(), before) << "refused " << intent.dump();
}

} // namespace pelagrin::test
