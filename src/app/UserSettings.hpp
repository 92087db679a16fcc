// UserSettings: the per-user preferences that outlive a launch.
#pragma once

#include "app/water/MapArea.hpp"
#include "simulation/Observable.hpp"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace pelagrin {

/// The settings file "settings.json" of the user configuration folder, as observable values. Every
/// assignment rewrites the file atomically. A file that cannot be read as a JSON object is moved aside to
/// "settings.json.bad" (never silently lost) and the defaults apply; a key of the wrong type reads as its
/// default. App thread only.
class UserSettings {
public:
    /// The process-wide settings in the user configuration folder, loaded on first use.
    static UserSettings& shared();

    /// Settings stored at `path`; reads it now.
    explicit UserSettings(std::filesystem::path path);

    /// "autoOpenLastProject": reopen the last project when a window opens.
    Observable<bool> autoOpenLastProject{true};
    /// "lastOpenedProjectURL": the path (its bytes) of the project opened last, absent before the first;
    /// stored as `PathText`, so a valid UTF-8 path is stored as itself.
    Observable<std::optional<std::string>> lastOpenedProjectURL;
    /// "hasSeenOnboarding": the introduction overlay has been shown once.
    Observable<bool> hasSeenOnboarding{false};
    /// "lastMapArea": the region map's view when the user last panned or zoomed it, where the map opens for a
    /// project without an outline or emission point; absent before the first.
    Observable<std::optional<MapArea>> lastMapArea;
    /// "pagePort": the port the app's page was last served on (1 to 65535), tried first at the next launch
    /// so that a bookmark of the page keeps working; absent before the first.
    Observable<std::optional<std::uint16_t>> pagePort;

    const std::filesystem::path& path() const { return path_; }

private:
    void read();
    void write() const;

    std::filesystem::path path_;
    Subscription autoOpenWrites_;
    Subscription lastOpenedWrites_;
    Subscription onboardingWrites_;
    Subscription mapAreaWrites_;
    Subscription pagePortWrites_;
};

} // namespace pelagrin
