// UserFolders: the XDG base directories, with their documented fallbacks.
#include "support/UserFolders.hpp"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace pelagrin {
namespace {

std::filesystem::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return std::filesystem::temp_directory_path();
}

// The XDG rules: a variable that is unset, empty or not absolute is ignored.
std::filesystem::path baseFolder(const char* variable, const char* fallbackUnderHome) {
    if (const char* value = std::getenv(variable); value != nullptr && *value == '/') {
        return value;
    }
    return homeFolder() / fallbackUnderHome;
}

} // namespace

std::filesystem::path userDataFolder() {
    return baseFolder("XDG_DATA_HOME", ".local/share") / "Pelagrin";
}

std::filesystem::path userConfigFolder() {
    return baseFolder("XDG_CONFIG_HOME", ".config") / "Pelagrin";
}

} // namespace pelagrin
