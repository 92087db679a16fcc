// RootView: load routing, automatic reopening, closing, and the sheet and dialog of a main window.
#include "app/RootView.hpp"

#include "app/Intent.hpp"
#include "ensemble/EnsembleResults.hpp"
#include "support/AtomicWrite.hpp"

#include <system_error>
#include <utility>
#include <vector>

namespace pelagrin {
namespace {

/// An export of `text`, written atomically.
std::function<void(const std::filesystem::path&)> textWriter(std::string text) {
    return [text = std::move(text)](const std::filesystem::path& path) { writeFileAtomically(path, text); };
}

} // namespace

RootView::RootView(AppEnvironment& environment, AppState& appState)
    : environment_(environment), appState_(appState) {
    // A notification that should carry a location and does not is ignored.
    subscriptions_.push_back(observe(NotificationName::loadProjectInHomeView, [this](const auto& location) {
        if (location) {
            routeLoad(*location);
        }
    }));
    subscriptions_.push_back(observe(NotificationName::openProjectFromWelcome, [this](const auto& location) {
        if (location) {
            environment_.notifications.post(NotificationName::loadProjectInHomeView, location);
        }
    }));
    subscriptions_.push_back(
        observe(NotificationName::triggerCreateProject, [this](const auto&) { showCreateProject(); }));
    subscriptions_.push_back(observe(NotificationName::triggerOpenProjectImporter,
                                     [this](const auto&) { showOpenDialog(DialogPurpose::openFromMenu); }));
    subscriptions_.push_back(observe(NotificationName::closeProject, [this](const auto&) { close(); }));
}

Subscription RootView::observe(std::string_view name,
                               std::function<void(const NotificationCenter::Object&)> action) {
    return environment_.notifications.observe(name, [this, action = std::move(action)](const auto& object) {
        action(object);
        environment_.stateChanged();
    });
}

void RootView::shown(const std::optional<std::filesystem::path>& file) {
    if (std::exchange(wasShown_, true) || openHome()) {
        return;
    }
    if (file) {
        routeLoad(*file);
        return;
    }
    if (!environment_.settings.autoOpenLastProject) {
        return;
    }
    const std::optional<std::string> last = environment_.settings.lastOpenedProjectURL;
    std::error_code ignored;
    if (!last || !std::filesystem::exists(*last, ignored)) {
        return; // never opened one, or the file was moved or deleted since: the welcome stays
    }
    routeLoad(*last);
}

void RootView::routeLoad(const std::filesystem::path& location) {
    environment_.notifications.post(NotificationName::performProjectLoad, location);
    // A window that showed the welcome had no project window to hear that; the new one starts from the open
    // location instead.
    if (!projectWindow_) {
        projectWindow_ = std::make_shared<ProjectWindow>(environment_, appState_);
        projectWindow_->loadFailed = [this](const std::string& reason) { loadFailed(reason); };
        projectWindow_->load(location);
    }
}

void RootView::loadFailed(const std::string& reason) {
    alert_ = Alert{"The project could not be opened.", reason};
    // A window that was showing the welcome goes back to it; one showing a project keeps it.
    if (projectWindow_ && !projectWindow_->isLoaded() && !projectWindow_->isLoading()) {
        close();
    }
    environment_.stateChanged();
}

void RootView::close() {
    // Unsaved changes are the user's to decide on; the keep-changes alert's Save or Discard closes later.
    if (projectWindow_ && projectWindow_->asksBeforeClosing()) {
        return;
    }
    projectWindow_.reset();
    appState_.openedProjectURL = std::nullopt;
}

void RootView::showCreateProject() {
    if (!createSheet_) {
        createSheet_.emplace(environment_.documentsFolder);
    }
}

void RootView::dismissCreateProject() {
    createSheet_.reset();
    if (fileDialog_ && dialogPurpose_ == DialogPurpose::projectLocation) {
        fileDialog_.reset();
    }
}

void RootView::chooseFolder() {
    showDialog(FileDialog::Kind::folder, DialogPurpose::projectLocation,
               createSheet_->selectedFolder.value_or(startFolder()));
}

void RootView::createProject() {
    if (const std::optional<std::filesystem::path> created = createSheet_->create()) {
        dismissCreateProject();
        environment_.notifications.post(NotificationName::openProjectFromWelcome, *created);
    }
}

std::filesystem::path RootView::startFolder() const {
    return environment_.documentsFolder.value_or("/");
}

void RootView::showOpenDialog(DialogPurpose purpose) {
    showDialog(FileDialog::Kind::projectFile, purpose, startFolder());
}

void RootView::showDialog(FileDialog::Kind kind, DialogPurpose purpose, const std::filesystem::path& folder) {
    fileDialog_.emplace(kind, folder);
    dialogPurpose_ = purpose;
}

void RootView::dismissAlert() {
    alert_.reset();
}

void RootView::cancelDialog() {
    fileDialog_.reset();
    exportWriter_ = nullptr;
}

void RootView::showExportDialog() {
    showSaveDialog(FileDialog::Kind::csvFile, DialogPurpose::exportCSV,
                   textWriter(environment_.dataStore.exportCSV()));
}

void RootView::showDepositsExportDialog(std::string text) {
    showSaveDialog(FileDialog::Kind::geoJsonFile, DialogPurpose::exportDeposits, textWriter(std::move(text)));
}

void RootView::showHeatmapExportDialog(RunHeatmap heatmap) {
    showSaveDialog(
        FileDialog::Kind::netCdfFile, DialogPurpose::exportHeatmap,
        [heatmap = std::move(heatmap)](const std::filesystem::path& path) { heatmap.write(path); });
}

void RootView::showEnsembleExportDialog(const EnsembleSetup& setup, std::span<const MemberResult> members) {
    showSaveDialog(
        FileDialog::Kind::ensembleFolder, DialogPurpose::exportEnsemble,
        [setup, members = std::vector(members.begin(), members.end())](const std::filesystem::path& path) {
            writeEnsembleResults(path, setup, members, false, false);
        });
}

void RootView::showSaveDialog(FileDialog::Kind kind, DialogPurpose purpose, ExportWriter write) {
    const std::optional<std::string>& project = appState_.openedProjectURL.get();
    showDialog(kind, purpose, project ? std::filesystem::path(*project).parent_path() : startFolder());
    exportWriter_ = std::move(write);
}

void RootView::saveInDialog(const Intent& intent) {
    const std::filesystem::path destination = fileDialog_->destination(intent);
    std::error_code ignored;
    if (std::filesystem::exists(destination, ignored) && !intent.flag("replace")) {
        throw intent.error("a file of that name exists; replacing it needs \"replace\": true");
    }
    fileDialog_.reset();
    const ExportWriter write = std::exchange(exportWriter_, nullptr);
    try {
        write(destination);
        alert_ = Alert{"Export finished", "The simulation data was saved to " + destination.string() + "."};
    } catch (const std::runtime_error& error) { // FileWriteError, or NetCdfError for a NetCDF export
        // The old file, if any, is intact; the message says what to fix before exporting again.
        alert_ = Alert{"The export failed.", error.what()};
    }
}

void RootView::chooseInDialog(const Intent& intent) {
    const std::filesystem::path chosen = fileDialog_->choice(intent);
    fileDialog_.reset();
    switch (dialogPurpose_) {
    case DialogPurpose::projectLocation:
        createSheet_->selectedFolder = chosen; // the sheet's folder dialog goes with the sheet
        break;
    case DialogPurpose::openFromWelcome:
        environment_.notifications.post(NotificationName::openProjectFromWelcome, chosen);
        break;
    case DialogPurpose::openFromMenu:
        environment_.notifications.post(NotificationName::loadProjectInHomeView, chosen);
        break;
    case DialogPurpose::exportCSV:
    case DialogPurpose::exportDeposits:
    case DialogPurpose::exportHeatmap:
    case DialogPurpose::exportEnsemble:
        break; // a save dialog confirms with "fileDialogSave"
    }
}

} // namespace pelagrin
