// OverpassResponse: the part of an Overpass API JSON answer that water detection reads, and its strict
// decoder.
#include "water/OverpassResponse.hpp"

#include <limits>
#include <nlohmann/json.hpp>

namespace pelagrin {

namespace {

using nlohmann::json;

// Thrown inside the decoder only, so that one bad field ends the whole decode; never leaves this file.
struct FieldProblem {
    std::string message;
};

[[noreturn]] void wrongType(const std::string& path, const char* expected, const json& value) {
    throw FieldProblem{path + ": expected " + expected + ", found " + value.type_name()};
}

const json* findKey(const json& object, const char* key) {
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

const json& requiredKey(const json& object, const std::string& path, const char* key) {
    const json* value = findKey(object, key);
    if (value == nullptr) {
        throw FieldProblem{path + "." + key + ": missing"};
    }
    return *value;
}

const json& expectObject(const json& value, const std::string& path) {
    if (!value.is_object()) {
        wrongType(path, "an object", value);
    }
    return value;
}

const json& expectArray(const json& value, const std::string& path) {
    if (!value.is_array()) {
        wrongType(path, "an array", value);
    }
    return value;
}

std::string decodeString(const json& value, const std::string& path) {
    if (!value.is_string()) {
        wrongType(path, "a string", value);
    }
    return value.get<std::string>();
}

double decodeDouble(const json& value, const std::string& path) {
    if (!value.is_number()) {
        wrongType(path, "a number", value);
    }
    return value.get<double>();
}

std::int64_t decodeInt64(const json& value, const std::string& path) {
    if (value.is_number_unsigned() &&
        value.get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        throw FieldProblem{path + ": out of the 64-bit integer range"};
    }
    if (!value.is_number_integer()) {
        wrongType(path, "an integer", value);
    }
    return value.get<std::int64_t>();
}

// Decodes each entry of a required array with `decodeEntry(entry, entryPath)`.
template <typename T, typename DecodeEntry>
std::vector<T> decodeArray(const json& value, const std::string& path, DecodeEntry decodeEntry) {
    std::vector<T> entries;
    entries.reserve(expectArray(value, path).size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        entries.push_back(decodeEntry(value[i], path + "[" + std::to_string(i) + "]"));
    }
    return entries;
}

// An optional array: an absent key and null both mean none.
template <typename T, typename DecodeEntry>
std::optional<std::vector<T>> decodeOptionalArray(const json& object, const std::string& path,
                                                  const char* key, DecodeEntry decodeEntry) {
    const json* value = findKey(object, key);
    if (value == nullptr || value->is_null()) {
        return std::nullopt;
    }
    return decodeArray<T>(*value, path + "." + key, decodeEntry);
}

// A coordinate in degrees within [-limit, limit]; the comparison also refuses NaN.
double decodeDegrees(const json& object, const std::string& path, const char* key, int limit) {
    const std::string keyPath = path + "." + key;
    const double degrees = decodeDouble(requiredKey(object, path, key), keyPath);
    if (!(degrees >= -limit && degrees <= limit)) {
        const std::string limitText = std::to_string(limit);
        throw FieldProblem{keyPath + ": " + json(degrees).dump() + " is outside [-" + limitText + ", " +
                           limitText + "]"};
    }
    return degrees;
}

Point decodePoint(const json& value, const std::string& path) {
    expectObject(value, path);
    return {decodeDegrees(value, path, "lat", 90), decodeDegrees(value, path, "lon", 180)};
}

Member decodeMember(const json& value, const std::string& path) {
    expectObject(value, path);
    return {decodeString(requiredKey(value, path, "type"), path + ".type"),
            decodeString(requiredKey(value, path, "role"), path + ".role"),
            decodeOptionalArray<Point>(value, path, "geometry", decodePoint)};
}

Element decodeElement(const json& value, const std::string& path) {
    expectObject(value, path);
    return {decodeString(requiredKey(value, path, "type"), path + ".type"),
            decodeInt64(requiredKey(value, path, "id"), path + ".id"),
            decodeOptionalArray<Point>(value, path, "geometry", decodePoint),
            decodeOptionalArray<Member>(value, path, "members", decodeMember)};
}

} // namespace

std::variant<OverpassResponse, DecodingError> decodeOverpassResponse(std::string_view body) {
    const std::string root = "answer";
    try {
        const json document = json::parse(body);
        expectObject(document, root);
        return OverpassResponse{
            decodeArray<Element>(requiredKey(document, root, "elements"), "elements", decodeElement)};
    } catch (const FieldProblem& problem) {
        return DecodingError{problem.message};
    } catch (const json::parse_error& error) {
        return DecodingError{std::string("not JSON: ") + error.what()};
    } catch (const json::exception& error) {
        // Well-formed text the parser still cannot hold, such as a number beyond the range of a double; its
        // text follows the library's "[json.exception.<kind>.<id>] " prefix.
        const std::string_view what = error.what();
        return DecodingError{root + ": " + std::string(what.substr(what.find("] ") + 2))};
    }
}

} // namespace pelagrin
