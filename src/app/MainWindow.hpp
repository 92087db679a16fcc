// MainWindow: one browser window of the app, as state to draw and intents to handle.
#pragma once

#include "app/AppEnvironment.hpp"
#include "app/AppState.hpp"
#include "app/RootView.hpp"

#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

namespace pelagrin {

class Intent;

/// One main window: its `AppState`, its root view and everything shown in it, driven by the intents of the
/// browser protocol and drawn from `state()`. Lives on the app thread; `environment` must outlive it.
class MainWindow {
public:
    /// Window `number` (counted per launch, from 1) on the shared `environment`.
    MainWindow(AppEnvironment& environment, int number);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    int number() const { return number_; }

    /// The first show: opens `file` when one was handed to the app for this window, else reopens the last
    /// project when the preference allows.
    void shown(const std::optional<std::filesystem::path>& file = std::nullopt);

    /// The window state: an object with the keys "root", "welcome", "createProject", "fileDialog", "alert",
    /// "preferences", "project" and "controller".
    nlohmann::json state() const;

    /// Carries out one intent. Throws IntentError, having changed nothing, for an unknown, malformed,
    /// out-of-range or not applicable intent.
    void handle(const Intent& intent);

    /// The loaded project while this window shows the simulation renderer, else null.
    const Project* rendererProject() const;

    /// The browser window went without asking (tab closed, page left anyway): an edited project keeps its
    /// changes in its recovery copy.
    void closedByBrowser();

private:
    // Each returns false for an intent name outside its group.
    bool handleMenu(const Intent& intent);
    bool handleWelcome(const Intent& intent);
    bool handleCreateSheet(const Intent& intent);
    bool handleFileDialog(const Intent& intent);
    bool handleProject(const Intent& intent);
    bool handleRenderer(const Intent& intent);
    bool handleRegion(const Intent& intent);
    bool handleAnalysis(const Intent& intent);
    bool handleEnsemble(const Intent& intent);
    /// Play/pause of `window`'s project; a project Play cannot run says why in the alert.
    void playPause(ProjectWindow& window);

    AppEnvironment& environment_;
    int number_;
    AppState appState_;
    RootView root_;
    /// Shared state that other windows or the run loop change: each change is a change of this window's
    /// state.
    std::vector<Subscription> sharedStateWatches_;
};

} // namespace pelagrin
