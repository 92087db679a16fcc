// JsonObjectReader: key lookup, type checks and the wording of decoding errors.
#include "support/JsonObjectReader.hpp"

#include <cmath>
#include <cstdint>

namespace pelagrin {
namespace {

using nlohmann::json;

std::string describe(const json& value) {
    // The library writes a number that is not finite as null; the reader says what it is.
    if (value.is_number_float() && !std::isfinite(value.get<double>())) {
        return std::isnan(value.get<double>()) ? "nan" : value.get<double>() > 0 ? "inf" : "-inf";
    }
    if (value.is_number() || value.is_boolean() || value.is_null()) {
        return value.dump();
    }
    const std::string type = value.type_name();
    return (type == "object" || type == "array" ? "an " : "a ") + type;
}

/// The shortest text that reads back as `value`, without the ".0" of a whole number.
std::string numberText(double value) {
    std::string text = json(value).dump();
    if (text.ends_with(".0")) {
        text.resize(text.size() - 2);
    }
    return text;
}

} // namespace

JsonObjectReader::JsonObjectReader(const json& value, std::string path)
    : object_(&value), path_(std::move(path)) {
    if (!value.is_object()) {
        fail(path_.empty() ? "(top level)" : path_, "expected an object, got " + describe(value));
    }
}

std::string JsonObjectReader::pathOf(const char* key) const {
    return path_.empty() ? key : path_ + "." + key;
}

void JsonObjectReader::fail(const std::string& path, const std::string& problem, bool isMissing) {
    throw JsonDecodeError(path, problem, isMissing);
}

const json* JsonObjectReader::find(const char* key, bool isNullAbsent) const {
    const auto member = object_->find(key);
    return member == object_->end() || (isNullAbsent && member->is_null()) ? nullptr : &*member;
}

const json& JsonObjectReader::require(const char* key) const {
    const json* value = find(key, false);
    if (value == nullptr) {
        fail(pathOf(key), "missing", true);
    }
    return *value;
}

std::string JsonObjectReader::string(const char* key) const {
    const json& value = require(key);
    if (!value.is_string()) {
        fail(pathOf(key), "expected a string, got " + describe(value));
    }
    return value.get<std::string>();
}

bool JsonObjectReader::boolean(const char* key) const {
    const json& value = require(key);
    if (!value.is_boolean()) {
        fail(pathOf(key), "expected true or false, got " + describe(value));
    }
    return value.get<bool>();
}

double JsonObjectReader::number(const char* key) const {
    const json& value = require(key);
    if (!value.is_number() || !std::isfinite(value.get<double>())) {
        fail(pathOf(key), "expected a number, got " + describe(value));
    }
    return value.get<double>();
}

double JsonObjectReader::numberWithin(const char* key, double low, double high) const {
    const double value = number(key);
    if (value < low || value > high) {
        fail(pathOf(key),
             numberText(value) + " is outside [" + numberText(low) + ", " + numberText(high) + "]");
    }
    return value;
}

std::optional<std::string> JsonObjectReader::optionalString(const char* key) const {
    return find(key, true) == nullptr ? std::nullopt : std::optional<std::string>(string(key));
}

std::optional<std::size_t> JsonObjectReader::optionalChoice(const char* key,
                                                            std::span<const std::string_view> words) const {
    const std::optional<std::string> word = optionalString(key);
    if (!word) {
        return std::nullopt;
    }
    std::string expected;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] == *word) {
            return i;
        }
        expected += (i == 0 ? "" : ", ") + std::string(words[i]);
    }
    fail(pathOf(key), "expected one of " + expected + ", got " + json(*word).dump());
}

std::optional<double> JsonObjectReader::optionalNumber(const char* key) const {
    return find(key, true) == nullptr ? std::nullopt : std::optional<double>(number(key));
}

std::int64_t JsonObjectReader::wholeNumberWithin(const char* key, std::int64_t low, std::int64_t high) const {
    const std::int64_t value = wholeNumber(key);
    if (value < low || value > high) {
        fail(pathOf(key), std::to_string(value) + " is outside [" + std::to_string(low) + ", " +
                              std::to_string(high) + "]");
    }
    return value;
}

std::int64_t JsonObjectReader::wholeNumber(const char* key) const {
    const json& value = require(key);
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (number > static_cast<std::uint64_t>(INT64_MAX)) {
            fail(pathOf(key), "whole number out of range: " + describe(value));
        }
        return static_cast<std::int64_t>(number);
    }
    if (value.is_number_integer()) {
        return value.get<std::int64_t>();
    }
    // 2^63 is exact in a double; anything at or beyond it does not fit.
    constexpr double limit = 9223372036854775808.0;
    if (value.is_number()) {
        const double number = value.get<double>();
        if (number != std::trunc(number)) {
            fail(pathOf(key), "expected a whole number, got " + describe(value));
        }
        if (number >= -limit && number < limit) {
            return static_cast<std::int64_t>(number);
        }
        fail(pathOf(key), "whole number out of range: " + describe(value));
    }
    fail(pathOf(key), "expected a whole number, got " + describe(value));
}

std::optional<JsonObjectReader> JsonObjectReader::optionalObject(const char* key) const {
    const json* value = find(key, true);
    return value == nullptr ? std::nullopt
                            : std::optional<JsonObjectReader>(std::in_place, *value, pathOf(key));
}

bool JsonObjectReader::forEachObject(const char* key,
                                     const std::function<void(const JsonObjectReader&)>& read) const {
    const json* value = find(key, true);
    if (value == nullptr) {
        return false;
    }
    forEachObjectIn(*value, key, read);
    return true;
}

void JsonObjectReader::forEachRequiredObject(const char* key,
                                             const std::function<void(const JsonObjectReader&)>& read) const {
    forEachObjectIn(require(key), key, read);
}

void JsonObjectReader::forEachObjectIn(const json& array, const char* key,
                                       const std::function<void(const JsonObjectReader&)>& read) const {
    if (!array.is_array()) {
        fail(pathOf(key), "expected an array, got " + describe(array));
    }
    for (std::size_t i = 0; i < array.size(); ++i) {
        read(JsonObjectReader(array[i], pathOf(key) + "[" + std::to_string(i) + "]"));
    }
}

} // namespace pelagrin
