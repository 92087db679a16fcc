// PlaceSearchPanel: the region screen's place search and coordinate entry, and where they ask the map to go.
#include "app/water/PlaceSearchPanel.hpp"

#include "app/water/WaterDetection.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace pelagrin {
namespace {

using nlohmann::json;

// The span shown around a typed point, or a place the service gave no extent for: a few kilometres.
constexpr double pointSpan = 0.05; // degrees
// A place smaller than this (a pond, a pin) is still shown with some shore around it.
constexpr double minimumSpan = 0.01;

std::string_view trimmed(std::string_view text) {
    const auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<double> numberIn(std::string_view text, double limit) {
    text = trimmed(text);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
        std::abs(value) > limit) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<GeoCoordinate> parseCoordinateText(std::string_view text) {
    text = trimmed(text);
    std::size_t split = text.find(',');
    if (split == std::string_view::npos) {
        split = text.find(' ');
    }
    if (split == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<double> latitude = numberIn(text.substr(0, split), 90);
    const std::optional<double> longitude = numberIn(text.substr(split + 1), 180);
    if (!latitude || !longitude) {
        return std::nullopt;
    }
    return GeoCoordinate{*latitude, *longitude};
}

void PlaceSearchPanel::search(std::string query) {
    isSearching_ = true;
    message_.reset();
    results_.clear();
    const std::uint64_t id = ++lastSearch_;
    service_.search(query, environment_.executor, [weak = weak_from_this(), id](PlaceSearchResult result) {
        const auto self = weak.lock();
        if (self && id == self->lastSearch_) {
            self->finish(std::move(result));
            self->environment_.stateChanged();
        }
    });
}

void PlaceSearchPanel::finish(PlaceSearchResult result) {
    isSearching_ = false;
    if (auto* places = std::get_if<std::vector<Place>>(&result)) {
        results_ = std::move(*places);
        if (results_.empty()) {
            message_ = "No place of that name was found.";
        }
        return;
    }
    const WaterBoundaryError& error = std::get<WaterBoundaryError>(result);
    environment_.console << "Place Search Error: " << describe(error) << '\n';
    message_ = detectionFailureText(error, service_.timeout());
}

void PlaceSearchPanel::choose(std::size_t index) {
    const Place& place = results_.at(index);
    if (place.bounds) {
        const auto& [southWest, northEast] = *place.bounds;
        const GeoCoordinate centre{(southWest.latitude + northEast.latitude) / 2,
                                   (southWest.longitude + northEast.longitude) / 2};
        goTo_({centre, std::max(minimumSpan, northEast.latitude - southWest.latitude),
               std::max(minimumSpan, northEast.longitude - southWest.longitude)});
    } else {
        goTo_({place.centre, pointSpan, pointSpan});
    }
}

void PlaceSearchPanel::goToCoordinate(std::string_view text) {
    if (const std::optional<GeoCoordinate> point = parseCoordinateText(text)) {
        message_.reset();
        goTo_({*point, pointSpan, pointSpan});
    } else {
        message_ = std::string(badCoordinateMessage);
    }
}

json PlaceSearchPanel::state() const {
    json results = json::array();
    for (const Place& place : results_) {
        results.push_back({{"name", place.name}, {"type", place.type}});
    }
    return {{"isSearching", isSearching_},
            {"results", std::move(results)},
            {"message", message_ ? json(*message_) : json(nullptr)}};
}

} // namespace pelagrin
