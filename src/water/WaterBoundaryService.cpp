// WaterBoundaryService: the water outline around a clicked point, fetched from the Overpass API.
#include "water/WaterBoundaryService.hpp"

#include "water/HttpClient.hpp"
#include "water/OverpassQuery.hpp"
#include "water/OverpassResponse.hpp"
#include "water/WaterPolygonSelection.hpp"

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/post.hpp>
#include <cassert>
#include <cstdlib>
#include <iostream>
#include <optional>

namespace pelagrin {

namespace {

std::string configuredBaseUrl() {
    const char* fromEnvironment = std::getenv(overpassUrlVariable);
    return fromEnvironment != nullptr && *fromEnvironment != '\0' ? std::string(fromEnvironment)
                                                                  : std::string(defaultOverpassBaseUrl);
}

// The first steps of every detection, done on the caller's thread: the log line, then the URL, or nothing
// when the base URL forms none.
std::optional<std::string> startDetection(const std::string& baseUrl, GeoCoordinate click,
                                          std::ostream& log) {
    log << "🔍 Querying OSM for water at: " << formatCoordinate(click.latitude) << ", "
        << formatCoordinate(click.longitude) << std::endl;
    std::string url = overpassRequestUrl(baseUrl, click.latitude, click.longitude);
    if (!isSendableHttpUrl(url)) {
        return std::nullopt;
    }
    return url;
}

WaterBoundaryResult interpretFetched(const std::variant<std::string, TransportError>& fetched,
                                     GeoCoordinate click, std::ostream& log) {
    if (const auto* failure = std::get_if<TransportError>(&fetched)) {
        return *failure;
    }
    return interpretOverpassAnswer(std::get<std::string>(fetched), click, log);
}

} // namespace

WaterBoundaryResult interpretOverpassAnswer(std::string_view body, GeoCoordinate click, std::ostream& log) {
    auto decoded = decodeOverpassResponse(body);
    if (auto* failure = std::get_if<DecodingError>(&decoded)) {
        return std::move(*failure);
    }
    auto selected = selectWaterPolygon(std::get<OverpassResponse>(decoded), click, log);
    if (const auto* failure = std::get_if<WaterServiceError>(&selected)) {
        return *failure;
    }
    return std::move(std::get<std::vector<GeoCoordinate>>(selected));
}

WaterBoundaryService::WaterBoundaryService() : baseUrl_(configuredBaseUrl()), diagnostics_(&std::cout) {}

WaterBoundaryService::~WaterBoundaryService() {
    // Requests still queued or in flight end at once with an abort error; their handlers still run.
    isStopping_->store(true);
    requests_.join();
}

void WaterBoundaryService::setTimeout(std::chrono::milliseconds timeout) {
    assert(timeout.count() > 0);
    timeout_ = timeout;
}

void WaterBoundaryService::setMaxAnswerBytes(std::size_t maxBytes) {
    assert(maxBytes > 0);
    maxAnswerBytes_ = maxBytes;
}

void WaterBoundaryService::fetchWaterBoundary(double latitude, double longitude,
                                              boost::asio::any_io_executor executor, Handler handler) {
    const GeoCoordinate click{latitude, longitude};
    std::optional<std::string> url = startDetection(baseUrl_, click, *diagnostics_);
    if (!url) {
        boost::asio::post(executor,
                          [handler = std::move(handler)] { handler(WaterServiceError::networkError); });
        return;
    }
    // The guard keeps the executor's context running until the outcome has been handed back to it.
    auto work = boost::asio::make_work_guard(executor);
    boost::asio::post(requests_, [url = std::move(*url), timeout = timeout_, maxBytes = maxAnswerBytes_,
                                  isStopping = isStopping_, log = diagnostics_, click, work = std::move(work),
                                  handler = std::move(handler)]() mutable {
        auto fetched = httpGet(url, timeout, maxBytes, isStopping.get());
        boost::asio::post(work.get_executor(),
                          [fetched = std::move(fetched), click, log, handler = std::move(handler)] {
                              handler(interpretFetched(fetched, click, *log));
                          });
        work.reset();
    });
}

WaterBoundaryResult WaterBoundaryService::fetchWaterBoundaryNow(double latitude, double longitude) const {
    const GeoCoordinate click{latitude, longitude};
    const std::optional<std::string> url = startDetection(baseUrl_, click, *diagnostics_);
    if (!url) {
        return WaterServiceError::networkError;
    }
    return interpretFetched(httpGet(*url, timeout_, maxAnswerBytes_), click, *diagnostics_);
}

} // namespace pelagrin
