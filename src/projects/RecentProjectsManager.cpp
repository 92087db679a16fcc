// RecentProjectsManager: the list's rules and its JSON file.
#include "projects/RecentProjectsManager.hpp"

#include "support/AtomicWrite.hpp"
#include "support/ByteSize.hpp"
#include "support/FileRead.hpp"
#include "support/PathText.hpp"
#include "support/UserFolders.hpp"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <system_error>

namespace pelagrin {

namespace {

// The list holds a handful of paths; anything near this bound is not a list this app wrote.
constexpr std::size_t maxListBytes = mebibyte;

} // namespace

RecentProjectsManager& RecentProjectsManager::shared() {
    static RecentProjectsManager instance(userDataFolder() / "recent-projects.json");
    return instance;
}

RecentProjectsManager::RecentProjectsManager(std::filesystem::path path) : saveURL(std::move(path)) {
    std::error_code ignored;
    std::filesystem::create_directories(saveURL.parent_path(), ignored);
    load();
}

void RecentProjectsManager::load() {
    std::string text;
    try {
        text = readWholeFile(saveURL, maxListBytes);
    } catch (const FileReadError&) {
        return;
    }
    const nlohmann::json stored = nlohmann::json::parse(text, nullptr, false);
    if (!stored.is_array() ||
        !std::all_of(stored.begin(), stored.end(), [](const nlohmann::json& e) { return e.is_string(); })) {
        return;
    }
    std::vector<std::string> kept;
    for (const nlohmann::json& entry : stored) {
        try {
            const std::filesystem::path path = PathText::decode(entry.get<std::string>());
            std::error_code ignored;
            if (std::filesystem::exists(path, ignored)) {
                kept.push_back(path.native());
            }
        } catch (const std::invalid_argument&) {
            // an entry spoilt by hand: dropped like a vanished file
        }
    }
    recent = std::move(kept);
}

void RecentProjectsManager::add(const std::string& path) {
    std::vector<std::string> list = recent;
    std::erase(list, path);
    list.insert(list.begin(), path);
    if (list.size() > kCapacity) {
        list.resize(kCapacity);
    }
    publishAndWrite(std::move(list));
}

void RecentProjectsManager::remove(const std::string& path) {
    std::vector<std::string> list = recent;
    std::erase(list, path);
    publishAndWrite(std::move(list));
}

void RecentProjectsManager::publishAndWrite(std::vector<std::string> list) {
    nlohmann::json stored = nlohmann::json::array();
    for (const std::string& path : list) {
        stored.push_back(PathText::encode(path));
    }
    recent = std::move(list);
    try {
        writeFileAtomically(saveURL, stored.dump());
    } catch (const FileWriteError&) {
        // Losing this small file costs the user nothing that opening projects does not rebuild.
    }
}

} // namespace pelagrin
