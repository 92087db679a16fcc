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

TEST(ProjectCreation, ARefusedNameSaysWhyAndWritesNothingAnywhere) {
    const TemporaryFolder parent;
    const auto folder = parent / "chosen";
    std::filesystem::create_directory(folder);
    const auto first = ProjectCreation::create("Lake Study", folder);
    const std::string before = readFile(first);
    std::filesystem::create_directory(folder / "Pond.pelagrinproj");
    const struct {
        std::string name;
        std::string message;
    } cases[] = {
        {"Lake Study", "A project with this name already exists in that folder."},
        {" Pond", "A project with this name already exists in that folder."},
        {"/abs", "A project name cannot contain \"/\"."},
        {"../escape", "A project name cannot contain \"/\"."},
        {".hidden", "A project name cannot start with \".\"."},
        {"..", "A project name cannot start with \".\"."},
        {"tab\there", "A project name cannot contain control characters."},
        {"bell\x07", "A project name cannot contain control characters."},
        {std::string(300, 'x'), "Failed to create project: File name too long"},
    };
    for (const auto& [name, message] : cases) {
        try {
            ProjectCreation::create(name, folder);
            ADD_FAILURE() << "created " << name;
        } catch (const ProjectCreation::CreationError& error) {
            EXPECT_EQ(error.what(), message) << name;
        }
    }
    EXPECT_EQ(readFile(first), before);
    EXPECT_TRUE(std::filesystem::is_empty(folder / "Pond.pelagrinproj"));
    const auto entries = [](const std::filesystem::path& at) {
        return std::distance(std::filesystem::directory_iterator(at), {});
    };
    EXPECT_EQ(entries(folder), 2) << "nothing new in the chosen folder";
    EXPECT_EQ(entries(parent.path()), 1) << "nothing beside it";
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
