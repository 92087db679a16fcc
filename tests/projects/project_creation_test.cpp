#include "projects/ProjectCreation.hpp"
#include "projects/ProjectPersistence.hpp"
#include "tests/support/TemporaryFolder.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace pelagrin {
namespace {

using pelagrin::test::readFile;
using pelagrin::test::TemporaryFolder;
using ::testing::StartsWith;

TEST(ProjectCreation, TrimsTheNameAndWritesOnlyNameAndCreated) {
    const TemporaryFolder folder;
    const auto path = ProjectCreation::create("  Lake Study  ", folder.path());
    EXPECT_EQ(path, folder / "Lake Study.pelagrinproj");
    const nlohmann::json written = nlohmann::json::parse(readFile(path));
    EXPECT_EQ(written.size(), 2U) << written.dump();
    EXPECT_EQ(written.at("name"), "Lake Study");
    EXPECT_TRUE(written.at("created").is_number());
    EXPECT_EQ(ProjectPersistence::load(path)->name.get(), "Lake Study");

    // The button needs a non-blank name; the name itself loses every kind of surrounding whitespace.
    EXPECT_FALSE(ProjectCreation::isCreatable(" \t  "));
    EXPECT_TRUE(ProjectCreation::isCreatable("  a "));
    EXPECT_EQ(ProjectCreation::trimmedName("\n\t Lake  Study \r\n"), "Lake  Study");
}

TEST(ProjectCreation, AnExistingFileOrFolderOfThatNameBlocksItAndIsLeftAlone) {
    const TemporaryFolder folder;
    const auto first = ProjectCreation::create("Lake Study", folder.path());
    const std::string before = readFile(first);
    try {
        ProjectCreation::create("Lake Study", folder.path());
        FAIL() << "a second project of the same name was created";
    } catch (const ProjectCreation::CreationError& error) {
        EXPECT_STREQ(error.what(), "A project with this name already exists in that folder.");
    }
    EXPECT_EQ(readFile(first), before);

    std::filesystem::create_directory(folder / "Pond.pelagrinproj");
    EXPECT_THROW(ProjectCreation::create(" Pond", folder.path()), ProjectCreation::CreationError);
    EXPECT_TRUE(std::filesystem::is_empty(folder / "Pond.pelagrinproj"));
}

TEST(ProjectCreation, AFailedWriteSaysWhyAndASecondAttemptAfterTheFixSucceeds) {
    const TemporaryFolder folder;
    const auto missing = folder / "not yet";
    try {
        ProjectCreation::create("Lake Study", missing);
        FAIL() << "a project was written into a folder that does not exist";
    } catch (const ProjectCreation::CreationError& error) {
        EXPECT_THAT(error.what(), StartsWith("Failed to create project: cannot write "));
    }
    std::filesystem::create_directory(missing);
    EXPECT_TRUE(std::filesystem::exists(ProjectCreation::create("Lake Study", missing)));
}

} // namespace
} // namespace pelagrin
