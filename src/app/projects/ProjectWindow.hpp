// ProjectWindow: what a main window shows while a project is open: loading, the sidebar, run, save, close.
#pragma once

#include "app/AppEnvironment.hpp"
#include "app/AppState.hpp"
#include "app/analysis/AnalysisScreen.hpp"
#include "app/analysis/DepositsPanel.hpp"
#include "app/projects/DirtyTracker.hpp"
#include "app/projects/SidebarSection.hpp"
#include "app/water/RegionSelectionScreen.hpp"
#include "exports/HeatmapNetCdf.hpp"

#include <filesystem>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace pelagrin {

class EnsembleDialog;
class EnsemblePanel;
class Intent;

/// The project window content of one main window, from the moment the window switches to it until it
/// returns to the welcome content. Made as a shared object, so that work it defers to a later turn of the
/// app thread can tell whether the window is still there.
class ProjectWindow : public std::enable_shared_from_this<ProjectWindow> {
public:
    /// The keep-changes alert's buttons.
    enum class CloseChoice { save, discard, cancel };
    /// The buttons of the alert that offers a recovery copy.
    enum class RestoreChoice { restore, discard };

    /// Loads on "PerformProjectLoad" and whenever `appState.openedProjectURL` is set to a location. Both
    /// arguments must outlive the window.
    ProjectWindow(AppEnvironment& environment, AppState& appState);
    ~ProjectWindow();
    ProjectWindow(const ProjectWindow&) = delete;
    ProjectWindow& operator=(const ProjectWindow&) = delete;

    /// Reads the project file at `location` on another thread and shows it in a later turn; nothing happens
    /// when that file is already shown or being loaded. Once shown, it is the window's open location and the
    /// last opened project. A file that cannot be read or decoded prints "❌ LOAD ERROR: REASON" (REASON names
    /// the file), tells `loadFailed` and changes nothing else.
    void load(const std::filesystem::path& location);
    /// Told the REASON of a failed `load`; may end this window.
    std::function<void(const std::string& reason)> loadFailed;
    /// Whether a `load` is under way.
    bool isLoading() const { return pendingLocation_.has_value(); }

    bool isLoaded() const { return activeProject_ != nullptr; }
    bool isDirty() const { return isDirty_; }
    bool showsCloseAlert() const { return showCloseAlert_; }
    /// The project just loaded has a recovery copy newer than its file, and the alert offering it is shown.
    bool showsRestoreAlert() const { return showRestoreAlert_; }
    bool showsOnboarding() const { return showOnboarding_; }
    /// The project's name, or "Pelagrin" while none is loaded.
    std::string title() const;

    SidebarSection selectedSection() const { return selectedSection_; }
    /// A sidebar row. The region screen, once made, stays with the project while other sections are shown.
    void selectSection(SidebarSection section);
    /// The region selection screen while a project is loaded and the region section shown, else null.
    RegionSelectionScreen* regionScreen() const {
        return selectedSection_ == SidebarSection::region ? regionScreen_.get() : nullptr;
    }
    /// The loaded project while the simulation renderer is shown, else null.
    const Project* rendererProject() const;
    /// What Play says, in the window's alert, of a project with no water outline to run in.
    static constexpr std::string_view noOutlineMessage =
        "Mark the water body on the Select Region screen first";
    /// Toolbar "Reset": back to the start of a run of the loaded project (see `SimulationController::reset`),
    /// laid out as for Play when it has an outline; only stops the controller while none is loaded.
    void reset();
    /// Play/pause of the toolbar, the control bar and the menu: pauses a run; otherwise plays the loaded
    /// project (`SimulationController::play`) once its missing parameters and particle settings are created
    /// with their defaults and its region laid out as the region screen shows it. Returns `noOutlineMessage`,
    /// changing nothing, for a project without a water outline. Throws IntentError when the project's
    /// numbers cannot make a run.
    std::optional<std::string> playPause();
    /// Toolbar "Save": writes the project to its file and deletes its recovery copy; "Error saving project:
    /// …" on failure, still dirty.
    void save();
    /// The close button: stops a run, then asks about unsaved changes or closes the project.
    void closeRequest();
    /// Only while `showsCloseAlert()`. "Discard Changes" deletes the recovery copy too.
    void closeAlert(CloseChoice choice);
    /// "CloseProject" from elsewhere (the menu, another window): with unsaved changes, shows the keep-changes
    /// alert and returns true, and the project stays open; otherwise returns false.
    bool asksBeforeClosing();
    /// Only while `showsRestoreAlert()`. "Restore" puts the copy's content into the loaded project, which is
    /// then edited; a copy that cannot be read prints "❌ LOAD ERROR: …" and stays on disk, the project as
    /// loaded. "Discard" deletes the copy.
    void restoreAlert(RestoreChoice choice);
    /// The window goes without asking (its browser window closed, the app stopped): with unsaved changes,
    /// stops the run this window started, if it is still going, writes the recovery copy and prints "Kept
    /// unsaved changes of NAME in PATH" (or why it could not). Nothing happens to a clean project, nor when
    /// the copy holds every edit already.
    void keepUnsavedChanges();
    /// "Get Started" or a click on the backdrop; only while `showsOnboarding()`.
    void dismissOnboarding() { showOnboarding_ = false; }
    /// A "setControl" intent; only while `isLoaded()`. Throws IntentError, changing nothing, for a bad
    /// screen, id or value.
    void setControl(const Intent& intent);

    /// Whether "Run Ensemble…" may start: a project is loaded and neither a run nor an ensemble is going.
    bool canRunEnsemble() const;
    /// "Simulation › Run Ensemble…": the dialog, prefilled from the loaded project; only while
    /// `canRunEnsemble()`.
    void showEnsembleDialog();
    bool showsEnsembleDialog() const { return ensembleDialog_ != nullptr; }
    void cancelEnsembleDialog();
    /// The dialog's "Run", only while it is shown: the loaded project as it stands (saved or not, readied as
    /// for Play) runs as the intent's ensemble over the machine's cores. Input the command would refuse, or a
    /// project without a water outline, keeps the dialog open with the message, changing nothing.
    void runEnsemble(const Intent& intent);
    /// The ensemble's progress, its "Stop" and its results; only while `isLoaded()`.
    EnsemblePanel& ensemble() { return *ensemblePanel_; }

    /// The deposits of the controller's last frame over the loaded project, as GeoJSON text; absent while
    /// none is loaded, before a run has stepped or without an outline.
    std::optional<std::string> depositsGeoJson() const;
    /// The bed heatmap of the last published frame, with the run's attributes at the current speed; absent as
    /// `depositsGeoJson` is.
    std::optional<RunHeatmap> runHeatmap() const;

    /// The `project` value of the window state.
    nlohmann::json state() const;

private:
    void receiveLoad(const std::shared_ptr<Project>& project, const std::string& failure);
    void finishLoad(const std::shared_ptr<Project>& project);
    /// Makes `project` the loaded one, clean, with its screens.
    void show(const std::shared_ptr<Project>& project);
    /// Makes the region screen for the loaded project when its section is first shown.
    void showSelectedScreen();
    /// Readies the loaded project for a run: parameters and particle settings created where missing, the
    /// region laid out with the emission point shown. False, changing nothing, without a water outline.
    bool prepareRun();
    /// Stops the run, forgets the project and posts "CloseProject". May end this window: the caller must
    /// hold it and touch nothing of it afterwards.
    void closeProject();
    /// The analysis screen's value with its deposits, of the loaded project.
    nlohmann::json analysisState() const;
    /// The ensemble's value with its dialog, of the loaded project.
    nlohmann::json ensembleState() const;

    AppEnvironment& environment_;
    AppState& appState_;
    SidebarSection selectedSection_ = SidebarSection::region;
    std::shared_ptr<Project> activeProject_;
    /// The file being read, until its result is shown or refused.
    std::optional<std::filesystem::path> pendingLocation_;
    bool showCloseAlert_ = false;
    bool showRestoreAlert_ = false;
    bool isDirty_ = false;
    /// The controller's current run was started here; cleared when it ends, whoever ends it.
    bool startedCurrentRun_ = false;
    /// The recovery copy holds every edit so far: the app's stop and the sockets it then closes keep once.
    bool areChangesKept_ = false;
    bool showOnboarding_ = false;
    std::unique_ptr<DirtyTracker> dirtyTracker_;
    std::shared_ptr<RegionSelectionScreen> regionScreen_;
    AnalysisScreen analysisScreen_;
    DepositsPanel depositsPanel_;
    std::unique_ptr<EnsembleDialog> ensembleDialog_;
    /// The loaded project's ensemble, made afresh with each project shown.
    std::unique_ptr<EnsemblePanel> ensemblePanel_;
    Subscription performLoad_;
    Subscription openedLocation_;
    Subscription keepChanges_;
    Subscription runEnded_;
};

} // namespace pelagrin
