// Tests of the strict decoding of Overpass answers.
#include "tests/water/OverpassAnswers.hpp"
#include "water/OverpassResponse.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelagrin {
namespace {

using testing::answer;
using testing::member;
using testing::relation;
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

TEST(OverpassResponse, WaysAndRelationsDecodeInServerOrder) {
    const auto response = decoded(answer({
        way(101, square(47.5, 8.25, 0.01)),
        relation(-202, {member("outer", square(47.6, 8.3, 0.02)), member("inner", square(47.6, 8.3, 0.005)),
                        member("")}),
    }));
    ASSERT_EQ(response.elements.size(), 2u);

    const Element& lake = response.elements[0];
    EXPECT_EQ(lake.type, "way");
    EXPECT_EQ(lake.id, 101);
    ASSERT_TRUE(lake.geometry);
    ASSERT_EQ(lake.geometry->size(), 5u);
    EXPECT_DOUBLE_EQ((*lake.geometry)[2].lat, 47.51);
    EXPECT_DOUBLE_EQ((*lake.geometry)[2].lon, 8.26);
    EXPECT_FALSE(lake.members);

    const Element& basin = response.elements[1];
    EXPECT_EQ(basin.type, "relation");
    EXPECT_EQ(basin.id, -202);
    EXPECT_FALSE(basin.geometry);
    ASSERT_TRUE(basin.members);
    ASSERT_EQ(basin.members->size(), 3u);
    EXPECT_EQ((*basin.members)[0].role, "outer");
    EXPECT_EQ((*basin.members)[1].role, "inner");
    EXPECT_EQ((*basin.members)[1].type, "way");
    ASSERT_TRUE((*basin.members)[1].geometry);
    EXPECT_FALSE((*basin.members)[2].geometry);
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
        {"<html><body>429 Too Many Requests</body></html>", ""},
        {R"({"elements":[{"type":"way","id":1,"geometry":[{"lat":47.)", ""},
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
