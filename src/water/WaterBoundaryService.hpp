// WaterBoundaryService: the water outline around a clicked point, fetched from the Overpass API.
#pragma once

#include "simulation/GeoCoordinate.hpp"
#include "support/ByteSize.hpp"
#include "water/WaterPolygonSelection.hpp"
#include "water/WaterServiceError.hpp"

#include <atomic>
#include <boost/asio/any_io_executor.hpp>
#include <boost/asio/thread_pool.hpp>
#include <chrono>
#include <cstddef>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pelagrin {

/// A detection's outcome: the simplified outline (3 or more vertices, the first repeated at the end when the
/// water body is a closed ring) with its distance when it does not contain the click, or why there is none.
using WaterBoundaryResult = std::variant<DetectedWater, WaterBoundaryError>;

/// Set to true, ends the request it was handed out for: its handler gets a cancelled `TransportError`.
using CancelFlag = std::shared_ptr<std::atomic<bool>>;

/// The environment variable that overrides the Overpass base URL, such as "http://127.0.0.1:8080".
inline constexpr const char* overpassUrlVariable = "PELAGRIN_OVERPASS_URL";

/// Asks the Overpass API for the water at and around a point and picks one outline. Holds only configuration;
/// calls share nothing and nothing is cached. Configure and call it from one thread (the app thread).
class WaterBoundaryService {
public:
    /// Receives the outcome of `fetchWaterBoundary`, on the executor given to it.
    using Handler = std::function<void(WaterBoundaryResult)>;

    /// Client-side limit for one request, for a connection that hangs; the query asks the server to give up
    /// after 25 s, so that a busy server still has time to say so.
    static constexpr std::chrono::milliseconds defaultTimeout{30'000};

    /// Default bound on one answer's body, in bytes. The water around a point within 2500 m is a few
    /// megabytes at most, even in a lake district; a longer answer is a fault (or a server that never stops
    /// sending) and would otherwise fill the memory.
    static constexpr std::size_t defaultMaxAnswerBytes = 64 * mebibyte;

    /// A service for the base URL in `PELAGRIN_OVERPASS_URL` if set and not empty, else the public Overpass
    /// API; diagnostics go to standard output.
    WaterBoundaryService();
    /// Aborts the requests still in flight (their handlers get a `TransportError`) and waits for their
    /// threads.
    ~WaterBoundaryService();
    WaterBoundaryService(const WaterBoundaryService&) = delete;
    WaterBoundaryService& operator=(const WaterBoundaryService&) = delete;

    /// The Overpass base URL; the request goes to it + "/api/interpreter?data=" + the encoded query (trailing
    /// slashes of the base are dropped first). A base that forms no http(s) URL makes calls fail with
    /// `networkError`.
    void setBaseUrl(std::string baseUrl) { baseUrl_ = std::move(baseUrl); }
    const std::string& baseUrl() const { return baseUrl_; }

    /// Longest wait for one request, > 0.
    void setTimeout(std::chrono::milliseconds timeout);
    std::chrono::milliseconds timeout() const { return timeout_; }

    /// Largest answer body read, in bytes (> 0); a longer one fails with a `TransportError`.
    void setMaxAnswerBytes(std::size_t maxBytes);
    std::size_t maxAnswerBytes() const { return maxAnswerBytes_; }

    /// Where the diagnostic lines go ("🔍 Querying OSM for water at: ...", the choice made); the stream must
    /// outlive every call.
    void setDiagnostics(std::ostream& diagnostics) { diagnostics_ = &diagnostics; }

    /// Starts a detection for a click at (latitude, longitude) in degrees and returns at once. The request
    /// runs on a thread of the service; decoding, selection and `handler` then run on `executor`, which keeps
    /// work pending until then. The executor's context must outlive the service. The returned flag cancels
    /// the request. A status other than 2xx or a remark in the answer fails with a `ServiceRefusal`.
    CancelFlag fetchWaterBoundary(double latitude, double longitude, boost::asio::any_io_executor executor,
                                  Handler handler);

    /// The same detection, blocking the calling thread until the outcome is known.
    WaterBoundaryResult fetchWaterBoundaryNow(double latitude, double longitude) const;

private:
    std::string baseUrl_;
    std::chrono::milliseconds timeout_ = defaultTimeout;
    std::size_t maxAnswerBytes_ = defaultMaxAnswerBytes;
    std::ostream* diagnostics_;
    std::vector<std::weak_ptr<std::atomic<bool>>> inFlight_; // the flags to raise when the service goes
    boost::asio::thread_pool requests_{4}; // a few, so that one hung request does not hold up the next click
};

/// Turns an Overpass answer body into the outcome for a click: decodes it strictly, then selects and thins
/// the outline, writing the selection's line to `log`.
WaterBoundaryResult interpretOverpassAnswer(std::string_view body, GeoCoordinate click, std::ostream& log);

} // namespace pelagrin
