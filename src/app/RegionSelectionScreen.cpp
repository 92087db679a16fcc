// RegionSelectionScreen: the working copy of the selection, its write-through to the Region, the detection
// and the screen's state for the browser.
#include "app/RegionSelectionScreen.hpp"

#include "app/ValueText.hpp"

#include <algorithm>
#include <cassert>
#include <utility>

namespace pelagrin {
namespace {

using nlohmann::json;

// The map always opens here, whatever the project holds.
constexpr GeoCoordinate defaultMapCenter{39.0, 35.0};
constexpr double defaultMapSpan = 8.0; // degrees, north-south and east-west

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
      detection_(
          std::make_shared<WaterDetection>(environment, [this](GeoCoordinate click, DetectedWater water) {
              landDetection(click, std::move(water));
          })) {
    assert(project_);
}

void RegionSelectionScreen::loadFromRegion() {
    const std::shared_ptr<Region> region = project_->region.get();
    if (!region) {
        return;
    }
    selectedCoordinate_ = GeoCoordinate{region->latitude, region->longitude};
    const double emissionLat =
        region->emissionLat != 0.0 ? region->emissionLat.get() : region->latitude.get();
    const double emissionLon =
        region->emissionLon != 0.0 ? region->emissionLon.get() : region->longitude.get();
    replaceSelection(region->waterVertices(), GeoCoordinate{emissionLat, emissionLon});
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
    undoStack_.registerUndo(
        [this, previous = waterVertices_] { replaceSelection(previous, emissionPoint_); });
    std::vector<GeoCoordinate> vertices = waterVertices_;
    vertices.push_back(coordinate);
    replaceSelection(std::move(vertices), emissionPoint_);
}

void RegionSelectionScreen::clearRegion() {
    undoStack_.registerUndo([this, vertices = waterVertices_, emission = emissionPoint_] {
        replaceSelection(vertices, emission);
    });
    replaceSelection({}, std::nullopt);
}

void RegionSelectionScreen::landDetection(GeoCoordinate coordinate, DetectedWater water) {
    undoStack_.registerUndo([this, vertices = waterVertices_, emission = emissionPoint_] {
        replaceSelection(vertices, emission);
    });
    // The outline replaces a hand-drawn polygon rather than joining it; the click releases the particles.
    replaceSelection(std::move(water.outline), coordinate);
}

void RegionSelectionScreen::applyRegion() {
    syncRegion();
    Region& region = *project_->region.get();
    region.emissionLat = emissionPoint_ ? emissionPoint_->latitude : region.latitude.get();
    region.emissionLon = emissionPoint_ ? emissionPoint_->longitude : region.longitude.get();
    region.updateSimulationCoordinates(kCanvasWidth, kCanvasHeight);
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
        syncRegion();
    }
}

json RegionSelectionScreen::state() const {
    const Region* region = project_->region.get().get();
    const double flowDirection = region ? region->flowDirection.get() : defaultFlowDirection;
    const double emissionRadius = region ? region->emissionRadius.get() : defaultEmissionRadius;

    // The pins and the polygon as the map draws them.
    json markers = json::array();
    if (selectedCoordinate_) {
        markers.push_back(markerJson("Selected", *selectedCoordinate_));
    }
    if (emissionPoint_) {
        markers.push_back(markerJson("Emission", *emissionPoint_));
    }
    const json map = {{"center", coordinateJson(defaultMapCenter)},
                      {"span", {{"latitudeDelta", defaultMapSpan}, {"longitudeDelta", defaultMapSpan}}},
                      {"mapType", static_cast<int>(mapStyle_)},
                      {"mapTypeChoices",
                       json::array({{{"label", "Map"}, {"value", static_cast<int>(MapType::standard)}},
                                    {{"label", "Satellite"}, {"value", static_cast<int>(MapType::satellite)}},
                                    {{"label", "Hybrid"}, {"value", static_cast<int>(MapType::hybrid)}}})},
                      {"markers", std::move(markers)},
                      {"polygon", canApply() ? coordinatesJson(waterVertices_) : json(nullptr)},
                      {"viewRequest", placeSearch_->viewRequest()}};

    // The sliders, the emission radius only once there is an emission point.
    json flowSlider = sliderJson("flowDirection", "Flow Direction", flowDirection, minFlowDirection,
                                 maxFlowDirection, wholeText("%lld°", flowDirection));
    flowSlider["iconRotation"] = flowDirection;
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
        {"emissionHint", showsEmissionRadius() ? json(nullptr)
                                               : json({{"symbol", "exclamationmark.triangle.fill"},
                                                       {"text", "Option+Click for Emission"}})},
        {"apply",
         {{"label", "Apply Region"}, {"symbol", "checkmark.circle.fill"}, {"isEnabled", canApply()}}}};

    json state = {{"selectedPoint", optionalCoordinateJson(selectedCoordinate_)},
                  {"vertices", coordinatesJson(waterVertices_)},
                  {"emissionPoint", optionalCoordinateJson(emissionPoint_)},
                  {"isAutoDetect", isMagicMode_},
                  {"canUndo", canUndo()},
                  {"map", map},
                  {"sliders", std::move(sliders)},
                  {"controlBar", controlBar},
                  {"placeSearch", placeSearch_->state()}};
    detection_->addState(state);
    return state;
}

} // namespace pelagrin
