// OverpassQuery: the Overpass QL text that asks for the water around a point, and its request URL.
#pragma once

#include <string>
#include <string_view>

namespace pelagrin {

/// The path and query key appended to an Overpass base URL.
inline constexpr std::string_view overpassInterpreterPath = "/api/interpreter?data=";

/// The public Overpass API, used when nothing else is configured.
inline constexpr std::string_view defaultOverpassBaseUrl = "https://overpass-api.de";

/// A coordinate in degrees as it appears in the log line and the query: the shortest decimal text that reads
/// back to the same double, at least one digit after the point ("13.0"), exponent form for non-zero
/// magnitudes below 0.0001 ("1e-05"). Any double is accepted; non-finite values give "nan", "inf", "-inf".
std::string formatCoordinate(double degrees);

/// The Overpass QL text for a click at (latitude, longitude) in degrees: the water areas containing the point
/// plus the water bodies and riverbanks within 2500 m, with full geometry, as JSON, 25 s server-side limit.
std::string buildOverpassQuery(double latitude, double longitude);

/// `text` percent-encoded for a URL query: ASCII letters, digits and - . _ ~ ! $ & ' ( ) * + , ; = : @ / ?
/// stay, every other byte becomes % and two upper-case hexadecimal digits.
std::string percentEncodeQuery(std::string_view text);

/// The request URL for a click: `baseUrl` with its trailing slashes removed, then "/api/interpreter?data="
/// and the encoded query. `baseUrl` is a scheme, host and optional port and path, such as
/// "http://127.0.0.1:8080".
std::string overpassRequestUrl(std::string_view baseUrl, double latitude, double longitude);

} // namespace pelagrin
