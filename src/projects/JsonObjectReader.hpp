// JsonObjectReader: strict reading of one JSON object, with errors that name the key path.
#pragma once

#include <cstdint>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>

namespace pelagrin {

/// A decoding problem; the message reads `"region.waterVertices[2].latitude": missing`.
class JsonDecodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Reads the members of one JSON object by key and type. Every failure throws `JsonDecodeError` naming the
/// full key path from the document's root; keys the reader is not asked for are ignored.
class JsonObjectReader {
public:
    /// `value` must outlive the reader; `path` is its key path ("" for the root). Throws unless an object.
    JsonObjectReader(const nlohmann::json& value, std::string path);

    std::string string(const char* key) const;
    double number(const char* key) const;
    std::optional<double> optionalNumber(const char* key) const;
    /// A whole number: an integer, or a float without fraction within the 64-bit range.
    std::int64_t wholeNumber(const char* key) const;

    /// The object at `key`, absent when the key is missing.
    std::optional<JsonObjectReader> optionalObject(const char* key) const;
    /// Calls `read` with a reader for each object of the array at `key`, in order; false when the key is
    /// missing.
    bool forEachObject(const char* key, const std::function<void(const JsonObjectReader&)>& read) const;

private:
    const nlohmann::json* find(const char* key) const;
    const nlohmann::json& require(const char* key) const;
    std::string pathOf(const char* key) const;
    [[noreturn]] void fail(const std::string& path, const std::string& problem) const;

    const nlohmann::json* object_;
    std::string path_;
};

} // namespace pelagrin
