// RegionSelectionScreen: the working copy of the selection, its write-through to the Region, the detection
// and the screen's state for the browser.
#include "app/water/RegionSelectionScreen.hpp"

#include "app/ValueText.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <utility>

namespace pelagrin {
namespace {

using nlohmann::json;

// Where the map opens for a project with no place of its own, before the user has looked anywhere.
constexpr MapArea firstMapArea{{39.0, 35.0}, 8.0, 8.0};
// A detected coastline has hundreds of vertices: it is edited as a whole, not point by point.
constexpr std::size_t maxVertexHandles = 200;

constexpr double minFlowDirection = 0.0; // degrees clockwise
constexpr double maxFlowDirection = 360.0;
constexpr double minEmissionRadius = 1.0; // m
constexpr double maxEmissionRadius = 100.0;
// What the sliders show while the project has no Region yet.
constexpr double defaultFlowDirection = 0.0;
constexpr double defaultEmissionRadius = 10.0;

json coordinateJson(GeoCoordinate coordinate) {
    return {{"latitude", coordinate.latitude}, {"longitude", coordinate.longitude}};
}

json optionalCoordinateJson(const std::optional<GeoCoordinate>& coordinate) {
    return coordinate ? coordinateJson(*coordinate) : json(nullptr);
}

json coordinatesJson(const std::vector<GeoCoordinate>& coordinates) {
    json list = json::array();
    for (const GeoCoordinate& coordinate : coordinates) {
        list.push_back(coordinateJson(coordinate));
    }
    return list;
}

json markerJson(const char* title, GeoCoordinate coordinate) {
    json marker = coordinateJson(coordinate);
    marker["title"] = title;
    return marker;
}

/// A continuous slider in the shape of the parameter screens' controls.
json sliderJson(const char* id, const char* label, double value, double min, double max, std::string text) {
    return {{"id", id},     {"kind", "slider"}, {"label", label}, {"value", value},
            {"text", text}, {"min", min},       {"max", max},     {"step", nullptr}};
}

std::string coordinateText(GeoCoordinate coordinate) {
    return decimalText("%.4f", coordinate.latitude) + ", " + decimalText("%.4f", coordinate.longitude);
}

} // namespace

RegionSelectionScreen::RegionSelectionScreen(AppEnvironment& environment, std::shared_ptr<Project> project)
    : environment_(environment), project_(std::move(project)),
      // The screen owns the detection alone, so the detection never outlives it.
      detection_(std::make_shared<WaterDetection>(
          environment,
          [this](GeoCoordinate click, DetectedWater water) { landDetection(click, std::move(water)); })),
      placeSearch_(std::make_shared<PlaceSearchPanel>(environment,
                                                      [this](const MapArea& area) { requestView(area); })) {
    assert(project_);
    requestView(environment_.settings.lastMapArea->value_or(firstMapArea));
}

void RegionSelectionScreen::loadFromRegion() {
    const std::shared_ptr<Region> region = project_->region.get();
    if (!region) {
        return;
    }
    selectedCoordinate_ = GeoCoordinate{region->latitude, region->longitude};
    const GeoCoordinate emission = region->emissionCoordinate();
    replaceSelection(region->waterVertices(), emission);
    requestView(waterVertices_.empty() ? MapArea::around(emission) : MapArea::framing(waterVertices_));
}

void RegionSelectionScreen::requestView(const MapArea& area) {
    // Numbered across all screens, so that a screen made anew under a map the page kept still moves it.
    static int lastSequence = 0;
    requestedView_ = area;
    viewRequestSequence_ = ++lastSequence;
}

void RegionSelectionScreen::viewChanged(const MapArea& area) {
    environment_.settings.lastMapArea = area;
}

void RegionSelectionScreen::click(const MapClick& mapClick) {
    // Every click moves the "Selected" pin, whatever it does besides.
    selectedCoordinate_ = mapClick.coordinate;
    switch (routeClick(mapClick, isMagicMode_)) {
    case ClickEffect::setEmissionPoint:
        replaceSelection(waterVertices_, mapClick.coordinate);
        break;
    case ClickEffect::startDetection:
        startDetection(mapClick.coordinate);
        break;
    case ClickEffect::addVertex:
        addVertex(mapClick.coordinate);
        break;
    case ClickEffect::none:
        break;
    }
}

void RegionSelectionScreen::addVertex(GeoCoordinate coordinate) {
    std::vector<GeoCoordinate> vertices = waterVertices_;
    vertices.push_back(coordinate);
    edit(std::move(vertices), emissionPoint_);
}

void RegionSelectionScreen::moveVertex(std::size_t index, GeoCoordinate coordinate) {
    assert(index < waterVertices_.size());
    std::vector<GeoCoordinate> vertices = waterVertices_;
    vertices[index] = coordinate;
    edit(std::move(vertices), emissionPoint_);
}

void RegionSelectionScreen::deleteVertex(std::size_t index) {
    assert(index < waterVertices_.size());
    std::vector<GeoCoordinate> vertices = waterVertices_;
    vertices.erase(vertices.begin() + static_cast<std::ptrdiff_t>(index));
    edit(std::move(vertices), emissionPoint_);
}

void RegionSelectionScreen::clearRegion() {
    edit({}, std::nullopt);
}

void RegionSelectionScreen::edit(std::vector<GeoCoordinate> vertices, std::optional<GeoCoordinate> emission) {
    // A vertex edit leaves the emission point to whatever it is by then: an Alt-click is no step of its own,
    // and undoing a vertex must not take it back. Only "Clear" puts back the point it removed.
    const bool isEmissionEdit = emission != emissionPoint_;
    undoStack_.record(
        [this, before = waterVertices_, beforeEmission = emissionPoint_, isEmissionEdit] {
            replaceSelection(before, isEmissionEdit ? beforeEmission : emissionPoint_);
        },
        [this, vertices, emission, isEmissionEdit] {
            replaceSelection(vertices, isEmissionEdit ? emission : emissionPoint_);
        });
    replaceSelection(std::move(vertices), emission);
}

void RegionSelectionScreen::landDetection(GeoCoordinate coordinate, DetectedWater water) {
    // The outline replaces a hand-drawn polygon rather than joining it; the click releases the particles.
    edit(std::move(water.outline), coordinate);
}

void RegionSelectionScreen::applyRegion() {
    layOutRegion();
    appliedNotice_ = "Region applied: " + std::to_string(waterVertices_.size()) +
                     " vertices, emission point at " +
                     coordinateText(project_->region.get()->emissionCoordinate());
}

void RegionSelectionScreen::layOutRegion() {
    syncRegion();
    Region& region = *project_->region.get();
    region.applyLayout(emissionPoint_.value_or(GeoCoordinate{region.latitude, region.longitude}));
}

void RegionSelectionScreen::setFlowDirection(double degrees) {
    ensureRegion().flowDirection = std::clamp(degrees, minFlowDirection, maxFlowDirection);
}

void RegionSelectionScreen::setEmissionRadius(double metres) {
    ensureRegion().emissionRadius = std::clamp(metres, minEmissionRadius, maxEmissionRadius);
}

Region& RegionSelectionScreen::ensureRegion() {
    if (!project_->region.get()) {
        const GeoCoordinate centre = selectedCoordinate_.value_or(GeoCoordinate{});
        project_->region = std::make_shared<Region>("New Region", centre.latitude, centre.longitude);
    }
    return *project_->region.get();
}

void RegionSelectionScreen::syncRegion() {
    Region& region = ensureRegion();
    region.setWaterVertices(waterVertices_);
    if (selectedCoordinate_) {
        region.latitude = selectedCoordinate_->latitude;
        region.longitude = selectedCoordinate_->longitude;
    }
}

void RegionSelectionScreen::replaceSelection(std::vector<GeoCoordinate> vertices,
                                             std::optional<GeoCoordinate> emission) {
    // Only a change is written through: an undo that puts back what is there writes nothing.
    const bool changed = vertices != waterVertices_ || emission != emissionPoint_;
    waterVertices_ = std::move(vertices);
    emissionPoint_ = emission;
    if (changed) {
        appliedNotice_.reset();
        syncRegion();
    }
}

json RegionSelectionScreen::state() const {
    const Region* region = project_->region.get().get();
    const double flowDirection = region ? region->flowDirection.get() : defaultFlowDirection;
    const double emissionRadius = region ? region->emissionRadius.get() : defaultEmissionRadius;
    const std::optional<std::string> applyBlock = applyProblem();
    const bool isEmissionOutside = emissionPoint_ && isOutsideOutline(*emissionPoint_, waterVertices_);

    // The pins, the polygon, its vertices and the release disc as the map draws them.
    json markers = json::array();
    if (selectedCoordinate_) {
        markers.push_back(markerJson("Selected", *selectedCoordinate_));
    }
    if (emissionPoint_) {
        markers.push_back(markerJson("Emission", *emissionPoint_));
    }
    json viewRequest = requestedView_.toJson();
    viewRequest["sequence"] = viewRequestSequence_;
    json emissionDisc = nullptr;
    if (emissionPoint_) {
        emissionDisc = coordinateJson(*emissionPoint_);
        emissionDisc["radius"] = emissionRadius;
    }
    const json map = {
        {"viewRequest", std::move(viewRequest)},
        {"mapType", static_cast<int>(mapStyle_)},
        {"mapTypeChoices",
         json::array({{{"label", "Map"}, {"value", static_cast<int>(MapType::standard)}},
                      {{"label", "Satellite"}, {"value", static_cast<int>(MapType::satellite)}},
                      {{"label", "Hybrid"}, {"value", static_cast<int>(MapType::hybrid)}}})},
        {"markers", std::move(markers)},
        {"vertexHandles",
         waterVertices_.size() <= maxVertexHandles ? coordinatesJson(waterVertices_) : json::array()},
        {"polygon", waterVertices_.size() >= 3 ? coordinatesJson(waterVertices_) : json(nullptr)},
        {"emissionDisc", std::move(emissionDisc)}};

    // The sliders, the emission radius only once there is an emission point. The run turns the flow
    // direction into a velocity of (cos, sin) on a canvas whose y axis points south, so 0° flows east and
    // 90° south: the arrow, drawn pointing north, turns a quarter further clockwise.
    json flowSlider = sliderJson("flowDirection", "Flow Direction", flowDirection, minFlowDirection,
                                 maxFlowDirection, wholeText("%lld°", flowDirection));
    flowSlider["iconRotation"] = std::fmod(flowDirection + 90.0, 360.0);
    json sliders = json::array({std::move(flowSlider)});
    if (showsEmissionRadius()) {
        sliders.push_back(sliderJson("emissionRadius", "Emission Radius", emissionRadius, minEmissionRadius,
                                     maxEmissionRadius, wholeText("%lld m", emissionRadius)));
    }

    const json controlBar = {
        {"title", "Region Selection"},
        {"subtitle", selectedCoordinate_ ? coordinateText(*selectedCoordinate_) : "Click map to select"},
        {"autoDetect",
         {{"label", "Auto-Detect"},
          {"symbol", "wand.and.stars"},
          {"help", "Automatically detect water boundaries using OpenStreetMap"},
          {"isOn", isMagicMode_}}},
        {"clear", {{"label", "Clear"}, {"symbol", "trash"}, {"isEnabled", canClear()}}},
        {"vertexCount", {{"label", "Vertices"}, {"value", waterVertices_.size()}}},
        {"editHelp", "Drag a vertex to move it, right-click or Alt+Click it to delete it. "
                     "Ctrl+Z undoes, Ctrl+Shift+Z redoes."},
        {"emissionHint", showsEmissionRadius() ? json(nullptr)
                                               : json({{"symbol", "exclamationmark.triangle.fill"},
                                                       {"text", "Alt+Click or Shift+Click for Emission"}})},
        {"emissionWarning", isEmissionOutside ? json(emissionOutsideMessage) : json(nullptr)},
        {"apply",
         {{"label", "Apply Region"},
          {"symbol", "checkmark.circle.fill"},
          {"isEnabled", !applyBlock},
          {"reason", applyBlock ? json(*applyBlock) : json(nullptr)}}}};

    json state = {{"selectedPoint", optionalCoordinateJson(selectedCoordinate_)},
                  {"vertices", coordinatesJson(waterVertices_)},
                  {"emissionPoint", optionalCoordinateJson(emissionPoint_)},
                  {"isEmissionOutside", isEmissionOutside},
                  {"isAutoDetect", isMagicMode_},
                  {"canUndo", canUndo()},
                  {"canRedo", canRedo()},
                  {"map", map},
                  {"appliedNotice", appliedNotice_ ? json(*appliedNotice_) : json(nullptr)},
                  {"sliders", std::move(sliders)},
                  {"controlBar", controlBar},
                  {"placeSearch", placeSearch_->state()}};
    detection_->addState(state);
    return state;
}

} // namespace pelagrin
