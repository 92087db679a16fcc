// BrowserWindows: what a page is sent when it opens, after an intent, and when an intent is refused.
#include "analysis/SimulationDataStore.hpp"
#include "app/AppEnvironment.hpp"
#include "app/BrowserWindows.hpp"
#include "app/NotificationCenter.hpp"
#include "app/UserSettings.hpp"
#include "projects/ObjectStore.hpp"
#include "projects/RecentProjectsManager.hpp"
#include "simulation/SimulationController.hpp"
#include "tests/support/TemporaryFolder.hpp"

#include <boost/asio/io_context.hpp>
#include <gtest/gtest.h>
#include <sstream>

namespace pelagrin {
namespace {

/// A socket that keeps what it was sent.
struct RecordingConnection : WindowConnection {
    void sendText(std::string message) override { texts.push_back(nlohmann::json::parse(message)); }
    void sendBinary(std::string) override {}
    void close() override {}

    std::vector<nlohmann::json> texts;
};

class BrowserWindowsTest : public testing::Test {
protected:
    BrowserWindowsTest()
        : settings(folder / "settings.json"), recent(folder / "recent.json"),
          objects(folder / "store.sqlite"),
          controller(context.get_executor(), dataStore), environment{context.get_executor(),
                                                                     notifications,
                                                                     settings,
                                                                     recent,
                                                                     objects,
                                                                     controller,
                                                                     dataStore,
                                                                     folder.path(),
                                                                     [this] { windows->refresh(); },
                                                                     console} {
        windows = std::make_unique<BrowserWindows>(environment);
    }

    void send(RecordingConnection& connection, const nlohmann::json& intent) {
        windows->received(connection, intent.dump());
        runQueuedWork();
    }

    /// Runs what is queued on the app thread; the loop stops whenever it runs dry, so it is restarted first.
    void runQueuedWork() {
        context.restart();
        context.poll();
    }

    test::TemporaryFolder folder;
    boost::asio::io_context context;
    UserSettings settings;
    RecentProjectsManager recent;
    ObjectStore objects;
    SimulationDataStore dataStore;
    SimulationController controller;
    NotificationCenter notifications;
    std::ostringstream console;
    AppEnvironment environment;
    std::unique_ptr<BrowserWindows> windows;
};

TEST_F(BrowserWindowsTest, AnOpeningWindowIsGreetedThenSentItsWholeState) {
    RecordingConnection connection;
    windows->opened(connection);
    runQueuedWork();
    ASSERT_EQ(connection.texts.size(), 2u);
    EXPECT_EQ(connection.texts[0], (nlohmann::json{{"type", "hello"}, {"protocol", 1}, {"window", 1}}));
    const nlohmann::json& state = connection.texts[1];
    EXPECT_EQ(state["type"], "state");
    for (const char* key :
         {"root", "welcome", "createProject", "fileDialog", "preferences", "project", "controller"}) {
        EXPECT_TRUE(state["changes"].contains(key)) << key;
    }
    EXPECT_EQ(state["changes"]["root"]["openHome"], false);
}

TEST_F(BrowserWindowsTest, AnIntentSendsOnlyTheKeysThatChangedToEveryWindowItReached) {
    RecordingConnection first;
    RecordingConnection second;
    windows->opened(first);
    windows->opened(second);
    runQueuedWork();
    first.texts.clear();
    second.texts.clear();

    send(first, {{"intent", "newProject"}}); // the menu command reaches every window
    for (RecordingConnection* connection : {&first, &second}) {
        ASSERT_EQ(connection->texts.size(), 1u);
        const nlohmann::json& changes = connection->texts[0]["changes"];
        EXPECT_EQ(changes.size(), 1u) << changes.dump();
        EXPECT_EQ(changes["createProject"]["projectName"], "New Simulation");
    }

    send(second, {{"intent", "setProjectName"}, {"value", "Lake Study"}});
    EXPECT_EQ(first.texts.size(), 1u) << "each window has its own sheet: the first one's did not change";
    ASSERT_EQ(second.texts.size(), 2u);
    EXPECT_EQ(second.texts[1]["changes"]["createProject"]["projectName"], "Lake Study");
}

TEST_F(BrowserWindowsTest, ARefusedIntentGetsAnErrorAndChangesNothing) {
    RecordingConnection connection;
    windows->opened(connection);
    runQueuedWork();
    connection.texts.clear();

    windows->received(connection, "{not json");
    send(connection, {{"intent", "noSuchThing"}});
    send(connection, {{"intent", "selectSection"}, {"section", "parameters"}}); // no project is shown
    ASSERT_EQ(connection.texts.size(), 3u);
    for (const nlohmann::json& message : connection.texts) {
        EXPECT_EQ(message["type"], "error");
        EXPECT_FALSE(message["message"].get<std::string>().empty());
    }
    EXPECT_EQ(connection.texts[1]["intent"], "noSuchThing");
}

TEST_F(BrowserWindowsTest, AClosedWindowIsForgotten) {
    RecordingConnection connection;
    windows->opened(connection);
    windows->closed(connection);
    runQueuedWork();
    EXPECT_EQ(windows->count(), 0u);
    EXPECT_EQ(connection.texts.size(), 1u) << "only the greeting went out before it closed";
}

} // namespace
} // namespace pelagrin
