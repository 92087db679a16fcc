// The region selection screen, driven through its window: clicks by modifier, undo, detection against a fake
// Overpass server, the banner, "Apply Region", the sliders, the dirty trigger and the refused intents.
#include "tests/app/WindowHarness.hpp"
#include "tests/water/FakeOverpassServer.hpp"
#include "tests/water/OverpassAnswers.hpp"

#include <cmath>
#include <gmock/gmock.h>

namespace pelagrin::test {
namespace {

using nlohmann::json;
using ::testing::HasSubstr;
using ::testing::Not;
using Outline = std::vector<GeoCoordinate>;
namespace overpass = pelagrin::testing;

enum class Keys { none, alt, shift, ctrl, meta, altCtrl };

json point(double latitude, double longitude) {
    return {{"latitude", latitude}, {"longitude", longitude}};
}

json points(const Outline& outline) {
    json list = json::array();
    for (const GeoCoordinate& c : outline) {
        list.push_back(point(c.latitude, c.longitude));
    }
    return list;
}

json mapClick(double latitude, double longitude, Keys keys = Keys::none) {
    return {{"intent", "mapClick"},         {"latitude", latitude},
            {"longitude", longitude},       {"alt", keys == Keys::alt || keys == Keys::altCtrl},
            {"shift", keys == Keys::shift}, {"ctrl", keys == Keys::ctrl || keys == Keys::altCtrl},
            {"meta", keys == Keys::meta}};
}

// A small lake as Overpass sends it: the closed way around the click, listed after a node and a riverbank
// relation elsewhere that the choice must pass over.
const Outline lake{{47.500, 8.240}, {47.504, 8.246}, {47.509, 8.251}, {47.506, 8.262},
                   {47.498, 8.266}, {47.491, 8.256}, {47.494, 8.243}, {47.500, 8.240}};
const GeoCoordinate inLake{47.500, 8.253};

std::string lakeAnswer() {
    const json node = {{"type", "node"}, {"id", 7}, {"lat", 47.6}, {"lon", 8.3}};
    const json riverbank =
        overpass::relation(11, json::array({overpass::member("inner", overpass::square(47.8, 8.6, 0.01)),
                                            overpass::member("outer", overpass::square(47.8, 8.6, 0.02))}));
    return overpass::answer(json::array({node, riverbank, overpass::way(3, lake)}));
}

class RegionSelection : public WindowTest {
protected:
    /// A window showing a project file `name`, with `region` when one is given.
    std::unique_ptr<MainWindow> windowWith(const std::string& name,
                                           std::shared_ptr<Region> region = nullptr) {
        Project project(name);
        project.region = std::move(region);
        const auto path = projects() / (name + ".pelagrinproj");
        ProjectPersistence::save(project, path);
        auto window = launch->openWindow();
        open(*window, path);
        return window;
    }

    /// The shown project, as the object store holds it.
    Project& project() const { return *launch->objectStore.projects().back(); }
    Region& region() const { return *project().region.get(); }

    static json screen(const MainWindow& window) { return window.state()["project"]["region"]; }
    static void click(MainWindow& window, double latitude, double longitude, Keys keys = Keys::none) {
        send(window, mapClick(latitude, longitude, keys));
    }
    static void intent(MainWindow& window, const char* name) { send(window, {{"intent", name}}); }
    static void intent(MainWindow& window, const char* name, json value) {
        send(window, {{"intent", name}, {"value", std::move(value)}});
    }
    static bool isDirty(const MainWindow& window) { return window.state()["project"]["isDirty"]; }

    /// Hand-draws `outline` vertex by vertex.
    static void draw(MainWindow& window, const Outline& outline) {
        for (const GeoCoordinate& c : outline) {
            click(window, c.latitude, c.longitude);
        }
    }

    /// Runs the app thread until the detection in flight has come back, and nothing further.
    void awaitDetection(const MainWindow& window) {
        launch->appThread.restart();
        while (screen(window)["isDetecting"] == true) {
            ASSERT_GT(launch->appThread.run_one(), 0u) << "no detection in flight";
        }
    }
};

const Outline square{{47.0, 8.0}, {47.0, 9.0}, {48.0, 9.0}, {48.0, 8.0}};

using RegionScreenState = RegionSelection;

TEST_F(RegionScreenState, ANewProjectShowsTheDefaultMapAndTheEmissionHintAndCreatesNothing) {
    const auto window = windowWith("Bare");
    const json state = screen(*window);
    EXPECT_EQ(state["selectedPoint"], nullptr);
    EXPECT_EQ(state["vertices"], json::array());
    EXPECT_EQ(state["emissionPoint"], nullptr);
    EXPECT_EQ(state["isAutoDetect"], false);
    EXPECT_EQ(state["isDetecting"], false);
    EXPECT_EQ(state["overlay"], nullptr);
    EXPECT_EQ(state["banner"], nullptr);
    EXPECT_EQ(state["canUndo"], false);
    EXPECT_EQ(state["map"]["center"], point(39.0, 35.0));
    EXPECT_EQ(state["map"]["span"], json({{"latitudeDelta", 8.0}, {"longitudeDelta", 8.0}}));
    EXPECT_EQ(state["map"]["mapType"], 2);
    EXPECT_EQ(state["map"]["mapTypeChoices"],
              json::parse(R"([{"label":"Map","value":0},{"label":"Satellite","value":1},
                              {"label":"Hybrid","value":2}])"));
    EXPECT_EQ(state["map"]["markers"], json::array());
    EXPECT_EQ(state["map"]["polygon"], nullptr);
    EXPECT_EQ(state["sliders"],
              json::parse(R"([{"id":"flowDirection","kind":"slider","label":"Flow Direction",
        "value":0.0,"text":"0°","min":0.0,"max":360.0,"step":null,"iconRotation":0.0}])"));
    const json bar = state["controlBar"];
    EXPECT_EQ(bar["title"], "Region Selection");
    EXPECT_EQ(bar["subtitle"], "Click map to select");
    EXPECT_EQ(bar["autoDetect"], json({{"label", "Auto-Detect"},
                                       {"symbol", "wand.and.stars"},
                                       {"help", "Automatically detect water boundaries using OpenStreetMap"},
                                       {"isOn", false}}));
    EXPECT_EQ(bar["clear"], json({{"label", "Clear"}, {"symbol", "trash"}, {"isEnabled", false}}));
    EXPECT_EQ(bar["vertexCount"], json({{"label", "Vertices"}, {"value", 0}}));
    EXPECT_EQ(bar["emissionHint"],
              json({{"symbol", "exclamationmark.triangle.fill"}, {"text", "Option+Click for Emission"}}));
    EXPECT_EQ(bar["apply"],
              json({{"label", "Apply Region"}, {"symbol", "checkmark.circle.fill"}, {"isEnabled", false}}));
    EXPECT_EQ(project().region.get(), nullptr);
}

TEST_F(RegionScreenState, AStoredRegionIsShownButTheMapStillOpensAtItsDefault) {
    auto stored = std::make_shared<Region>("Lake", 47.5, 8.5, 45.9);
    stored->setWaterVertices(square);
    stored->emissionLon = 8.75; // the latitude stays unset and falls back on its own
    const auto window = windowWith("Lake Study", stored);
    const json state = screen(*window);
    EXPECT_EQ(state["selectedPoint"], point(47.5, 8.5));
    EXPECT_EQ(state["vertices"], points(square));
    EXPECT_EQ(state["emissionPoint"], point(47.5, 8.75));
    EXPECT_EQ(state["map"]["center"], point(39.0, 35.0));
    EXPECT_EQ(state["map"]["markers"], json::parse(R"([{"title":"Selected","latitude":47.5,"longitude":8.5},
                              {"title":"Emission","latitude":47.5,"longitude":8.75}])"));
    EXPECT_EQ(state["map"]["polygon"], points(square));
    EXPECT_EQ(state["controlBar"]["subtitle"], "47.5000, 8.5000");
    EXPECT_EQ(state["controlBar"]["emissionHint"], nullptr);
    EXPECT_EQ(state["controlBar"]["apply"]["isEnabled"], true);
    EXPECT_EQ(state["controlBar"]["clear"]["isEnabled"], true);
    ASSERT_EQ(state["sliders"].size(), 2u);
    EXPECT_EQ(state["sliders"][0]["text"], "45°");
    EXPECT_EQ(state["sliders"][0]["iconRotation"], 45.9);
    EXPECT_EQ(state["sliders"][1], json::parse(R"({"id":"emissionRadius","kind":"slider",
        "label":"Emission Radius","value":10.0,"text":"10 m","min":1.0,"max":100.0,"step":null})"));
    EXPECT_FALSE(isDirty(*window)) << "showing the region is no edit";
    EXPECT_EQ(region().emissionLat.get(), 0.0) << "the emission point waits for Apply";
}

TEST_F(RegionScreenState, TheScreenStartsAfreshWhenItsSectionIsShownAgain) {
    const auto window = windowWith("Bare");
    draw(*window, {{47.0, 8.0}, {47.1, 8.1}});
    intent(*window, "setAutoDetect", true);
    intent(*window, "setMapType", 0);
    send(*window, {{"intent", "selectSection"}, {"section", "parameters"}});
    EXPECT_EQ(screen(*window), nullptr);
    send(*window, {{"intent", "selectSection"}, {"section", "region"}});
    const json state = screen(*window);
    EXPECT_EQ(state["isAutoDetect"], false);
    EXPECT_EQ(state["map"]["mapType"], 2);
    EXPECT_EQ(state["canUndo"], false);
    EXPECT_EQ(state["vertices"], points({{47.0, 8.0}, {47.1, 8.1}})) << "read back from the Region";
    EXPECT_EQ(state["selectedPoint"], point(47.1, 8.1));
}

TEST_F(RegionScreenState, NoProjectNoScreen) {
    const auto window = launch->openWindow();
    launch->recentProjects.add(projectFile("Lake Study").string());
    send(*window, {{"intent", "openRecent"}, {"path", (projects() / "Lake Study.pelagrinproj").string()}});
    EXPECT_EQ(screen(*window), nullptr) << "still loading";
    launch->settle();
    EXPECT_NE(screen(*window), nullptr);
}

using RegionClicks = RegionSelection;

TEST_F(RegionClicks, ThePlainFirstClickAddsAVertexAndCreatesANewRegionThere) {
    const auto window = windowWith("Bare");
    click(*window, 47.25, 8.5);
    const json state = screen(*window);
    EXPECT_EQ(state["vertices"], json::array({point(47.25, 8.5)}));
    EXPECT_EQ(state["selectedPoint"], point(47.25, 8.5));
    EXPECT_EQ(state["controlBar"]["vertexCount"]["value"], 1);
    EXPECT_EQ(state["controlBar"]["subtitle"], "47.2500, 8.5000");
    const Region& created = region();
    EXPECT_EQ(created.name.get(), "New Region");
    EXPECT_EQ(GeoCoordinate(created.latitude, created.longitude), GeoCoordinate(47.25, 8.5));
    EXPECT_EQ(created.flowDirection.get(), 0.0);
    EXPECT_EQ(created.emissionLat.get(), 0.0);
    EXPECT_EQ(created.emissionLon.get(), 0.0);
    EXPECT_EQ(created.emissionRadius.get(), 10.0);
    EXPECT_EQ(created.waterVertices(), (Outline{{47.25, 8.5}}));
}

TEST_F(RegionClicks, TwoVerticesDrawNoPolygonAndTheThirdDoes) {
    const auto window = windowWith("Bare");
    draw(*window, {{47.0, 8.0}, {47.0, 9.0}});
    EXPECT_EQ(screen(*window)["map"]["polygon"], nullptr);
    EXPECT_EQ(screen(*window)["controlBar"]["apply"]["isEnabled"], false);
    click(*window, 48.0, 9.0);
    EXPECT_EQ(screen(*window)["map"]["polygon"], points({{47.0, 8.0}, {47.0, 9.0}, {48.0, 9.0}}));
    EXPECT_EQ(screen(*window)["controlBar"]["apply"]["isEnabled"], true);
}

TEST_F(RegionClicks, OptionAltOrShiftPlacesTheEmissionPointOnTheSelectedPinAndAddsNoVertex) {
    const auto window = windowWith("Bare");
    for (const auto& [keys, latitude] :
         {std::pair{Keys::alt, 47.1}, {Keys::shift, 47.2}, {Keys::altCtrl, 47.5}}) {
        click(*window, latitude, 8.5, keys);
        const json state = screen(*window);
        EXPECT_EQ(state["emissionPoint"], point(latitude, 8.5));
        EXPECT_EQ(state["selectedPoint"], point(latitude, 8.5));
        EXPECT_EQ(state["vertices"], json::array());
        EXPECT_EQ(state["controlBar"]["emissionHint"], nullptr);
        EXPECT_EQ(state["sliders"].size(), 2u) << "the emission radius slider replaces the hint";
    }
    EXPECT_EQ(GeoCoordinate(region().latitude, region().longitude), GeoCoordinate(47.5, 8.5))
        << "the emission change writes the selected point as the Region's centre";
    EXPECT_EQ(region().emissionLat.get(), 0.0) << "the emission point itself waits for Apply";
}

TEST_F(RegionClicks, ACommandClickWithoutAutoDetectOnlyMovesTheSelectedPin) {
    const auto window = windowWith("Bare");
    click(*window, 47.0, 8.0);
    for (const Keys keys : {Keys::ctrl, Keys::meta}) {
        click(*window, 47.5, 8.5, keys);
        const json state = screen(*window);
        EXPECT_EQ(state["selectedPoint"], point(47.5, 8.5));
        EXPECT_EQ(state["vertices"], json::array({point(47.0, 8.0)}));
        EXPECT_EQ(state["isDetecting"], false);
    }
    EXPECT_THAT(launch->console.str(), Not(HasSubstr("Querying")));
}

TEST_F(RegionClicks, InAutoDetectModePlainAndCommandClicksDetectAndAddNoVertex) {
    for (const Keys keys : {Keys::none, Keys::ctrl}) {
        const overpass::FakeOverpassServer server({.body = lakeAnswer()});
        launch->waterBoundary.setBaseUrl(server.baseUrl());
        const auto window = windowWith(keys == Keys::none ? "Plain" : "Command");
        intent(*window, "setAutoDetect", true);
        EXPECT_EQ(screen(*window)["controlBar"]["autoDetect"]["isOn"], true);
        click(*window, inLake.latitude, inLake.longitude, keys);
        EXPECT_EQ(screen(*window)["isDetecting"], true);
        EXPECT_EQ(screen(*window)["vertices"], json::array());
        launch->settle();
        EXPECT_EQ(screen(*window)["vertices"], points(lake));
        EXPECT_EQ(server.requestLines().size(), 1u);
    }
}

using RegionUndo = RegionSelection;

TEST_F(RegionUndo, VerticesAreUndoneNewestFirstUntilNoneIsLeft) {
    const auto window = windowWith("Bare");
    draw(*window, {{47.0, 8.0}, {47.1, 8.1}});
    EXPECT_EQ(screen(*window)["canUndo"], true);
    intent(*window, "undo");
    EXPECT_EQ(screen(*window)["vertices"], json::array({point(47.0, 8.0)}));
    EXPECT_EQ(region().waterVertices(), (Outline{{47.0, 8.0}})) << "written through to the Region";
    intent(*window, "undo");
    EXPECT_EQ(screen(*window)["vertices"], json::array());
    EXPECT_EQ(region().waterVertices(), Outline{});
    EXPECT_EQ(screen(*window)["canUndo"], false);
    expectRefused(*window, {{"intent", "undo"}}, "undo: not applicable: nothing to undo");
}

TEST_F(RegionUndo, ClearEmptiesPolygonAndEmissionPointKeepsTheSelectedPinAndUndoRestoresBoth) {
    const auto window = windowWith("Bare");
    draw(*window, square);
    click(*window, 47.5, 8.5, Keys::alt);
    intent(*window, "clearRegion");
    json state = screen(*window);
    EXPECT_EQ(state["vertices"], json::array());
    EXPECT_EQ(state["emissionPoint"], nullptr);
    EXPECT_EQ(state["selectedPoint"], point(47.5, 8.5));
    EXPECT_EQ(state["controlBar"]["clear"]["isEnabled"], false);
    EXPECT_EQ(region().waterVertices(), Outline{});

    intent(*window, "undo");
    state = screen(*window);
    EXPECT_EQ(state["vertices"], points(square));
    EXPECT_EQ(state["emissionPoint"], point(47.5, 8.5));
    EXPECT_EQ(region().waterVertices(), square);
    intent(*window, "undo"); // then the vertex clicks, the last first; the Option-click registered nothing
    EXPECT_EQ(screen(*window)["vertices"], points({square[0], square[1], square[2]}));
    EXPECT_EQ(screen(*window)["emissionPoint"], point(47.5, 8.5));
}

TEST_F(RegionUndo, ClearWithOnlyAnEmissionPointIsEnabled) {
    const auto window = windowWith("Bare");
    click(*window, 47.5, 8.5, Keys::shift);
    EXPECT_EQ(screen(*window)["controlBar"]["clear"]["isEnabled"], true);
    intent(*window, "clearRegion");
    EXPECT_EQ(screen(*window)["emissionPoint"], nullptr);
    expectRefused(*window, {{"intent", "clearRegion"}},
                  "clearRegion: not applicable: there is no polygon or emission point to clear");
}

using RegionDetection = RegionSelection;

TEST_F(RegionDetection, AnOutlineReplacesTheHandDrawnPolygonAndTheClickBecomesTheEmissionPoint) {
    const overpass::FakeOverpassServer server({.body = lakeAnswer()});
    launch->waterBoundary.setBaseUrl(server.baseUrl());
    const auto window = windowWith("Bare");
    draw(*window, square);
    click(*window, 47.9, 8.9, Keys::alt);
    intent(*window, "setAutoDetect", true);

    click(*window, inLake.latitude, inLake.longitude);
    json state = screen(*window);
    EXPECT_EQ(state["isDetecting"], true);
    EXPECT_EQ(state["overlay"],
              json({{"title", "Detecting Water Body..."}, {"subtitle", "Querying OpenStreetMap"}}));
    EXPECT_EQ(state["vertices"], points(square)) << "unchanged until the answer is in";
    const int changesBefore = launch->stateChanges;
    launch->settle();

    state = screen(*window);
    EXPECT_EQ(state["isDetecting"], false);
    EXPECT_EQ(state["overlay"], nullptr);
    EXPECT_EQ(state["vertices"], points(lake));
    EXPECT_EQ(state["emissionPoint"], point(inLake.latitude, inLake.longitude));
    EXPECT_EQ(state["selectedPoint"], state["emissionPoint"]);
    EXPECT_GT(launch->stateChanges, changesBefore) << "the windows are told of the answer";
    EXPECT_EQ(region().waterVertices(), lake);
    EXPECT_EQ(GeoCoordinate(region().latitude, region().longitude), inLake);
    EXPECT_THAT(launch->console.str(), HasSubstr("✅ Found EXACT MATCH containing the click!"));
    ASSERT_EQ(server.requestLines().size(), 1u);
    EXPECT_THAT(server.requestLines()[0], HasSubstr("is_in(47.5,8.253)"));

    intent(*window, "undo"); // the detection is no undo step: undo takes back the last vertex click
    EXPECT_EQ(screen(*window)["vertices"], points({square[0], square[1], square[2]}));
}

TEST_F(RegionDetection, AFailureKeepsTheSelectionAndShowsTheBannerUntilItsTimerFires) {
    const overpass::FakeOverpassServer server(
        {.status = 429,
         .contentType = "text/html",
         .body = "<html><body><p>rate_limited: Please check /api/status for the quota.</p></body></html>"});
    launch->waterBoundary.setBaseUrl(server.baseUrl());
    const auto window = windowWith("Bare");
    draw(*window, square);
    click(*window, 47.9, 8.9, Keys::alt);
    intent(*window, "setAutoDetect", true);
    click(*window, 47.5, 8.5);
    awaitDetection(*window);

    json state = screen(*window);
    EXPECT_EQ(state["banner"], "Detection failed: Try clicking closer to the center.");
    EXPECT_EQ(state["overlay"], nullptr);
    EXPECT_EQ(state["vertices"], points(square));
    EXPECT_EQ(state["emissionPoint"], point(47.9, 8.9));
    EXPECT_EQ(region().waterVertices(), square);
    EXPECT_THAT(launch->console.str(), HasSubstr("\nWater Detection Error: Overpass answer not understood"));
    launch->appThread.poll();
    EXPECT_EQ(screen(*window)["banner"], "Detection failed: Try clicking closer to the center.")
        << "the banner stays for its time, not just a turn";

    const int changesBefore = launch->stateChanges;
    launch->settle(); // until the banner's timer has fired
    EXPECT_EQ(screen(*window)["banner"], nullptr);
    EXPECT_GT(launch->stateChanges, changesBefore);
}

TEST_F(RegionDetection, ANewDetectionHidesTheBannerOfTheLastOne) {
    const auto window = windowWith("Bare"); // no server: the detection fails at once
    intent(*window, "setAutoDetect", true);
    click(*window, 47.5, 8.5);
    awaitDetection(*window);
    EXPECT_THAT(launch->console.str(), HasSubstr("Water Detection Error: networkError"));
    ASSERT_NE(screen(*window)["banner"], nullptr);
    click(*window, 47.6, 8.6);
    EXPECT_EQ(screen(*window)["banner"], nullptr);
    EXPECT_EQ(screen(*window)["isDetecting"], true);
}

TEST_F(RegionDetection, AClickDuringADetectionOnlyMovesTheSelectedPin) {
    const overpass::FakeOverpassServer server({.body = lakeAnswer()});
    launch->waterBoundary.setBaseUrl(server.baseUrl());
    const auto window = windowWith("Bare");
    intent(*window, "setAutoDetect", true);
    click(*window, inLake.latitude, inLake.longitude);
    click(*window, 47.8, 8.6); // the first answer cannot have been handled yet: this thread has not run
    json state = screen(*window);
    EXPECT_EQ(state["selectedPoint"], point(47.8, 8.6));
    EXPECT_EQ(state["isDetecting"], true);
    EXPECT_EQ(state["vertices"], json::array());
    launch->settle();
    state = screen(*window);
    EXPECT_EQ(server.requestLines().size(), 1u);
    EXPECT_EQ(state["vertices"], points(lake));
    EXPECT_EQ(state["emissionPoint"], point(inLake.latitude, inLake.longitude)) << "the first click's";
    EXPECT_EQ(state["selectedPoint"], point(47.8, 8.6));
}

TEST_F(RegionDetection, SwitchingAutoDetectOffMidwayLetsClicksAddVerticesAndTheAnswerStillReplacesThem) {
    const overpass::FakeOverpassServer server({.body = lakeAnswer()});
    launch->waterBoundary.setBaseUrl(server.baseUrl());
    const auto window = windowWith("Bare");
    intent(*window, "setAutoDetect", true);
    click(*window, inLake.latitude, inLake.longitude);
    intent(*window, "setAutoDetect", false);
    click(*window, 47.8, 8.6);
    EXPECT_EQ(screen(*window)["vertices"], json::array({point(47.8, 8.6)}));
    launch->settle();
    EXPECT_EQ(screen(*window)["vertices"], points(lake));
}

TEST_F(RegionDetection, AnAnswerForAScreenNoLongerShownChangesNothing) {
    const overpass::FakeOverpassServer server({.body = lakeAnswer()});
    launch->waterBoundary.setBaseUrl(server.baseUrl());
    const auto window = windowWith("Bare");
    intent(*window, "setAutoDetect", true);
    click(*window, inLake.latitude, inLake.longitude);
    send(*window, {{"intent", "selectSection"}, {"section", "parameters"}});
    launch->settle();
    EXPECT_EQ(server.requestLines().size(), 1u);
    EXPECT_EQ(project().region.get(), nullptr);
    send(*window, {{"intent", "selectSection"}, {"section", "region"}});
    EXPECT_EQ(screen(*window)["vertices"], json::array());
    EXPECT_EQ(screen(*window)["isDetecting"], false);
}

using RegionApply = RegionSelection;

TEST_F(RegionApply, WritesTheEmissionPointAndMapsPolygonAndPointOntoTheCanvas) {
    const auto window = windowWith("Bare");
    draw(*window, square);
    click(*window, 47.25, 8.75, Keys::alt);
    intent(*window, "applyRegion");
    EXPECT_EQ(region().emissionLat.get(), 47.25);
    EXPECT_EQ(region().emissionLon.get(), 8.75);
    EXPECT_EQ(region().waterVerticesSim(), (std::vector<Vec2>{{0, 600}, {800, 600}, {800, 0}, {0, 0}}));
    EXPECT_EQ(region().emissionPointSim(), (Vec2{600, 450}));
}

TEST_F(RegionApply, WithoutAnEmissionPointTheSelectedPointStandsIn) {
    const auto window = windowWith("Bare");
    draw(*window, square);
    click(*window, 47.5, 8.5, Keys::ctrl); // moves the pin, writes nothing yet
    EXPECT_EQ(GeoCoordinate(region().latitude, region().longitude), GeoCoordinate(48.0, 8.0));
    intent(*window, "applyRegion");
    EXPECT_EQ(GeoCoordinate(region().latitude, region().longitude), GeoCoordinate(47.5, 8.5));
    EXPECT_EQ(region().emissionLat.get(), 47.5);
    EXPECT_EQ(region().emissionLon.get(), 8.5);
    EXPECT_EQ(region().emissionPointSim(), (Vec2{400, 300}));
    EXPECT_EQ(screen(*window)["emissionPoint"], nullptr) << "Apply leaves the screen's emission point absent";
}

TEST_F(RegionApply, NeedsThreeVerticesAndSavesNothing) {
    const auto window = windowWith("Bare");
    const auto path = projects() / "Bare.pelagrinproj";
    const std::string before = readFile(path);
    draw(*window, {{47.0, 8.0}, {47.0, 9.0}});
    expectRefused(*window, {{"intent", "applyRegion"}},
                  "applyRegion: not applicable: the polygon has fewer than 3 vertices");
    click(*window, 48.0, 9.0);
    intent(*window, "applyRegion");
    EXPECT_FALSE(region().waterVerticesSim().empty());
    EXPECT_EQ(readFile(path), before);
}

using RegionSliders = RegionSelection;

TEST_F(RegionSliders, WriteStraightIntoTheRegionClampedWithoutUndo) {
    const auto window = windowWith("Bare");
    click(*window, 47.5, 8.5, Keys::alt);
    intent(*window, "setFlowDirection", 90.7);
    intent(*window, "setEmissionRadius", 42.9);
    EXPECT_EQ(region().flowDirection.get(), 90.7);
    EXPECT_EQ(region().emissionRadius.get(), 42.9);
    json sliders = screen(*window)["sliders"];
    EXPECT_EQ(sliders[0]["text"], "90°");
    EXPECT_EQ(sliders[0]["iconRotation"], 90.7);
    EXPECT_EQ(sliders[1]["text"], "42 m");
    EXPECT_EQ(screen(*window)["canUndo"], false);

    intent(*window, "setFlowDirection", 400);
    intent(*window, "setEmissionRadius", 0.2);
    EXPECT_EQ(region().flowDirection.get(), 360.0);
    EXPECT_EQ(region().emissionRadius.get(), 1.0);
    intent(*window, "setFlowDirection", -5);
    intent(*window, "setEmissionRadius", 250);
    EXPECT_EQ(region().flowDirection.get(), 0.0);
    EXPECT_EQ(region().emissionRadius.get(), 100.0);
}

TEST_F(RegionSliders, TheMapTypePickerSwitchesTheBaseMap) {
    const auto window = windowWith("Bare");
    for (const int type : {0, 1, 2}) {
        intent(*window, "setMapType", type);
        EXPECT_EQ(screen(*window)["map"]["mapType"], type);
    }
}

using RegionDirty = RegionSelection;

TEST_F(RegionDirty, PolygonEditsMakeTheProjectDirtyAndSlidersOrTheMapDoNot) {
    auto stored = std::make_shared<Region>("Lake", 47.5, 8.5);
    stored->setWaterVertices(square);
    const auto window = windowWith("Lake Study", stored);
    intent(*window, "setFlowDirection", 120);
    intent(*window, "setMapType", 1);
    intent(*window, "setAutoDetect", true);
    intent(*window, "setAutoDetect", false);
    click(*window, 47.6, 8.6, Keys::alt);
    click(*window, 47.6, 8.6, Keys::ctrl);
    EXPECT_FALSE(isDirty(*window));

    click(*window, 47.7, 8.7);
    EXPECT_TRUE(isDirty(*window));
    EXPECT_EQ(window->state()["root"]["isDocumentEdited"], true);
    send(*window, {{"intent", "toolbarSave"}});
    EXPECT_FALSE(isDirty(*window));
    intent(*window, "undo");
    EXPECT_TRUE(isDirty(*window));
    EXPECT_EQ(ProjectPersistence::load(projects() / "Lake Study.pelagrinproj")
                  ->region.get()
                  ->waterVertices()
                  .size(),
              5u)
        << "the save held the clicked vertex";
}

TEST_F(RegionDirty, TheRegionAppearingCountsWhicheverEditMakesIt) {
    const std::vector<std::pair<const char*, json>> edits{
        {"vertex", mapClick(47.5, 8.5)},
        {"emission", mapClick(47.5, 8.5, Keys::alt)},
        {"slider", {{"intent", "setFlowDirection"}, {"value", 30}}}};
    for (const auto& [name, edit] : edits) {
        const auto window = windowWith(name);
        click(*window, 47.5, 8.5, Keys::ctrl); // only moves the pin
        EXPECT_FALSE(isDirty(*window)) << name;
        send(*window, edit);
        EXPECT_TRUE(isDirty(*window)) << name;
        EXPECT_EQ(GeoCoordinate(region().latitude, region().longitude), GeoCoordinate(47.5, 8.5)) << name;
    }
}

using RegionIntents = RegionSelection;

TEST_F(RegionIntents, BadArgumentsAreRefusedAndChangeNothing) {
    const auto window = windowWith("Bare");
    click(*window, 47.0, 8.0);
    const json before = screen(*window);

    expectRefused(*window, mapClick(90.5, 8.0), "mapClick: \"latitude\" must lie in [-90, 90]");
    expectRefused(*window, mapClick(-91, 8.0), "mapClick: \"latitude\" must lie in [-90, 90]");
    expectRefused(*window, mapClick(47.0, 180.01), "mapClick: \"longitude\" must lie in [-180, 180]");
    expectRefused(*window, mapClick(47.0, -200), "mapClick: \"longitude\" must lie in [-180, 180]");
    expectRefused(*window, mapClick(std::nan(""), 8.0), "mapClick: \"latitude\" must be a number");
    expectRefused(*window, mapClick(47.0, INFINITY), "mapClick: \"longitude\" must be a number");
    json wrong = mapClick(47.0, 8.0);
    wrong["latitude"] = "47.0";
    expectRefused(*window, wrong, "mapClick: \"latitude\" must be a number");
    for (const char* flag : {"alt", "shift", "ctrl", "meta"}) {
        json click = mapClick(47.0, 8.0);
        click[flag] = 1;
        expectRefused(*window, click, std::string("mapClick: \"") + flag + "\" must be true or false");
        click.erase(flag);
        expectRefused(*window, click, std::string("mapClick: \"") + flag + "\" is missing");
    }
    expectRefused(*window, {{"intent", "mapClick"}, {"longitude", 8.0}}, "mapClick: \"latitude\" is missing");
    expectRefused(*window, {{"intent", "setAutoDetect"}, {"value", "on"}},
                  "setAutoDetect: \"value\" must be true or false");
    for (const json& value : {json(3), json(-1), json(1.5), json("Hybrid")}) {
        expectRefused(*window, {{"intent", "setMapType"}, {"value", value}}, "setMapType: \"value\" must be");
    }
    expectRefused(*window, {{"intent", "setFlowDirection"}, {"value", "north"}},
                  "setFlowDirection: \"value\" must be a number");
    expectRefused(*window, {{"intent", "setFlowDirection"}}, "setFlowDirection: \"value\" is missing");
    expectRefused(*window, {{"intent", "setEmissionRadius"}, {"value", 20}},
                  "setEmissionRadius: not applicable: there is no emission point");
    click(*window, 47.0, 8.0, Keys::alt);
    expectRefused(*window, {{"intent", "setEmissionRadius"}, {"value", nullptr}},
                  "setEmissionRadius: \"value\" must be a number");

    EXPECT_EQ(region().waterVertices(), (Outline{{47.0, 8.0}}));
    EXPECT_EQ(region().flowDirection.get(), 0.0);
    EXPECT_EQ(region().emissionRadius.get(), 10.0);
    EXPECT_EQ(screen(*window)["vertices"], before["vertices"]);
}

TEST_F(RegionIntents, TheScreensIntentsNeedItShown) {
    const char* const names[] = {"mapClick",      "undo",       "clearRegion",      "applyRegion",
                                 "setAutoDetect", "setMapType", "setFlowDirection", "setEmissionRadius"};
    const auto welcome = launch->openWindow();
    for (const char* name : names) {
        expectRefused(*welcome, {{"intent", name}},
                      std::string(name) + ": not applicable: no project is shown");
    }
    const auto window = windowWith("Bare");
    send(*window, {{"intent", "selectSection"}, {"section", "analysis"}});
    for (const char* name : names) {
        json message = mapClick(47.0, 8.0);
        message["intent"] = name;
        message["value"] = 1;
        expectRefused(*window, message,
                      std::string(name) + ": not applicable: the region selection is not shown");
    }
    EXPECT_EQ(project().region.get(), nullptr);
}

} // namespace
} // namespace pelagrin::test
