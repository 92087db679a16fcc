// WaterDetection: one region screen's detection in flight, its cancel, and the message it leaves behind.
#include "app/water/WaterDetection.hpp"

#include "app/ValueText.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace pelagrin {
namespace {

using nlohmann::json;

std::string secondsText(std::chrono::milliseconds duration) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%g s", static_cast<double>(duration.count()) / 1000.0);
    return text.data();
}

std::string distanceText(double metres) {
    if (metres < 100.0) {
        return wholeText("%lld m", std::max(1.0, std::round(metres)));
    }
    if (metres < 995.0) { // what would round to 1000 m reads as 1.0 km
        return wholeText("%lld m", std::round(metres / 10.0) * 10.0);
    }
    if (metres < 9'950.0) {
        return decimalText("%.1f km", metres / 1000.0);
    }
    return wholeText("%lld km", std::round(metres / 1000.0));
}

std::string transportText(const TransportError& error, std::chrono::milliseconds timeout) {
    switch (error.kind) {
    case TransportFailure::unreachable:
        return "The map service could not be reached; check the internet connection.";
    case TransportFailure::timedOut:
        return "The map service did not answer within " + secondsText(timeout) + ".";
    case TransportFailure::cancelled:
    case TransportFailure::other:
        break;
    }
    return "The map service's answer broke off; try again.";
}

} // namespace

std::optional<std::string> detectionFailureText(const WaterBoundaryError& error,
                                                std::chrono::milliseconds timeout) {
    if (const auto* transport = std::get_if<TransportError>(&error)) {
        if (transport->kind == TransportFailure::cancelled) {
            return std::nullopt;
        }
        return transportText(*transport, timeout);
    }
    if (const auto* refusal = std::get_if<ServiceRefusal>(&error)) {
        return refusal->isBusy()
                   ? "The map service is busy and refused the request; try again in a minute."
                   : "The map service refused the request (HTTP " + std::to_string(refusal->status) + ").";
    }
    if (const auto* serviceError = std::get_if<WaterServiceError>(&error)) {
        // A base address that forms no web address reaches no service either.
        if (*serviceError == WaterServiceError::networkError) {
            return "The map service could not be reached; check the internet connection.";
        }
        if (*serviceError == WaterServiceError::noWaterFound) {
            return "No water body was found near the click; click on the water.";
        }
    }
    return "The map service's answer could not be read.";
}

std::string nearestWaterNotice(double metres) {
    return "No water body at the click; the nearest one, " + distanceText(metres) + " away, was used.";
}

WaterDetection::WaterDetection(AppEnvironment& environment, Landed landed)
    : environment_(environment), landed_(std::move(landed)) {}

WaterDetection::~WaterDetection() {
    if (cancel_) {
        cancel_->store(true);
    }
}

void WaterDetection::start(GeoCoordinate click) {
    if (isDetecting()) {
        return;
    }
    message_.reset();
    // The answer may come after the screen is gone (the project closed) or after a cancel and a newer start;
    // it then belongs to nothing and is dropped.
    const std::uint64_t id = ++lastId_;
    cancel_ = environment_.waterBoundary.fetchWaterBoundary(
        click.latitude, click.longitude, environment_.executor,
        [weak = weak_from_this(), id, click](WaterBoundaryResult result) {
            const auto self = weak.lock();
            if (self && self->isDetecting() && id == self->lastId_) {
                self->finish(click, std::move(result));
                self->environment_.stateChanged();
            }
        });
}

void WaterDetection::cancel() {
    if (cancel_) {
        cancel_->store(true);
        cancel_.reset();
    }
}

void WaterDetection::finish(GeoCoordinate click, WaterBoundaryResult result) {
    cancel_.reset();
    if (auto* water = std::get_if<DetectedWater>(&result)) {
        if (water->distanceMetres) {
            message_ =
                DetectionMessage{DetectionMessage::Kind::notice, nearestWaterNotice(*water->distanceMetres)};
        }
        landed_(click, std::move(*water));
        return;
    }
    const WaterBoundaryError& error = std::get<WaterBoundaryError>(result);
    environment_.console << "Water Detection Error: " << describe(error) << '\n';
    if (std::optional<std::string> text = detectionFailureText(error, environment_.waterBoundary.timeout())) {
        message_ = DetectionMessage{DetectionMessage::Kind::error, std::move(*text)};
    }
}

void WaterDetection::addState(json& state) const {
    state["isDetecting"] = isDetecting();
    state["overlay"] = isDetecting() ? json({{"title", "Detecting Water Body..."},
                                             {"subtitle", "Querying OpenStreetMap"},
                                             {"cancel", {{"label", "Cancel"}, {"shortcut", "Escape"}}}})
                                     : json(nullptr);
    state["banner"] = message_ ? json(message_->text) : json(nullptr);
    state["bannerKind"] = message_
                              ? json(message_->kind == DetectionMessage::Kind::notice ? "notice" : "error")
                              : json(nullptr);
}

} // namespace pelagrin
