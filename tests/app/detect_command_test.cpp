// `pelagrin detect` end to end: the built executable against a fake Overpass server.
#include "tests/app/ChildProcess.hpp"
#include "tests/water/FakeOverpassServer.hpp"
#include "tests/water/OverpassAnswers.hpp"
#include "water/WaterBoundaryService.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace pelagrin::test {
namespace {

using testing::FakeOverpassServer;
using testing::FakeReply;
using testing::fixture;

const std::string executable = PELAGRIN_EXECUTABLE;

// The single lake's first vertex, a little inside its shore.
const std::vector<std::string> insideTheLake = {"42.5788", "1.6399"};

class DetectCommand : public ::testing::Test {
protected:
    CommandOutcome detect(const FakeOverpassServer& server, std::vector<std::string> arguments) {
        ::setenv(overpassUrlVariable, server.baseUrl().c_str(), 1);
        arguments.insert(arguments.begin(), {executable, "detect"});
        return runToEnd(arguments, folder.path());
    }

    TemporaryFolder folder;
};

TEST_F(DetectCommand, PrintsTheOutlineOfARealLakeAsGeoJsonOrText) {
    const FakeOverpassServer server({.body = fixture("single-lake-way.json")});
    const CommandOutcome geoJson = detect(server, insideTheLake);
    ASSERT_EQ(geoJson.status, 0) << geoJson.err;
    const nlohmann::json feature = nlohmann::json::parse(geoJson.out);
    EXPECT_EQ(feature["geometry"]["type"], "Polygon");
    const nlohmann::json& ring = feature["geometry"]["coordinates"][0];
    // The lake is some 60 m across: thinned with the 55 m tolerance, its start and the vertex farthest from
    // it remain.
    ASSERT_EQ(ring.size(), 3u);
    EXPECT_EQ(ring.front(), nlohmann::json({1.6395091, 42.5787788}));
    EXPECT_EQ(ring.front(), ring.back());

    const CommandOutcome text = detect(server, {insideTheLake[0], insideTheLake[1], "--text"});
    ASSERT_EQ(text.status, 0) << text.err;
    const std::vector<std::string> vertices = lines(text.out);
    EXPECT_EQ(vertices.size(), ring.size());
    EXPECT_EQ(vertices.front(), "42.5787788,1.6395091");
}

TEST_F(DetectCommand, EveryBadAnswerEndsInOneLineAndStatusOne) {
    const std::string failed = "Water detection failed: ";
    const std::string notUnderstood = failed + "Overpass answer not understood: ";
    // One of each kind of failure; each kind's variants are the decoder's and the service's tests.
    const std::vector<std::pair<FakeReply, std::string>> cases = {
        {{.body = R"({"elements":[{"type":"way","id":1,"geometry":[{"lat":42.5,"lon":-181}]}]})"},
         notUnderstood + R"("elements[0].geometry[0].lon": -181 is outside [-180, 180])"},
        {{.body = fixture("single-lake-way.json"), .framing = FakeReply::Framing::endless},
         failed + "HTTP request failed: the answer is larger than 64 MiB"},
        {{.status = 504, .contentType = "text/html", .body = fixture("gateway-timeout.html")},
         failed + "Overpass refused the request: HTTP 504"},
        {{.body = fixture("remark-timeout.json")},
         failed +
             R"(Overpass refused the query: runtime error: Query timed out in "query" at line 4 after 2 seconds.)"},
    };
    for (const auto& [reply, expected] : cases) {
        const FakeOverpassServer server(reply);
        const CommandOutcome outcome = detect(server, insideTheLake);
        EXPECT_EQ(outcome.status, 1) << expected;
        EXPECT_TRUE(outcome.out.empty()) << outcome.out;
        // The query's own line comes first, then the one line of the failure.
        const std::vector<std::string> errors = lines(outcome.err);
        ASSERT_EQ(errors.size(), 2u) << outcome.err;
        EXPECT_EQ(errors[1], expected);
    }
}

} // namespace
} // namespace pelagrin::test
