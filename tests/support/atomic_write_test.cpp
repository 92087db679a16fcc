#include "support/AtomicWrite.hpp"
#include "tests/support/TemporaryFolder.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace pelagrin {
namespace {

using pelagrin::test::readFile;
using pelagrin::test::TemporaryFolder;

std::size_t entriesIn(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(AtomicWrite, ReplacesTheContentAndLeavesNoTemporaryFile) {
    const TemporaryFolder folder;
    const auto path = folder / "a.txt";
    writeFileAtomically(path, "first, and longer");
    writeFileAtomically(path, "second");
    EXPECT_EQ(readFile(path), "second");
    EXPECT_EQ(entriesIn(folder.path()), 1u);
}

// A process id that no running process has: a child that has ended and been reaped.
pid_t endedProcess() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST(AtomicWrite, AWriteClearsTheTemporariesOfEndedWritersBesideItAndKeepsThoseOfRunningOnes) {
    const TemporaryFolder folder;
    const auto stale = folder / (".pelagrin-tmp-" + std::to_string(endedProcess()) + "-a.txt.Ab3dEf");
    const auto running = folder / (".pelagrin-tmp-" + std::to_string(::getppid()) + "-b.txt.Ab3dEf");
    const auto unrelated = folder / ".pelagrin-tmp-notes";
    for (const auto& path : {stale, running, unrelated}) {
        std::ofstream(path) << "partial";
    }
    writeFileAtomically(folder / "a.txt", "whole");
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(running));
    EXPECT_TRUE(std::filesystem::exists(unrelated));
    EXPECT_EQ(readFile(folder / "a.txt"), "whole");
    EXPECT_EQ(entriesIn(folder.path()), 3u);
}

TEST(AtomicWrite, FailureNamesTheFileAndChangesNothing) {
    const TemporaryFolder folder;
    const auto path = folder / "missing" / "a.txt";
    try {
        writeFileAtomically(path, "x");
        FAIL() << "wrote into a folder that does not exist";
    } catch (const FileWriteError& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr(path.string()));
    }
    // A folder where the file should be: the rename fails, the folder stays, no temporary is left.
    std::filesystem::create_directory(folder / "taken");
    EXPECT_THROW(writeFileAtomically(folder / "taken", "x"), FileWriteError);
    EXPECT_TRUE(std::filesystem::is_directory(folder / "taken"));
    EXPECT_EQ(entriesIn(folder.path()), 1u);
}

} // namespace
} // namespace pelagrin
