#include "support/UserFolders.hpp"
#include "tests/support/TemporaryFolder.hpp"

#include <cstdlib>
#include <gtest/gtest.h>

namespace pelagrin {
namespace {

// Restores one environment variable when the test ends.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedVariable() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(UserFolders, FollowTheXdgVariables) {
    const ScopedVariable data("XDG_DATA_HOME", "/tmp/data");
    const ScopedVariable config("XDG_CONFIG_HOME", "/tmp/config");
    EXPECT_EQ(userDataFolder(), "/tmp/data/Pelagrin");
    EXPECT_EQ(userConfigFolder(), "/tmp/config/Pelagrin");
}

TEST(UserFolders, UnsetOrRelativeVariablesFallBackUnderHome) {
    const ScopedVariable home("HOME", "/home/someone");
    const ScopedVariable data("XDG_DATA_HOME", nullptr);
    const ScopedVariable config("XDG_CONFIG_HOME", "relative/path");
    EXPECT_EQ(userDataFolder(), "/home/someone/.local/share/Pelagrin");
    EXPECT_EQ(userConfigFolder(), "/home/someone/.config/Pelagrin");
}

// A folder on PATH holding a stand-in `xdg-user-dir` that prints `output`, or none at all.
class FakeXdgUserDir {
public:
    explicit FakeXdgUserDir(std::optional<std::string> output) : path_("PATH", folder_.path().c_str()) {
        if (output) {
            const auto tool = folder_ / "xdg-user-dir";
            test::writeFile(tool, "#!/bin/sh\n[ \"$1\" = DOCUMENTS ] && echo '" + *output + "'\n");
            std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
        }
    }

private:
    test::TemporaryFolder folder_;
    ScopedVariable path_;
};

TEST(UserDocumentsFolder, IsTheFolderXdgUserDirPrints) {
    const test::TemporaryFolder home;
    std::filesystem::create_directory(home / "Documents");
    std::filesystem::create_directory(home / "Dokumente");
    const ScopedVariable homeVariable("HOME", home.path().c_str());
    const FakeXdgUserDir tool((home / "Dokumente").string());
    EXPECT_EQ(userDocumentsFolder(), home / "Dokumente");
}

TEST(UserDocumentsFolder, FallsBackToDocumentsUnderHomeWhenTheToolGivesNoFolder) {
    const test::TemporaryFolder home;
    std::filesystem::create_directory(home / "Documents");
    const ScopedVariable homeVariable("HOME", home.path().c_str());
    {
        const FakeXdgUserDir missingFolder((home / "Gone").string());
        EXPECT_EQ(userDocumentsFolder(), home / "Documents");
    }
    {
        // What the tool answers on a desktop whose Documents folder was never configured.
        const FakeXdgUserDir unconfigured(home.path().string());
        EXPECT_EQ(userDocumentsFolder(), home / "Documents");
    }
    const FakeXdgUserDir noTool(std::nullopt);
    EXPECT_EQ(userDocumentsFolder(), home / "Documents");
}

TEST(UserDocumentsFolder, IsHomeWithoutADocumentsFolderAndAbsentWithoutHome) {
    const test::TemporaryFolder home;
    const FakeXdgUserDir noTool(std::nullopt);
    {
        const ScopedVariable homeVariable("HOME", home.path().c_str());
        EXPECT_EQ(userDocumentsFolder(), home.path());
    }
    const ScopedVariable noHome("HOME", nullptr);
    EXPECT_EQ(userDocumentsFolder(), std::nullopt);
}

} // namespace
} // namespace pelagrin
