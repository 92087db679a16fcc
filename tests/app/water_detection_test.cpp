// Detection on the region screen, driven through its window against a fake Overpass server: what each failure
// (each way a request can fail) says, the cancel, the nearest-water notice and its undo, a detection that
// outlasts a change of section, and the place search against a fake geocoder.
#include "tests/app/RegionHarness.hpp"
#include "tests/water/FakeOverpassServer.hpp"
#include "tests/water/OverpassAnswers.hpp"

#include <cstdlib>
#include <gmock/gmock.h>

namespace pelagrin::test {
namespace {

using nlohmann::json;
using ::testing::HasSubstr;
namespace overpass = pelagrin::testing;
using overpass::FakeReply;

const overpass::Outline lake = overpass::square(47.5, 8.25, 0.01);
const overpass::Outline drawn = overpass::square(47.0, 8.0, 0.5);

class WaterDetectionTest : public RegionTest {
protected:
    /// A window on a new project whose region holds `drawn` and an emission point, with auto-detect on.
    std::unique_ptr<MainWindow> windowWithDrawing() {
        auto window = windowWith("Lake");
        draw(*window, drawn);
        click(*window, {47.9, 8.9}, Keys::alt);
        send(*window, {{"intent", "setAutoDetect"}, {"value", true}});
        return window;
    }

    /// Expects the drawing and the emission point as `windowWithDrawing` left them.
    void expectDrawingKept(const MainWindow& window, const std::string& name) const {
        EXPECT_EQ(screen(window)["vertices"], points(drawn)) << name;
        EXPECT_EQ(screen(window)["emissionPoint"], point({47.9, 8.9})) << name;
        EXPECT_EQ(region().waterVertices(), drawn) << name;
    }
};

TEST_F(WaterDetectionTest, EachFailureSaysWhatHappenedUntilDismissedAndChangesNothing) {
    const std::string busy = "The map service is busy and refused the request; try again in a minute.";
    const struct {
        FakeReply reply;
        std::string message;
    } cases[] = {
        {{.status = 429, .contentType = "text/html", .body = overpass::fixture("too-many-requests.html")},
         busy},
        {{.status = 504, .contentType = "text/html", .body = overpass::fixture("gateway-timeout.html")},
         busy},
        {{.status = 503, .body = "down for maintenance"}, busy},
        {{.body = overpass::fixture("remark-timeout.json")}, busy},
        // A good body does not make up for a status that refuses.
        {{.status = 400, .body = overpass::answer({overpass::way(1, lake)})},
         "The map service refused the request (HTTP 400)."},
        {{.body = overpass::fixture("empty.json")},
         "No water body was found near the click; click on the water."},
        {{.body = overpass::fixture("truncated-body.json"), .framing = FakeReply::Framing::untilClose},
         "The map service's answer could not be read."},
        {{.body = overpass::answer({overpass::way(1, lake)}).substr(0, 40),
          .framing = FakeReply::Framing::cutShort},
         "The map service's answer broke off; try again."},
        {{.body = {}, .framing = FakeReply::Framing::neverAnswers},
         "The map service did not answer within 0.3 s."},
    };
    launch->waterBoundary.setTimeout(std::chrono::milliseconds(300));
    const auto window = windowWithDrawing();
    for (const auto& [reply, message] : cases) {
        const overpass::FakeOverpassServer server(reply);
        serve(server.baseUrl());
        click(*window, {47.5, 8.25});
        launch->settle();
        EXPECT_EQ(screen(*window)["banner"], message);
        EXPECT_EQ(screen(*window)["bannerKind"], "error");
        expectDrawingKept(*window, message);
    }
    const overpass::RefusingPort refusing;
    for (const std::string& base : {refusing.baseUrl(), std::string("ftp://127.0.0.1")}) {
        serve(base);
        click(*window, {47.5, 8.25});
        launch->settle();
        EXPECT_EQ(screen(*window)["banner"],
                  "The map service could not be reached; check the internet connection.")
            << base;
    }
    EXPECT_THAT(launch->console.str(),
                HasSubstr("Water Detection Error: Overpass refused the request: HTTP 429"));

    send(*window, {{"intent", "dismissDetectionMessage"}});
    EXPECT_EQ(screen(*window)["banner"], nullptr);
    EXPECT_EQ(screen(*window)["bannerKind"], nullptr);
    expectRefused(*window, {{"intent", "dismissDetectionMessage"}},
                  "dismissDetectionMessage: not applicable: no detection message is shown");
}

TEST_F(WaterDetectionTest, ACancelledDetectionEndsAtOnceAndChangesNothing) {
    const overpass::FakeOverpassServer server({.body = {}, .framing = FakeReply::Framing::neverAnswers});
    serve(server.baseUrl());
    const auto window = windowWithDrawing();
    expectRefused(*window, {{"intent", "cancelDetection"}},
                  "cancelDetection: not applicable: no detection is running");
    click(*window, {47.5, 8.25});
    EXPECT_EQ(screen(*window)["overlay"]["cancel"], json({{"label", "Cancel"}, {"shortcut", "Escape"}}));
    send(*window, {{"intent", "cancelDetection"}});
    EXPECT_EQ(screen(*window)["isDetecting"], false);
    EXPECT_EQ(screen(*window)["overlay"], nullptr);
    launch->settle(); // the aborted request's answer comes back and is dropped
    EXPECT_EQ(screen(*window)["banner"], nullptr);
    expectDrawingKept(*window, "cancelled");
    EXPECT_FALSE(launch->console.str().find("Water Detection Error") != std::string::npos);
}

TEST_F(WaterDetectionTest, TheNearestWaterIsUsedWithANoticeAndEveryDetectionIsUndoable) {
    // The click lies 0.02 degrees (2.2 km) south of the lake's shore.
    const overpass::FakeOverpassServer server({.body = overpass::answer({overpass::way(1, lake)})});
    serve(server.baseUrl());
    const auto window = windowWithDrawing();
    const GeoCoordinate south{47.47, 8.25};
    click(*window, south);
    launch->settle();
    EXPECT_EQ(screen(*window)["banner"],
              "No water body at the click; the nearest one, 2.2 km away, was used.");
    EXPECT_EQ(screen(*window)["bannerKind"], "notice");
    EXPECT_EQ(screen(*window)["vertices"], points(lake));
    EXPECT_EQ(screen(*window)["emissionPoint"], point(south));

    send(*window, {{"intent", "undo"}});
    expectDrawingKept(*window, "undone");
    click(*window, {47.5, 8.25}); // inside: no notice, and the last one goes
    EXPECT_EQ(screen(*window)["banner"], nullptr);
    launch->settle();
    EXPECT_EQ(screen(*window)["banner"], nullptr);
    send(*window, {{"intent", "undo"}});
    expectDrawingKept(*window, "undone again");

    for (const auto& [metres, text] : std::vector<std::pair<double, std::string>>{
             {3.4, "3 m"}, {0.2, "1 m"}, {249.0, "250 m"}, {999.0, "1.0 km"}, {12'345.0, "12 km"}}) {
        EXPECT_THAT(nearestWaterNotice(metres), HasSubstr("nearest one, " + text + " away")) << metres;
    }
}

TEST_F(WaterDetectionTest, ADetectionOutlastsAVisitToAnotherSectionAndStillLands) {
    const overpass::FakeOverpassServer server({.body = overpass::answer({overpass::way(1, lake)})});
    serve(server.baseUrl());
    const auto window = windowWithDrawing();
    click(*window, {47.5, 8.25});
    send(*window, {{"intent", "selectSection"}, {"section", "parameters"}});
    EXPECT_EQ(screen(*window), nullptr);
    expectRefused(*window, {{"intent", "cancelDetection"}}, "the region selection is not shown");
    launch->settle();
    EXPECT_EQ(region().waterVertices(), lake) << "the answer landed in the project";
    send(*window, {{"intent", "selectSection"}, {"section", "region"}});
    EXPECT_EQ(screen(*window)["isAutoDetect"], true);
    EXPECT_EQ(screen(*window)["vertices"], points(lake));
    EXPECT_EQ(screen(*window)["canUndo"], true);
}

TEST_F(WaterDetectionTest, APlaceSearchOrATypedPointMovesTheMapOncePerRequestAndARefusedSearchSaysWhy) {
    const overpass::FakeOverpassServer geocoder(
        {.body = R"([{"lat":"47.2","lon":"8.7","type":"water","display_name":"Zürichsee",)"
                 R"("boundingbox":["47.1","47.3","8.5","8.9"]}])"});
    const overpass::FakeOverpassServer busy({.status = 429, .body = "Too Many Requests"});
    setenv(geocoderUrlVariable, (busy.baseUrl() + "/").c_str(), 1);
    const auto refused = windowWith("Busy");
    send(*refused, {{"intent", "searchPlace"}, {"query", "Lake Zürich & shore"}});
    launch->settle();
    EXPECT_EQ(screen(*refused)["placeSearch"]["message"],
              "The map service is busy and refused the request; try again in a minute.");
    ASSERT_EQ(busy.requestLines().size(), 1u);
    EXPECT_THAT(busy.requestLines()[0],
                HasSubstr("GET /search?q=Lake%20Z%C3%BCrich%20%26%20shore&format=jsonv2&limit=8 "));

    setenv(geocoderUrlVariable, geocoder.baseUrl().c_str(), 1);
    const auto window = windowWithDrawing();
    unsetenv(geocoderUrlVariable);
    const auto sequence = [&] { return screen(*window)["map"]["viewRequest"]["sequence"].get<int>(); };
    send(*window, {{"intent", "searchPlace"}, {"query", "Zürichsee"}});
    EXPECT_EQ(screen(*window)["placeSearch"]["isSearching"], true);
    launch->settle();
    EXPECT_EQ(screen(*window)["placeSearch"], json({{"isSearching", false},
                                                    {"results", {{{"name", "Zürichsee"}, {"type", "water"}}}},
                                                    {"message", nullptr}}));
    // Each request moves the map once, counted from just before it: the window's opening moves it too.
    int before = sequence();
    send(*window, {{"intent", "choosePlace"}, {"index", 0}});
    const json view = screen(*window)["map"]["viewRequest"];
    EXPECT_EQ(view["sequence"], before + 1);
    EXPECT_NEAR(view["center"]["latitude"].get<double>(), 47.2, 1e-9);
    EXPECT_NEAR(view["span"]["longitudeDelta"].get<double>(), 0.4, 1e-9);

    for (const char* text : {"47.37, 8.54", " 47.37 8.54 ", "47.37,8.54"}) {
        before = sequence();
        send(*window, {{"intent", "goToCoordinate"}, {"text", text}});
        EXPECT_EQ(screen(*window)["map"]["viewRequest"]["center"], point({47.37, 8.54})) << text;
        EXPECT_EQ(sequence(), before + 1) << text;
    }
    for (const char* text : {"Zürich", "95, 8", "47.37", "47.37, 8.54, 3", "nan, 8", ""}) {
        before = sequence();
        send(*window, {{"intent", "goToCoordinate"}, {"text", text}});
        EXPECT_EQ(screen(*window)["placeSearch"]["message"],
                  "Enter latitude, longitude in degrees, such as 47.37, 8.54")
            << text;
        EXPECT_EQ(sequence(), before) << text;
    }
    expectRefused(*window, {{"intent", "choosePlace"}, {"index", 1}},
                  "choosePlace: not applicable: there is no such result");
    expectRefused(*window, {{"intent", "searchPlace"}, {"query", ""}},
                  "the query must have 1 to 200 characters");
    expectRefused(*window, {{"intent", "searchPlace"}, {"query", std::string(201, 'a')}},
                  "the query must have 1 to 200 characters");
    expectDrawingKept(*window, "the search draws nothing");
}

} // namespace
} // namespace pelagrin::test
