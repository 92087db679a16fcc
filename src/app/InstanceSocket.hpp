// InstanceSocket: where a running Pelagrin hears of the files that later launches hand it, and how they say
// it.
#pragma once

#include "support/ByteSize.hpp"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pelagrin {

/// The longest request a launch may send, newline included; a longer one is refused unread.
inline constexpr std::size_t maxOpenRequestBytes = mebibyte;

/// "$XDG_RUNTIME_DIR/pelagrin.socket" when that variable names an absolute folder; else "pelagrin.socket" in
/// "/tmp/pelagrin-UID", which is created with mode 0700. Throws std::runtime_error, naming the folder, when
/// that folder cannot be made or is not this user's own, closed to everyone else (a folder that someone else
/// made there first).
std::filesystem::path instanceSocketPath();

/// One request as sent: a line of JSON, `{"open": [PATH, ...]}`, each path absolute and written as PathText
/// does. No file asks for one new window.
std::string encodeOpenRequest(const std::vector<std::filesystem::path>& files);

/// The files of one request line (its newline removed). Throws std::invalid_argument saying what is wrong:
/// not JSON, no "open" list, an entry that is not an absolute path.
std::vector<std::filesystem::path> decodeOpenRequest(std::string_view line);

} // namespace pelagrin
