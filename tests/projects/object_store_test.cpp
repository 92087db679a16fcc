#include "projects/ObjectStore.hpp"
#include "tests/support/TemporaryFolder.hpp"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace pelagrin {
namespace {

using pelagrin::test::TemporaryFolder;

class ObjectStoreTest : public ::testing::Test {
protected:
    std::filesystem::path database() const { return folder / "Pelagrin.sqlite"; }
    TemporaryFolder folder;
};

TEST_F(ObjectStoreTest, EveryChangeIsSavedWithoutASaveCommand) {
    Uuid id;
    {
        ObjectStore store(database());
        auto project = std::make_shared<Project>("Lake study", Timestamp{12.5});
        id = project->id;
        store.insert(project);
        // Changes after insertion, including objects attached later and their own later edits.
        project->name = "Renamed";
        project->directoryURL = std::string("/home/u/Lake.pelagrinproj");
        auto region = std::make_shared<Region>("New Region", 47.5, 8.25);
        project->region = region;
        region->setWaterVertices({{47.0, 8.0}, {47.0, 9.0}, {48.0, 9.0}});
        region->emissionRadius = 40.0;
        auto parameters = std::make_shared<SimulationParameters>();
        project->parameters = parameters;
        parameters->particleSettings = std::make_shared<ParticleSettings>();
        parameters->particleSettings.get()->count = 777;
        parameters->windSpeed = 3.0;
    }
    const ObjectStore reopened(database());
    ASSERT_EQ(reopened.projects().size(), 1u);
    const Project& project = *reopened.projects()[0];
    EXPECT_EQ(project.id, id);
    EXPECT_EQ(project.name.get(), "Renamed");
    EXPECT_EQ(project.createdAt->secondsSince2001, 12.5);
    EXPECT_EQ(project.directoryURL.get(), "/home/u/Lake.pelagrinproj");
    ASSERT_TRUE(project.region.get());
    EXPECT_EQ(project.region.get()->waterVertices().size(), 3u);
    EXPECT_EQ(project.region.get()->emissionRadius.get(), 40.0);
    EXPECT_FALSE(project.region.get()->emissionPointSimData.get());
    ASSERT_TRUE(project.parameters.get());
    EXPECT_EQ(project.parameters.get()->windSpeed.get(), 3.0);
    ASSERT_TRUE(project.parameters.get()->particleSettings.get());
    EXPECT_EQ(project.parameters.get()->particleSettings.get()->count.get(), 777);
}

TEST_F(ObjectStoreTest, AReplacedObjectMayBeDroppedBeforeTheStoreCloses) {
    {
        ObjectStore store(database());
        auto project = std::make_shared<Project>("Lake");
        project->region = std::make_shared<Region>("First", 47.0, 8.0);
        store.insert(project);
        project->region = std::make_shared<Region>("Second", 46.0, 7.0); // the first has no owner left
        project->region.get()->emissionRadius = 25.0;
    }
    const ObjectStore reopened(database());
    EXPECT_EQ(reopened.projects()[0]->region.get()->name.get(), "Second");
    EXPECT_EQ(reopened.projects()[0]->region.get()->emissionRadius.get(), 25.0);
}

TEST_F(ObjectStoreTest, ReopenedObjectsAreObservedAgain) {
    ObjectStore(database()).insert(std::make_shared<Project>("First"));
    ObjectStore(database()).projects()[0]->name = "Second";
    EXPECT_EQ(ObjectStore(database()).projects()[0]->name.get(), "Second");
}

TEST_F(ObjectStoreTest, IdIsUniqueButNamesAndPathsMayRepeat) {
    ObjectStore store(database());
    auto first = std::make_shared<Project>("Same");
    first->directoryURL = std::string("/same.pelagrinproj");
    auto second = std::make_shared<Project>("Same");
    second->directoryURL = std::string("/same.pelagrinproj");
    store.insert(first);
    store.insert(second);
    EXPECT_THROW(store.insert(std::make_shared<Project>("Copy", Timestamp{}, first->id)), ObjectStoreError);
    EXPECT_EQ(store.projects().size(), 2u);
    EXPECT_EQ(ObjectStore(database()).projects().size(), 2u);
}

TEST_F(ObjectStoreTest, RefusesADatabaseOfANewerSchemaOrAFileThatIsNone) {
    { ObjectStore store(database()); }
    sqlite3* handle = nullptr;
    sqlite3_open(database().c_str(), &handle);
    sqlite3_exec(handle, "PRAGMA user_version = 99", nullptr, nullptr, nullptr);
    sqlite3_close(handle);
    EXPECT_THROW(ObjectStore store(database()), ObjectStoreError);

    pelagrin::test::writeFile(database(), std::string(4096, 'x'));
    EXPECT_THROW(ObjectStore store(database()), ObjectStoreError);
}

} // namespace
} // namespace pelagrin
