// ProjectCreation: the name rules, the clash check and the first write of a project file.
#include "projects/ProjectCreation.hpp"

#include "projects/Project.hpp"
#include "projects/ProjectPersistence.hpp"

#include <algorithm>
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

std::optional<std::string> nameProblem(std::string_view name, std::string_view what) {
    const std::string noun = "A " + std::string(what) + " name ";
    if (name.empty()) {
        return noun + "cannot be empty.";
    }
    if (name.find('/') != std::string_view::npos) {
        return noun + "cannot contain \"/\".";
    }
    if (name.starts_with('.')) {
        return noun + "cannot start with \".\".";
    }
    const auto isControl = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\x7f'; };
    if (std::any_of(name.begin(), name.end(), isControl)) {
        return noun + "cannot contain control characters.";
    }
    return std::nullopt;
}

bool isCreatable(std::string_view typedName) {
    return !trimmed(typedName, " \t").empty();
}

std::string trimmedName(std::string_view typedName) {
    return std::string(trimmed(typedName, " \t\n\r\v\f"));
}

std::filesystem::path create(std::string_view typedName, const std::filesystem::path& folder) {
    const std::string name = trimmedName(typedName);
    if (const std::optional<std::string> problem = nameProblem(name, "project")) {
        throw CreationError(*problem);
    }
    const std::filesystem::path fileURL = folder / (name + std::string(kFileExtension));

    // A dangling link counts as taken too: writing through it would land somewhere the user did not choose.
    // Only something found there is a clash; a name too long or a folder that cannot be searched is its own
    // failure.
    std::error_code failure;
    const auto found = std::filesystem::symlink_status(fileURL, failure).type();
    if (failure && found != std::filesystem::file_type::not_found) {
        throw CreationError("Failed to create project: " + failure.message());
    }
    if (found != std::filesystem::file_type::not_found) {
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
