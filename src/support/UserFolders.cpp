// UserFolders: the XDG base directories, with their documented fallbacks.
#include "support/UserFolders.hpp"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <pwd.h>
#include <string>
#include <system_error>
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

bool isFolder(const std::filesystem::path& path) {
    std::error_code ignored;
    return std::filesystem::is_directory(path, ignored);
}

// The first line `xdg-user-dir DOCUMENTS` prints; empty when the tool is missing or fails.
std::string xdgDocumentsFolder() {
    const std::unique_ptr<FILE, int (*)(FILE*)> output(::popen("xdg-user-dir DOCUMENTS 2>/dev/null", "r"),
                                                       ::pclose);
    if (!output) {
        return {};
    }
    std::string text;
    std::array<char, 512> chunk{};
    while (std::fgets(chunk.data(), chunk.size(), output.get()) != nullptr) {
        text += chunk.data();
    }
    return text.substr(0, text.find('\n'));
}

bool isSameFolder(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    return !b.empty() && std::filesystem::equivalent(a, b, error);
}

} // namespace

std::optional<std::filesystem::path> userDocumentsFolder() {
    const char* home = std::getenv("HOME");
    const std::filesystem::path homeFolder = home != nullptr ? home : "";
    // Without a configured Documents folder xdg-user-dir answers the home folder itself; a ~/Documents that
    // exists is then the better guess.
    if (const std::filesystem::path reported = xdgDocumentsFolder();
        reported.is_absolute() && isFolder(reported) && !isSameFolder(reported, homeFolder)) {
        return reported;
    }
    if (homeFolder.empty()) {
        return std::nullopt;
    }
    if (std::filesystem::path documents = homeFolder / "Documents"; isFolder(documents)) {
        return documents;
    }
    return homeFolder;
}

std::filesystem::path userDataFolder() {
    return baseFolder("XDG_DATA_HOME", ".local/share") / "Pelagrin";
}

std::filesystem::path userConfigFolder() {
    return baseFolder("XDG_CONFIG_HOME", ".config") / "Pelagrin";
}

} // namespace pelagrin
