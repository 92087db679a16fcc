// PlaceSearch: places by name from a geocoding service of OpenStreetMap data (the Nominatim search API).
#pragma once

#include "simulation/GeoCoordinate.hpp"
#include "support/ByteSize.hpp"
#include "water/WaterServiceError.hpp"

#include <atomic>
#include <boost/asio/any_io_executor.hpp>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pelagrin {

/// The environment variable that overrides the geocoder's base URL, such as "http://127.0.0.1:8080".
inline constexpr const char* geocoderUrlVariable = "PELAGRIN_GEOCODER_URL";
/// The public Nominatim service, used when nothing else is configured.
inline constexpr std::string_view defaultGeocoderBaseUrl = "https://nominatim.openstreetmap.org";

/// One place found: its full name, its kind ("lake", "city", ...), its centre and, when given, its extent.
struct Place {
    std::string name;
    std::string type;
    GeoCoordinate centre;
    /// South-west and north-east corners.
    std::optional<std::pair<GeoCoordinate, GeoCoordinate>> bounds;
};

/// The places of a jsonv2 search answer, in its order. Each needs "display_name", "type", and "lat" and "lon"
/// (decimal text, as the service sends them, or numbers) within their ranges; "boundingbox" is optional:
/// [south, north, west, east]. A fault refuses the whole answer, naming the field ("[1].lat": ...).
std::variant<std::vector<Place>, DecodingError> decodePlaces(std::string_view body);

/// The request URL: `baseUrl` without trailing slashes + "/search?q=" + the encoded query +
/// "&format=jsonv2&limit=8".
std::string placeSearchUrl(std::string_view baseUrl, std::string_view query);

/// The outcome of a search: the places (maybe none) or why there are none.
using PlaceSearchResult = std::variant<std::vector<Place>, WaterBoundaryError>;

/// Runs searches off the calling thread. Holds configuration only; destroying it ends searches in flight.
class PlaceSearchService {
public:
    using Handler = std::function<void(PlaceSearchResult)>;
    static constexpr std::chrono::milliseconds defaultTimeout{30'000};
    /// Eight places take a few kilobytes; anything near this is not an answer to the query.
    static constexpr std::size_t maxAnswerBytes = mebibyte;

    /// A service for the base URL in `PELAGRIN_GEOCODER_URL` if set and not empty, else the public one.
    PlaceSearchService();
    ~PlaceSearchService();
    PlaceSearchService(const PlaceSearchService&) = delete;
    PlaceSearchService& operator=(const PlaceSearchService&) = delete;

    /// Longest wait for one search.
    std::chrono::milliseconds timeout() const { return defaultTimeout; }

    /// Starts a search for `query` and returns at once; `handler` runs on `executor`, whose context keeps
    /// work pending until then. A status other than 2xx fails with a `ServiceRefusal`.
    void search(const std::string& query, const boost::asio::any_io_executor& executor, Handler handler);

private:
    std::string baseUrl_;
    std::shared_ptr<std::atomic<bool>> isStopping_ = std::make_shared<std::atomic<bool>>(false);
};

} // namespace pelagrin
