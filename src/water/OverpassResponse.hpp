// OverpassResponse: the part of an Overpass API JSON answer that water detection reads, and its strict
// decoder.
#pragma once

#include "water/WaterServiceError.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pelagrin {

/// One vertex of an element's geometry, in degrees (WGS 84): latitude in [-90, 90], longitude in [-180, 180].
struct Point {
    double lat = 0.0;
    double lon = 0.0;
};

/// A member of a relation: its element kind ("way", "node", ...), its role ("outer", "inner", "" ...) and
/// its geometry when the server sent one.
struct Member {
    std::string type;
    std::string role;
    std::optional<std::vector<Point>> geometry;
};

/// An OpenStreetMap element: its kind ("way", "relation", "node"), its id, and the geometry or members the
/// server sent (absent or null in the answer = none).
struct Element {
    std::string type;
    std::int64_t id = 0;
    std::optional<std::vector<Point>> geometry;
    std::optional<std::vector<Member>> members;
};

/// The decoded answer: its elements in the server's order, and the server's remark (empty when none), which
/// says that the query failed on the server, such as "runtime error: Query timed out ...".
struct OverpassResponse {
    std::vector<Element> elements;
    std::string remark;
};

/// Decodes an Overpass answer body. Every required key must be present with the right JSON type, or the whole
/// answer is refused with a `DecodingError` naming the field (`"elements[2].id": missing`), by the rules of
/// `JsonObjectReader`; so is a coordinate outside its range and a number no double holds. Keys not read here
/// are ignored. Throws nothing but `std::bad_alloc`.
std::variant<OverpassResponse, DecodingError> decodeOverpassResponse(std::string_view body);

} // namespace pelagrin
