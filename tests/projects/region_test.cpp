#include "projects/Region.hpp"

#include <gtest/gtest.h>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>

namespace pelagrin {
namespace {

// A one-degree square north-east of (47, 8), listed counter-clockwise from its south-west corner.
const std::vector<GeoCoordinate> kSquare{{47.0, 8.0}, {47.0, 9.0}, {48.0, 9.0}, {48.0, 8.0}};

void expectPoints(const std::vector<Vec2>& actual, const std::vector<Vec2>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(actual[i].x, expected[i].x, 1e-9) << "vertex " << i;
        EXPECT_NEAR(actual[i].y, expected[i].y, 1e-9) << "vertex " << i;
    }
}

TEST(Region, PolygonsAndEmissionPointRoundTripThroughTheirJsonFields) {
    Region region("Lake", 0, 0);
    EXPECT_TRUE(region.waterVertices().empty());
    region.setWaterVertices({{47.0, 8.0}, {47.5, 8.5}});
    EXPECT_EQ(region.waterVertices(), (std::vector<GeoCoordinate>{{47.0, 8.0}, {47.5, 8.5}}));
    EXPECT_EQ(nlohmann::json::parse(*region.waterVerticesData.get())[1],
              (nlohmann::json{{"latitude", 47.5}, {"longitude", 8.5}}));
    region.setWaterVertices({});
    EXPECT_EQ(region.waterVerticesData.get(), "[]");

    // The simulation polygon keeps x in "latitude" and y in "longitude".
    region.setWaterVerticesSim({{10.0, 20.0}});
    EXPECT_EQ(nlohmann::json::parse(*region.waterVerticesSimData.get())[0]["latitude"], 10.0);
    expectPoints(region.waterVerticesSim(), {{10.0, 20.0}});
    region.setEmissionPointSim(Vec2{1.0, 2.0});
    expectPoints({*region.emissionPointSim()}, {{1.0, 2.0}});
}

TEST(Region, UndecodableFieldsReadAsEmptyAndUnencodableValuesMakeTheFieldAbsent) {
    Region region("Lake", 0, 0);
    region.waterVerticesSimData = std::string("not json");
    EXPECT_TRUE(region.waterVerticesSim().empty());
    region.waterVerticesData = std::string(R"([{"latitude": 1}])");
    EXPECT_TRUE(region.waterVertices().empty());
    region.emissionPointSimData = std::string("[400, 300, 7]");
    EXPECT_FALSE(region.emissionPointSim());

    region.setWaterVertices(kSquare);
    region.setWaterVertices({{std::numeric_limits<double>::quiet_NaN(), 8.0}});
    EXPECT_FALSE(region.waterVerticesData.get());
    region.setEmissionPointSim(Vec2{1.0, 2.0});
    region.setEmissionPointSim(Vec2{std::numeric_limits<double>::infinity(), 2.0});
    EXPECT_FALSE(region.emissionPointSimData.get());
}

TEST(Region, FitsTheBoundingBoxOntoTheCanvasNorthUpWithAnUnclampedEmissionPoint) {
    struct Case {
        std::optional<double> emissionLat, emissionLon;
        Vec2 expected;
    };
    // An unset emission coordinate falls back, on its own, to the region's point (47.5, 8.5).
    for (const Case& c :
         {Case{{}, {}, {400, 300}}, Case{48.5, 7.5, {-400, -300}}, Case{47.25, {}, {400, 450}}}) {
        Region region("Lake", 47.5, 8.5);
        region.setWaterVertices(kSquare);
        if (c.emissionLat) {
            region.emissionLat = *c.emissionLat;
        }
        if (c.emissionLon) {
            region.emissionLon = *c.emissionLon;
        }
        region.updateSimulationCoordinates(800, 600);
        expectPoints(region.waterVerticesSim(), {{0, 600}, {800, 600}, {800, 0}, {0, 0}});
        ASSERT_TRUE(region.emissionPointSim());
        expectPoints({*region.emissionPointSim()}, {c.expected});
    }
}

TEST(Region, CanvasMappingTakesTheLaidOutVerticesAndInteriorPointsBackToDegrees) {
    Region region("Lake", 46.4, 6.5);
    // An irregular lake, so that no coordinate is a round number.
    const std::vector<GeoCoordinate> outline{{46.51234567, 6.48765432},
                                             {46.43219876, 6.61112223},
                                             {46.38901234, 6.52345678},
                                             {46.45678901, 6.40123457}};
    region.setWaterVertices(outline);
    region.applyLayout(std::nullopt);
    const std::optional<CanvasMapping> mapping = region.canvasMapping(kCanvasWidth, kCanvasHeight);
    ASSERT_TRUE(mapping);

    const std::vector<Vec2> laidOut = region.waterVerticesSim();
    ASSERT_EQ(laidOut.size(), outline.size());
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const GeoCoordinate back = mapping->toGeo(laidOut[i]);
        EXPECT_NEAR(back.latitude, outline[i].latitude, 1e-12) << i;
        EXPECT_NEAR(back.longitude, outline[i].longitude, 1e-12) << i;
    }
    for (const Vec2 interior : {Vec2{0, 0}, Vec2{800, 600}, Vec2{123.456, 345.678}, Vec2{799.9, 0.1}}) {
        const Vec2 again = mapping->toCanvas(mapping->toGeo(interior));
        EXPECT_NEAR(again.x, interior.x, 1e-9);
        EXPECT_NEAR(again.y, interior.y, 1e-9);
    }
    // The box's corners are exact: the north-west corner is the canvas origin.
    EXPECT_EQ(mapping->toGeo({0, 0}), (GeoCoordinate{outline[0].latitude, outline[3].longitude}));
    EXPECT_FALSE(Region("Empty", 0, 0).canvasMapping(kCanvasWidth, kCanvasHeight));
}

TEST(Region, DegeneratePolygonsLeaveEarlierSimulationFieldsAlone) {
    Region region("Lake", 47.5, 8.5);
    region.setWaterVertices(kSquare);
    region.updateSimulationCoordinates(800, 600);
    const auto polygon = region.waterVerticesSimData.get();
    const auto emission = region.emissionPointSimData.get();

    for (const std::vector<GeoCoordinate>& degenerate : std::vector<std::vector<GeoCoordinate>>{
             {}, {{47.0, 8.0}}, {{47.0, 8.0}, {47.0, 9.0}}, {{47.0, 8.0}, {48.0, 8.0}}}) {
        region.setWaterVertices(degenerate);
        region.updateSimulationCoordinates(800, 600);
        EXPECT_EQ(region.waterVerticesSimData.get(), polygon);
        EXPECT_EQ(region.emissionPointSimData.get(), emission);
    }

    Region untouched("Lake", 47.5, 8.5);
    untouched.updateSimulationCoordinates(800, 600);
    EXPECT_TRUE(untouched.waterVerticesSim().empty());
    EXPECT_FALSE(untouched.emissionPointSim());
}

TEST(Region, PixelsPerMeterComesFromTheSouthernEdgeOfAtLeastTenMetres) {
    Region region("Lake", 0, 0);
    region.setWaterVertices(kSquare);
    // One degree of longitude at 47° N is about 75.8 km on the ground.
    EXPECT_NEAR(800.0 / region.pixelsPerMeter(), 75'840.0, 150.0);
    EXPECT_NEAR(greatCircleDistance({0.0, 0.0}, {1.0, 0.0}), 111'195.0, 1.0);

    region.setWaterVertices({{47.0, 8.0}, {47.0, 8.00001}, {47.1, 8.0}});
    EXPECT_EQ(region.pixelsPerMeter(), 80.0);
    region.setWaterVertices({});
    EXPECT_EQ(region.pixelsPerMeter(), 80.0);
}

} // namespace
} // namespace pelagrin
