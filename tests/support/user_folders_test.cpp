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

TEST(UserFolders, FollowTheXdgVariablesAndFallBackUnderHomeWhenUnsetOrRelative) {
    const ScopedVariable home("HOME", "/home/someone");
    {
        const ScopedVariable data("XDG_DATA_HOME", "/tmp/data");
        const ScopedVariable config("XDG_CONFIG_HOME", "/tmp/config");
        EXPECT_EQ(userDataFolder(), "/tmp/data/Pelagrin");
        EXPECT_EQ(userConfigFolder(), "/tmp/config/Pelagrin");
    }
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

TEST(UserDocumentsFolder, IsWhatXdgUserDirPrintsElseDocumentsUnderHomeElseHome) {
    struct Case {
        std::vector<std::string> folders;   // created under HOME
        std::optional<std::string> printed; // under HOME; "" is HOME itself, as on an unconfigured desktop
        bool hasHome;
        std::optional<std::string> expected; // under HOME
    };
    const std::vector<Case> cases = {
        {{"Documents", "Dokumente"}, "Dokumente", true, "Dokumente"},
        {{"Documents"}, "Gone", true, "Documents"},
        {{"Documents"}, "", true, "Documents"},
        {{"Documents"}, std::nullopt, true, "Documents"},
        {{}, std::nullopt, true, ""},
        {{}, std::nullopt, false, std::nullopt},
    };
    for (const Case& c : cases) {
        const test::TemporaryFolder home;
        const auto under = [&](const std::string& name) { return name.empty() ? home.path() : home / name; };
        for (const std::string& folder : c.folders) {
            std::filesystem::create_directory(home / folder);
        }
        const ScopedVariable homeVariable("HOME", c.hasHome ? home.path().c_str() : nullptr);
        const FakeXdgUserDir tool(c.printed ? std::optional(under(*c.printed).string()) : std::nullopt);
        const auto expected = c.expected ? std::optional(under(*c.expected)) : std::nullopt;
        EXPECT_EQ(userDocumentsFolder(), expected) << c.printed.value_or("(no tool)");
    }
}

} // namespace
} // namespace pelagrin
