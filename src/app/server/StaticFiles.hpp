// StaticFiles: the files of the built user interface, found by request target and never outside its folder.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace pelagrin {

/// One file to serve.
struct StaticFile {
    std::string bytes;
    /// The Content-Type for its extension; `application/octet-stream` for one not known.
    std::string_view contentType;
    /// A page (`.html`), which must never be cached: it is where the browser learns which scripts to load.
    bool isPage = false;
};

/// Maps request targets to the regular files under one folder. A target is percent-decoded once; `/` and a
/// folder's path ending in `/` mean its `index.html`. Nothing outside the folder is ever served: a `.` or
/// `..` segment (however encoded), an invalid encoding, a NUL, or a symbolic link that leads out of the
/// folder finds nothing, as does a missing file or a folder.
class StaticFiles {
public:
    /// `root` need not exist yet; each lookup resolves it afresh, so a rebuilt user interface is served.
    explicit StaticFiles(std::filesystem::path root) : root_(std::move(root)) {}

    /// The file for `target` (path and optional query, as in the request line), or nothing.
    std::optional<StaticFile> find(std::string_view target) const;

private:
    std::filesystem::path root_;
};

} // namespace pelagrin
