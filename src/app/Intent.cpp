// Intent: shape and type checks of the browser's messages, by the rules of every JSON reader.
#include "app/Intent.hpp"

#include "support/JsonObjectReader.hpp"
#include "support/PathText.hpp"

#include <algorithm>

namespace pelagrin {
namespace {

/// `read` applied to a reader of `message`; a decoding error becomes the intent's refusal of `key`.
template <class Read>
auto readArgument(const Intent& intent, const nlohmann::json& message, const char* key, const char* expected,
                  Read read) {
    try {
        return read(JsonObjectReader(message, ""));
    } catch (const JsonDecodeError& decodeError) {
        throw intent.error(
            std::string("\"") + key +
            (decodeError.isMissing() ? "\" is missing" : std::string("\" must be ") + expected));
    }
}

} // namespace

Intent::Intent(nlohmann::json message) : message_(std::move(message)) {
    if (!message_.is_object()) {
        throw IntentError("an intent must be a JSON object");
    }
    try {
        name_ = JsonObjectReader(message_, "").string("intent");
    } catch (const JsonDecodeError&) {
        throw IntentError("an intent must have a string \"intent\"");
    }
}

IntentError Intent::error(const std::string& message) const {
    return IntentError(name_ + ": " + message);
}

std::string Intent::string(const char* key) const {
    return readArgument(*this, message_, key, "a string",
                        [key](const JsonObjectReader& reader) { return reader.string(key); });
}

double Intent::number(const char* key) const {
    return readArgument(*this, message_, key, "a number",
                        [key](const JsonObjectReader& reader) { return reader.number(key); });
}

bool Intent::boolean(const char* key) const {
    return readArgument(*this, message_, key, "true or false",
                        [key](const JsonObjectReader& reader) { return reader.boolean(key); });
}

std::vector<std::string> Intent::strings(const char* key, std::size_t maxCount, std::size_t maxLength) const {
    const auto found = message_.find(key);
    if (found == message_.end()) {
        throw error(std::string("\"") + key + "\" is missing");
    }
    const auto isShortString = [maxLength](const nlohmann::json& item) {
        return item.is_string() && item.get_ref<const std::string&>().size() <= maxLength;
    };
    if (!found->is_array() || found->size() > maxCount ||
        !std::all_of(found->begin(), found->end(), isShortString)) {
        throw error(std::string("\"") + key + "\" must be at most " + std::to_string(maxCount) +
                    " strings of at most " + std::to_string(maxLength) + " characters");
    }
    return found->get<std::vector<std::string>>();
}

bool Intent::flag(const char* key) const {
    return message_.contains(key) && boolean(key);
}

std::filesystem::path Intent::path(const char* key) const {
    try {
        return PathText::decode(string(key));
    } catch (const std::invalid_argument& bad) {
        throw error(std::string("\"") + key + "\": " + bad.what());
    }
}

} // namespace pelagrin
