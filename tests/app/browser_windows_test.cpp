// BrowserWindows: what a page is sent when it opens, after an intent, and when an intent is refused.
#include "app/BrowserWindows.hpp"
#include "app/server/ServerLimits.hpp"
#include "projects/Region.hpp"
#include "tests/app/RegionHarness.hpp"

#include <bit>
#include <cmath>
#include <numbers>
#include <sstream>
#include <stdexcept>

namespace pelagrin::test {
namespace {

/// A socket that keeps what it was sent, and the state a page would hold after it.
struct RecordingConnection : WindowConnection {
    void sendText(std::string message) override {
        textBytes.push_back(message.size());
        texts.push_back(nlohmann::json::parse(message));
        const nlohmann::json& sent = texts.back();
        if (sent["type"] == "state") {
            page.update(sent["changes"]);
            page = page.patch(sent.value("patch", nlohmann::json::array()));
        }
    }
    void sendBinary(std::string bytes) override { binaries.push_back(std::move(bytes)); }
    void close() override {}

    std::vector<nlohmann::json> texts;
    std::vector<std::size_t> textBytes;
    nlohmann::json page = nlohmann::json::object();
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

    std::ostringstream diagnostics;
    std::unique_ptr<BrowserWindows> windows =
        std::make_unique<BrowserWindows>(launch->environment, diagnostics);
    std::vector<std::unique_ptr<RecordingConnection>> connections;
};

TEST_F(BrowserWindowsTest, AnOpeningWindowIsGreetedThenSentItsWholeStateUnlessItClosedFirst) {
    RecordingConnection& connection = openWindow();
    ASSERT_EQ(connection.texts.size(), 2u);
    EXPECT_EQ(connection.texts[0], (nlohmann::json{{"type", "hello"}, {"protocol", 2}, {"window", 1}}));
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
        EXPECT_EQ(connection->texts[0],
                  (nlohmann::json{{"type", "state"},
                                  {"changes", {{"createProject", connection->page["createProject"]}}}}))
            << "a key that comes into being goes whole";
        EXPECT_EQ(connection->page["createProject"]["projectName"], "New Simulation");
    }

    send(second, {{"intent", "setProjectName"}, {"value", "Lake Study"}});
    EXPECT_EQ(first.texts.size(), 1u) << "each window has its own sheet: the first one's did not change";
    ASSERT_EQ(second.texts.size(), 2u);
    EXPECT_EQ(second.texts[1]["patch"],
              (nlohmann::json{
                  {{"op", "replace"}, {"path", "/createProject/projectName"}, {"value", "Lake Study"}}}));
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

TEST_F(BrowserWindowsTest, AnIntentThatFailsInsideTheAppIsReportedAndTheWindowGoesOn) {
    RecordingConnection& connection = openWindow();
    connection.texts.clear();
    launch->onStateChange = [] { throw std::runtime_error("the disk is full"); };
    send(connection, {{"intent", "setAutoOpenLastProject"}, {"value", false}});
    ASSERT_FALSE(connection.texts.empty());
    EXPECT_EQ(connection.texts[0],
              (nlohmann::json{{"type", "error"},
                              {"intent", "setAutoOpenLastProject"},
                              {"message", "setAutoOpenLastProject failed: the disk is full"}}));
    EXPECT_EQ(diagnostics.str(),
              "pelagrin: the intent \"setAutoOpenLastProject\" failed: the disk is full\n");

    launch->onStateChange = [this] { windows->refresh(); };
    send(connection, {{"intent", "newProject"}});
    EXPECT_EQ(connection.page["createProject"]["projectName"], "New Simulation");
}

TEST_F(BrowserWindowsTest, ANameThatIsNotUtf8ReachesThePageWithReplacementCharacters) {
    std::filesystem::create_directory(documents() / "Lake \xFF");
    RecordingConnection& connection = openWindow();
    send(connection, {{"intent", "showOpenDialog"}});
    // Paths travel as lossless text; the error naming a folder that is not there holds the raw bytes.
    send(connection, {{"intent", "fileDialogNavigate"},
                      {"path", std::string(1, '\0') + documents().string() + "/Lake %FF/gone"}});
    const nlohmann::json& last = connection.texts.back();
    EXPECT_EQ(last["type"], "state");
    EXPECT_NE(last.dump().find("Lake \xEF\xBF\xBD"), std::string::npos) << last.dump();
    send(connection, {{"intent", "fileDialogCancel"}});
    EXPECT_EQ(connection.page["fileDialog"], nullptr) << "the window goes on";
}

TEST_F(BrowserWindowsTest, ALongOutlineIsSentOnceAndEditsOfItSendOnlyWhatChanged) {
    constexpr int count = 100'000;
    Project lake("Lake");
    auto region = std::make_shared<Region>("Lake", 47.0, 8.0);
    std::vector<GeoCoordinate> outline;
    for (int i = 0; i < count; ++i) {
        const double angle = 2.0 * std::numbers::pi * i / count;
        outline.push_back({47.0 + 0.01 * std::sin(angle), 8.0 + 0.01 * std::cos(angle)});
    }
    region->setWaterVertices(outline);
    region->updateSimulationCoordinates(kCanvasWidth, kCanvasHeight);
    lake.region = region;
    lake.parameters = std::make_shared<SimulationParameters>();
    const auto path = projects() / "Lake.pelagrinproj";
    ProjectPersistence::save(lake, path);

    RecordingConnection& connection = openWindow();
    send(connection, {{"intent", "openProject"}});
    send(connection, {{"intent", "fileDialogChoose"}, {"path", path.string()}});
    launch->settle();
    send(connection, {{"intent", "selectSection"}, {"section", "region"}});
    EXPECT_GT(*std::ranges::max_element(connection.textBytes), maxQueuedTextBytes)
        << "the outline goes whole once, in one message longer than the queue's bound";

    const std::size_t edits = connection.texts.size();
    send(connection, mapClick(47.001, 8.001));
    send(connection, {{"intent", "setFlowDirection"}, {"value", 90}});
    send(connection,
         {{"intent", "setControl"}, {"screen", "parameters"}, {"id", "waterDepth"}, {"value", 20}});
    ASSERT_EQ(connection.texts.size(), edits + 3);
    for (std::size_t i = edits; i < connection.texts.size(); ++i) {
        EXPECT_LT(connection.textBytes[i], 16'384u) << connection.texts[i].dump().substr(0, 500);
    }
    EXPECT_EQ(connection.page["project"]["region"]["vertices"].size(), count + 1);
    EXPECT_EQ(connection.page["project"]["parameters"]["sections"][1]["controls"][0]["text"], "20.0 m");
    const nlohmann::json& click = connection.texts[edits]["patch"];
    EXPECT_NE(
        std::ranges::find(click, nlohmann::json{{"op", "add"},
                                                {"path", "/project/region/vertices/-"},
                                                {"value", {{"latitude", 47.001}, {"longitude", 8.001}}}}),
        click.end())
        << click.dump();
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
        launch->settle(); // every window reads the file on another thread and shows it in a later turn
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
