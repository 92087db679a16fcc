// Intent: shape and type checks of the browser's messages, by the rules of every JSON reader.
#include "app/Intent.hpp"

#include "support/JsonObjectReader.hpp"
#include "support/PathText.hpp"

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
