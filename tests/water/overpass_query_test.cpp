// Tests of the Overpass query text, its number format and the request URL.
#include "water/OverpassQuery.hpp"

#include <gtest/gtest.h>

namespace pelagrin {
namespace {

TEST(OverpassQuery, ClickGivesTheThirteenLinesWithFourCoordinatePairs) {
    const std::string expected = "[out:json][timeout:25];\n"
                                 "is_in(47.5,8.25)->.a;\n"
                                 "(\n"
                                 "  way(pivot.a)[\"natural\"=\"water\"];\n"
                                 "  relation(pivot.a)[\"natural\"=\"water\"];\n"
                                 "  way(pivot.a)[\"water\"=\"lake\"];\n"
                                 "  relation(pivot.a)[\"water\"=\"lake\"];\n"
                                 "  \n"
                                 "  way[\"natural\"=\"water\"](around:2500,47.5,8.25);\n"
                                 "  relation[\"natural\"=\"water\"](around:2500,47.5,8.25);\n"
                                 "  way[\"waterway\"=\"riverbank\"](around:2500,47.5,8.25);\n"
                                 ");\n"
                                 "out geom;";
    EXPECT_EQ(buildOverpassQuery(47.5, 8.25), expected);
}

TEST(OverpassQuery, NumbersAreShortestRoundTripWithPointZeroAndSmallExponents) {
    EXPECT_EQ(formatCoordinate(52.5), "52.5");
    EXPECT_EQ(formatCoordinate(13), "13.0");
    EXPECT_EQ(formatCoordinate(-0.25), "-0.25");
    EXPECT_EQ(formatCoordinate(-180), "-180.0");
    EXPECT_EQ(formatCoordinate(0.0), "0.0");
    EXPECT_EQ(formatCoordinate(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(formatCoordinate(0.0001), "0.0001");
    EXPECT_EQ(formatCoordinate(0.00001), "1e-05");
    EXPECT_EQ(formatCoordinate(-0.000015), "-1.5e-05");
    EXPECT_EQ(formatCoordinate(5e-324), "5e-324");
}

TEST(OverpassQuery, NegativeAndWholeCoordinatesAppearInEveryPair) {
    const std::string query = buildOverpassQuery(-33, 151.25);
    EXPECT_NE(query.find("is_in(-33.0,151.25)"), std::string::npos);
    std::size_t pairs = 0;
    for (std::size_t at = query.find("-33.0,151.25"); at != std::string::npos;
         at = query.find("-33.0,151.25", at + 1)) {
        ++pairs;
    }
    EXPECT_EQ(pairs, 4u);
}

TEST(OverpassQuery, UrlPercentEncodesTheQueryAfterDataKey) {
    const std::string url = overpassRequestUrl("https://overpass.example", 47.5, 8.25);
    const std::string prefix = "https://overpass.example/api/interpreter?data=";
    ASSERT_EQ(url.substr(0, prefix.size()), prefix);
    EXPECT_EQ(url.substr(prefix.size()), percentEncodeQuery(buildOverpassQuery(47.5, 8.25)));
    EXPECT_NE(
        url.find("?data=%5Bout:json%5D%5Btimeout:25%5D;%0Ais_in(47.5,8.25)-%3E.a;%0A(%0A%20%20way(pivot.a)"
                 "%5B%22natural%22=%22water%22%5D;"),
        std::string::npos);
    EXPECT_NE(url.find("%20%20%0A%20%20way"), std::string::npos) << "the line of two spaces";
}

TEST(OverpassQuery, UrlKeepsMinusSignsAndDropsTrailingSlashesOfTheBase) {
    const std::string url = overpassRequestUrl("http://127.0.0.1:8080/overpass//", -12.5, -77);
    EXPECT_EQ(url.rfind("http://127.0.0.1:8080/overpass/api/interpreter?data=", 0), 0u);
    EXPECT_NE(url.find("is_in(-12.5,-77.0)"), std::string::npos);
}

TEST(OverpassQuery, PercentEncodingKeepsTheQuerySetAndEncodesEveryOtherByte) {
    const std::string kept = "AZaz09-._~!$&'()*+,;=:@/?";
    EXPECT_EQ(percentEncodeQuery(kept), kept);
    EXPECT_EQ(percentEncodeQuery(" \n[]\"<>#%{}|\\^`"), "%20%0A%5B%5D%22%3C%3E%23%25%7B%7D%7C%5C%5E%60");
    EXPECT_EQ(percentEncodeQuery("Zürich"), "Z%C3%BCrich");
}

} // namespace
} // namespace pelagrin
