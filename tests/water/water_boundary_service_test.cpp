// Tests of the whole detection against a fake Overpass server on the loopback interface.
#include "tests/water/FakeOverpassServer.hpp"
#include "tests/water/OverpassAnswers.hpp"
#include "water/WaterBoundaryService.hpp"

#include <boost/asio/io_context.hpp>
#include <boost/asio/steady_timer.hpp>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <thread>

namespace pelagrin {
namespace {

using testing::answer;
using testing::FakeOverpassServer;
using testing::FakeReply;
using testing::square;
using ::testing::StartsWith;
using testing::way;

const std::string lakeAnswer = answer({way(1, square(47.5, 8.25, 0.01))});

struct Detection {
    std::optional<WaterBoundaryResult> outcome;
    bool wasOnContextThread = false;
    bool didTickWhileWaiting = false;
    std::string log;
};

// One asynchronous detection at (47.5, 8.25) driven by an io_context on this thread, as the app drives it.
Detection detect(const std::string& baseUrl, std::chrono::milliseconds timeout = std::chrono::seconds(10),
                 std::size_t maxAnswerBytes = WaterBoundaryService::defaultMaxAnswerBytes) {
    std::ostringstream log;
    boost::asio::io_context context;
    Detection detection;
    {
        WaterBoundaryService service;
        service.setBaseUrl(baseUrl);
        service.setTimeout(timeout);
        service.setMaxAnswerBytes(maxAnswerBytes);
        service.setDiagnostics(log);
        service.fetchWaterBoundary(47.5, 8.25, context.get_executor(), [&](WaterBoundaryResult result) {
            detection.wasOnContextThread = context.get_executor().running_in_this_thread();
            detection.outcome = std::move(result);
        });
        EXPECT_FALSE(detection.outcome) << "the handler ran before the request was answered";
        // A timer due early fires before a slow answer only if the request leaves the context's thread free.
        boost::asio::steady_timer tick(context, std::chrono::milliseconds(20));
        tick.async_wait(
            [&](const boost::system::error_code&) { detection.didTickWhileWaiting = !detection.outcome; });
        context.run();
    }
    detection.log = log.str();
    return detection;
}

template <typename Error> Error failure(const Detection& detection) {
    if (!detection.outcome || !std::holds_alternative<WaterBoundaryError>(*detection.outcome) ||
        !std::holds_alternative<Error>(std::get<WaterBoundaryError>(*detection.outcome))) {
        ADD_FAILURE() << "the detection did not fail as expected";
        return {};
    }
    return std::get<Error>(std::get<WaterBoundaryError>(*detection.outcome));
}

TEST(WaterBoundaryService, GoodAnswerGivesTheOutlineOnTheContextThread) {
    const FakeOverpassServer server({.body = lakeAnswer});
    const Detection detection = detect(server.baseUrl());
    ASSERT_TRUE(detection.outcome && std::holds_alternative<DetectedWater>(*detection.outcome));
    EXPECT_EQ(std::get<DetectedWater>(*detection.outcome),
              (DetectedWater{square(47.5, 8.25, 0.01), std::nullopt}));
    EXPECT_TRUE(detection.wasOnContextThread);
    EXPECT_EQ(detection.log,
              "🔍 Querying OSM for water at: 47.5, 8.25\n✅ Found EXACT MATCH containing the click!\n");
    ASSERT_EQ(server.requestLines().size(), 1u);
    EXPECT_THAT(server.requestLines()[0],
                StartsWith("GET /api/interpreter?data=%5Bout:json%5D%5Btimeout:25%5D;%0Ais_in(47.5,8.25)"));
}

// What each failure tells the user is the region screen's test; here, that a slow answer keeps the context
// free.
TEST(WaterBoundaryService, ASlowAnswerTimesOutWhileTheContextThreadGoesOn) {
    const FakeOverpassServer server({.body = {}, .framing = FakeReply::Framing::neverAnswers});
    const Detection detection = detect(server.baseUrl(), std::chrono::milliseconds(500));
    EXPECT_EQ(failure<TransportError>(detection).kind, TransportFailure::timedOut);
    EXPECT_TRUE(detection.didTickWhileWaiting) << "the context thread went on meanwhile";
}

TEST(WaterBoundaryService, AnAnswerPastTheBoundIsCutOffWhetherAnnouncedOrEndless) {
    constexpr std::size_t bound = mebibyte;
    for (const FakeReply& reply : {FakeReply{.body = std::string(bound + 1, ' ')},
                                   FakeReply{.body = lakeAnswer, .framing = FakeReply::Framing::endless}}) {
        const FakeOverpassServer server(reply);
        EXPECT_EQ(failure<TransportError>(detect(server.baseUrl(), std::chrono::seconds(10), bound)).message,
                  "the answer is larger than 1 MiB");
    }
}

TEST(WaterBoundaryService, ARequestInFlightEndsCancelledByItsFlagOrWhenTheServiceGoes) {
    for (const bool byFlag : {true, false}) {
        const FakeOverpassServer server({.body = {}, .framing = FakeReply::Framing::neverAnswers});
        boost::asio::io_context context;
        std::optional<WaterBoundaryResult> outcome;
        std::ostringstream log;
        {
            WaterBoundaryService service;
            service.setBaseUrl(server.baseUrl());
            service.setDiagnostics(log);
            const CancelFlag cancel =
                service.fetchWaterBoundary(47.5, 8.25, context.get_executor(),
                                           [&](WaterBoundaryResult result) { outcome = std::move(result); });
            // Let the request reach the server before it is ended.
            while (server.requestLines().empty()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            if (byFlag) {
                cancel->store(true);
                context.run(); // returns once the handler has run: the request holds the context until then
            }
        }
        context.run();
        ASSERT_TRUE(outcome && std::holds_alternative<WaterBoundaryError>(*outcome)) << byFlag;
        EXPECT_EQ(std::get<TransportError>(std::get<WaterBoundaryError>(*outcome)).kind,
                  TransportFailure::cancelled)
            << byFlag;
    }
}

} // namespace
} // namespace pelagrin
