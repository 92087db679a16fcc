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
using testing::fixture;
using ::testing::HasSubstr;
using testing::Outline;
using testing::RefusingPort;
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

TEST(WaterBoundaryService, GoodAnswerGivesTheOutlineOnTheContextThreadWhateverTheStatus) {
    for (const int status : {200, 429}) {
        const FakeOverpassServer server({.status = status, .body = lakeAnswer});
        const Detection detection = detect(server.baseUrl());
        ASSERT_TRUE(detection.outcome && std::holds_alternative<Outline>(*detection.outcome)) << status;
        EXPECT_EQ(std::get<Outline>(*detection.outcome), square(47.5, 8.25, 0.01));
        EXPECT_TRUE(detection.wasOnContextThread);
        EXPECT_EQ(detection.log,
                  "🔍 Querying OSM for water at: 47.5, 8.25\n✅ Found EXACT MATCH containing the click!\n");
        ASSERT_EQ(server.requestLines().size(), 1u);
        EXPECT_THAT(
            server.requestLines()[0],
            StartsWith("GET /api/interpreter?data=%5Bout:json%5D%5Btimeout:25%5D;%0Ais_in(47.5,8.25)"));
    }
}

TEST(WaterBoundaryService, ErrorPagesAndCutBodiesFailToDecodeAndEmptyAnswersFindNoWater) {
    // The HTTP status is not examined; without a Content-Length only the decoder notices missing bytes.
    for (const FakeReply& reply :
         {FakeReply{.status = 429, .contentType = "text/html", .body = fixture("too-many-requests.html")},
          FakeReply{.status = 504, .contentType = "text/html", .body = fixture("gateway-timeout.html")},
          FakeReply{.body = fixture("truncated-body.json"), .framing = FakeReply::Framing::untilClose}}) {
        const FakeOverpassServer server(reply);
        EXPECT_THAT(failure<DecodingError>(detect(server.baseUrl())).message, HasSubstr("not JSON"))
            << reply.status << " " << reply.body;
    }
    // A query that ran out of time on the server comes back as a remark beside no elements.
    for (const std::string name : {"empty.json", "remark-timeout.json"}) {
        const FakeOverpassServer empty({.body = fixture(name)});
        EXPECT_EQ(failure<WaterServiceError>(detect(empty.baseUrl())), WaterServiceError::noWaterFound)
            << name;
    }
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

TEST(WaterBoundaryService, AnnouncedButMissingBytesAndRefusedConnectionsAreTransportErrors) {
    const FakeOverpassServer announced(
        {.body = lakeAnswer.substr(0, lakeAnswer.size() / 2), .framing = FakeReply::Framing::cutShort});
    EXPECT_FALSE(failure<TransportError>(detect(announced.baseUrl())).message.empty());
    const RefusingPort refusing;
    EXPECT_FALSE(failure<TransportError>(detect(refusing.baseUrl())).message.empty());
}

TEST(WaterBoundaryService, BaseUrlThatFormsNoHttpUrlIsANetworkErrorAfterTheLogLine) {
    for (const std::string base : {"ftp://127.0.0.1", "overpass without a scheme", ""}) {
        const Detection detection = detect(base);
        EXPECT_EQ(failure<WaterServiceError>(detection), WaterServiceError::networkError) << base;
        EXPECT_EQ(detection.log, "🔍 Querying OSM for water at: 47.5, 8.25\n");
    }
}

TEST(WaterBoundaryService, SilentServerTimesOutWhileTheContextThreadKeepsRunning) {
    const FakeOverpassServer server({.body = {}, .framing = FakeReply::Framing::neverAnswers});
    const Detection detection = detect(server.baseUrl(), std::chrono::milliseconds(500));
    EXPECT_TRUE(detection.didTickWhileWaiting);
    EXPECT_THAT(failure<TransportError>(detection).message, HasSubstr("timed out"));
}

TEST(WaterBoundaryService, DestroyingTheServiceEndsRequestsInFlight) {
    const FakeOverpassServer server({.body = {}, .framing = FakeReply::Framing::neverAnswers});
    boost::asio::io_context context;
    std::optional<WaterBoundaryResult> outcome;
    std::ostringstream log;
    {
        WaterBoundaryService service;
        service.setBaseUrl(server.baseUrl());
        service.setDiagnostics(log);
        service.fetchWaterBoundary(47.5, 8.25, context.get_executor(),
                                   [&](WaterBoundaryResult result) { outcome = std::move(result); });
        // Let the request reach the server before the service goes.
        while (server.requestLines().empty()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    context.run();
    ASSERT_TRUE(outcome && std::holds_alternative<WaterBoundaryError>(*outcome));
    EXPECT_TRUE(std::holds_alternative<TransportError>(std::get<WaterBoundaryError>(*outcome)));
}

} // namespace
} // namespace pelagrin
