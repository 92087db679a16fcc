// MapArea: the checks of a view as the page reports it or the settings keep it, and the views that frame
// an outline or a point.
#include "app/water/MapArea.hpp"

#include "app/Intent.hpp"
#include "support/JsonObjectReader.hpp"

#include <algorithm>
#include <cassert>
#include <string>

namespace pelagrin {
namespace {

constexpr double maxLatitudeDelta = 180.0;  // degrees: pole to pole
constexpr double maxLongitudeDelta = 360.0; // degrees: once round
constexpr double framingMargin = 0.25;      // of the outline's extent, on each side
constexpr double smallestFraming = 0.01;    // degrees, about a kilometre
constexpr double pointSpan = 0.05;          // degrees, about five kilometres

/// The number `key` of `intent`, refused outside [low, high] or, with `isLowOpen`, at `low`.
double numberWithin(const Intent& intent, const char* key, double low, double high, bool isLowOpen = false) {
    const double value = intent.number(key);
    if (value < low || value > high || (isLowOpen && value == low)) {
        const std::string range = (isLowOpen ? "(" : "[") + std::to_string(static_cast<int>(low)) + ", " +
                                  std::to_string(static_cast<int>(high)) + "]";
        throw intent.error(std::string("\"") + key + "\" must lie in " + range);
    }
    return value;
}

} // namespace

GeoCoordinate coordinateArgument(const Intent& intent) {
    return {numberWithin(intent, "latitude", -90.0, 90.0), numberWithin(intent, "longitude", -180.0, 180.0)};
}

nlohmann::json MapArea::toJson() const {
    return {{"center", {{"latitude", center.latitude}, {"longitude", center.longitude}}},
            {"span", {{"latitudeDelta", latitudeDelta}, {"longitudeDelta", longitudeDelta}}}};
}

MapArea MapArea::fromJson(const JsonObjectReader& reader) {
    const std::optional<JsonObjectReader> centre = reader.optionalObject("center");
    const std::optional<JsonObjectReader> span = reader.optionalObject("span");
    if (!centre || !span) {
        throw JsonDecodeError(centre ? "span" : "center", "missing", true);
    }
    MapArea area{
        {centre->numberWithin("latitude", -90.0, 90.0), centre->numberWithin("longitude", -180.0, 180.0)},
        span->numberWithin("latitudeDelta", 0.0, maxLatitudeDelta),
        span->numberWithin("longitudeDelta", 0.0, maxLongitudeDelta)};
    if (area.latitudeDelta == 0.0 || area.longitudeDelta == 0.0) {
        throw JsonDecodeError("span", "an empty span", false);
    }
    return area;
}

MapArea MapArea::fromIntent(const Intent& intent) {
    return {coordinateArgument(intent), numberWithin(intent, "latitudeDelta", 0.0, maxLatitudeDelta, true),
            numberWithin(intent, "longitudeDelta", 0.0, maxLongitudeDelta, true)};
}

MapArea MapArea::framing(const std::vector<GeoCoordinate>& outline) {
    assert(!outline.empty());
    const auto [south, north] = std::minmax_element(outline.begin(), outline.end(),
                                                    [](auto a, auto b) { return a.latitude < b.latitude; });
    const auto [west, east] = std::minmax_element(outline.begin(), outline.end(),
                                                  [](auto a, auto b) { return a.longitude < b.longitude; });
    const double latitudeExtent = north->latitude - south->latitude;
    const double longitudeExtent = east->longitude - west->longitude;
    return {{(south->latitude + north->latitude) / 2, (west->longitude + east->longitude) / 2},
            std::clamp(latitudeExtent * (1 + 2 * framingMargin), smallestFraming, maxLatitudeDelta),
            std::clamp(longitudeExtent * (1 + 2 * framingMargin), smallestFraming, maxLongitudeDelta)};
}

MapArea MapArea::around(GeoCoordinate point) {
    return {point, pointSpan, pointSpan};
}

} // namespace pelagrin
