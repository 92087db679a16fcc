// FileRead: a whole file's bytes, with an error that says why they could not be had.
#pragma once

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace pelagrin {

/// Why a file could not be read; the message names the file and the cause ("No such file or directory").
class FileReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The whole content of the regular file at `path`, at most `maxBytes` long. Never waits for a writer:
/// throws `FileReadError` for a missing or unreadable file, for anything that is not a regular file (a
/// folder, a FIFO, a device such as /dev/zero: "cannot read /dev/zero: it is not a regular file") and for a
/// file longer than `maxBytes`, even one that grows while it is read ("cannot read a.json: it is larger than
/// 256 MiB").
std::string readWholeFile(const std::filesystem::path& path, std::size_t maxBytes);

} // namespace pelagrin
