#include "support/UserFolders.hpp"

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

} // namespace
} // namespace pelagrin
