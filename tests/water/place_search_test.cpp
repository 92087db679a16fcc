// The place search's decoding of a geocoder answer; a search itself is the region screen's test.
#include "water/PlaceSearch.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelagrin {
namespace {

using ::testing::HasSubstr;

const std::string zurich =
    R"([{"place_id":1,"lat":"47.2","lon":"8.7","category":"natural","type":"water",)"
    R"("display_name":"Zürichsee, Schweiz","boundingbox":["47.1","47.3","8.5","8.9"]},)"
    R"({"lat":47.37,"lon":8.54,"type":"city","display_name":"Zürich","boundingbox":null}])";

TEST(PlaceSearch, AnswersDecodeStrictlyNamingTheFaultyField) {
    const auto decoded = decodePlaces(zurich);
    ASSERT_TRUE(std::holds_alternative<std::vector<Place>>(decoded))
        << std::get<DecodingError>(decoded).message;
    const auto& places = std::get<std::vector<Place>>(decoded);
    ASSERT_EQ(places.size(), 2u);
    EXPECT_EQ(places[0].name, "Zürichsee, Schweiz");
    EXPECT_EQ(places[0].type, "water");
    EXPECT_EQ(places[0].centre, GeoCoordinate(47.2, 8.7));
    EXPECT_EQ(places[0].bounds, std::pair(GeoCoordinate(47.1, 8.5), GeoCoordinate(47.3, 8.9)));
    EXPECT_EQ(places[1].bounds, std::nullopt);

    const std::pair<const char*, const char*> refused[] = {
        {R"({"lat":"1"})", "answer: must be an array"},
        {"<html>busy</html>", "not JSON"},
        {R"([{"lat":"1","lon":"2","type":"city"}])", R"("[0].display_name": missing)"},
        {R"([{"lat":"north","lon":"2","type":"a","display_name":"b"}])",
         R"("[0].lat": "north" is not a number)"},
        {R"([{"lat":"95","lon":"2","type":"a","display_name":"b"}])",
         R"("[0].lat": "95" is not a number within [-90, 90])"},
        {R"([{"lat":"1","lon":"1e999","type":"a","display_name":"b"}])", R"("[0].lon": "1e999")"},
        {R"([{"lat":1,"lon":-181,"type":"a","display_name":"b"}])",
         R"("[0].lon": -181 is outside [-180, 180])"},
        {R"([{"lat":"1","lon":"2","type":"a","display_name":"b","boundingbox":["1","2"]}])",
         R"("[0].boundingbox": must be an array of 4)"},
    };
    for (const auto& [body, message] : refused) {
        const auto failed = decodePlaces(body);
        ASSERT_TRUE(std::holds_alternative<DecodingError>(failed)) << body;
        EXPECT_THAT(std::get<DecodingError>(failed).message, HasSubstr(message)) << body;
    }
}

} // namespace
} // namespace pelagrin
