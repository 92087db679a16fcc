// WaterServiceError: the ways a water detection can end without an outline.
#pragma once

#include <string>
#include <string_view>
#include <variant>

namespace pelagrin {

/// The detection's own failures. `parsingError` exists for callers that match on every case; nothing raises
/// it.
enum class WaterServiceError { networkError, noWaterFound, parsingError };

/// The case name, such as "noWaterFound".
std::string_view toString(WaterServiceError error);

/// The HTTP client could not complete the request (refused, timed out, broken off, TLS failure).
struct TransportError {
    /// What failed, in the HTTP client's words, such as "Operation timed out after 1000 milliseconds ...".
    std::string message;
};

/// The body is not a well-formed Overpass answer (an HTML error page, a truncated body, a missing key).
struct DecodingError {
    /// The field and the problem, such as "elements[0].id: missing".
    std::string message;
};

/// Any reason a detection gave no outline; callers treat them alike.
using WaterBoundaryError = std::variant<WaterServiceError, TransportError, DecodingError>;

/// One line for the user or the log: the case name for a `WaterServiceError`, else the message.
std::string describe(const WaterBoundaryError& error);

} // namespace pelagrin
