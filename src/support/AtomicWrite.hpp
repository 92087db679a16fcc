// AtomicWrite: replacing a file's content so that a failure leaves the previous content intact.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace pelagrin {

/// Why a file could not be written; the message names the file and the cause.
class FileWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Who may read and write a written file.
enum class FileAccess {
    usual,     ///< as the umask allows (0666 less the umask), as for a saved document
    ownerOnly, ///< mode 0600, from the start: for a secret
};

/// Writes `bytes` to `path` through a temporary file in the same folder that is flushed to disk and then
/// renamed over the target. Readers see either the old or the new content, never a mix, and a failure at any
/// step (unwritable folder, full disk) leaves the old file as it was and no temporary file behind.
/// Temporaries a killed process left in that folder are removed afterwards. Throws `FileWriteError`.
void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         FileAccess access = FileAccess::usual);

/// Creates an empty temporary file beside `path` (same folder, so a rename onto `path` is atomic) and returns
/// its path, for a writer that fills a file piece by piece and renames it over `path` once complete. Named as
/// `writeFileAtomically`'s temporaries are, so `removeStaleTemporaries` clears it should this process be
/// killed first. Throws std::system_error with the system's reason.
std::filesystem::path createTemporaryBeside(const std::filesystem::path& path);

/// Removes from `folder` the temporaries of `writeFileAtomically` whose writing process has ended (killed
/// while writing); those of running processes stay. Silent: an unreadable folder is left as it is.
void removeStaleTemporaries(const std::filesystem::path& folder);

} // namespace pelagrin
