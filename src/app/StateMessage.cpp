// StateMessage: per-key diffs of a window's state, sent as whole values or JSON Patch operations.
#include "app/StateMessage.hpp"

namespace pelagrin {
namespace {

/// Operations this short go out without measuring the value they stand for, which for a long outline is
/// most of the cost of the comparison.
constexpr std::size_t alwaysPatchBytes = 4096;

/// Whether `operations`, the patch of `value`'s key, are the shorter way to send it.
bool isPatchShorter(const nlohmann::json& operations, const nlohmann::json& value, const std::string& path) {
    // One operation on the key itself (null to a project, say) holds the whole value and some more.
    if (operations.size() == 1 && operations[0]["path"] == path) {
        return false;
    }
    const std::size_t patchBytes = messageText(operations).size();
    return patchBytes <= alwaysPatchBytes || patchBytes < messageText(value).size();
}

} // namespace

std::optional<nlohmann::json> stateMessage(const nlohmann::json& sent, const nlohmann::json& state) {
    nlohmann::json changes = nlohmann::json::object();
    nlohmann::json patch = nlohmann::json::array();
    for (const auto& [key, value] : state.items()) {
        const auto before = sent.find(key);
        if (before == sent.end()) {
            changes[key] = value;
            continue;
        }
        if (*before == value) {
            continue;
        }
        // The top-level keys are plain names, so "/" + key is their JSON Pointer as it stands.
        const std::string path = "/" + key;
        nlohmann::json operations = nlohmann::json::diff(*before, value, path);
        if (isPatchShorter(operations, value, path)) {
            for (nlohmann::json& operation : operations) {
                patch.push_back(std::move(operation));
            }
        } else {
            changes[key] = value;
        }
    }
    if (changes.empty() && patch.empty()) {
        return std::nullopt;
    }
    nlohmann::json message{{"type", "state"}, {"changes", std::move(changes)}};
    if (!patch.empty()) {
        message["patch"] = std::move(patch);
    }
    return message;
}

std::string messageText(const nlohmann::json& message) {
    return message.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace pelagrin
