// RecentProjectsManager: the list's rules and its JSON file.
#include "projects/RecentProjectsManager.hpp"

#include "support/ByteSize.hpp"
#include "support/FileRead.hpp"
#include "support/UserFolders.hpp"

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
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
        std::error_code ignored;
        if (std::filesystem::exists(entry.get<std::string>(), ignored)) {
            kept.push_back(entry.get<std::string>());
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
    recent = list;
    // A plain write: losing this small file costs the user nothing that cannot be rebuilt by opening
    // projects. A path that is not UTF-8 has no JSON form; the in-memory list still holds it.
    try {
        const std::string text = nlohmann::json(list).dump();
        std::ofstream(saveURL, std::ios::binary | std::ios::trunc) << text;
    } catch (const nlohmann::json::exception&) {
    }
}

} // namespace pelagrin
