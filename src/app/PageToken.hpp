// PageToken: the secret in the page's address, kept per user so that the address outlives a launch.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

namespace pelagrin {

/// The token kept in `file` when it holds one: a regular file of this user's that no one else may read or
/// write (mode 0600 or narrower) and that holds 32 lower-case hexadecimal digits, with or without a newline.
/// Otherwise (missing, more open, malformed), and always when `renew` is true, a fresh
/// `LocalServer::randomToken()` replaces it, written atomically with mode 0600 (the folder is made when
/// missing); a file replaced for a fault is told to `diagnostics` with the fault. Throws FileWriteError when
/// the file cannot be written.
std::string keptPageToken(const std::filesystem::path& file, bool renew, std::ostream& diagnostics);

} // namespace pelagrin
