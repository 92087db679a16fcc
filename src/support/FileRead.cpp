// FileRead: POSIX reads, so that the cause of a failure is known.
#include "support/FileRead.hpp"

#include "support/ByteSize.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelagrin {

namespace {

// Closes the descriptor on every way out of the read.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { ::close(fd_); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

std::string readWholeFile(const std::filesystem::path& path, std::size_t maxBytes) {
    const auto fail = [&](const std::string& cause) {
        return FileReadError("cannot read " + path.string() + ": " + cause);
    };
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        throw fail(std::strerror(errno));
    }
    const FileDescriptor file(fd);
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        throw fail(std::strerror(errno));
    }
    if (!S_ISREG(status.st_mode)) {
        throw fail("it is not a regular file");
    }

    // Reads until the end, one byte past the bound at most, so that a file growing meanwhile is caught too.
    std::string bytes;
    bytes.reserve(std::min(static_cast<std::size_t>(status.st_size), maxBytes));
    char buffer[1 << 16];
    for (;;) {
        const std::size_t wanted = std::min(sizeof buffer, maxBytes - bytes.size() + 1);
        const ssize_t got = ::read(fd, buffer, wanted);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throw fail(std::strerror(errno));
        }
        if (got == 0) {
            return bytes;
        }
        if (static_cast<std::size_t>(got) > maxBytes - bytes.size()) {
            throw fail("it is larger than " + describeByteSize(maxBytes));
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

} // namespace pelagrin
