// RootView: which content a main window shows, and the routes by which projects get opened and closed in it.
#pragma once

#include "app/AppEnvironment.hpp"
#include "app/AppState.hpp"
#include "app/FileDialog.hpp"
#include "app/projects/CreateProjectSheet.hpp"
#include "app/projects/ProjectWindow.hpp"
#include "exports/HeatmapNetCdf.hpp"

#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace pelagrin {

class Intent;
struct EnsembleSetup;
struct MemberResult;

/// One main window's switch between the welcome content and the project window, with the creation sheet and
/// the file dialog that may lie over either. Observes the bus for the notifications a window's content
/// answers to; each of them tells `environment.stateChanged`.
class RootView {
public:
    /// Both arguments must outlive the view.
    RootView(AppEnvironment& environment, AppState& appState);

    /// First show: opens `file` as "LoadProjectInHomeView" would, when given; else reopens the last project
    /// when the preference allows and its file still exists.
    void shown(const std::optional<std::filesystem::path>& file = std::nullopt);

    /// Whether the project window is shown (else the welcome content).
    bool openHome() const { return projectWindow_ != nullptr; }
    /// The project window while `openHome()`; shared so that a caller can keep it through a call that closes
    /// it.
    const std::shared_ptr<ProjectWindow>& projectWindow() const { return projectWindow_; }

    /// The creation sheet, absent while not shown.
    CreateProjectSheet* createSheet() { return createSheet_ ? &*createSheet_ : nullptr; }
    const CreateProjectSheet* createSheet() const { return createSheet_ ? &*createSheet_ : nullptr; }
    /// Shows the sheet, fresh, unless it is shown already.
    void showCreateProject();
    /// Closes the sheet, and its folder dialog if that is shown.
    void dismissCreateProject();
    /// The sheet's "Choose...": a folder dialog starting at its folder.
    void chooseFolder();
    /// The sheet's "Create" (only while it `canCreate()`): on success, "OpenProjectFromWelcome" and the sheet
    /// closes.
    void createProject();

    /// Where the path chosen in a file dialog goes.
    enum class DialogPurpose {
        projectLocation, ///< the creation sheet's folder
        openFromWelcome, ///< the welcome's "Open...": "OpenProjectFromWelcome"
        openFromMenu,    ///< the menu's "Open Project…": "LoadProjectInHomeView"
        exportCSV,       ///< the analysis screen's "Export CSV": the file to write the timeline to
        exportDeposits,  ///< the analysis screen's "Export Deposits": the file to write the GeoJSON to
        exportHeatmap,   ///< the analysis screen's "Export Heatmap": the file to write the NetCDF grid to
        exportEnsemble,  ///< the analysis screen's "Export Ensemble…": the folder to write the results into
    };
    /// Shows a project dialog for `purpose`, in place of any dialog shown.
    void showOpenDialog(DialogPurpose purpose);
    /// The file dialog, absent while not shown.
    FileDialog* fileDialog() { return fileDialog_ ? &*fileDialog_ : nullptr; }
    const FileDialog* fileDialog() const { return fileDialog_ ? &*fileDialog_ : nullptr; }
    /// A "fileDialogChoose": checks the choice (IntentError, changing nothing), closes the dialog and acts.
    void chooseInDialog(const Intent& intent);
    /// "Export CSV": takes the timeline's CSV text as it stands now and shows a save dialog for it in the
    /// project's folder, in place of any dialog shown; later updates of the store do not reach the file.
    void showExportDialog();
    /// "Export Deposits": as "Export CSV", for the deposits' GeoJSON `text` as it stands now.
    void showDepositsExportDialog(std::string text);
    /// "Export Heatmap": as "Export CSV", for the bed `heatmap` as it stands now.
    void showHeatmapExportDialog(RunHeatmap heatmap);
    /// "Export Ensemble…": as "Export CSV", for the files `pelagrin ensemble --out` writes of `members` of
    /// `setup`, into the folder named.
    void showEnsembleExportDialog(const EnsembleSetup& setup, std::span<const MemberResult> members);
    /// A "fileDialogSave" (only while the dialog `savesFile()`): checks the destination (IntentError,
    /// changing nothing, also for an existing file unless "replace" is true), closes the dialog and writes
    /// the export there, replacing a file only once the new one is complete. The alert then says where the
    /// file went, or why it could not be written (an existing file keeps its content).
    void saveInDialog(const Intent& intent);
    void cancelDialog();

    /// A message the window shows until the user dismisses it.
    struct Alert {
        std::string title;
        std::string message;
    };
    /// The alert shown, if any: a failed load (naming the file and the reason) or the end of an export.
    const std::optional<Alert>& alert() const { return alert_; }
    /// Shows `alert` in place of any shown.
    void showAlert(Alert alert) { alert_ = std::move(alert); }
    void dismissAlert();

private:
    void routeLoad(const std::filesystem::path& location);
    /// The window keeps what it showed and says why the file did not open.
    void loadFailed(const std::string& reason);
    void close();
    void showDialog(FileDialog::Kind kind, DialogPurpose purpose, const std::filesystem::path& folder);
    /// Where a dialog opens when there is no better place.
    std::filesystem::path startFolder() const;
    /// Observes `name` with `action`, then tells that the state changed.
    Subscription observe(std::string_view name,
                         std::function<void(const NotificationCenter::Object&)> action);

    AppEnvironment& environment_;
    AppState& appState_;
    std::shared_ptr<ProjectWindow> projectWindow_;
    std::optional<CreateProjectSheet> createSheet_;
    std::optional<FileDialog> fileDialog_;
    DialogPurpose dialogPurpose_ = DialogPurpose::openFromWelcome;
    /// Writes an export to the chosen file; throws std::runtime_error saying why it could not.
    using ExportWriter = std::function<void(const std::filesystem::path&)>;
    /// A save dialog for what `write` writes, in the project's folder.
    void showSaveDialog(FileDialog::Kind kind, DialogPurpose purpose, ExportWriter write);
    /// Writes what an export dialog was opened for, as it stood then.
    ExportWriter exportWriter_;
    std::optional<Alert> alert_;
    bool wasShown_ = false;
    std::vector<Subscription> subscriptions_;
};

} // namespace pelagrin
