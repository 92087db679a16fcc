// Tests of the strict decoding of Overpass answers.
#include "tests/water/OverpassAnswers.hpp"
#include "water/OverpassResponse.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelagrin {
namespace {

using testing::answer;
using testing::fixture;
using testing::square;
using testing::way;

OverpassResponse decoded(const std::string& body) {
    auto result = decodeOverpassResponse(body);
    if (const auto* error = std::get_if<DecodingError>(&result)) {
        ADD_FAILURE() << "decoding failed: " << error->message;
        return {};
    }
    return std::get<OverpassResponse>(result);
}

TEST(OverpassResponse, WaysAndRelationsOfARealAnswerDecodeInServerOrder) {
    // Ten ways of a lake's shore and islands, then the multipolygon relation that joins them.
    const auto response = decoded(fixture("lake-relation-outer-inner.json"));
    ASSERT_EQ(response.elements.size(), 11u);

    const Element& shore = response.elements[0];
    EXPECT_EQ(shore.type, "way");
    EXPECT_EQ(shore.id, 208669592);
    ASSERT_TRUE(shore.geometry);
    EXPECT_EQ(shore.geometry->size(), 47u);
    EXPECT_FALSE(shore.members);

    const Element& lake = response.elements[10];
    EXPECT_EQ(lake.type, "relation");
    EXPECT_EQ(lake.id, 2679449);
    EXPECT_FALSE(lake.geometry);
    ASSERT_TRUE(lake.members);
    ASSERT_EQ(lake.members->size(), 5u);
    EXPECT_EQ((*lake.members)[0].type, "way");
    EXPECT_EQ((*lake.members)[0].role, "outer");
    EXPECT_EQ((*lake.members)[1].role, "inner");
    ASSERT_TRUE((*lake.members)[0].geometry);
    EXPECT_EQ((*lake.members)[0].geometry->size(), 181u);
}

TEST(OverpassResponse, NullsMeanNoneAndEmptyAnswersAndWholeOrLargestIdsDecode) {
    const auto response = decoded(R"({"elements":[{"type":"node","id":7,"geometry":null,"members":null},
        {"type":"relation","id":8,"members":[{"type":"way","role":"outer","geometry":null}]}]})");
    ASSERT_EQ(response.elements.size(), 2u);
    EXPECT_FALSE(response.elements[0].geometry);
    EXPECT_FALSE(response.elements[0].members);
    EXPECT_FALSE(response.elements[1].members->front().geometry);

    EXPECT_TRUE(decoded(R"({"elements":[]})").elements.empty());
    EXPECT_EQ(decoded(R"({"elements":[{"type":"way","id":7.0}]})").elements[0].id, 7);
    EXPECT_EQ(decoded(R"({"elements":[{"type":"way","id":9223372036854775807}]})").elements[0].id,
              9223372036854775807);
}

TEST(OverpassResponse, BrokenAnswersAreRefusedWithTheFaultyPath) {
    // An empty expected message means only "not JSON" is pinned: the parser's own wording follows it.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {answer({way(1, square(1, 1, 0.1)), {{"type", "way"}}}), R"("elements[1].id": missing)"},
        {R"({"elements":[{"id":1}]})", R"("elements[0].type": missing)"},
        {R"({"elements":[{"type":"way","id":"1"}]})",
         R"("elements[0].id": expected a whole number, got a string)"},
        {R"({"elements":[{"type":"way","id":1.5}]})",
         R"("elements[0].id": expected a whole number, got 1.5)"},
        {R"({"elements":[{"type":"way","id":9223372036854775808}]})",
         R"("elements[0].id": whole number out of range: 9223372036854775808)"},
        {R"({"elements":[{"type":"way","id":1,"geometry":[{"lat":1,"lon":"2"}]}]})",
         R"("elements[0].geometry[0].lon": expected a number, got a string)"},
        {R"({"elements":[{"type":"way","id":1,"geometry":{"lat":1,"lon":2}}]})",
         R"("elements[0].geometry": expected an array, got an object)"},
        {R"({"elements":[{"type":"relation","id":1,"members":[{"type":"way"}]}]})",
         R"("elements[0].members[0].role": missing)"},
        {R"({"elements":[{"type":null,"id":1}]})", R"("elements[0].type": expected a string, got null)"},
        {R"({"remark":"runtime error"})", R"("elements": missing)"},
        {R"([1,2])", "\"(top level)\": expected an object, got an array"},
        {R"({"elements":null})", R"("elements": expected an array, got null)"},
        {R"({"elements":[{"type":"way","id":1,"geometry":[{"lat":1e999,"lon":8}]}]})",
         "answer: number overflow parsing '1e999'"},
        {R"({"elements":[{"type":"way","id":1,"geometry":[{"lat":-1e-999,"lon":-1e999}]}]})",
         "answer: number overflow parsing '-1e999'"},
        {R"({"elements":[{"type":"way","id":1,"geometry":[{"lat":90.5,"lon":8}]}]})",
         R"("elements[0].geometry[0].lat": 90.5 is outside [-90, 90])"},
        {R"({"elements":[{"type":"relation","id":1,"members":[{"type":"way","role":"outer","geometry":
            [{"lat":-90,"lon":180},{"lat":47,"lon":-180.000001}]}]}]})",
         R"("elements[0].members[0].geometry[1].lon": -180.000001 is outside [-180, 180])"},
        {R"({"elements":[{"type":"way","id":1,"geometry":[{"lat":1,"lon":1e308}]}]})",
         R"("elements[0].geometry[0].lon": 1e+308 is outside [-180, 180])"},
        {fixture("too-many-requests.html"), ""},
        {fixture("gateway-timeout.html"), ""},
        {fixture("truncated-body.json"), ""},
        {"", ""},
    };
    for (const auto& [body, expected] : cases) {
        const auto result = decodeOverpassResponse(body);
        const auto* error = std::get_if<DecodingError>(&result);
        ASSERT_NE(error, nullptr) << "decoded although broken: " << body;
        if (expected.empty()) {
            EXPECT_THAT(error->message, ::testing::HasSubstr("not JSON")) << body;
        } else {
            EXPECT_EQ(error->message, expected) << body;
        }
    }
}

} // namespace
} // namespace pelagrin
