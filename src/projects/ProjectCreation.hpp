// ProjectCreation: writing the file of a new, empty project into a chosen folder.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pelagrin::ProjectCreation {

/// The extension of every project file.
inline constexpr std::string_view kFileExtension = ".pelagrinproj";

/// Why no project was created, as the user reads it: the name's problem (`nameProblem`), "A project with this
/// name already exists in that folder." or "Failed to create project: " followed by the cause.
class CreationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Whether `typedName` is acceptable at all: something is left once spaces and tabs are trimmed off both
/// ends.
bool isCreatable(std::string_view typedName);

/// Why `name` cannot name a file of its own in a folder, or absent when it can: a "/" would put it elsewhere,
/// a leading "." (also "." and "..") would hide it or name a folder, control characters would make it
/// unreadable. `what` is the noun of the message ("project" gives "A project name cannot contain \"/\".").
std::optional<std::string> nameProblem(std::string_view name, std::string_view what);

/// The project's name: `typedName` without whitespace and line breaks at either end.
std::string trimmedName(std::string_view typedName);

/// Writes a project named `trimmedName(typedName)`, with no region and no parameters, to the file
/// "<name>.pelagrinproj" in `folder`, and returns the file's path. Nothing is written when the name has a
/// `nameProblem` or anything (a file or a folder) already has that path. Throws `CreationError`.
std::filesystem::path create(std::string_view typedName, const std::filesystem::path& folder);

} // namespace pelagrin::ProjectCreation
