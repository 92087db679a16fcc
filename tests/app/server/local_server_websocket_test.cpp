// LocalServer's WebSockets: one per window, guarded like every request, with ordered text, latest-wins binary
// frames, and limits that close a misbehaving window without disturbing the others.
#include "app/server/LocalServer.hpp"
#include "app/server/ServerLimits.hpp"
#include "tests/app/server/ServerHarness.hpp"

#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace pelagrin {
namespace {

namespace http = boost::beast::http;
namespace websocket = boost::beast::websocket;
using Events = std::vector<std::string>;
using test::ServerHarness;
using test::TestWindow;

WindowConnection& openFirstWindow(ServerHarness& harness, TestWindow& window) {
    window.open();
    harness.runUntil([&] { return harness.listener.has("opened 1"); });
    return harness.listener.window(1);
}

TEST(LocalServerWebSocket, EachWindowIsItsOwnConnectionWithTextInOrderBothWays) {
    ServerHarness harness;
    TestWindow first(harness);
    TestWindow second(harness);
    first.open();
    second.open();
    harness.runUntil([&] { return harness.listener.has("opened 2"); });
    second.write("from two");
    harness.runUntil([&] { return harness.listener.has("received 2 from two"); });
    first.write("one");
    first.write("{\"intent\": \"runPause\"}");
    first.close();
    harness.runUntil([&] { return harness.listener.has("closed 1"); });
    EXPECT_EQ(harness.listener.events,
              (Events{"opened 1", "opened 2", "received 2 from two", "received 1 one",
                      "received 1 {\"intent\": \"runPause\"}", "closed 1"}));

    std::vector<std::string> sent;
    for (int i = 0; i < 200; ++i) {
        sent.push_back("{\"type\": \"state\", \"n\": " + std::to_string(i) + "}");
        harness.listener.window(2).sendText(sent.back());
    }
    for (const std::string& expected : sent) {
        const TestWindow::Message message = second.read();
        EXPECT_TRUE(message.isText);
        ASSERT_EQ(message.bytes, expected);
    }
}

TEST(LocalServerWebSocket, RefusesAnUpgradeTheGuardRefuses) {
    ServerHarness harness;
    const TestWindow::Upgrade own = TestWindow(harness).ownUpgrade();
    auto noToken = own;
    noToken.cookie.reset();
    auto foreignOrigin = own;
    foreignOrigin.origin = "http://evil.example";
    for (const auto& upgrade : {noToken, foreignOrigin}) {
        TestWindow window(harness);
        EXPECT_EQ(window.open(upgrade), http::status::forbidden) << upgrade.host << upgrade.target;
    }
    EXPECT_TRUE(harness.listener.events.empty()) << "no refused window was opened";
    EXPECT_EQ(harness.fetch(harness.pageRequest("/ws")).result(), http::status::upgrade_required);

    auto queryToken = noToken;
    queryToken.target = "/ws?token=" + std::string(ServerHarness::token);
    TestWindow window(harness);
    EXPECT_EQ(window.open(queryToken), http::status::switching_protocols) << "no redirect for a WebSocket";
}

TEST(LocalServerWebSocket, AnUnsentBinaryFrameIsReplacedByTheNewerOne) {
    ServerHarness harness;
    TestWindow window(harness);
    WindowConnection& connection = openFirstWindow(harness, window);
    // All in one turn of the loop: the first frame goes on the wire at once, the rest wait behind it.
    connection.sendText("state 1");
    connection.sendBinary("particles 1");
    connection.sendBinary("particles 2");
    connection.sendText("state 2");
    connection.sendBinary("particles 3");
    for (const auto& [isText, bytes] : std::vector<std::pair<bool, std::string>>{
             {true, "state 1"}, {true, "state 2"}, {false, "particles 3"}}) {
        const TestWindow::Message message = window.read();
        EXPECT_EQ(message.isText, isText) << bytes;
        EXPECT_EQ(message.bytes, bytes);
    }
    connection.sendBinary("particles 4");
    EXPECT_EQ(window.read().bytes, "particles 4") << "nothing else was queued";
}

TEST(LocalServerWebSocket, ClosingSendsWhatIsQueuedFirstAndTakesNothingAfter) {
    ServerHarness harness;
    TestWindow window(harness);
    WindowConnection& connection = openFirstWindow(harness, window);
    connection.sendText("goodbye");
    connection.close();
    connection.sendText("too late");
    EXPECT_EQ(harness.listener.events, (Events{"opened 1"}))
        << "closed is reported later, never from close()";

    const TestWindow::Ending ending = window.readToEnd();
    ASSERT_EQ(ending.messages.size(), 1u);
    EXPECT_EQ(ending.messages[0].bytes, "goodbye");
    EXPECT_EQ(ending.closeCode, websocket::close_code::normal);
    harness.runUntil([&] { return harness.listener.has("closed 1"); });
}

TEST(LocalServerWebSocket, AMessageOverTheLimitOrInBinaryClosesThatWindowOnly) {
    ServerHarness harness;
    TestWindow bystander(harness);
    bystander.open();
    TestWindow window(harness);
    window.open();
    harness.runUntil([&] { return harness.listener.has("opened 2"); });

    window.write(std::string(maxIncomingMessageBytes, 'a'));
    harness.runUntil([&] { return harness.listener.events.size() == 3; });
    EXPECT_EQ(harness.listener.events.back().size(),
              std::string("received 2 ").size() + maxIncomingMessageBytes)
        << "a message of exactly the limit is taken";
    window.write(std::string(maxIncomingMessageBytes + 1, 'b'));
    EXPECT_EQ(window.readToEnd().closeCode, websocket::close_code::too_big);
    harness.runUntil([&] { return harness.listener.has("closed 2"); });
    EXPECT_EQ(harness.listener.events.size(), 4u) << "the big message never reached the app";

    TestWindow binary(harness);
    binary.open();
    binary.write("\x01\x02", false);
    EXPECT_EQ(binary.readToEnd().closeCode, websocket::close_code::policy_error);
    harness.runUntil([&] { return harness.listener.has("closed 3"); });
    EXPECT_FALSE(harness.listener.has("received 3 \x01\x02"));

    bystander.write("still here");
    harness.runUntil([&] { return harness.listener.has("received 1 still here"); });
    EXPECT_FALSE(harness.listener.has("closed 1"));
}

TEST(LocalServerWebSocket, OneLongMessageIsWrittenButAWindowThatFallsTooFarBehindIsDropped) {
    ServerHarness harness;
    TestWindow window(harness);
    WindowConnection& connection = openFirstWindow(harness, window);
    const std::string longest(maxQueuedTextBytes + 1, 'l');
    connection.sendText(longest);
    EXPECT_EQ(window.read().bytes.size(), longest.size());

    // In one turn of the loop, so the window cannot have read any of it: all but the first message queue, and
    // the one sent while the limit's worth waits is too many.
    const std::string megabyte(1024 * 1024, 's');
    const std::size_t count = maxQueuedTextBytes / megabyte.size() + 3;
    for (std::size_t i = 0; i < count; ++i) {
        connection.sendText(megabyte);
    }
    const TestWindow::Ending ending = window.readToEnd();
    EXPECT_LT(ending.messages.size(), count);
    EXPECT_EQ(ending.closeCode, std::nullopt) << "dropped, not closed with a handshake it could not take";
    harness.runUntil([&] { return harness.listener.has("closed 1"); });
}

TEST(LocalServerWebSocket, AnExceptionFromTheAppClosesThatWindowAndTheServerServesOn) {
    ServerHarness harness;
    harness.listener.onReceived = [](WindowConnection&, std::string_view text) {
        if (text == "poison") {
            throw std::runtime_error("the app failed");
        }
    };
    TestWindow window(harness);
    window.open();
    window.write("poison");
    harness.runUntil([&] { return harness.listener.has("closed 1"); });
    EXPECT_EQ(window.readToEnd().closeCode, std::nullopt);

    TestWindow next(harness);
    next.open();
    next.write("fine");
    harness.runUntil([&] { return harness.listener.has("received 2 fine"); });
}

TEST(LocalServerWebSocket, StopReportsEveryOpenWindowClosedAndStopsListening) {
    ServerHarness harness;
    TestWindow first(harness);
    TestWindow second(harness);
    first.open();
    second.open();
    harness.runUntil([&] { return harness.listener.has("opened 2"); });
    EXPECT_FALSE(harness.refusesConnections());
    harness.server().stop();
    EXPECT_EQ(harness.listener.events, (Events{"opened 1", "opened 2", "closed 1", "closed 2"}))
        << "reported before stop() returns";
    EXPECT_FALSE(first.readToEnd().closeCode.has_value());
    EXPECT_TRUE(harness.refusesConnections());
    harness.server().stop();
    EXPECT_EQ(harness.listener.events.size(), 4u) << "a second stop does nothing";
}

TEST(LocalServerWebSocket, StopFromWithinAMessageEndsCleanly) {
    ServerHarness harness;
    harness.listener.onReceived = [&](WindowConnection& connection, std::string_view) {
        harness.server().stop();
        connection.sendText("after the stop"); // must be ignored, not crash
    };
    TestWindow window(harness);
    window.open();
    window.write("quit");
    harness.runUntil([&] { return harness.listener.has("closed 1"); });
    EXPECT_TRUE(window.readToEnd().messages.empty());
    EXPECT_EQ(harness.listener.events, (Events{"opened 1", "received 1 quit", "closed 1"}));
}

TEST(LocalServerWebSocket, DestroyingTheServerClosesWindowsWithoutTellingTheListener) {
    ServerHarness harness;
    TestWindow window(harness);
    openFirstWindow(harness, window);
    harness.destroyServer();
    EXPECT_FALSE(window.readToEnd().closeCode.has_value());
    EXPECT_EQ(harness.listener.events, (Events{"opened 1"}));
}

} // namespace
} // namespace pelagrin
