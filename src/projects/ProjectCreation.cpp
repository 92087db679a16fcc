// ProjectCreation: the name rules, the clash check and the first write of a project file.
#include "projects/ProjectCreation.hpp"

#include "projects/Project.hpp"
#include "projects/ProjectPersistence.hpp"

#include <system_error>

namespace pelagrin::ProjectCreation {
namespace {

std::string_view trimmed(std::string_view text, std::string_view blanks) {
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

} // namespace

bool isCreatable(std::string_view typedName) {
    return !trimmed(typedName, " \t").empty();
}

std::string trimmedName(std::string_view typedName) {
    return std::string(trimmed(typedName, " \t\n\r\v\f"));
}

std::filesystem::path create(std::string_view typedName, const std::filesystem::path& folder) {
    const std::string name = trimmedName(typedName);
    const std::filesystem::path fileURL = folder / (name + std::string(kFileExtension));

    // A dangling link counts as taken too: writing through it would land somewhere the user did not choose.
    std::error_code ignored;
    if (std::filesystem::symlink_status(fileURL, ignored).type() != std::filesystem::file_type::not_found) {
        throw CreationError("A project with this name already exists in that folder.");
    }
    Project project(name);
    project.directoryURL = fileURL.string();
    try {
        ProjectPersistence::save(project, fileURL);
    } catch (const std::exception& error) {
        throw CreationError(std::string("Failed to create project: ") + error.what());
    }
    return fileURL;
}

} // namespace pelagrin::ProjectCreation
