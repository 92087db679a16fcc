// RunningInstance: handing files over to the Pelagrin that already runs for this user.
#pragma once

#include <chrono>
#include <filesystem>
#include <vector>

namespace pelagrin {

/// Whether a launch found a Pelagrin to hand its files to.
enum class Handover {
    accepted,   ///< the running instance took the files and opens them
    noInstance, ///< nothing listens at the socket (no socket file, or one left by a launch that ended)
};

/// Whether a Pelagrin listens at `socket`: a connection is made and closed at once, asking for nothing.
bool isInstanceListening(const std::filesystem::path& socket);

/// Sends `files` (absolute paths, at most `maxOpenRequestBytes` as a request) to the instance listening at
/// `socket` and waits for its answer, at most `timeout`. Throws std::runtime_error with a message for the
/// user when an instance listens but refuses the request or does not answer in time.
Handover handToRunningInstance(const std::filesystem::path& socket,
                               const std::vector<std::filesystem::path>& files,
                               std::chrono::milliseconds timeout = std::chrono::seconds(10));

} // namespace pelagrin
