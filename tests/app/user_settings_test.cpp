#include "app/UserSettings.hpp"
#include "tests/support/TemporaryFolder.hpp"

#include <gtest/gtest.h>

namespace pelagrin {
namespace {

using pelagrin::test::readFile;
using pelagrin::test::TemporaryFolder;
using pelagrin::test::writeFile;

TEST(UserSettings, FirstLaunchHasTheDefaultsAndEveryAssignmentLastsBeyondTheLaunch) {
    const TemporaryFolder folder;
    const auto path = folder / "Pelagrin" / "settings.json";
    {
        UserSettings settings(path);
        EXPECT_TRUE(settings.autoOpenLastProject.get());
        EXPECT_FALSE(settings.lastOpenedProjectURL.get());
        EXPECT_FALSE(settings.hasSeenOnboarding.get());
        EXPECT_FALSE(settings.lastMapArea.get());
        settings.autoOpenLastProject = false;
        settings.lastOpenedProjectURL = std::string("/home/u/Lake.pelagrinproj");
        settings.hasSeenOnboarding = true;
        settings.lastMapArea = MapArea{{47.5, 8.25}, 0.5, 0.75};
    }
    const UserSettings reread(path);
    EXPECT_EQ(reread.lastMapArea.get(), (MapArea{{47.5, 8.25}, 0.5, 0.75}));
    EXPECT_FALSE(reread.autoOpenLastProject.get());
    EXPECT_EQ(reread.lastOpenedProjectURL.get(), "/home/u/Lake.pelagrinproj");
    EXPECT_TRUE(reread.hasSeenOnboarding.get());
}

TEST(UserSettings, APathThatIsNotUtf8IsStoredAndReadBackByteForByte) {
    const TemporaryFolder folder;
    const auto path = folder / "settings.json";
    const std::string notUtf8 = "/home/u/\xff/Lake.pelagrinproj";
    UserSettings(path).lastOpenedProjectURL = notUtf8;
    EXPECT_EQ(UserSettings(path).lastOpenedProjectURL.get(), notUtf8);
    UserSettings settings(path);
    settings.hasSeenOnboarding = true; // a later write still succeeds, and keeps the path
    EXPECT_EQ(UserSettings(path).lastOpenedProjectURL.get(), notUtf8);
    EXPECT_FALSE(std::filesystem::exists(folder / "settings.json.bad"));
}

TEST(UserSettings, CorruptFileIsKeptAsideAndTheDefaultsApply) {
    const TemporaryFolder folder;
    const auto path = folder / "settings.json";
    writeFile(path, R"({"autoOpenLastProject": fal)");
    UserSettings settings(path);
    EXPECT_TRUE(settings.autoOpenLastProject.get());
    EXPECT_EQ(readFile(folder / "settings.json.bad"), R"({"autoOpenLastProject": fal)");
    settings.hasSeenOnboarding = true;
    EXPECT_TRUE(UserSettings(path).hasSeenOnboarding.get());
}

TEST(UserSettings, KeyOfTheWrongTypeReadsAsItsDefault) {
    const TemporaryFolder folder;
    const auto path = folder / "settings.json";
    const std::string spoilt =
        R"({"autoOpenLastProject": "no", "hasSeenOnboarding": true, "lastOpenedProjectURL": 5,)"
        R"( "lastMapArea": {"center": {"latitude": 95, "longitude": 8}, "span": {}}})";
    writeFile(path, spoilt);
    const UserSettings settings(path);
    EXPECT_FALSE(settings.lastMapArea.get());
    EXPECT_TRUE(settings.autoOpenLastProject.get());
    EXPECT_TRUE(settings.hasSeenOnboarding.get());
    EXPECT_FALSE(settings.lastOpenedProjectURL.get());
}

} // namespace
} // namespace pelagrin
