// The page's token file: kept while it is sound and private, replaced privately otherwise.
#include "app/PageToken.hpp"
#include "tests/support/TemporaryFolder.hpp"

#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace pelagrin::test {
namespace {

constexpr std::string_view sound = "0123456789abcdef0123456789abcdef";

mode_t modeOf(const std::filesystem::path& file) {
    struct stat status {};
    ::stat(file.c_str(), &status);
    return status.st_mode & 0777;
}

TEST(PageToken, ASoundPrivateTokenIsKeptAndAnythingElseReplacedPrivately) {
    struct Case {
        const char* name;
        std::optional<std::string> content; // absent: no file
        mode_t mode;
        bool renew;
        bool isKept;
        std::string diagnostic;
    };
    const std::string replaced = "The page's token in FILE is replaced: ";
    const std::vector<Case> cases = {
        {"first launch", std::nullopt, 0600, false, false, ""},
        {"kept", std::string(sound) + "\n", 0600, false, true, ""},
        {"renewed", std::string(sound), 0600, true, false, ""},
        {"readable by others", std::string(sound), 0644, false, false,
         replaced + "others could read or change it\n"},
        {"malformed", "0123456789ABCDEF0123456789ABCDEF", 0600, false, false,
         replaced + "it holds no token\n"},
        {"too long", std::string(sound) + "0", 0600, false, false, replaced + "it holds no token\n"},
    };
    for (const Case& c : cases) {
        TemporaryFolder folder;
        const std::filesystem::path file = folder / "config/page-token";
        if (c.content) {
            std::filesystem::create_directories(file.parent_path());
            writeFile(file, *c.content);
            ::chmod(file.c_str(), c.mode);
        }
        std::ostringstream diagnostics;
        const std::string token = keptPageToken(file, c.renew, diagnostics);
        EXPECT_EQ(token == sound, c.isKept) << c.name;
        EXPECT_EQ(token.size(), sound.size()) << c.name;
        EXPECT_EQ(readFile(file), token + "\n") << c.name;
        EXPECT_EQ(modeOf(file), 0600u) << c.name;
        std::string expected = c.diagnostic;
        if (const auto at = expected.find("FILE"); at != std::string::npos) {
            expected.replace(at, 4, file.string());
        }
        EXPECT_EQ(diagnostics.str(), expected) << c.name;
    }
}

} // namespace
} // namespace pelagrin::test
