// RecentProjectsManager: the project files the user opened last, newest first, remembered across launches.
#pragma once

#include "simulation/Observable.hpp"

#include <filesystem>
#include <string>
#include <vector>

namespace pelagrin {

/// The recent-projects list and its file. Every failure (no folder, unreadable or malformed file, a failed
/// write) is silent: the list is a convenience, and the in-memory list keeps working. App thread only.
class RecentProjectsManager {
public:
    /// Longest list kept.
    static constexpr std::size_t kCapacity = 8;

    /// The process-wide instance, made on first use, stored in "recent-projects.json" in the user data
    /// folder.
    static RecentProjectsManager& shared();

    /// A list stored at `saveURL`; creates its folder if missing, then loads.
    explicit RecentProjectsManager(std::filesystem::path saveURL);

    /// Project file paths (their bytes), most recently opened first; at most `kCapacity`, no duplicates after
    /// `add`.
    Observable<std::vector<std::string>> recent;
    const std::filesystem::path saveURL;

    /// Replaces `recent` with the stored list minus the entries whose files no longer exist. A missing or
    /// malformed file leaves `recent` as it is. The file is not rewritten.
    void load();

    /// Moves (or puts) `path` at the front, keeps the first `kCapacity`, publishes and writes the list.
    void add(const std::string& path);

    /// Takes `path` out of the list, publishes and writes it; a path not in the list changes nothing but the
    /// write.
    void remove(const std::string& path);

private:
    /// The file holds each path as `PathText`, so a path that is not UTF-8 is kept too.
    void publishAndWrite(std::vector<std::string> list);
};

} // namespace pelagrin
