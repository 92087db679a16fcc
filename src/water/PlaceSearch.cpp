// PlaceSearch: places by name from a geocoding service of OpenStreetMap data (the Nominatim search API).
#include "water/PlaceSearch.hpp"

#include "support/BackgroundTask.hpp"
#include "support/JsonObjectReader.hpp"
#include "water/HttpClient.hpp"

#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>

namespace pelagrin {
namespace {

using nlohmann::json;

// The service sends coordinates as decimal text; a number is taken too. Either must be finite and in range.
double degreesAt(const json& object, const std::string& path, const char* key, double limit) {
    const auto* text = object.contains(key) ? object[key].get_ptr<const std::string*>() : nullptr;
    if (text == nullptr) {
        json wrapped = {{key, object.contains(key) ? object[key] : json(nullptr)}};
        return JsonObjectReader(wrapped, path).numberWithin(key, -limit, limit);
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc() || end != text->data() + text->size() || !std::isfinite(value) ||
        std::abs(value) > limit) {
        throw JsonDecodeError(path + "." + key,
                              "\"" + *text + "\" is not a number within [" +
                                  std::to_string(static_cast<int>(-limit)) + ", " +
                                  std::to_string(static_cast<int>(limit)) + "]",
                              false);
    }
    return value;
}

Place placeOf(const json& object, const std::string& path) {
    const JsonObjectReader reader(object, path);
    Place place{reader.string("display_name"),
                reader.string("type"),
                {degreesAt(object, path, "lat", 90), degreesAt(object, path, "lon", 180)},
                std::nullopt};
    const auto box = object.find("boundingbox");
    if (box != object.end() && !box->is_null()) {
        if (!box->is_array() || box->size() != 4) {
            throw JsonDecodeError(path + ".boundingbox", "must be an array of 4", false);
        }
        const json corners = {{"s", (*box)[0]}, {"n", (*box)[1]}, {"w", (*box)[2]}, {"e", (*box)[3]}};
        const std::string boxPath = path + ".boundingbox";
        place.bounds = std::pair{
            GeoCoordinate{degreesAt(corners, boxPath, "s", 90), degreesAt(corners, boxPath, "w", 180)},
            GeoCoordinate{degreesAt(corners, boxPath, "n", 90), degreesAt(corners, boxPath, "e", 180)}};
    }
    return place;
}

PlaceSearchResult interpretReply(const std::variant<HttpReply, TransportError>& fetched) {
    const auto body = successfulBody(fetched);
    if (const auto* failure = std::get_if<WaterBoundaryError>(&body)) {
        return *failure;
    }
    auto decoded = decodePlaces(std::get<std::string_view>(body));
    if (auto* failure = std::get_if<DecodingError>(&decoded)) {
        return std::move(*failure);
    }
    return std::move(std::get<std::vector<Place>>(decoded));
}

} // namespace

std::variant<std::vector<Place>, DecodingError> decodePlaces(std::string_view body) {
    json document;
    try {
        document = json::parse(body);
    } catch (const json::exception& error) {
        return DecodingError{std::string("not JSON: ") + error.what()};
    }
    if (!document.is_array()) {
        return DecodingError{"answer: must be an array"};
    }
    try {
        std::vector<Place> places;
        for (std::size_t i = 0; i < document.size(); ++i) {
            places.push_back(placeOf(document[i], "[" + std::to_string(i) + "]"));
        }
        return places;
    } catch (const JsonDecodeError& error) {
        return DecodingError{error.what()};
    }
}

std::string placeSearchUrl(std::string_view baseUrl, std::string_view query) {
    while (!baseUrl.empty() && baseUrl.back() == '/') {
        baseUrl.remove_suffix(1);
    }
    return std::string(baseUrl) + "/search?q=" + urlEncodeComponent(query) + "&format=jsonv2&limit=8";
}

PlaceSearchService::PlaceSearchService()
    : baseUrl_(serviceBaseUrl(geocoderUrlVariable, defaultGeocoderBaseUrl)) {}

PlaceSearchService::~PlaceSearchService() {
    isStopping_->store(true);
}

void PlaceSearchService::search(const std::string& query, const boost::asio::any_io_executor& executor,
                                Handler handler) {
    runInBackground(
        executor,
        [url = placeSearchUrl(baseUrl_, query), limit = timeout(), stopping = isStopping_] {
            if (!isSendableHttpUrl(url)) {
                return std::variant<HttpReply, TransportError>(
                    TransportError{"not a web address: " + url, TransportFailure::unreachable});
            }
            // The service's usage policy asks every client to name itself.
            return httpGet(url, limit, maxAnswerBytes, stopping.get(), "Pelagrin (desktop app)");
        },
        [handler = std::move(handler)](const std::variant<HttpReply, TransportError>& fetched,
                                       const std::string& failure) {
            handler(failure.empty() ? interpretReply(fetched) : PlaceSearchResult(TransportError{failure}));
        });
}

} // namespace pelagrin
