// WaterDetection: one region screen's detection in flight, its cancel, and the message it leaves behind.
#pragma once

#include "app/AppEnvironment.hpp"
#include "water/WaterBoundaryService.hpp"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace pelagrin {

/// What the screen says after a detection, until dismissed or the next detection.
struct DetectionMessage {
    enum class Kind { error, notice };
    Kind kind = Kind::error;
    std::string text;
};

/// The sentence for a failed detection, naming what happened; none for a cancelled one. `timeout` is the
/// limit a time-out ran into.
std::optional<std::string> detectionFailureText(const WaterBoundaryError& error,
                                                std::chrono::milliseconds timeout);

/// "No water body at the click; the nearest one, 250 m away, was used." with the distance rounded for
/// reading: whole metres below 100 m, tens of metres below 1 km, tenths of a km below 10 km, whole km above.
std::string nearestWaterNotice(double metres);

/// Runs at most one detection at a time for a screen, on the app thread. Made with std::make_shared; an
/// answer that comes after it is gone, or after a cancel, is dropped.
class WaterDetection : public std::enable_shared_from_this<WaterDetection> {
public:
    /// Receives an outline and the click it was detected for, on the app thread.
    using Landed = std::function<void(GeoCoordinate click, DetectedWater water)>;

    /// `environment` must outlive the detection.
    WaterDetection(AppEnvironment& environment, Landed landed);
    /// Ends the request in flight, if any.
    ~WaterDetection();
    WaterDetection(const WaterDetection&) = delete;
    WaterDetection& operator=(const WaterDetection&) = delete;

    /// Starts a detection at `click` unless one runs; hides the last message.
    void start(GeoCoordinate click);
    /// Ends the running detection; nothing it would have brought changes anything.
    void cancel();
    /// Hides the message.
    void dismiss() { message_.reset(); }
    bool isDetecting() const { return cancel_ != nullptr; }
    bool hasMessage() const { return message_.has_value(); }

    /// The detection's fields of the screen's state: "isDetecting", "overlay", "banner", "bannerKind".
    void addState(nlohmann::json& state) const;

private:
    void finish(GeoCoordinate click, WaterBoundaryResult result);

    AppEnvironment& environment_;
    Landed landed_;
    CancelFlag cancel_;        // set while a detection runs
    std::uint64_t lastId_ = 0; // the newest detection's number: only its answer counts
    std::optional<DetectionMessage> message_;
};

} // namespace pelagrin
