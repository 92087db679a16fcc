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

TEST(WaterBoundaryService, EachWayOfFailingIsToldApart) {
    using Kind = TransportFailure;
    const auto html = [](int status, const char* name) {
        return FakeReply{.status = status, .contentType = "text/html", .body = fixture(name)};
    };
    const auto refusal = [](long status, std::string remark = {}) {
        return WaterBoundaryError(ServiceRefusal{status, std::move(remark)});
    };
    const std::string remark = "runtime error: Query timed out in \"query\" at line 4 after 2 seconds.";
    // A good body does not make up for a status that refuses.
    const std::vector<std::pair<FakeReply, WaterBoundaryError>> cases = {
        {html(429, "too-many-requests.html"), refusal(429)},
        {html(504, "gateway-timeout.html"), refusal(504)},
        {{.status = 400, .body = lakeAnswer}, refusal(400)},
        {{.body = fixture("remark-timeout.json")}, refusal(200, remark)},
        {{.body = fixture("empty.json")}, WaterServiceError::noWaterFound},
        {{.body = fixture("truncated-body.json"), .framing = FakeReply::Framing::untilClose},
         DecodingError{"not JSON"}},
        {{.body = lakeAnswer.substr(0, 40), .framing = FakeReply::Framing::cutShort},
         TransportError{"", Kind::other}},
        {{.body = {}, .framing = FakeReply::Framing::neverAnswers},
         TransportError{"timed out", Kind::timedOut}},
    };
    for (const auto& [reply, expected] : cases) {
        const FakeOverpassServer server(reply);
        const Detection detection = detect(server.baseUrl(), std::chrono::milliseconds(500));
        ASSERT_TRUE(detection.outcome && std::holds_alternative<WaterBoundaryError>(*detection.outcome))
            << reply.body;
        const WaterBoundaryError& error = std::get<WaterBoundaryError>(*detection.outcome);
        ASSERT_EQ(error.index(), expected.index()) << describe(error);
        if (const auto* transport = std::get_if<TransportError>(&expected)) {
            EXPECT_EQ(std::get<TransportError>(error).kind, transport->kind) << describe(error);
            EXPECT_THAT(std::get<TransportError>(error).message, HasSubstr(transport->message));
        } else if (const auto* decoding = std::get_if<DecodingError>(&expected)) {
            EXPECT_THAT(std::get<DecodingError>(error).message, HasSubstr(decoding->message));
        } else {
            EXPECT_EQ(describe(error), describe(expected));
        }
        if (reply.framing == FakeReply::Framing::neverAnswers) {
            EXPECT_TRUE(detection.didTickWhileWaiting) << "the context thread went on meanwhile";
        }
    }
    const RefusingPort refusing;
    EXPECT_EQ(failure<TransportError>(detect(refusing.baseUrl())).kind, Kind::unreachable);
    EXPECT_TRUE((ServiceRefusal{200, remark}.isBusy()));
    EXPECT_TRUE((ServiceRefusal{503, ""}.isBusy()));
    EXPECT_FALSE((ServiceRefusal{400, ""}.isBusy()));
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

TEST(WaterBoundaryService, BaseUrlThatFormsNoHttpUrlIsANetworkErrorAfterTheLogLine) {
    for (const std::string base : {"ftp://127.0.0.1", "overpass without a scheme", ""}) {
        const Detection detection = detect(base);
        EXPECT_EQ(failure<WaterServiceError>(detection), WaterServiceError::networkError) << base;
        EXPECT_EQ(detection.log, "🔍 Querying OSM for water at: 47.5, 8.25\n");
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
