// OverpassResponse: the part of an Overpass API JSON answer that water detection reads, and its strict
// decoder.
#include "water/OverpassResponse.hpp"

#include "support/JsonObjectReader.hpp"

#include <nlohmann/json.hpp>

namespace pelagrin {

namespace {

/// The "geometry" of `object`: none when absent or null.
std::optional<std::vector<Point>> geometryOf(const JsonObjectReader& object) {
    std::vector<Point> points;
    if (!object.forEachObject("geometry", [&](const JsonObjectReader& point) {
            points.push_back({point.numberWithin("lat", -90, 90), point.numberWithin("lon", -180, 180)});
        })) {
        return std::nullopt;
    }
    return points;
}

Element elementOf(const JsonObjectReader& object) {
    Element element{object.string("type"), object.wholeNumber("id"), geometryOf(object), std::nullopt};
    std::vector<Member> members;
    if (object.forEachObject("members", [&](const JsonObjectReader& member) {
            members.push_back({member.string("type"), member.string("role"), geometryOf(member)});
        })) {
        element.members = std::move(members);
    }
    return element;
}

} // namespace

std::variant<OverpassResponse, DecodingError> decodeOverpassResponse(std::string_view body) {
    nlohmann::json document;
    try {
        document = nlohmann::json::parse(body);
    } catch (const nlohmann::json::parse_error& error) {
        return DecodingError{std::string("not JSON: ") + error.what()};
    } catch (const nlohmann::json::exception& error) {
        // Well-formed text the parser still cannot hold, such as a number beyond the range of a double; its
        // text follows the library's "[json.exception.<kind>.<id>] " prefix.
        const std::string_view what = error.what();
        return DecodingError{"answer: " + std::string(what.substr(what.find("] ") + 2))};
    }
    try {
        OverpassResponse response;
        const JsonObjectReader root(document, "");
        root.forEachRequiredObject("elements", [&](const JsonObjectReader& element) {
            response.elements.push_back(elementOf(element));
        });
        response.remark = root.optionalString("remark").value_or("");
        return response;
    } catch (const JsonDecodeError& error) {
        return DecodingError{error.what()};
    }
}

} // namespace pelagrin
