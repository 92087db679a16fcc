// WaterServiceError: the ways a water detection can end without an outline.
#include "water/WaterServiceError.hpp"

namespace pelagrin {

std::string_view toString(WaterServiceError error) {
    switch (error) {
    case WaterServiceError::networkError:
        return "networkError";
    case WaterServiceError::noWaterFound:
        return "noWaterFound";
    case WaterServiceError::parsingError:
        return "parsingError";
    }
    return "unknown";
}

bool ServiceRefusal::isBusy() const {
    return !remark.empty() || status == 429 || status == 503 || status == 504;
}

std::string describe(const WaterBoundaryError& error) {
    if (const auto* serviceError = std::get_if<WaterServiceError>(&error)) {
        return std::string(toString(*serviceError));
    }
    if (const auto* transport = std::get_if<TransportError>(&error)) {
        return "HTTP request failed: " + transport->message;
    }
    if (const auto* refusal = std::get_if<ServiceRefusal>(&error)) {
        return refusal->remark.empty()
                   ? "Overpass refused the request: HTTP " + std::to_string(refusal->status)
                   : "Overpass refused the query: " + refusal->remark;
    }
    return "Overpass answer not understood: " + std::get<DecodingError>(error).message;
}

} // namespace pelagrin
