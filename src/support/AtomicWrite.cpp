// AtomicWrite: temporary file, fsync, rename.
#include "support/AtomicWrite.hpp"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace pelagrin {
namespace {

// Every temporary is ".pelagrin-tmp-PID-NAME.XXXXXX": the leading dot keeps it out of file dialogs, and the
// writer's process id tells a later launch whether anyone may still be writing it.
constexpr std::string_view temporaryPrefix = ".pelagrin-tmp-";

// The process id a temporary's name carries, or 0 when the name is no temporary of ours.
pid_t writerOf(std::string_view name) {
    if (!name.starts_with(temporaryPrefix)) {
        return 0;
    }
    name.remove_prefix(temporaryPrefix.size());
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
    return error == std::errc() && end != name.data() + name.size() && *end == '-' ? pid : 0;
}

bool isAlive(pid_t pid) {
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

[[noreturn]] void fail(const std::filesystem::path& path, int error) {
    throw FileWriteError("cannot write " + path.string() + ": " + std::strerror(error));
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The rename itself lives in the folder's entry table; without this a power cut may undo it.
void syncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Creates the temporary of a write of `path` and opens it with `access`; `temporary` receives its path.
// Throws std::system_error.
int openTemporary(const std::filesystem::path& path, FileAccess access, std::string& temporary) {
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    // Same folder as the target: rename is atomic only within one file system.
    // Appended piece by piece: g++ 12 at -O3 mistakes `"." + string` for an overlapping copy (-Wrestrict).
    std::string name(temporaryPrefix);
    name += std::to_string(::getpid());
    name += '-';
    name += path.filename().string();
    name += ".XXXXXX";
    temporary = (folder / name).string();
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        throw std::system_error(errno, std::generic_category());
    }
    // mkostemp creates the file as 0600, right for a secret; a saved document gets the usual permissions.
    if (access == FileAccess::usual) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    return fd;
}

} // namespace

std::filesystem::path createTemporaryBeside(const std::filesystem::path& path) {
    std::string temporary;
    ::close(openTemporary(path, FileAccess::usual, temporary));
    return temporary;
}

void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes, FileAccess access) {
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    std::string temporary;
    int fd = -1;
    try {
        fd = openTemporary(path, access, temporary);
    } catch (const std::system_error& error) {
        fail(path, error.code().value());
    }

    if (!writeAll(fd, bytes) || ::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        fail(path, error);
    }
    if (::close(fd) != 0 || ::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        fail(path, error);
    }
    syncFolder(folder);
    removeStaleTemporaries(folder);
}

void removeStaleTemporaries(const std::filesystem::path& folder) {
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const pid_t writer = writerOf(entry->path().filename().native());
        if (writer > 0 && writer != ::getpid() && !isAlive(writer)) {
            std::error_code ignored; // another launch may be removing it at the same moment
            std::filesystem::remove(entry->path(), ignored);
        }
    }
}

} // namespace pelagrin
