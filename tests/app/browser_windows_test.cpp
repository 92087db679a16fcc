// BrowserWindows: what a page is sent when it opens, after an intent, and when an intent is refused.
#include "analysis/SimulationDataStore.hpp"
#include "app/AppEnvironment.hpp"
#include "app/BrowserWindows.hpp"
#include "app/NotificationCenter.hpp"
#include "app/UserSettings.hpp"
#include "projects/ObjectStore.hpp"
#include "projects/ProjectPersistence.hpp"
#include "projects/RecentProjectsManager.hpp"
#include "simulation/SimulationController.hpp"
#include "tests/support/TemporaryFolder.hpp"

#include <bit>
#include <boost/asio/io_context.hpp>
#include <gtest/gtest.h>
#include <sstream>

namespace pelagrin {
namespace {

/// A socket that keeps what it was sent.
struct RecordingConnection : WindowConnection {
    void sendText(std::string message) override { texts.push_back(nlohmann::json::parse(message)); }
    void sendBinary(std::string bytes) override { binaries.push_back(std::move(bytes)); }
    void close() override {}

    std::vector<nlohmann::json> texts;
    std::vector<std::string> binaries;
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
                                                                     console,
                                                                     waterBoundary} {
        waterBoundary.setBaseUrl("");
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
    WaterBoundaryService waterBoundary;
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

/// Windows on one project whose particle snapshots the tests publish by hand.
class BrowserWindowsFrames : public BrowserWindowsTest {
protected:
    /// Opens a project in every window through the menu's "Open Project…"; each window reads its own copy,
    /// and the first window's copy is made 3 m deep.
    void openProject() {
        Project project("Lake");
        project.parameters = std::make_shared<SimulationParameters>();
        const auto path = folder / "Lake.pelagrinproj";
        ProjectPersistence::save(project, path);
        RecordingConnection& first = *connections.front();
        send(first, {{"intent", "openProject"}});
        send(first, {{"intent", "fileDialogChoose"}, {"path", path.string()}});
        send(first, {{"intent", "setControl"}, {"screen", "parameters"}, {"id", "waterDepth"}, {"value", 3}});
    }

    RecordingConnection& openWindow() {
        connections.push_back(std::make_unique<RecordingConnection>());
        windows->opened(*connections.back());
        runQueuedWork();
        return *connections.back();
    }

    void showRenderer(RecordingConnection& connection) {
        send(connection, {{"intent", "selectSection"}, {"section", "simulation"}});
    }

    void publish(std::size_t particles) { controller.displayParticles = std::vector<Particle>(particles); }

    static std::uint32_t frameNumber(const std::string& frame) {
        return littleEndian<std::uint32_t>(frame, 8);
    }
    static std::uint32_t particleCount(const std::string& frame) {
        return littleEndian<std::uint32_t>(frame, 12);
    }
    static double waterDepth(const std::string& frame) {
        return std::bit_cast<double>(littleEndian<std::uint64_t>(frame, 32));
    }

    std::vector<std::unique_ptr<RecordingConnection>> connections;

private:
    template <class Unsigned> static Unsigned littleEndian(const std::string& bytes, std::size_t offset) {
        Unsigned value = 0;
        for (std::size_t i = 0; i < sizeof(Unsigned); ++i) {
            value |= static_cast<Unsigned>(static_cast<unsigned char>(bytes.at(offset + i))) << (8 * i);
        }
        return value;
    }
};

TEST_F(BrowserWindowsFrames, EachSnapshotGoesOnceToEveryWindowShowingTheRendererAndNowhereElse) {
    RecordingConnection& first = openWindow();
    RecordingConnection& second = openWindow();
    RecordingConnection& elsewhere = openWindow();
    openProject();
    showRenderer(first);
    showRenderer(second);
    for (const auto& connection : connections) {
        connection->binaries.clear();
    }

    publish(4);
    publish(5); // two snapshots in one turn: only the latest goes out
    runQueuedWork();
    for (RecordingConnection* connection : {&first, &second}) {
        ASSERT_EQ(connection->binaries.size(), 1u);
        EXPECT_EQ(particleCount(connection->binaries[0]), 5u);
    }
    EXPECT_EQ(waterDepth(first.binaries[0]), 3.0) << "each is shaded against its own project's depth";
    EXPECT_EQ(waterDepth(second.binaries[0]), 10.0);
    EXPECT_EQ(first.binaries[0].substr(0, 32), second.binaries[0].substr(0, 32));
    EXPECT_EQ(first.binaries[0].substr(40), second.binaries[0].substr(40));
    EXPECT_TRUE(elsewhere.binaries.empty()) << "its window shows the region screen";

    runQueuedWork();
    send(first, {{"intent", "newProject"}}); // a change of state without a new snapshot
    EXPECT_EQ(first.binaries.size(), 1u) << "a snapshot is sent once";

    const std::uint32_t previous = frameNumber(first.binaries[0]);
    publish(6);
    runQueuedWork();
    ASSERT_EQ(first.binaries.size(), 2u);
    EXPECT_EQ(frameNumber(first.binaries[1]), previous + 1);
}

TEST_F(BrowserWindowsFrames, AWindowThatTurnsToTheRendererGetsTheLatestSnapshotAtOnce) {
    RecordingConnection& window = openWindow();
    openProject();
    publish(7);
    runQueuedWork();
    EXPECT_TRUE(window.binaries.empty());

    showRenderer(window);
    ASSERT_EQ(window.binaries.size(), 1u);
    EXPECT_EQ(particleCount(window.binaries[0]), 7u);

    send(window, {{"intent", "selectSection"}, {"section", "parameters"}});
    showRenderer(window);
    ASSERT_EQ(window.binaries.size(), 2u) << "coming back redraws the same snapshot";
    EXPECT_EQ(window.binaries[1], window.binaries[0]);
}

TEST_F(BrowserWindowsFrames, ANewWaterDepthResendsTheSnapshotShadedAgainstIt) {
    RecordingConnection& window = openWindow();
    openProject();
    showRenderer(window);
    window.binaries.clear();
    send(window, {{"intent", "setControl"}, {"screen", "parameters"}, {"id", "waterDepth"}, {"value", 20}});
    ASSERT_EQ(window.binaries.size(), 1u);
    EXPECT_EQ(waterDepth(window.binaries[0]), 20.0);
}

} // namespace
} // namespace pelagrin
