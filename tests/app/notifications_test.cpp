// The notification bus, and what the menu commands do to every open main window through it.
#include "tests/app/WindowHarness.hpp"

namespace pelagrin::test {
namespace {

using nlohmann::json;

TEST(NotificationCenter, DeliversToEveryObserverOfTheNameInOrder) {
    NotificationCenter center;
    std::vector<std::string> heard;
    const Subscription first = center.observe(
        "Ping", [&](const auto& object) { heard.push_back("first " + object.value_or("none").string()); });
    const Subscription other = center.observe("Pong", [&](const auto&) { heard.push_back("other"); });
    const Subscription second = center.observe("Ping", [&](const auto&) { heard.push_back("second"); });
    center.post("Ping", std::filesystem::path("/a/b.pelagrinproj"));
    center.post("Ping");
    EXPECT_EQ(heard, (std::vector<std::string>{"first /a/b.pelagrinproj", "second", "first none", "second"}));
}

TEST(NotificationCenter, AnObserverDroppedDuringDeliveryIsNotCalledAndADroppedHandleEndsObserving) {
    NotificationCenter center;
    int secondCalls = 0;
    Subscription second;
    const Subscription first = center.observe("Ping", [&](const auto&) { second.reset(); });
    second = center.observe("Ping", [&](const auto&) { ++secondCalls; });
    center.post("Ping");
    center.post("Ping");
    EXPECT_EQ(secondCalls, 0);
}

class TwoWindows : public WindowTest {
protected:
    std::unique_ptr<MainWindow> a = launch->openWindow();
    std::unique_ptr<MainWindow> b = launch->openWindow();
};

TEST_F(TwoWindows, WelcomeRowsActOnTheirOwnWindowAndTheMenusOpenProjectActsOnBoth) {
    const json welcome = a->state();
    send(*a, {{"intent", "closeProject"}});
    EXPECT_EQ(a->state(), welcome) << "on the welcome there is nothing to close";
    send(*a, {{"intent", "showNewProject"}});
    send(*b, {{"intent", "showOpenDialog"}});
    EXPECT_TRUE(a->state()["createProject"].is_object());
    EXPECT_EQ(a->state()["fileDialog"], nullptr);
    EXPECT_EQ(b->state()["createProject"], nullptr);
    EXPECT_TRUE(b->state()["fileDialog"].is_object());
    send(*a, {{"intent", "cancelCreateProject"}});
    send(*b, {{"intent", "fileDialogCancel"}});

    const auto path = projectFile("Lake Study");
    send(*a, {{"intent", "openProject"}});
    EXPECT_EQ(a->state()["fileDialog"]["title"], "Open Pelagrin Project");
    EXPECT_EQ(b->state()["fileDialog"]["title"], "Open Pelagrin Project");
    send(*a, {{"intent", "fileDialogChoose"}, {"path", path.string()}});
    launch->settle();
    EXPECT_EQ(a->state()["project"]["name"], "Lake Study");
    EXPECT_EQ(b->state()["project"]["name"], "Lake Study");
    EXPECT_TRUE(b->state()["fileDialog"].is_object()) << "the other window's dialog is its own";
}

TEST_F(TwoWindows, RunPauseOfEitherWindowPlaysAndPausesTheOneRunAndResetEndsIt) {
    open(*a, projectFile("Lake Study", true, true)); // shown in both windows
    send(*a, {{"intent", "runPause"}});
    EXPECT_EQ(a->state()["controller"]["state"], "running");
    send(*b, {{"intent", "runPause"}});
    EXPECT_EQ(a->state()["controller"]["state"], "paused");
    send(*b, {{"intent", "runPause"}});
    EXPECT_EQ(a->state()["controller"]["state"], "running") << "the same setup resumes";
    send(*b, {{"intent", "reset"}});
    EXPECT_EQ(a->state()["controller"]["state"], "idle");
}

} // namespace
} // namespace pelagrin::test
