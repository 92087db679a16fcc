// MainWindow: the window state as JSON, and the intents with their checks.
#include "app/MainWindow.hpp"

#include "app/Intent.hpp"
#include "app/analysis/EnsemblePanel.hpp"
#include "app/simulation/SimulationRendererScreen.hpp"
#include "app/water/MapArea.hpp"
#include "support/PathText.hpp"

#include <algorithm>
#include <cmath>
#include <system_error>

namespace pelagrin {
namespace {

using nlohmann::json;

/// Throws IntentError "NAME: not applicable: WHY" unless `applies`.
void require(bool applies, const Intent& intent, const char* why) {
    if (!applies) {
        throw intent.error(std::string("not applicable: ") + why);
    }
}

json welcomeState(const std::vector<std::string>& recent) {
    json rows = json::array();
    for (const std::string& path : recent) {
        std::error_code unknown; // a file that cannot be looked at is not known to be gone
        const bool isMissing = !std::filesystem::exists(path, unknown) && !unknown;
        rows.push_back({{"path", PathText::encode(path)},
                        {"name", PathText::encode(std::filesystem::path(path).stem())},
                        {"isMissing", isMissing}});
    }
    return {{"recent", std::move(rows)}};
}

json alertState(const std::optional<RootView::Alert>& alert) {
    return alert ? json({{"title", alert->title}, {"message", alert->message}}) : json(nullptr);
}

ProjectWindow::CloseChoice closeChoice(const Intent& intent) {
    const std::string choice = intent.string("choice");
    if (choice == "save") {
        return ProjectWindow::CloseChoice::save;
    }
    if (choice == "discard") {
        return ProjectWindow::CloseChoice::discard;
    }
    if (choice != "cancel") {
        throw intent.error("\"choice\" must be \"save\", \"discard\" or \"cancel\"");
    }
    return ProjectWindow::CloseChoice::cancel;
}

ProjectWindow::RestoreChoice restoreChoice(const Intent& intent) {
    const std::string choice = intent.string("choice");
    if (choice == "restore") {
        return ProjectWindow::RestoreChoice::restore;
    }
    if (choice != "discard") {
        throw intent.error("\"choice\" must be \"restore\" or \"discard\"");
    }
    return ProjectWindow::RestoreChoice::discard;
}

MapType mapType(const Intent& intent) {
    const double value = intent.number("value");
    for (const MapType type : {MapType::standard, MapType::satellite, MapType::hybrid}) {
        if (value == static_cast<int>(type)) {
            return type;
        }
    }
    throw intent.error("\"value\" must be 0 (Map), 1 (Satellite) or 2 (Hybrid)");
}

/// The "index" argument of `intent`: a whole number naming one of `count` polygon vertices.
std::size_t vertexIndex(const Intent& intent, std::size_t count) {
    const double index = intent.number("index");
    if (count == 0 || index < 0 || index > static_cast<double>(count - 1) || index != std::floor(index)) {
        throw intent.error(count == 0 ? "not applicable: there are no vertices"
                                      : "\"index\" must be a whole number in [0, " +
                                            std::to_string(count - 1) + "]");
    }
    return static_cast<std::size_t>(index);
}

} // namespace

MainWindow::MainWindow(AppEnvironment& environment, int number)
    : environment_(environment), number_(number), root_(environment, appState_) {
    const auto changed = [this](const auto&) { environment_.stateChanged(); };
    sharedStateWatches_.push_back(environment_.controller.isRunning.subscribe(changed));
    sharedStateWatches_.push_back(environment_.controller.currentTime.subscribe(changed));
    sharedStateWatches_.push_back(environment_.controller.totalDuration.subscribe(changed));
    sharedStateWatches_.push_back(environment_.recentProjects.recent.subscribe(changed));
    sharedStateWatches_.push_back(environment_.settings.autoOpenLastProject.subscribe(changed));
}

void MainWindow::shown(const std::optional<std::filesystem::path>& file) {
    root_.shown(file);
}

json MainWindow::state() const {
    const std::shared_ptr<ProjectWindow>& project = root_.projectWindow();
    const SimulationController& controller = environment_.controller;
    return {
        {"root",
         {{"openHome", root_.openHome()},
          {"title", project ? project->title() : "Pelagrin"},
          {"isDocumentEdited", project && project->isDirty()}}},
        {"welcome", welcomeState(environment_.recentProjects.recent)},
        {"createProject", root_.createSheet() ? root_.createSheet()->state() : json(nullptr)},
        {"fileDialog", root_.fileDialog() ? root_.fileDialog()->state() : json(nullptr)},
        {"alert", alertState(root_.alert())},
        {"preferences", {{"autoOpenLastProject", environment_.settings.autoOpenLastProject.get()}}},
        {"project", project ? project->state() : json(nullptr)},
        {"controller",
         {{"isRunning", controller.isRunning.get()},
          {"state", runStateName(controller.runState())},
          {"currentTime", controller.currentTime.get()},
          {"totalDuration", controller.totalDuration.get()}}},
    };
}

void MainWindow::handle(const Intent& intent) {
    const bool handled = handleMenu(intent) || handleWelcome(intent) || handleCreateSheet(intent) ||
                         handleFileDialog(intent) || handleProject(intent) || handleRenderer(intent) ||
                         handleRegion(intent) || handleAnalysis(intent) || handleEnsemble(intent);
    if (!handled) {
        throw intent.error("unknown intent");
    }
}

bool MainWindow::handleMenu(const Intent& intent) {
    const std::string& name = intent.name();
    SimulationController& controller = environment_.controller;
    if (name == "newProject") {
        environment_.notifications.post(NotificationName::triggerCreateProject);
    } else if (name == "openProject") {
        environment_.notifications.post(NotificationName::triggerOpenProjectImporter);
    } else if (name == "closeProject") {
        environment_.notifications.post(NotificationName::closeProject);
    } else if (name == "saveProject") {
        if (const std::shared_ptr<ProjectWindow>& project = root_.projectWindow()) {
            project->save();
        }
    } else if (name == "runPause") {
        // The project of this window runs or pauses as its Play button would have it.
        if (const std::shared_ptr<ProjectWindow> project = root_.projectWindow();
            project && project->isLoaded()) {
            playPause(*project);
        } else if (controller.isRunning) {
            controller.pause();
        } else {
            environment_.notifications.post(NotificationName::toggleSimulation);
        }
    } else if (name == "reset") {
        if (const std::shared_ptr<ProjectWindow> project = root_.projectWindow()) {
            project->reset();
        } else {
            controller.stop();
        }
    } else if (name == "setAutoOpenLastProject") {
        environment_.settings.autoOpenLastProject = intent.boolean("value");
    } else if (name == "dismissAlert") {
        require(root_.alert().has_value(), intent, "no alert is shown");
        root_.dismissAlert();
    } else {
        return false;
    }
    return true;
}

bool MainWindow::handleWelcome(const Intent& intent) {
    const std::string& name = intent.name();
    if (name != "showNewProject" && name != "showOpenDialog" && name != "openRecent" &&
        name != "removeRecent") {
        return false;
    }
    require(!root_.openHome(), intent, "the welcome is not shown");
    if (name == "showNewProject") {
        root_.showCreateProject();
    } else if (name == "showOpenDialog") {
        root_.showOpenDialog(RootView::DialogPurpose::openFromWelcome);
    } else {
        const std::filesystem::path path = intent.path("path");
        const std::vector<std::string>& recent = environment_.recentProjects.recent;
        if (std::find(recent.begin(), recent.end(), path.native()) == recent.end()) {
            throw intent.error("no recent project at " + PathText::encode(path));
        }
        if (name == "openRecent") {
            environment_.notifications.post(NotificationName::openProjectFromWelcome, path);
        } else {
            environment_.recentProjects.remove(path.native());
        }
    }
    return true;
}

bool MainWindow::handleCreateSheet(const Intent& intent) {
    const std::string& name = intent.name();
    if (name != "setProjectName" && name != "chooseFolder" && name != "createProject" &&
        name != "cancelCreateProject") {
        return false;
    }
    CreateProjectSheet* sheet = root_.createSheet();
    require(sheet != nullptr, intent, "no creation sheet is shown");
    if (name == "setProjectName") {
        sheet->projectName = intent.string("value");
    } else if (name == "chooseFolder") {
        root_.chooseFolder();
    } else if (name == "createProject") {
        require(sheet->canCreate(), intent, "the project has no name");
        root_.createProject();
    } else {
        root_.dismissCreateProject();
    }
    return true;
}

bool MainWindow::handleFileDialog(const Intent& intent) {
    const std::string& name = intent.name();
    if (name != "fileDialogNavigate" && name != "fileDialogChoose" && name != "fileDialogSave" &&
        name != "fileDialogCancel" && name != "fileDialogNewFolder") {
        return false;
    }
    FileDialog* dialog = root_.fileDialog();
    require(dialog != nullptr, intent, "no file dialog is shown");
    if (name == "fileDialogNavigate") {
        dialog->navigate(intent);
    } else if (name == "fileDialogNewFolder") {
        dialog->createFolder(intent);
    } else if (name == "fileDialogChoose") {
        require(!dialog->savesFile(), intent, "a save dialog confirms with fileDialogSave");
        root_.chooseInDialog(intent);
    } else if (name == "fileDialogSave") {
        require(dialog->savesFile(), intent, "the file dialog does not save a file");
        root_.saveInDialog(intent);
    } else {
        root_.cancelDialog();
    }
    return true;
}

bool MainWindow::handleProject(const Intent& intent) {
    const std::string& name = intent.name();
    if (name != "selectSection" && name != "toolbarReset" && name != "toolbarPlayPause" &&
        name != "toolbarSave" && name != "closeRequest" && name != "closeAlert" && name != "restoreAlert" &&
        name != "dismissOnboarding" && name != "setControl") {
        return false;
    }
    // Held for the call: closing the project ends the project window on the way.
    const std::shared_ptr<ProjectWindow> project = root_.projectWindow();
    require(project != nullptr, intent, "no project is shown");
    ProjectWindow& window = *project;
    if (name == "selectSection") {
        const std::optional<SidebarSection> section = sidebarSection(intent.string("section"));
        if (!section) {
            throw intent.error(
                "\"section\" must be one of region, parameters, particles, simulation, analysis");
        }
        window.selectSection(*section);
    } else if (name == "toolbarReset") {
        window.reset();
    } else if (name == "toolbarPlayPause") {
        playPause(window);
    } else if (name == "toolbarSave") {
        window.save();
    } else if (name == "closeRequest") {
        window.closeRequest();
    } else if (name == "closeAlert") {
        const ProjectWindow::CloseChoice choice = closeChoice(intent);
        require(window.showsCloseAlert(), intent, "the keep-changes alert is not shown");
        window.closeAlert(choice);
    } else if (name == "restoreAlert") {
        const ProjectWindow::RestoreChoice choice = restoreChoice(intent);
        require(window.showsRestoreAlert(), intent, "no recovery copy is offered");
        window.restoreAlert(choice);
    } else if (name == "dismissOnboarding") {
        require(window.showsOnboarding(), intent, "the onboarding is not shown");
        window.dismissOnboarding();
    } else {
        require(window.isLoaded(), intent, "no project is loaded");
        window.setControl(intent);
    }
    return true;
}

bool MainWindow::handleEnsemble(const Intent& intent) {
    const std::string& name = intent.name();
    if (name != "showEnsembleDialog" && name != "runEnsemble" && name != "cancelEnsembleDialog" &&
        name != "stopEnsemble" && name != "clearEnsemble") {
        return false;
    }
    const std::shared_ptr<ProjectWindow> project = root_.projectWindow();
    require(project != nullptr && project->isLoaded(), intent, "no project is loaded");
    ProjectWindow& window = *project;
    if (name == "showEnsembleDialog") {
        require(window.canRunEnsemble(), intent, "a run or an ensemble is going");
        window.showEnsembleDialog();
    } else if (name == "runEnsemble") {
        require(window.showsEnsembleDialog(), intent, "the ensemble dialog is not shown");
        require(window.canRunEnsemble(), intent, "a run or an ensemble is going");
        window.runEnsemble(intent);
    } else if (name == "cancelEnsembleDialog") {
        require(window.showsEnsembleDialog(), intent, "the ensemble dialog is not shown");
        window.cancelEnsembleDialog();
    } else if (name == "stopEnsemble") {
        require(window.ensemble().isRunning(), intent, "no ensemble is running");
        window.ensemble().stop();
    } else {
        require(!window.ensemble().members().empty(), intent, "there is no ensemble to clear");
        window.ensemble().clear();
    }
    return true;
}

void MainWindow::playPause(ProjectWindow& window) {
    if (std::optional<std::string> refusal = window.playPause()) {
        root_.showAlert({"The simulation cannot start.", std::move(*refusal)});
    }
}

const Project* MainWindow::rendererProject() const {
    const std::shared_ptr<ProjectWindow>& project = root_.projectWindow();
    return project ? project->rendererProject() : nullptr;
}

void MainWindow::closedByBrowser() {
    if (const std::shared_ptr<ProjectWindow>& project = root_.projectWindow()) {
        project->keepUnsavedChanges();
    }
}

bool MainWindow::handleRenderer(const Intent& intent) {
    if (intent.name() != "setSpeed") {
        return false;
    }
    require(rendererProject() != nullptr, intent, "the simulation renderer is not shown");
    setSpeed(environment_.controller, intent);
    return true;
}

bool MainWindow::handleRegion(const Intent& intent) {
    const std::string& name = intent.name();
    if (name != "mapClick" && name != "undo" && name != "clearRegion" && name != "applyRegion" &&
        name != "setAutoDetect" && name != "setMapType" && name != "setFlowDirection" &&
        name != "setEmissionRadius" && name != "redo" && name != "moveVertex" && name != "deleteVertex" &&
        name != "mapViewChanged" && name != "cancelDetection" && name != "dismissDetectionMessage" &&
        name != "searchPlace" && name != "choosePlace" && name != "goToCoordinate") {
        return false;
    }
    const std::shared_ptr<ProjectWindow> project = root_.projectWindow();
    require(project != nullptr, intent, "no project is shown");
    RegionSelectionScreen* const screen = project->regionScreen();
    require(screen != nullptr, intent, "the region selection is not shown");
    if (name == "mapClick") {
        screen->click(MapClick::fromIntent(intent));
    } else if (name == "undo") {
        require(screen->canUndo(), intent, "nothing to undo");
        screen->undo();
    } else if (name == "redo") {
        require(screen->canRedo(), intent, "nothing to redo");
        screen->redo();
    } else if (name == "moveVertex") {
        const std::size_t index = vertexIndex(intent, screen->vertexCount());
        screen->moveVertex(index, coordinateArgument(intent));
    } else if (name == "deleteVertex") {
        screen->deleteVertex(vertexIndex(intent, screen->vertexCount()));
    } else if (name == "mapViewChanged") {
        screen->viewChanged(MapArea::fromIntent(intent));
    } else if (name == "clearRegion") {
        require(screen->canClear(), intent, "there is no polygon or emission point to clear");
        screen->clearRegion();
    } else if (name == "applyRegion") {
        const std::optional<std::string> problem = screen->applyProblem();
        require(!problem, intent, problem.value_or("").c_str());
        screen->applyRegion();
    } else if (name == "cancelDetection") {
        require(screen->detection().isDetecting(), intent, "no detection is running");
        screen->detection().cancel();
    } else if (name == "dismissDetectionMessage") {
        require(screen->detection().hasMessage(), intent, "no detection message is shown");
        screen->detection().dismiss();
    } else if (name == "searchPlace") {
        const std::string query = intent.string("query");
        require(!query.empty() && query.size() <= PlaceSearchPanel::maxQueryLength, intent,
                "the query must have 1 to 200 characters");
        screen->placeSearch().search(query);
    } else if (name == "choosePlace") {
        const double index = intent.number("index");
        require(index >= 0 && index < static_cast<double>(screen->placeSearch().resultCount()) &&
                    index == std::floor(index),
                intent, "there is no such result");
        screen->placeSearch().choose(static_cast<std::size_t>(index));
    } else if (name == "goToCoordinate") {
        const std::string text = intent.string("text");
        require(text.size() <= PlaceSearchPanel::maxQueryLength, intent,
                "the text must have at most 200 characters");
        screen->placeSearch().goToCoordinate(text);
    } else if (name == "setAutoDetect") {
        screen->setMagicMode(intent.boolean("value"));
    } else if (name == "setMapType") {
        screen->setMapStyle(mapType(intent));
    } else if (name == "setFlowDirection") {
        screen->setFlowDirection(intent.number("value"));
    } else {
        const double value = intent.number("value");
        require(screen->showsEmissionRadius(), intent, "there is no emission point");
        screen->setEmissionRadius(value);
    }
    return true;
}

bool MainWindow::handleAnalysis(const Intent& intent) {
    const std::string& name = intent.name();
    if (name != "exportCSV" && name != "exportDeposits" && name != "exportHeatmap" &&
        name != "exportEnsemble") {
        return false;
    }
    const std::shared_ptr<ProjectWindow>& project = root_.projectWindow();
    const bool showsAnalysis =
        project != nullptr && project->isLoaded() && project->selectedSection() == SidebarSection::analysis;
    require(showsAnalysis, intent, "the analysis screen is not shown");
    // The button lies under any sheet or dialog, which are modal.
    require(root_.fileDialog() == nullptr && root_.createSheet() == nullptr, intent, "a dialog is shown");
    if (name == "exportCSV") {
        root_.showExportDialog();
        return true;
    }
    if (name == "exportEnsemble") {
        const EnsemblePanel& ensemble = project->ensemble();
        require(!ensemble.members().empty(), intent, "there is no ensemble to export");
        root_.showEnsembleExportDialog(ensemble.setup(), ensemble.members());
        return true;
    }
    if (name == "exportHeatmap") {
        std::optional<RunHeatmap> heatmap = project->runHeatmap();
        require(heatmap.has_value(), intent, "no run has deposits to export");
        root_.showHeatmapExportDialog(std::move(*heatmap));
        return true;
    }
    std::optional<std::string> deposits = project->depositsGeoJson();
    require(deposits.has_value(), intent, "no run has deposits to export");
    root_.showDepositsExportDialog(std::move(*deposits));
    return true;
}

} // namespace pelagrin
