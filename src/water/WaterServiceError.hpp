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

/// Why the HTTP client gave up, as far as the user is concerned.
enum class TransportFailure {
    unreachable, ///< no connection: the name did not resolve, the port refused, TLS failed
    timedOut,    ///< no complete answer within the time limit
    cancelled,   ///< the caller asked for the request to end
    other,       ///< broken off, too large and the rest
};

/// The HTTP client could not complete the request (refused, timed out, broken off, TLS failure).
struct TransportError {
    /// What failed, in the HTTP client's words, such as "Operation timed out after 1000 milliseconds ...".
    std::string message;
    TransportFailure kind = TransportFailure::other;
};

/// The server answered but would not do the work: an HTTP status other than 2xx, or an Overpass "remark"
/// (the query ran out of time or memory on the server).
struct ServiceRefusal {
    long status = 200;
    /// The server's remark, empty when the status alone refused.
    std::string remark;

    /// The refusal says the server is overloaded rather than the request wrong: 429, 503, 504 or a remark.
    bool isBusy() const;
};

/// The body is not a well-formed Overpass answer (an HTML error page, a truncated body, a missing key).
struct DecodingError {
    /// The field and the problem, such as "elements[0].id: missing".
    std::string message;
};

/// Any reason a detection gave no outline; callers treat them alike.
using WaterBoundaryError = std::variant<WaterServiceError, TransportError, DecodingError, ServiceRefusal>;

/// One line for the user or the log: the case name for a `WaterServiceError`, else the message.
std::string describe(const WaterBoundaryError& error);

} // namespace pelagrin
