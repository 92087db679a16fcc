// JsonObjectReader: strict reading of one JSON object, with errors that name the key path. The one set of
// rules for every piece of outside JSON.
#pragma once

#include <cstdint>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pelagrin {

/// A decoding problem; the message reads `"region.waterVertices[2].latitude": missing`.
class JsonDecodeError : public std::runtime_error {
public:
    JsonDecodeError(const std::string& path, const std::string& problem, bool isMissing)
        : std::runtime_error("\"" + path + "\": " + problem), isMissing_(isMissing) {}

    /// Whether the key was missing, rather than of the wrong type or range.
    bool isMissing() const { return isMissing_; }

private:
    bool isMissing_;
};

/// Reads the members of one JSON object by key and type. Every failure throws `JsonDecodeError` naming the
/// full key path from the document's root; keys the reader is not asked for are ignored. The rules: numbers
/// are finite; a whole number may be written with a zero fraction (1.0, not 1.5); an optional key given as
/// null is absent, a required one is not.
class JsonObjectReader {
public:
    /// `value` must outlive the reader; `path` is its key path ("" for the root). Throws unless an object.
    JsonObjectReader(const nlohmann::json& value, std::string path);

    std::string string(const char* key) const;
    std::optional<std::string> optionalString(const char* key) const;
    /// The position in `words` of the string at `key`, absent when the key is missing or null; any other
    /// string fails with the words it may be.
    std::optional<std::size_t> optionalChoice(const char* key, std::span<const std::string_view> words) const;
    bool boolean(const char* key) const;
    double number(const char* key) const;
    std::optional<double> optionalNumber(const char* key) const;
    /// A number within [low, high].
    double numberWithin(const char* key, double low, double high) const;
    /// A whole number: an integer, or a float without fraction within the 64-bit range.
    std::int64_t wholeNumber(const char* key) const;
    /// A whole number within [low, high].
    std::int64_t wholeNumberWithin(const char* key, std::int64_t low, std::int64_t high) const;

    /// The object at `key`, absent when the key is missing or null.
    std::optional<JsonObjectReader> optionalObject(const char* key) const;
    /// Calls `read` with a reader for each object of the array at `key`, in order; false when the key is
    /// missing or null.
    bool forEachObject(const char* key, const std::function<void(const JsonObjectReader&)>& read) const;
    /// The same for an array that must be there.
    void forEachRequiredObject(const char* key,
                               const std::function<void(const JsonObjectReader&)>& read) const;

private:
    /// The member at `key`; null when it is missing or, with `isNullAbsent`, JSON null.
    const nlohmann::json* find(const char* key, bool isNullAbsent) const;
    const nlohmann::json& require(const char* key) const;
    void forEachObjectIn(const nlohmann::json& array, const char* key,
                         const std::function<void(const JsonObjectReader&)>& read) const;
    std::string pathOf(const char* key) const;
    [[noreturn]] static void fail(const std::string& path, const std::string& problem,
                                  bool isMissing = false);

    const nlohmann::json* object_;
    std::string path_;
};

} // namespace pelagrin
