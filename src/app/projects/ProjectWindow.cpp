// ProjectWindow: the load sequence, saving, the close paths and the screens of the open project.
#include "app/projects/ProjectWindow.hpp"

#include "app/Intent.hpp"
#include "app/analysis/EnsembleDialog.hpp"
#include "app/analysis/EnsemblePanel.hpp"
#include "app/projects/LazyModel.hpp"
#include "app/projects/ParticleSettingsScreen.hpp"
#include "app/projects/PhysicalParametersScreen.hpp"
#include "app/projects/RecoveryCopy.hpp"
#include "app/simulation/SimulationRendererScreen.hpp"
#include "exports/DepositsGeoJson.hpp"
#include "projects/ProjectPersistence.hpp"
#include "support/BackgroundTask.hpp"

#include <algorithm>
#include <ostream>
#include <stdexcept>
#include <thread>

namespace pelagrin {

ProjectWindow::ProjectWindow(AppEnvironment& environment, AppState& appState)
    : environment_(environment), appState_(appState),
      analysisScreen_(environment.dataStore, environment.controller, environment.stateChanged),
      depositsPanel_(environment.controller, environment.dataStore, environment.stateChanged) {
    performLoad_ = environment_.notifications.observe(NotificationName::performProjectLoad,
                                                      [this](const NotificationCenter::Object& location) {
                                                          if (location) {
                                                              load(*location);
                                                          }
                                                      });
    openedLocation_ =
        appState_.openedProjectURL.subscribe([this](const std::optional<std::string>& location) {
            if (location) {
                load(*location);
            }
        });
    keepChanges_ = environment_.notifications.observe(NotificationName::keepUnsavedChanges,
                                                      [this](const auto&) { keepUnsavedChanges(); });
    runEnded_ = environment_.controller.isRunning.subscribe([this](bool isRunning) {
        if (!isRunning) {
            startedCurrentRun_ = false;
        }
    });
}

ProjectWindow::~ProjectWindow() = default;

std::string ProjectWindow::title() const {
    return activeProject_ ? activeProject_->name.get() : "Pelagrin";
}

void ProjectWindow::load(const std::filesystem::path& location) {
    // The same file arrives by several routes at once (the open location, "PerformProjectLoad", one routing
    // per window); it is read once, and a file already shown is not read again even if it changed on disk.
    if ((activeProject_ && activeProject_->directoryURL.get() == location.string()) ||
        pendingLocation_ == location) {
        return;
    }
    pendingLocation_ = location;
    // Read off the app thread, so that no file (a FIFO, a huge one) can hold it up; shown in the turn the
    // result comes back in, unless the window has moved on to another file or closed by then.
    runInBackground(
        environment_.executor, [location] { return ProjectPersistence::load(location); },
        [weak = weak_from_this(), location](const std::shared_ptr<Project>& project,
                                            const std::string& failure) {
            const auto self = weak.lock();
            if (self && self->pendingLocation_ == location) {
                self->pendingLocation_.reset();
                self->receiveLoad(project, failure);
            }
        });
}

void ProjectWindow::receiveLoad(const std::shared_ptr<Project>& project, const std::string& failure) {
    std::string reason = failure;
    if (project) {
        try {
            environment_.objectStore.insert(project);
            finishLoad(project);
            return;
        } catch (const std::exception& error) {
            reason = error.what();
        }
    }
    environment_.console << "❌ LOAD ERROR: " << reason << std::endl;
    if (loadFailed) {
        loadFailed(reason);
    }
}

void ProjectWindow::finishLoad(const std::shared_ptr<Project>& project) {
    selectedSection_ = SidebarSection::region;
    showCloseAlert_ = false;
    showRestoreAlert_ = RecoveryCopy::newerCopy(*project->directoryURL.get()).has_value();
    show(project);
    environment_.recentProjects.add(*project->directoryURL.get());
    // Only a file that opened becomes the window's and the one to reopen next launch.
    appState_.openedProjectURL = project->directoryURL.get();
    environment_.settings.lastOpenedProjectURL = project->directoryURL.get();
    // The setting is written as the overlay appears, so closing the project at once still counts as seen.
    if (!environment_.settings.hasSeenOnboarding) {
        showOnboarding_ = true;
        environment_.settings.hasSeenOnboarding = true;
    }
    environment_.stateChanged();
}

void ProjectWindow::show(const std::shared_ptr<Project>& project) {
    dirtyTracker_.reset();
    regionScreen_.reset();
    ensembleDialog_.reset();
    ensemblePanel_ = std::make_unique<EnsemblePanel>(environment_.executor, environment_.stateChanged);
    activeProject_ = project;
    isDirty_ = false;
    areChangesKept_ = false;
    dirtyTracker_ = std::make_unique<DirtyTracker>(project, [this] {
        isDirty_ = true;
        areChangesKept_ = false;
    });
    showSelectedScreen();
}

void ProjectWindow::selectSection(SidebarSection section) {
    if (section != selectedSection_) {
        selectedSection_ = section;
        showSelectedScreen();
    }
}

void ProjectWindow::showSelectedScreen() {
    // Once made, the region screen stays with the project, so that a detection and the auto-detect toggle
    // outlast a visit to another section and a detection that ends meanwhile still lands.
    if (activeProject_ && selectedSection_ == SidebarSection::region && !regionScreen_) {
        regionScreen_ = std::make_shared<RegionSelectionScreen>(environment_, activeProject_);
        regionScreen_->loadFromRegion();
    }
}

const Project* ProjectWindow::rendererProject() const {
    return selectedSection_ == SidebarSection::simulation ? activeProject_.get() : nullptr;
}

bool ProjectWindow::prepareRun() {
    const std::shared_ptr<Region> region = activeProject_->region.get();
    // Three vertices make the smallest outline; one laid out already counts, its geography aside.
    if (!region || (region->waterVertices().size() < 3 && region->waterVerticesSim().size() < 3)) {
        return false;
    }
    particleSettingsCreatingIfMissing(*activeProject_);
    // The region screen's emission point is its own until applied; a run takes what the screen shows.
    if (regionScreen_) {
        regionScreen_->layOutRegion();
    } else {
        region->applyLayout(std::nullopt);
    }
    return true;
}

void ProjectWindow::reset() {
    SimulationController& controller = environment_.controller;
    if (!activeProject_) {
        controller.stop();
        return;
    }
    prepareRun();
    controller.reset(*activeProject_);
}

std::optional<std::string> ProjectWindow::playPause() {
    SimulationController& controller = environment_.controller;
    if (controller.isRunning) {
        controller.pause();
        return std::nullopt;
    }
    if (!activeProject_) {
        return std::nullopt;
    }
    if (!prepareRun()) {
        return std::string(noOutlineMessage);
    }
    try {
        controller.play(*activeProject_);
        startedCurrentRun_ = controller.isRunning;
    } catch (const std::invalid_argument& error) {
        throw IntentError(std::string("toolbarPlayPause: ") + error.what());
    }
    return std::nullopt;
}

void ProjectWindow::save() {
    if (!activeProject_ || !activeProject_->directoryURL.get()) {
        return;
    }
    try {
        ProjectPersistence::save(*activeProject_, *activeProject_->directoryURL.get());
        isDirty_ = false;
        RecoveryCopy::discard(*activeProject_->directoryURL.get());
    } catch (const std::exception& error) {
        environment_.console << "Error saving project: " << error.what() << '\n';
    }
}

void ProjectWindow::closeRequest() {
    if (environment_.controller.isRunning) {
        environment_.controller.stop();
    }
    if (isDirty_) {
        showCloseAlert_ = true;
    } else {
        closeProject();
    }
}

void ProjectWindow::closeAlert(CloseChoice choice) {
    showCloseAlert_ = false;
    switch (choice) {
    case CloseChoice::save:
        save(); // closed whether or not the save succeeded
        closeProject();
        break;
    case CloseChoice::discard:
        if (const std::optional<std::string>& location = activeProject_->directoryURL.get()) {
            RecoveryCopy::discard(*location);
        }
        closeProject();
        break;
    case CloseChoice::cancel:
        break;
    }
}

bool ProjectWindow::asksBeforeClosing() {
    showCloseAlert_ = isDirty_;
    return isDirty_;
}

void ProjectWindow::restoreAlert(RestoreChoice choice) {
    showRestoreAlert_ = false;
    const std::filesystem::path location = *activeProject_->directoryURL.get();
    if (choice == RestoreChoice::discard) {
        RecoveryCopy::discard(location);
        return;
    }
    std::shared_ptr<Project> copy;
    try {
        copy = RecoveryCopy::read(location);
        environment_.objectStore.insert(copy);
    } catch (const std::exception& error) {
        environment_.console << "❌ LOAD ERROR: " << error.what() << '\n';
        return;
    }
    // Shown in place of the file's project, as a load of the file would show it, but edited.
    show(copy);
    isDirty_ = true;
}

void ProjectWindow::keepUnsavedChanges() {
    if (!activeProject_ || !isDirty_ || areChangesKept_) {
        return;
    }
    if (startedCurrentRun_) {
        environment_.controller.stop();
    }
    const std::string& name = activeProject_->name.get();
    try {
        const std::filesystem::path path = RecoveryCopy::keep(*activeProject_);
        // Flushed at once: the app may be on its way out.
        environment_.console << "Kept unsaved changes of " << name << " in " << path.string() << std::endl;
        areChangesKept_ = true;
    } catch (const std::exception& error) {
        environment_.console << "Could not keep unsaved changes of " << name << ": " << error.what() << '\n';
    }
}

void ProjectWindow::closeProject() {
    environment_.controller.stop();
    regionScreen_.reset();
    dirtyTracker_.reset();
    ensembleDialog_.reset();
    ensemblePanel_.reset();
    activeProject_.reset();
    pendingLocation_.reset();
    appState_.openedProjectURL = std::nullopt;
    isDirty_ = false;
    environment_.notifications.post(NotificationName::closeProject);
}

void ProjectWindow::setControl(const Intent& intent) {
    const std::string screen = intent.string("screen");
    if (screen == "parameters") {
        physicalParametersScreen().set(*activeProject_, intent);
    } else if (screen == "particles") {
        particleSettingsScreen().set(*activeProject_, intent);
    } else {
        throw intent.error("\"screen\" must be \"parameters\" or \"particles\"");
    }
}

bool ProjectWindow::canRunEnsemble() const {
    return activeProject_ && !environment_.controller.isRunning && !ensemblePanel_->isRunning();
}

void ProjectWindow::showEnsembleDialog() {
    ensembleDialog_ = std::make_unique<EnsembleDialog>(*activeProject_);
}

void ProjectWindow::cancelEnsembleDialog() {
    ensembleDialog_.reset();
}

void ProjectWindow::runEnsemble(const Intent& intent) {
    EnsembleDialog& dialog = *ensembleDialog_;
    EnsemblePlan plan;
    try {
        plan = EnsembleDialog::plan(intent);
    } catch (const VariationError& problem) {
        dialog.error = problem.what();
        return;
    }
    if (!prepareRun()) {
        dialog.error = std::string(noOutlineMessage);
        return;
    }
    // The members start from a copy: the window's project goes on being edited on this thread meanwhile.
    const Project& project = *activeProject_;
    const std::string location = project.directoryURL.get().value_or("");
    EnsembleSetup setup{location.empty() ? project.name.get() : location, std::move(plan),
                        environment_.controller.currentSpeedMultiplier(),
                        ProjectPersistence::makeProject(ProjectPersistence::makeFile(project), location)};
    ensembleDialog_.reset();
    ensemblePanel_->start(std::move(setup), std::max(1u, std::thread::hardware_concurrency()));
}

std::optional<std::string> ProjectWindow::depositsGeoJson() const {
    return activeProject_ ? DepositsGeoJson::ofRun(environment_.controller, *activeProject_) : std::nullopt;
}

std::optional<RunHeatmap> ProjectWindow::runHeatmap() const {
    const SimulationController& controller = environment_.controller;
    return activeProject_ ? RunHeatmap::of(controller, *activeProject_, controller.currentSpeedMultiplier())
                          : std::nullopt;
}

nlohmann::json ProjectWindow::analysisState() const {
    nlohmann::json analysis = analysisScreen_.state(*activeProject_);
    analysis["deposits"] = depositsPanel_.state(activeProject_->region.get().get());
    analysis["timeline"]["band"] = ensemblePanel_->timelineBand();
    analysis["ensembleDeposits"] = ensemblePanel_->probabilityMap();
    return analysis;
}

nlohmann::json ProjectWindow::ensembleState() const {
    nlohmann::json ensemble = ensemblePanel_->state();
    ensemble["canRun"] = canRunEnsemble();
    ensemble["dialog"] = ensembleDialog_ ? ensembleDialog_->state() : nlohmann::json(nullptr);
    return ensemble;
}

nlohmann::json ProjectWindow::state() const {
    using nlohmann::json;
    return {
        {"isLoaded", isLoaded()},
        {"name", title()},
        {"selectedSection", name(selectedSection_)},
        {"isDirty", isDirty_},
        {"showCloseAlert", showCloseAlert_},
        {"showRestoreAlert", showRestoreAlert_},
        {"showOnboarding", showOnboarding_},
        {"parameters", activeProject_ ? physicalParametersScreen().state(*activeProject_) : json(nullptr)},
        {"particles", activeProject_ ? particleSettingsScreen().state(*activeProject_) : json(nullptr)},
        {"region", regionScreen() != nullptr ? regionScreen()->state() : json(nullptr)},
        {"analysis", activeProject_ ? analysisState() : json(nullptr)},
        {"ensemble", activeProject_ ? ensembleState() : json(nullptr)},
        {"simulation",
         activeProject_ ? simulationRendererState(*activeProject_, environment_.controller) : json(nullptr)}};
}

} // namespace pelagrin
