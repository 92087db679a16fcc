// Tests of the Overpass query text, its number format and the request URL.
#include "water/OverpassQuery.hpp"

#include <gtest/gtest.h>
#include <limits>

namespace pelagrin {
namespace {

TEST(OverpassQuery, ClickGivesTheThirteenLinesWithFourCoordinatePairs) {
    const std::string expected = "[out:json][timeout:25];\n"
                                 "is_in(-33.0,151.25)->.a;\n"
                                 "(\n"
                                 "  way(pivot.a)[\"natural\"=\"water\"];\n"
                                 "  relation(pivot.a)[\"natural\"=\"water\"];\n"
                                 "  way(pivot.a)[\"water\"=\"lake\"];\n"
                                 "  relation(pivot.a)[\"water\"=\"lake\"];\n"
                                 "  \n"
                                 "  way[\"natural\"=\"water\"](around:2500,-33.0,151.25);\n"
                                 "  relation[\"natural\"=\"water\"](around:2500,-33.0,151.25);\n"
                                 "  way[\"waterway\"=\"riverbank\"](around:2500,-33.0,151.25);\n"
                                 ");\n"
                                 "out geom;";
    EXPECT_EQ(buildOverpassQuery(-33, 151.25), expected);
}

TEST(OverpassQuery, NumbersAreShortestRoundTripWithPointZeroAndSmallExponents) {
    const std::vector<std::pair<double, std::string>> cases = {
        {52.5, "52.5"},     {13, "13.0"},
        {-0.25, "-0.25"},   {-180, "-180.0"},
        {0.0, "0.0"},       {0.0001, "0.0001"},
        {0.00001, "1e-05"}, {-0.000015, "-1.5e-05"},
        {5e-324, "5e-324"}, {0.1 + 0.2, "0.30000000000000004"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(formatCoordinate(value), text);
    }
    // The longest fixed forms, 309 digits before the point, still read back.
    for (const double huge : {-1e308, std::numeric_limits<double>::max()}) {
        EXPECT_EQ(std::stod(formatCoordinate(huge)), huge);
    }
}

TEST(OverpassQuery, UrlPercentEncodesTheQueryAfterTheTrimmedBase) {
    const std::string url = overpassRequestUrl("http://127.0.0.1:8080/overpass//", 47.5, 8.25);
    const std::string prefix = "http://127.0.0.1:8080/overpass/api/interpreter?data=";
    ASSERT_EQ(url.substr(0, prefix.size()), prefix);
    EXPECT_EQ(url.substr(prefix.size()), percentEncodeQuery(buildOverpassQuery(47.5, 8.25)));
    EXPECT_NE(url.find("%20%20%0A%20%20way"), std::string::npos) << "the line of two spaces";
    EXPECT_NE(overpassRequestUrl("http://h", -12.5, -77).find("is_in(-12.5,-77.0)"), std::string::npos);
}

TEST(OverpassQuery, PercentEncodingKeepsTheQuerySetAndEncodesEveryOtherByte) {
    const std::string kept = "AZaz09-._~!$&'()*+,;=:@/?";
    EXPECT_EQ(percentEncodeQuery(kept), kept);
    EXPECT_EQ(percentEncodeQuery(" \n[]\"<>#%{}|\\^`"), "%20%0A%5B%5D%22%3C%3E%23%25%7B%7D%7C%5C%5E%60");
    EXPECT_EQ(percentEncodeQuery("Zürich"), "Z%C3%BCrich");
}

} // namespace
} // namespace pelagrin
