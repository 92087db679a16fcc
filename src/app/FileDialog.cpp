// FileDialog: listing, sorting and checking the user's choice or the file to save.
#include "app/FileDialog.hpp"

#include "app/Intent.hpp"
#include "projects/ProjectCreation.hpp"
#include "support/PathText.hpp"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <system_error>
#include <utility>

namespace pelagrin {
namespace {

bool isProjectFile(const std::filesystem::path& path) {
    return path.extension() == ProjectCreation::kFileExtension;
}

// Case-insensitive, as people read a listing; the exact spelling breaks ties so the order is total.
bool comesBefore(const std::string& a, const std::string& b) {
    const auto folded = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return text;
    };
    const std::string foldedA = folded(a);
    const std::string foldedB = folded(b);
    return foldedA != foldedB ? foldedA < foldedB : a < b;
}

std::filesystem::path absolutePath(const Intent& intent, const char* key = "path") {
    const std::filesystem::path path = intent.path(key);
    if (!path.is_absolute()) {
        throw intent.error("\"" + std::string(key) + "\" must be an absolute path");
    }
    // "/a/b/" names the folder "/a/b"; without the trailing separator its parent is what the user expects.
    const std::filesystem::path normal = path.lexically_normal();
    return normal.has_filename() || normal == normal.root_path() ? normal : normal.parent_path();
}

} // namespace

std::string_view FileDialog::saveExtension() const {
    switch (kind_) {
    case Kind::csvFile:
        return ".csv";
    case Kind::geoJsonFile:
        return ".geojson";
    case Kind::netCdfFile:
        return ".nc";
    case Kind::folder:
    case Kind::projectFile:
    case Kind::ensembleFolder:
        break;
    }
    return {};
}

FileDialog::FileDialog(Kind kind, const std::filesystem::path& folder) : kind_(kind), folder_(folder) {
    try {
        entries_ = list(folder_);
    } catch (const std::filesystem::filesystem_error& failure) {
        error_ = failure.code().message() + ": " + folder_.string();
    }
}

std::vector<FileDialog::Entry> FileDialog::list(const std::filesystem::path& folder) const {
    std::vector<Entry> entries;
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        std::string name = item.path().filename().string();
        if (name.starts_with('.')) {
            continue;
        }
        std::error_code unreadable; // an entry that cannot be examined is simply left out
        const bool isFolder = item.is_directory(unreadable);
        // A folder dialog shows files too, greyed, so that a folder of files does not look empty.
        const bool isListedFile = kind_ == Kind::folder ||
                                  (kind_ == Kind::projectFile && isProjectFile(item.path())) ||
                                  (savesFile() && item.path().extension() == saveExtension());
        const bool listed = isFolder || (isListedFile && item.is_regular_file(unreadable));
        if (listed) {
            entries.push_back({std::move(name), item.path(), isFolder});
        }
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.isFolder != b.isFolder ? a.isFolder : comesBefore(a.name, b.name);
    });
    return entries;
}

void FileDialog::navigate(const Intent& intent) {
    show(absolutePath(intent));
}

void FileDialog::show(const std::filesystem::path& folder) {
    try {
        entries_ = list(folder);
        folder_ = folder;
        error_.reset();
    } catch (const std::filesystem::filesystem_error& failure) {
        error_ = failure.code().message() + ": " + folder.string();
    }
}

void FileDialog::createFolder(const Intent& intent) {
    const std::string name = intent.string("name");
    if (const std::optional<std::string> problem = ProjectCreation::nameProblem(name, "folder")) {
        error_ = *problem;
        return;
    }
    const std::filesystem::path folder = folder_ / name;
    std::error_code failure;
    if (!std::filesystem::create_directory(folder, failure)) {
        // An existing folder is no error to the library, an existing file is: to the user both are taken.
        error_ = failure && failure != std::errc::file_exists
                     ? "Could not create the folder: " + failure.message()
                     : "A file or folder with this name already exists here.";
        return;
    }
    show(folder);
}

std::filesystem::path FileDialog::choice(const Intent& intent) const {
    const std::filesystem::path path = absolutePath(intent);
    std::error_code ignored;
    if (kind_ == Kind::folder) {
        if (!std::filesystem::is_directory(path, ignored)) {
            throw intent.error("not a folder: " + path.string());
        }
    } else if (!isProjectFile(path) || !std::filesystem::is_regular_file(path, ignored)) {
        throw intent.error("not a project file: " + path.string());
    }
    return path;
}

std::filesystem::path FileDialog::destination(const Intent& intent) const {
    const std::filesystem::path folder = absolutePath(intent, "folder");
    const std::string name = intent.path("name").native();
    // A name, not a path: a separator would write elsewhere, and ".csv" alone would be a hidden file.
    const std::string_view extension = saveExtension();
    const bool isPlainName =
        name.size() > extension.size() && name.find('/') == std::string::npos && name != "." && name != "..";
    if (!isPlainName || !name.ends_with(extension)) {
        throw intent.error(extension.empty()
                               ? std::string("\"name\" must be a folder name")
                               : "\"name\" must be a file name ending in " + std::string(extension));
    }
    return folder / name;
}

nlohmann::json FileDialog::state() const {
    nlohmann::json entries = nlohmann::json::array();
    for (const Entry& entry : entries_) {
        entries.push_back({{"name", PathText::encode(entry.name)},
                           {"path", PathText::encode(entry.path)},
                           {"isFolder", entry.isFolder}});
    }
    const bool choosesFolders = kind_ == Kind::folder;
    const std::filesystem::path parent = folder_.parent_path();
    const auto [title, confirm] = [&]() -> std::pair<const char*, const char*> {
        switch (kind_) {
        case Kind::folder:
            return {"Choose Project Location", "Choose"};
        case Kind::projectFile:
            return {"Open Pelagrin Project", "Open"};
        case Kind::geoJsonFile:
            return {"Export Deposits", "Save"};
        case Kind::netCdfFile:
            return {"Export Heatmap", "Save"};
        case Kind::ensembleFolder:
            return {"Export Ensemble", "Save"};
        case Kind::csvFile:
            break;
        }
        return {"Export CSV", "Save"};
    }();
    nlohmann::json state = {
        {"title", title},
        {"confirm", confirm},
        {"choosesFolders", choosesFolders},
        {"folder", PathText::encode(folder_)},
        {"parent", parent == folder_ ? nlohmann::json(nullptr) : nlohmann::json(PathText::encode(parent))},
        {"entries", std::move(entries)},
        {"error", error_ ? nlohmann::json(*error_) : nlohmann::json(nullptr)}};
    if (savesFile()) {
        state["fileName"] = kind_ == Kind::csvFile       ? proposedCsvName
                            : kind_ == Kind::geoJsonFile ? proposedGeoJsonName
                            : kind_ == Kind::netCdfFile  ? proposedNetCdfName
                                                         : proposedEnsembleName;
        state["fileExtension"] = saveExtension();
    }
    return state;
}

} // namespace pelagrin
