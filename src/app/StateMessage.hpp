// StateMessage: the "state" message that brings a page from the state it was sent to the window's state now.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace pelagrin {

/// The message of docs/protocol.md, "Server → browser", that turns `sent` (the state the page holds, by
/// top-level key; empty before the first message) into `state`: a key the page lacks goes whole in
/// `changes`; a key that differs goes as JSON Patch operations in `patch`, unless those would be longer
/// than its value, which then goes whole. Nothing when no key differs.
std::optional<nlohmann::json> stateMessage(const nlohmann::json& sent, const nlohmann::json& state);

/// `message` as the text of a WebSocket frame; text that is not valid UTF-8 (a folder name read from a
/// file system that allows any bytes) is sent with U+FFFD in place of each bad sequence.
std::string messageText(const nlohmann::json& message);

} // namespace pelagrin
