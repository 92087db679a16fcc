// WaterBoundaryService: the water outline around a clicked point, fetched from the Overpass API.
#include "water/WaterBoundaryService.hpp"

#include "water/HttpClient.hpp"
#include "water/OverpassQuery.hpp"
#include "water/OverpassResponse.hpp"
#include "water/WaterPolygonSelection.hpp"

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/post.hpp>
#include <cassert>
#include <iostream>
#include <optional>

namespace pelagrin {

namespace {

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

WaterBoundaryResult interpretFetched(const std::variant<HttpReply, TransportError>& fetched,
                                     GeoCoordinate click, std::ostream& log) {
    const auto body = successfulBody(fetched);
    if (const auto* failure = std::get_if<WaterBoundaryError>(&body)) {
        return *failure;
    }
    return interpretOverpassAnswer(std::get<std::string_view>(body), click, log);
}

} // namespace

WaterBoundaryResult interpretOverpassAnswer(std::string_view body, GeoCoordinate click, std::ostream& log) {
    auto decoded = decodeOverpassResponse(body);
    if (auto* failure = std::get_if<DecodingError>(&decoded)) {
        return std::move(*failure);
    }
    const OverpassResponse& response = std::get<OverpassResponse>(decoded);
    // A remark means the query failed on the server: what elements came are not all there are.
    if (!response.remark.empty()) {
        return ServiceRefusal{200, response.remark};
    }
    auto selected = selectWaterPolygon(response, click, log);
    if (const auto* failure = std::get_if<WaterServiceError>(&selected)) {
        return *failure;
    }
    return std::move(std::get<DetectedWater>(selected));
}

WaterBoundaryService::WaterBoundaryService()
    : baseUrl_(serviceBaseUrl(overpassUrlVariable, defaultOverpassBaseUrl)), diagnostics_(&std::cout) {}

WaterBoundaryService::~WaterBoundaryService() {
    // Requests still queued or in flight end at once with an abort error; their handlers still run.
    for (const std::weak_ptr<std::atomic<bool>>& flag : inFlight_) {
        if (const CancelFlag held = flag.lock()) {
            held->store(true);
        }
    }
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

CancelFlag WaterBoundaryService::fetchWaterBoundary(double latitude, double longitude,
                                                    boost::asio::any_io_executor executor, Handler handler) {
    const GeoCoordinate click{latitude, longitude};
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    std::erase_if(inFlight_, [](const std::weak_ptr<std::atomic<bool>>& flag) { return flag.expired(); });
    inFlight_.push_back(cancel);
    std::optional<std::string> url = startDetection(baseUrl_, click, *diagnostics_);
    if (!url) {
        boost::asio::post(executor,
                          [handler = std::move(handler)] { handler(WaterServiceError::networkError); });
        return cancel;
    }
    // The guard keeps the executor's context running until the outcome has been handed back to it.
    auto work = boost::asio::make_work_guard(executor);
    boost::asio::post(requests_, [url = std::move(*url), timeout = timeout_, maxBytes = maxAnswerBytes_,
                                  cancel, log = diagnostics_, click, work = std::move(work),
                                  handler = std::move(handler)]() mutable {
        auto fetched = httpGet(url, timeout, maxBytes, cancel.get());
        boost::asio::post(work.get_executor(),
                          [fetched = std::move(fetched), click, log, handler = std::move(handler)] {
                              handler(interpretFetched(fetched, click, *log));
                          });
        work.reset();
    });
    return cancel;
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
