// PlaceSearchPanel: the region screen's place search and coordinate entry, and where they ask the map to go.
#pragma once

#include "app/AppEnvironment.hpp"
#include "app/water/MapArea.hpp"
#include "water/PlaceSearch.hpp"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelagrin {

/// "47.37, 8.54", "47.37 8.54" or "47.37,8.54" (spaces around allowed) as a point, latitude first; none for
/// anything else or a value out of range.
std::optional<GeoCoordinate> parseCoordinateText(std::string_view text);

/// Searches places off the app thread and turns a chosen place or a typed coordinate into a view request for
/// the map. Made with std::make_shared, on the app thread.
class PlaceSearchPanel : public std::enable_shared_from_this<PlaceSearchPanel> {
public:
    /// Longest query sent, in characters.
    static constexpr std::size_t maxQueryLength = 200;
    static constexpr std::string_view badCoordinateMessage =
        "Enter latitude, longitude in degrees, such as 47.37, 8.54";

    /// `goTo` moves the map to a chosen place or a typed point.
    PlaceSearchPanel(AppEnvironment& environment, std::function<void(const MapArea&)> goTo)
        : environment_(environment), goTo_(std::move(goTo)) {}

    /// Starts a search (1 to `maxQueryLength` characters); a newer one replaces the one running.
    void search(std::string query);
    /// Moves the map to result `index` (< `resultCount()`).
    void choose(std::size_t index);
    /// Moves the map to the point in `text`, or says how to write one.
    void goToCoordinate(std::string_view text);
    std::size_t resultCount() const { return results_.size(); }

    /// The screen's `placeSearch`: "isSearching", "results" [{"name", "type"}], "message".
    nlohmann::json state() const;

private:
    void finish(PlaceSearchResult result);

    AppEnvironment& environment_;
    std::function<void(const MapArea&)> goTo_;
    PlaceSearchService service_;
    std::vector<Place> results_;
    bool isSearching_ = false;
    std::uint64_t lastSearch_ = 0;
    std::optional<std::string> message_;
};

} // namespace pelagrin
