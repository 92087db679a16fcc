// WriteConfinement: a Landlock ruleset that handles every kind of write and allows them beneath a few
// folders.
#include "fuzz/WriteConfinement.hpp"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <linux/landlock.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

// Older kernel headers lack the right of Landlock version 3; its value is part of the kernel's stable ABI.
#ifndef LANDLOCK_ACCESS_FS_TRUNCATE
#define LANDLOCK_ACCESS_FS_TRUNCATE (1ULL << 14)
#endif

namespace pelagrin::fuzz {

namespace {

// Every right that changes the file system, by the Landlock version that introduced it.
std::uint64_t writeRights(long version) {
    std::uint64_t rights = LANDLOCK_ACCESS_FS_WRITE_FILE | LANDLOCK_ACCESS_FS_REMOVE_DIR |
                           LANDLOCK_ACCESS_FS_REMOVE_FILE | LANDLOCK_ACCESS_FS_MAKE_CHAR |
                           LANDLOCK_ACCESS_FS_MAKE_DIR | LANDLOCK_ACCESS_FS_MAKE_REG |
                           LANDLOCK_ACCESS_FS_MAKE_SOCK | LANDLOCK_ACCESS_FS_MAKE_FIFO |
                           LANDLOCK_ACCESS_FS_MAKE_BLOCK | LANDLOCK_ACCESS_FS_MAKE_SYM;
    if (version >= 2) {
        rights |= LANDLOCK_ACCESS_FS_REFER;
    }
    if (version >= 3) {
        rights |= LANDLOCK_ACCESS_FS_TRUNCATE;
    }
    return rights;
}

std::string failure(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

} // namespace

std::string confineWritesTo(const std::vector<std::filesystem::path>& folders) {
    const long version = ::syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    if (version < 1) {
        return failure("this kernel offers no Landlock");
    }
    const std::uint64_t rights = writeRights(version);
    landlock_ruleset_attr attributes{};
    attributes.handled_access_fs = rights;
    const int ruleset =
        static_cast<int>(::syscall(SYS_landlock_create_ruleset, &attributes, sizeof attributes, 0));
    if (ruleset < 0) {
        return failure("cannot create a Landlock ruleset");
    }
    std::string problem;
    for (const std::filesystem::path& folder : folders) {
        const int fd = ::open(folder.c_str(), O_PATH | O_CLOEXEC);
        if (fd < 0) {
            problem = failure("cannot open " + folder.string());
            break;
        }
        landlock_path_beneath_attr beneath{};
        beneath.allowed_access = rights;
        beneath.parent_fd = fd;
        const long added = ::syscall(SYS_landlock_add_rule, ruleset, LANDLOCK_RULE_PATH_BENEATH, &beneath, 0);
        ::close(fd);
        if (added != 0) {
            problem = failure("cannot allow writes beneath " + folder.string());
            break;
        }
    }
    // An unprivileged process may confine itself only once it can gain no privileges.
    if (problem.empty() && ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) {
        problem = failure("cannot give up new privileges");
    }
    if (problem.empty() && ::syscall(SYS_landlock_restrict_self, ruleset, 0) != 0) {
        problem = failure("cannot confine writes");
    }
    ::close(ruleset);
    return problem;
}

} // namespace pelagrin::fuzz
