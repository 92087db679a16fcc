// UserFolders: where the per-user data and configuration of Pelagrin live.
#pragma once

#include <filesystem>

namespace pelagrin {

/// "$XDG_DATA_HOME/Pelagrin", or "~/.local/share/Pelagrin" when the variable is unset, empty or relative.
/// The folder is not created.
std::filesystem::path userDataFolder();

/// "$XDG_CONFIG_HOME/Pelagrin", or "~/.config/Pelagrin" under the same rule.
std::filesystem::path userConfigFolder();

} // namespace pelagrin
