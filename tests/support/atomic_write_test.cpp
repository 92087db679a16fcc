#include "support/AtomicWrite.hpp"
#include "tests/support/TemporaryFolder.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

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
