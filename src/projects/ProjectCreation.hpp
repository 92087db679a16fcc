// ProjectCreation: writing the file of a new, empty project into a chosen folder.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pelagrin::ProjectCreation {

/// The extension of every project file.
inline constexpr std::string_view kFileExtension = ".pelagrinproj";

/// Why no project was created, as the user reads it: "A project with this name already exists in that
/// folder." or "Failed to create project: " followed by the cause.
class CreationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Whether `typedName` is acceptable at all: something is left once spaces and tabs are trimmed off both
/// ends.
bool isCreatable(std::string_view typedName);

/// The project's name: `typedName` without whitespace and line breaks at either end.
std::string trimmedName(std::string_view typedName);

/// Writes a project named `trimmedName(typedName)`, with no region and no parameters, to the file
/// "<name>.pelagrinproj" in `folder`, and returns the file's path. Nothing is written when anything (a file
/// or a folder) already has that path. Throws `CreationError`.
std::filesystem::path create(std::string_view typedName, const std::filesystem::path& folder);

} // namespace pelagrin::ProjectCreation
