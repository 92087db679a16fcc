// Intent: shape and type checks of the browser's messages.
#include "app/Intent.hpp"

#include "support/PathText.hpp"

#include <cmath>

namespace pelagrin {

Intent::Intent(nlohmann::json message) : message_(std::move(message)) {
    if (!message_.is_object()) {
        throw IntentError("an intent must be a JSON object");
    }
    const auto name = message_.find("intent");
    if (name == message_.end() || !name->is_string()) {
        throw IntentError("an intent must have a string \"intent\"");
    }
    name_ = name->get<std::string>();
}

IntentError Intent::error(const std::string& message) const {
    return IntentError(name_ + ": " + message);
}

const nlohmann::json& Intent::argument(const char* key) const {
    const auto value = message_.find(key);
    if (value == message_.end()) {
        throw error(std::string("\"") + key + "\" is missing");
    }
    return *value;
}

std::string Intent::string(const char* key) const {
    const nlohmann::json& value = argument(key);
    if (!value.is_string()) {
        throw error(std::string("\"") + key + "\" must be a string");
    }
    return value.get<std::string>();
}

double Intent::number(const char* key) const {
    const nlohmann::json& value = argument(key);
    if (!value.is_number() || !std::isfinite(value.get<double>())) {
        throw error(std::string("\"") + key + "\" must be a number");
    }
    return value.get<double>();
}

bool Intent::boolean(const char* key) const {
    const nlohmann::json& value = argument(key);
    if (!value.is_boolean()) {
        throw error(std::string("\"") + key + "\" must be true or false");
    }
    return value.get<bool>();
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
