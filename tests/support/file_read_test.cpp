// Tests of whole-file reads: what is read, and the bounded, non-blocking refusals.
#include "support/ByteSize.hpp"
#include "support/FileRead.hpp"
#include "tests/support/TemporaryFolder.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace pelagrin::test {
namespace {

constexpr std::size_t bound = mebibyte;

TEST(FileRead, ReadsARegularFileUpToItsBoundAndRefusesEverythingElseLeavingItAlone) {
    const TemporaryFolder folder;
    const std::string atBound(bound, 'x');
    writeFile(folder / "at-bound.json", atBound);
    writeFile(folder / "past-bound.json", atBound + "y");
    std::filesystem::create_directory(folder / "folder");
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);

    EXPECT_EQ(readWholeFile(folder / "at-bound.json", bound), atBound);
    EXPECT_EQ(readWholeFile(folder / "at-bound.json", 10 * bound), atBound);

    // A FIFO nobody writes and a device that never ends are refused at once rather than read.
    const std::vector<std::pair<std::filesystem::path, std::string>> refused = {
        {folder / "missing.json", "No such file or directory"},
        {folder / "folder", "it is not a regular file"},
        {folder / "fifo", "it is not a regular file"},
        {"/dev/zero", "it is not a regular file"},
        {folder / "past-bound.json", "it is larger than 1 MiB"},
    };
    for (const auto& [path, cause] : refused) {
        try {
            readWholeFile(path, bound);
            ADD_FAILURE() << "read " << path;
        } catch (const FileReadError& error) {
            EXPECT_EQ(std::string(error.what()), "cannot read " + path.string() + ": " + cause);
        }
    }
    EXPECT_EQ(readFile(folder / "past-bound.json"), atBound + "y");
    EXPECT_TRUE(std::filesystem::is_fifo(folder / "fifo"));
}

} // namespace
} // namespace pelagrin::test
