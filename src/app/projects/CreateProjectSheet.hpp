// CreateProjectSheet: the sheet in which the user names a new project and picks its folder.
#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace pelagrin {

/// The sheet's own state, fresh each time it is shown: the name "New Simulation", the Documents folder (when
/// there is one) and no message. The message of a failed attempt stays until the next attempt or the end of
/// the sheet.
class CreateProjectSheet {
public:
    explicit CreateProjectSheet(std::optional<std::filesystem::path> documentsFolder);

    std::string projectName = "New Simulation";
    std::optional<std::filesystem::path> selectedFolder;

    /// Whether "Create" is enabled.
    bool canCreate() const;

    /// Writes the project file; its path on success, absent when no folder is chosen or the attempt failed
    /// (then `errorMessage` says why). Only while `canCreate()`.
    std::optional<std::filesystem::path> create();

    /// `{"projectName", "location", "errorMessage", "canCreate"}`; the location as `PathText`.
    nlohmann::json state() const;

private:
    std::optional<std::filesystem::path> documentsFolder_;
    std::optional<std::string> errorMessage_;
};

} // namespace pelagrin
