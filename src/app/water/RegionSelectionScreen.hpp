// RegionSelectionScreen: the project window's region section, where the water body and emission point are
// set.
#pragma once

#include "app/AppEnvironment.hpp"
#include "app/water/MapArea.hpp"
#include "app/water/MapClick.hpp"
#include "app/water/PlaceSearchPanel.hpp"
#include "app/water/UndoStack.hpp"
#include "app/water/WaterDetection.hpp"
#include "projects/Project.hpp"

#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelagrin {

/// The base maps the map offers, numbered as the map component numbers them.
enum class MapType { standard = 0, satellite = 1, hybrid = 2 };

/// The region selection screen of one project window. It keeps a working copy of the selection (the last
/// clicked point, the polygon, the emission point), writes the polygon and the clicked point into the
/// project's Region whenever the polygon or the emission point changes, and leaves the emission point and the
/// simulation coordinates to `applyRegion`. Its state lives as long as the window's project; made, it frames
/// the map on the Region. Made with std::make_shared, on the app thread, which it never leaves.
class RegionSelectionScreen : public std::enable_shared_from_this<RegionSelectionScreen> {
public:
    /// The warning while the emission point lies outside the polygon.
    static constexpr std::string_view emissionOutsideMessage = "The emission point is outside the water body";

    /// `environment` must outlive the screen; `project` is the open project whose Region is edited.
    RegionSelectionScreen(AppEnvironment& environment, std::shared_ptr<Project> project);
    RegionSelectionScreen(const RegionSelectionScreen&) = delete;
    RegionSelectionScreen& operator=(const RegionSelectionScreen&) = delete;

    /// The `project.region` value of the window state.
    nlohmann::json state() const;

    /// When the screen comes up: takes the selection from the Region, if there is one. An emission latitude
    /// or longitude of 0 counts as unset and falls back to the Region's own, so a Region always shows an
    /// emission point. The map is asked to frame the outline, else the emission point, else the last view
    /// the user left it at.
    void loadFromRegion();
    /// Asks the map to show `area` (a new `map.viewRequest.sequence`): the page moves its map once for each
    /// request and otherwise leaves the view to the user.
    void requestView(const MapArea& area);
    /// The user panned or zoomed the map to `area`: kept in the settings for the next project without a
    /// place of its own.
    void viewChanged(const MapArea& area);
    /// A click on the map: moves the "Selected" pin, then does what the modifiers ask (`routeClick`).
    void click(const MapClick& mapClick);
    /// Appends a polygon vertex, undoably.
    void addVertex(GeoCoordinate coordinate);
    /// Moves vertex `index` (< `vertexCount()`) to `coordinate`, undoably.
    void moveVertex(std::size_t index, GeoCoordinate coordinate);
    /// Removes vertex `index` (< `vertexCount()`), undoably.
    void deleteVertex(std::size_t index);
    std::size_t vertexCount() const { return waterVertices_.size(); }
    /// "Clear": empties the polygon and removes the emission point, undoably; the "Selected" pin stays.
    void clearRegion();
    /// Looks for the water around `coordinate`, unless a detection is already running. Its outline replaces
    /// the polygon and the click becomes the emission point, undoably; a failure says what happened until
    /// dismissed and prints "Water Detection Error: " with the error, changing nothing else.
    void startDetection(GeoCoordinate coordinate) { detection_->start(coordinate); }
    /// The detection, for its cancel and its message.
    WaterDetection& detection() { return *detection_; }
    /// The place search and coordinate entry.
    PlaceSearchPanel& placeSearch() { return *placeSearch_; }
    /// "Apply Region": writes the selection and the emission point (the Region's own point when there is
    /// none) and maps the polygon onto the 800 × 600 simulation canvas. Saves nothing. Only while
    /// `applyProblem()` has nothing to say.
    void applyRegion();
    /// What "Apply Region" writes, without its notice: the selection, the emission point shown (the Region's
    /// own point when there is none) and the layout on the canvas. A run does this before it starts.
    void layOutRegion();
    /// Undoes the newest polygon edit; only while `canUndo()`.
    void undo() { undoStack_.undo(); }
    bool canUndo() const { return undoStack_.canUndo(); }
    /// Makes the newest undone edit again; only while `canRedo()`.
    void redo() { undoStack_.redo(); }
    bool canRedo() const { return undoStack_.canRedo(); }
    /// "Clear" is enabled: there is a polygon vertex or an emission point.
    bool canClear() const { return !waterVertices_.empty() || emissionPoint_; }
    /// Why "Apply Region" is disabled: the polygon bounds no water (see `outlineProblem`); nothing when
    /// enabled.
    std::optional<std::string> applyProblem() const { return outlineProblem(waterVertices_); }
    /// The emission radius slider is shown, in place of the hint to place an emission point.
    bool showsEmissionRadius() const { return emissionPoint_.has_value(); }
    /// The auto-detect toggle: while on, plain and Command clicks detect instead of adding vertices.
    void setMagicMode(bool isOn) { isMagicMode_ = isOn; }
    void setMapStyle(MapType style) { mapStyle_ = style; }
    /// The flow direction slider, degrees in [0, 360] (clamped); creates the Region when missing; no undo.
    void setFlowDirection(double degrees);
    /// The emission radius slider, metres in [1, 100] (clamped); creates the Region when missing; no undo.
    void setEmissionRadius(double metres);

private:
    /// Creates the project's Region ("New Region" at the selected point) when it has none.
    Region& ensureRegion();
    /// Writes the polygon and the selected point into the Region, creating it when missing.
    void syncRegion();
    /// Replaces the polygon and the emission point as one undoable edit.
    void edit(std::vector<GeoCoordinate> vertices, std::optional<GeoCoordinate> emission);
    /// Sets the polygon and the emission point; a change of either is written through to the Region.
    void replaceSelection(std::vector<GeoCoordinate> vertices, std::optional<GeoCoordinate> emission);
    void landDetection(GeoCoordinate coordinate, DetectedWater water);

    AppEnvironment& environment_;
    std::shared_ptr<Project> project_;
    UndoStack undoStack_;
    std::optional<GeoCoordinate> selectedCoordinate_;
    std::vector<GeoCoordinate> waterVertices_;
    std::optional<GeoCoordinate> emissionPoint_;
    bool isMagicMode_ = false;
    /// What the last "Apply Region" did, until the selection changes.
    std::optional<std::string> appliedNotice_;
    MapType mapStyle_ = MapType::hybrid;
    MapArea requestedView_;
    int viewRequestSequence_ = 0;
    std::shared_ptr<WaterDetection> detection_;
    std::shared_ptr<PlaceSearchPanel> placeSearch_;
};

} // namespace pelagrin
