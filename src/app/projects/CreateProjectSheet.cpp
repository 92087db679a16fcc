// CreateProjectSheet: the sheet's fields around the creation of the file.
#include "app/projects/CreateProjectSheet.hpp"

#include "projects/ProjectCreation.hpp"
#include "support/PathText.hpp"

#include <cassert>

namespace pelagrin {

CreateProjectSheet::CreateProjectSheet(std::optional<std::filesystem::path> documentsFolder)
    : selectedFolder(documentsFolder), documentsFolder_(std::move(documentsFolder)) {}

bool CreateProjectSheet::canCreate() const {
    return ProjectCreation::isCreatable(projectName);
}

std::optional<std::filesystem::path> CreateProjectSheet::create() {
    assert(canCreate());
    if (!selectedFolder) {
        return std::nullopt;
    }
    try {
        return ProjectCreation::create(projectName, *selectedFolder);
    } catch (const ProjectCreation::CreationError& error) {
        errorMessage_ = error.what();
        return std::nullopt;
    }
}

nlohmann::json CreateProjectSheet::state() const {
    const std::optional<std::filesystem::path>& shown = selectedFolder ? selectedFolder : documentsFolder_;
    return {{"projectName", projectName},
            {"location", shown ? PathText::encode(*shown) : "Unknown"},
            {"errorMessage", errorMessage_ ? nlohmann::json(*errorMessage_) : nlohmann::json(nullptr)},
            {"canCreate", canCreate()}};
}

} // namespace pelagrin
