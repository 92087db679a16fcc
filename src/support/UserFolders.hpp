// UserFolders: where the per-user data and configuration of Pelagrin live.
#pragma once

#include <filesystem>
#include <optional>

namespace pelagrin {

/// "$XDG_DATA_HOME/Pelagrin", or "~/.local/share/Pelagrin" when the variable is unset, empty or relative.
/// The folder is not created.
std::filesystem::path userDataFolder();

/// "$XDG_CONFIG_HOME/Pelagrin", or "~/.config/Pelagrin" under the same rule.
std::filesystem::path userConfigFolder();

/// The user's Documents folder: the folder `xdg-user-dir DOCUMENTS` prints, when that tool exists and prints
/// an existing folder; else "$HOME/Documents" when it exists; else "$HOME". Absent only when HOME is unset
/// or empty.
std::optional<std::filesystem::path> userDocumentsFolder();

} // namespace pelagrin
