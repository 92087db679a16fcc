// FileDialog: an in-app dialog that browses the local file system for a folder, a project file, or where to
// save an export.
#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace pelagrin {

class Intent;

/// One modal dialog: the listing of one folder, which the user walks through until confirming or cancelling.
/// Hidden entries (names starting with ".") are never listed. Paths and names travel as `PathText`, so that
/// names that are not UTF-8 stay openable.
class FileDialog {
public:
    /// What the dialog chooses.
    enum class Kind {
        folder,         ///< "Choose Project Location": folders, and files only to be seen (greyed)
        projectFile,    ///< "Open Pelagrin Project": folders to walk into and ".pelagrinproj" files
        csvFile,        ///< "Export CSV": a save dialog; folders to walk into and ".csv" files to replace
        geoJsonFile,    ///< "Export Deposits": a save dialog; folders and ".geojson" files to replace
        netCdfFile,     ///< "Export Heatmap": a save dialog; folders and ".nc" files to replace
        ensembleFolder, ///< "Export Ensemble": a save dialog whose name is a folder to write the results into
    };

    /// The names the save dialogs propose.
    static constexpr const char* proposedCsvName = "SimulationData.csv";
    static constexpr const char* proposedGeoJsonName = "Deposits.geojson";
    static constexpr const char* proposedNetCdfName = "BedHeatmap.nc";
    static constexpr const char* proposedEnsembleName = "Ensemble";

    /// A dialog of `kind` listing `folder`; an unreadable folder shows no entries and the error.
    FileDialog(Kind kind, const std::filesystem::path& folder);

    Kind kind() const { return kind_; }
    /// Whether the dialog names a file to write ("fileDialogSave") rather than choosing an existing item.
    bool savesFile() const { return kind_ != Kind::folder && kind_ != Kind::projectFile; }
    /// The ending of the files a save dialog writes (".csv" …); empty for the dialogs that choose, and for
    /// the ensemble's folder.
    std::string_view saveExtension() const;

    /// Lists `path` instead; throws IntentError for a relative path. An unreadable folder (missing, a file,
    /// no permission) keeps the current listing and sets `error`.
    void navigate(const Intent& intent);

    /// A "fileDialogNewFolder": makes the folder "name" in the listed folder and lists it. A name against the
    /// naming rules, a name already taken or a failure sets `error` instead and changes nothing else.
    void createFolder(const Intent& intent);

    /// The chosen item of a "fileDialogChoose": an existing folder for a folder dialog, an existing
    /// ".pelagrinproj" file for a project dialog. Throws IntentError otherwise.
    std::filesystem::path choice(const Intent& intent) const;

    /// Where a save dialog's "fileDialogSave" writes: its absolute "folder" joined with its "name", a plain
    /// file name ending in the dialog's extension (".csv", ".geojson", ".nc"). Throws IntentError otherwise.
    /// Whether the folder can be written to is found out only by writing.
    std::filesystem::path destination(const Intent& intent) const;

    /// `{"title", "confirm", "choosesFolders", "folder", "parent", "entries", "error"}`, and for a save
    /// dialog also `"fileName"` (the proposed name) and `"fileExtension"`. Paths and entry names as
    /// `PathText`.
    nlohmann::json state() const;

private:
    struct Entry {
        std::string name;
        std::filesystem::path path;
        bool isFolder = false;
    };

    /// Lists `folder`, or keeps the listing and sets `error`.
    void show(const std::filesystem::path& folder);
    /// The entries of `folder`, sorted; throws std::filesystem::filesystem_error.
    std::vector<Entry> list(const std::filesystem::path& folder) const;

    Kind kind_;
    std::filesystem::path folder_;
    std::vector<Entry> entries_;
    std::optional<std::string> error_;
};

} // namespace pelagrin
