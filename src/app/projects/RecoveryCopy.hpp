// RecoveryCopy: the unsaved changes of a project kept beside its file when its window goes without saving.
#pragma once

#include "projects/Project.hpp"

#include <filesystem>
#include <memory>
#include <optional>

namespace pelagrin::RecoveryCopy {

/// Where the copy of `project` goes: "<file>.recovery" beside its project file
/// ("Lake.pelagrinproj.recovery"), or, for a project not yet saved anywhere,
/// "Recovery/<id>.pelagrinproj.recovery" in the app's data folder.
std::filesystem::path pathFor(const Project& project);

/// Writes `project` to `pathFor(project)` as a project file, atomically, making the folder when missing;
/// returns the path. Throws `FileWriteError`, or `std::domain_error` for a number that is not finite.
std::filesystem::path keep(const Project& project);

/// The copy of the project file at `location` when there is one written no earlier than the file (a save
/// deletes the copy, so a copy as new as the file holds edits made after it).
std::optional<std::filesystem::path> newerCopy(const std::filesystem::path& location);

/// The project the copy of the file at `location` holds, as the project of that file (its `directoryURL` is
/// `location`). Throws `ProjectPersistence::LoadError`.
std::shared_ptr<Project> read(const std::filesystem::path& location);

/// Deletes the copy of the file at `location`, if any. A copy that cannot be deleted stays older than the
/// file the save just wrote, and is not offered again.
void discard(const std::filesystem::path& location);

} // namespace pelagrin::RecoveryCopy
