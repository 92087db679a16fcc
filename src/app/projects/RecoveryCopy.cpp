// RecoveryCopy: the copy's place, its atomic write, and the comparison with the project file.
#include "app/projects/RecoveryCopy.hpp"

#include "projects/ProjectPersistence.hpp"
#include "support/AtomicWrite.hpp"
#include "support/UserFolders.hpp"

#include <system_error>

namespace pelagrin::RecoveryCopy {
namespace {

std::filesystem::path copyOf(const std::filesystem::path& location) {
    return std::filesystem::path(location) += ".recovery";
}

} // namespace

std::filesystem::path pathFor(const Project& project) {
    if (const std::optional<std::string>& location = project.directoryURL.get()) {
        return copyOf(*location);
    }
    return userDataFolder() / "Recovery" / (project.id.toString() + ".pelagrinproj.recovery");
}

std::filesystem::path keep(const Project& project) {
    const std::filesystem::path path = pathFor(project);
    std::error_code ignored; // a folder that cannot be made fails the write, which says so
    std::filesystem::create_directories(path.parent_path(), ignored);
    writeFileAtomically(path, ProjectPersistence::encode(ProjectPersistence::makeFile(project)));
    return path;
}

std::optional<std::filesystem::path> newerCopy(const std::filesystem::path& location) {
    const std::filesystem::path copy = copyOf(location);
    std::error_code error;
    const auto copyTime = std::filesystem::last_write_time(copy, error);
    if (error) {
        return std::nullopt;
    }
    const auto fileTime = std::filesystem::last_write_time(location, error);
    return !error && copyTime >= fileTime ? std::optional(copy) : std::nullopt;
}

std::shared_ptr<Project> read(const std::filesystem::path& location) {
    const std::shared_ptr<Project> project = ProjectPersistence::load(copyOf(location));
    project->directoryURL = location.string();
    return project;
}

void discard(const std::filesystem::path& location) {
    std::error_code ignored;
    std::filesystem::remove(copyOf(location), ignored);
}

} // namespace pelagrin::RecoveryCopy
