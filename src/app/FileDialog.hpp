// FileDialog: an in-app dialog that browses the local file system for a folder or a project file.
#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace pelagrin {

class Intent;

/// One modal dialog: the listing of one folder, which the user walks through until confirming or cancelling.
/// Hidden entries (names starting with ".") are never listed.
class FileDialog {
public:
    /// What the dialog chooses.
    enum class Kind {
        folder,      ///< "Choose Project Location": folders only
        projectFile, ///< "Open Pelagrin Project": folders to walk into and ".pelagrinproj" files
    };

    /// A dialog of `kind` listing `folder`; an unreadable folder shows no entries and the error.
    FileDialog(Kind kind, const std::filesystem::path& folder);

    Kind kind() const { return kind_; }

    /// Lists `path` instead; throws IntentError for a relative path. An unreadable folder (missing, a file,
    /// no permission) keeps the current listing and sets `error`.
    void navigate(const Intent& intent);

    /// The chosen item of a "fileDialogChoose": an existing folder for a folder dialog, an existing
    /// ".pelagrinproj" file for a project dialog. Throws IntentError otherwise.
    std::filesystem::path choice(const Intent& intent) const;

    /// `{"title", "confirm", "choosesFolders", "folder", "parent", "entries", "error"}`.
    nlohmann::json state() const;

private:
    struct Entry {
        std::string name;
        std::filesystem::path path;
        bool isFolder = false;
    };

    /// The entries of `folder`, sorted; throws std::filesystem::filesystem_error.
    std::vector<Entry> list(const std::filesystem::path& folder) const;

    Kind kind_;
    std::filesystem::path folder_;
    std::vector<Entry> entries_;
    std::optional<std::string> error_;
};

} // namespace pelagrin
