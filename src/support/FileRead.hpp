// FileRead: a whole file's bytes, with an error that says why they could not be had.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace pelagrin {

/// Why a file could not be read; the message names the file and the cause ("No such file or directory").
class FileReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The whole content of the file at `path`. Throws `FileReadError` for a missing or unreadable file or a
/// folder.
std::string readWholeFile(const std::filesystem::path& path);

} // namespace pelagrin
