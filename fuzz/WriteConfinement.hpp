// WriteConfinement: keeps a process from changing any file outside the folders it names (Linux Landlock).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace pelagrin::fuzz {

/// From now on this thread, and every thread it starts later, may create, change, rename or remove files only
/// beneath `folders`; reading stays free. Cannot be undone. Returns an empty string on success, else why the
/// kernel could not confine the writes (no Landlock, or a folder it cannot open).
std::string confineWritesTo(const std::vector<std::filesystem::path>& folders);

} // namespace pelagrin::fuzz
