#include "projects/RecentProjectsManager.hpp"
#include "tests/support/TemporaryFolder.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace pelagrin {
namespace {

using pelagrin::test::readFile;
using pelagrin::test::TemporaryFolder;
using pelagrin::test::writeFile;
using Paths = std::vector<std::string>;

class RecentProjectsManagerTest : public ::testing::Test {
protected:
    // Files that exist, so that a reload keeps them.
    std::string project(const std::string& name) const {
        const auto path = folder / (name + ".pelagrinproj");
        writeFile(path, "{}");
        return path.string();
    }
    std::filesystem::path saveURL() const { return folder / "data" / "Pelagrin" / "recent-projects.json"; }

    TemporaryFolder folder;
};

TEST_F(RecentProjectsManagerTest, ReopeningMovesToTheFrontWithoutDuplicatesAndTheEightNewestStay) {
    RecentProjectsManager recent(saveURL());
    Paths added;
    for (int i = 0; i < 10; ++i) {
        added.push_back(project("P" + std::to_string(i)));
        recent.add(added.back());
    }
    recent.add(added[5]);
    EXPECT_EQ(recent.recent.get(),
              (Paths{added[5], added[9], added[8], added[7], added[6], added[4], added[3], added[2]}));
}

TEST_F(RecentProjectsManagerTest, StoresWhatItPublishesLosslesslyAndReloadDropsVanishedFiles) {
    const std::string notUtf8 = "caf\xe9";
    {
        RecentProjectsManager recent(saveURL());
        EXPECT_TRUE(std::filesystem::is_directory(saveURL().parent_path()));
        EXPECT_FALSE(std::filesystem::exists(saveURL()));
        int notifications = 0;
        const Subscription subscription = recent.recent.subscribe([&](const Paths&) { ++notifications; });
        for (const char* name : {"A", "B", "C", "D"}) {
            recent.add(project(name));
        }
        recent.add(project(notUtf8));
        recent.remove(project("D"));
        EXPECT_EQ(notifications, 6);
        // Valid paths are stored as plain strings, as older versions read them.
        const Paths stored = nlohmann::json::parse(readFile(saveURL())).get<Paths>();
        EXPECT_EQ(stored[1], project("C"));
        EXPECT_EQ(stored[0], std::string(1, '\0') + (folder / "caf%E9.pelagrinproj").string());
    }
    std::filesystem::remove(project("B"));
    const RecentProjectsManager reloaded(saveURL());
    EXPECT_EQ(reloaded.recent.get(), (Paths{project(notUtf8), project("C"), project("A")}));
}

TEST_F(RecentProjectsManagerTest, MalformedFileLoadsAsEmptyAndIsOverwrittenByTheNextAdd) {
    for (const char* text : {"not json", R"({"a": 1})", R"([1, 2])"}) {
        std::filesystem::create_directories(saveURL().parent_path());
        writeFile(saveURL(), text);
        RecentProjectsManager recent(saveURL());
        EXPECT_TRUE(recent.recent->empty()) << text;
        EXPECT_EQ(readFile(saveURL()), text);
        recent.add(project("A"));
        EXPECT_EQ(nlohmann::json::parse(readFile(saveURL())), nlohmann::json(Paths{project("A")}));
    }
}

TEST_F(RecentProjectsManagerTest, UnwritableStorageStillKeepsTheListInMemory) {
    writeFile(folder / "file", "");
    RecentProjectsManager recent(folder / "file" / "recent-projects.json");
    recent.add(project("A"));
    EXPECT_EQ(recent.recent.get(), Paths{project("A")});
}

} // namespace
} // namespace pelagrin
