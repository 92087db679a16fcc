// BrowserWindows: what a page is sent when it opens, after an intent, and when an intent is refused.
#include "app/BrowserWindows.hpp"
#include "tests/app/WindowHarness.hpp"

#include <bit>

namespace pelagrin::test {
namespace {

/// A socket that keeps what it was sent.
struct RecordingConnection : WindowConnection {
    void sendText(std::string message) override { texts.push_back(nlohmann::json::parse(message)); }
    void sendBinary(std::string bytes) override { binaries.push_back(std::move(bytes)); }
    void close() override {}

    std::vector<nlohmann::json> texts;
    std::vector<std::string> binaries;
};

class BrowserWindowsTest : public WindowTest {
protected:
    BrowserWindowsTest() {
        launch->onStateChange = [this] { windows->refresh(); };
    }

    RecordingConnection& openWindow() {
        connections.push_back(std::make_unique<RecordingConnection>());
        windows->opened(*connections.back());
        runQueuedWork();
        return *connections.back();
    }

    void send(RecordingConnection& connection, const nlohmann::json& intent) {
        windows->received(connection, intent.dump());
        runQueuedWork();
    }

    /// Runs only what is ready on the app thread, so that no timer is waited for.
    void runQueuedWork() {
        launch->appThread.restart();
        launch->appThread.poll();
    }

    std::unique_ptr<BrowserWindows> windows = std::make_unique<BrowserWindows>(launch->environment);
    std::vector<std::unique_ptr<RecordingConnection>> connections;
};

TEST_F(BrowserWindowsTest, AnOpeningWindowIsGreetedThenSentItsWholeStateUnlessItClosedFirst) {
    RecordingConnection& connection = openWindow();
    ASSERT_EQ(connection.texts.size(), 2u);
    EXPECT_EQ(connection.texts[0], (nlohmann::json{{"type", "hello"}, {"protocol", 1}, {"window", 1}}));
    const nlohmann::json& state = connection.texts[1];
    EXPECT_EQ(state["type"], "state");
    for (const char* key :
         {"root", "welcome", "createProject", "fileDialog", "preferences", "project", "controller"}) {
        EXPECT_TRUE(state["changes"].contains(key)) << key;
    }

    RecordingConnection closing;
    windows->opened(closing);
    windows->closed(closing);
    runQueuedWork();
    EXPECT_EQ(windows->count(), 1u);
    EXPECT_EQ(closing.texts.size(), 1u) << "only the greeting went out before it closed";
}

TEST_F(BrowserWindowsTest, AnIntentSendsOnlyTheKeysThatChangedToEveryWindowItReached) {
    RecordingConnection& first = openWindow();
    RecordingConnection& second = openWindow();
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
    RecordingConnection& connection = openWindow();
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

/// Windows on one project whose particle snapshots the tests publish by hand.
class BrowserWindowsFrames : public BrowserWindowsTest {
protected:
    /// Opens a project in every window through the menu's "Open Project…"; each window reads its own copy,
    /// and the first window's copy is made 3 m deep.
    void openProject() {
        RecordingConnection& first = *connections.front();
        send(first, {{"intent", "openProject"}});
        send(first, {{"intent", "fileDialogChoose"}, {"path", projectFile("Lake").string()}});
        // The file is read on another thread; its result comes back as a later turn of the app thread.
        launch->appThread.restart();
        while (launch->recentProjects.recent->empty()) {
            launch->appThread.run_one();
        }
        send(first, {{"intent", "setControl"}, {"screen", "parameters"}, {"id", "waterDepth"}, {"value", 3}});
    }

    void showRenderer(RecordingConnection& connection) {
        send(connection, {{"intent", "selectSection"}, {"section", "simulation"}});
    }

    void publish(std::size_t particles) {
        launch->controller.displayParticles = std::vector<Particle>(particles);
    }

    /// The little-endian field of `size` bytes at `offset`.
    static std::uint64_t field(const std::string& frame, std::size_t offset, std::size_t size) {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            value |= std::uint64_t{static_cast<unsigned char>(frame.at(offset + i))} << (8 * i);
        }
        return value;
    }
    static std::uint64_t frameNumber(const std::string& frame) { return field(frame, 8, 4); }
    static std::uint64_t particleCount(const std::string& frame) { return field(frame, 12, 4); }
    static double waterDepth(const std::string& frame) { return std::bit_cast<double>(field(frame, 32, 8)); }
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

    send(first, {{"intent", "newProject"}}); // a change of state without a new snapshot
    EXPECT_EQ(first.binaries.size(), 1u) << "a snapshot is sent once";

    publish(6);
    runQueuedWork();
    ASSERT_EQ(first.binaries.size(), 2u);
    EXPECT_EQ(frameNumber(first.binaries[1]), frameNumber(first.binaries[0]) + 1);
}

TEST_F(BrowserWindowsFrames, AWindowTurningToTheRendererGetsTheLatestSnapshotAndANewDepthResendsIt) {
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

    send(window, {{"intent", "setControl"}, {"screen", "parameters"}, {"id", "waterDepth"}, {"value", 20}});
    ASSERT_EQ(window.binaries.size(), 3u);
    EXPECT_EQ(waterDepth(window.binaries[2]), 20.0);
}

} // namespace
} // namespace pelagrin::test
