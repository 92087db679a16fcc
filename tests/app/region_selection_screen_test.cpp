// The region selection screen, driven through its window: where the map opens, clicks by modifier, vertex
// edits with undo and redo, detection against a fake Overpass server, "Apply Region", the sliders, the dirty
// trigger and the refused intents.
#include "simulation/RunSettings.hpp"
#include "tests/app/RegionHarness.hpp"
#include "tests/water/FakeOverpassServer.hpp"
#include "tests/water/OverpassAnswers.hpp"

#include <cmath>
#include <gmock/gmock.h>
#include <numbers>

namespace pelagrin::test {
namespace {

using nlohmann::json;
using ::testing::HasSubstr;
namespace overpass = pelagrin::testing;

// A small lake as Overpass sends it: the closed way around the click, listed after a node and a riverbank
// relation elsewhere that the choice must pass over.
const Outline lake{{47.500, 8.240}, {47.504, 8.246}, {47.509, 8.251}, {47.506, 8.262},
                   {47.498, 8.266}, {47.491, 8.256}, {47.494, 8.243}, {47.500, 8.240}};
const GeoCoordinate inLake{47.500, 8.253};
const Outline square{{47.0, 8.0}, {47.0, 9.0}, {48.0, 9.0}, {48.0, 8.0}};

std::string lakeAnswer() {
    const json node = {{"type", "node"}, {"id", 7}, {"lat", 47.6}, {"lon", 8.3}};
    const json riverbank =
        overpass::relation(11, json::array({overpass::member("inner", overpass::square(47.8, 8.6, 0.01)),
                                            overpass::member("outer", overpass::square(47.8, 8.6, 0.02))}));
    return overpass::answer(json::array({node, riverbank, overpass::way(3, lake)}));
}

class RegionSelection : public RegionTest {
protected:
    void serve(const overpass::FakeOverpassServer& server) { RegionTest::serve(server.baseUrl()); }
    GeoCoordinate regionCentre() const { return {region().latitude, region().longitude}; }

    static void intent(MainWindow& window, const char* name, json value = nullptr) {
        json message = {{"intent", name}};
        if (!value.is_null()) {
            message["value"] = std::move(value);
        }
        send(window, std::move(message));
    }
};

TEST_F(RegionSelection, AStoredRegionIsShownAsItWasStored) {
    auto stored = std::make_shared<Region>("Lake", 47.5, 8.5, 45.9);
    stored->setWaterVertices(square);
    stored->emissionLon = 8.75; // the latitude stays unset and falls back on the centre's
    const auto window = windowWith("Lake Study", stored);
    const json state = screen(*window);
    EXPECT_EQ(state["selectedPoint"], point(47.5, 8.5));
    EXPECT_EQ(state["vertices"], points(square));
    EXPECT_EQ(state["map"]["polygon"], points(square));
    EXPECT_EQ(state["emissionPoint"], point(47.5, 8.75));
    EXPECT_EQ(state["controlBar"]["emissionHint"], nullptr);
    EXPECT_EQ(state["controlBar"]["apply"]["isEnabled"], true);
    ASSERT_EQ(state["sliders"].size(), 2u);
    EXPECT_EQ(state["sliders"][0]["text"], "45°");
    EXPECT_EQ(region().emissionLat.get(), 0.0) << "the emission point waits for Apply";
}

TEST_F(RegionSelection, ANewScreenStartsEmptyAndShowingItAgainKeepsItsState) {
    const auto window = windowWith("Bare");
    const json fresh = screen(*window);
    EXPECT_EQ(fresh["selectedPoint"], nullptr);
    EXPECT_EQ(fresh["vertices"], json::array());
    EXPECT_EQ(fresh["emissionPoint"], nullptr);
    EXPECT_EQ(fresh["canUndo"], false);
    EXPECT_EQ(fresh["canRedo"], false);
    EXPECT_EQ(fresh["map"]["polygon"], nullptr);
    EXPECT_NE(fresh["controlBar"]["emissionHint"], nullptr);
    EXPECT_EQ(fresh["controlBar"]["apply"]["isEnabled"], false);
    EXPECT_EQ(fresh["controlBar"]["apply"]["reason"], "The outline needs at least 3 distinct vertices");
    EXPECT_EQ(project().region.get(), nullptr);

    draw(*window, {{47.0, 8.0}, {47.1, 8.1}});
    intent(*window, "setAutoDetect", true);
    intent(*window, "setMapType", 0);
    ASSERT_EQ(screen(*window)["map"]["mapType"], 0);
    send(*window, {{"intent", "selectSection"}, {"section", "parameters"}});
    EXPECT_EQ(screen(*window), nullptr);
    send(*window, {{"intent", "selectSection"}, {"section", "region"}});
    const json state = screen(*window);
    EXPECT_EQ(state["isAutoDetect"], true);
    EXPECT_EQ(state["map"]["mapType"], 0);
    EXPECT_EQ(state["canUndo"], true);
    EXPECT_EQ(state["vertices"], points({{47.0, 8.0}, {47.1, 8.1}}));
    EXPECT_EQ(state["selectedPoint"], point(47.1, 8.1));
}

TEST_F(RegionSelection, ModifierKeysRouteAClickToAVertexTheEmissionPointThePinOrADetection) {
    const overpass::FakeOverpassServer server({.body = lakeAnswer()});
    serve(server);
    enum Effect { vertex, emission, pinOnly, detection };
    struct Case {
        Keys keys;
        bool autoDetect;
        Effect effect;
    };
    const Case cases[] = {
        {Keys::none, false, vertex},      {Keys::alt, false, emission},  {Keys::shift, false, emission},
        {Keys::altCtrl, false, emission}, {Keys::ctrl, false, pinOnly},  {Keys::meta, false, pinOnly},
        {Keys::none, true, detection},    {Keys::ctrl, true, detection}, {Keys::alt, true, emission}};
    int index = 0;
    for (const auto& [keys, autoDetect, effect] : cases) {
        const std::string name = "Case " + std::to_string(++index);
        const auto window = windowWith(name);
        if (autoDetect) {
            intent(*window, "setAutoDetect", true);
        }
        click(*window, inLake, keys);
        const json state = screen(*window);
        EXPECT_EQ(state["selectedPoint"], point(inLake)) << name;
        EXPECT_EQ(state["vertices"], effect == vertex ? points({inLake}) : json::array()) << name;
        EXPECT_EQ(state["emissionPoint"], effect == emission ? point(inLake) : json()) << name;
        EXPECT_EQ(state["isDetecting"], effect == detection) << name;
        EXPECT_EQ(state["controlBar"]["clear"]["isEnabled"], effect == vertex || effect == emission) << name;
        EXPECT_EQ(state["sliders"].size(), effect == emission ? 2u : 1u) << name;
        EXPECT_EQ(isDirty(*window), effect == vertex || effect == emission)
            << name << ": the Region appeared";
        if (effect == vertex || effect == emission) {
            EXPECT_EQ(regionCentre(), inLake) << name << ": the Region is created at the click";
        }
        launch->settle();
        if (effect == detection) {
            EXPECT_EQ(screen(*window)["vertices"], points(lake)) << name;
            EXPECT_TRUE(isDirty(*window)) << name;
        }
    }
    EXPECT_EQ(server.requestLines().size(), 2u) << "only the detecting clicks ask Overpass";
}

TEST_F(RegionSelection, TheMapOpensOnTheOutlineElseTheEmissionPointElseTheLastViewedArea) {
    const auto viewOf = [](const MainWindow& window) {
        json view = screen(window)["map"]["viewRequest"];
        view.erase("sequence");
        return view;
    };
    const auto regionWith = [](const Outline& outline, double emissionLat) {
        auto region = std::make_shared<Region>("Lake", 46.0, 7.0);
        region->setWaterVertices(outline);
        region->emissionLat = emissionLat;
        return region;
    };
    // The pond's sides are 2^-10 degrees, so that its centre is exact.
    const Outline pond{{47.5, 8.5}, {47.5, 8.5009765625}, {47.5009765625, 8.5}};
    const struct {
        std::shared_ptr<Region> region;
        MapArea view;
    } cases[] = {{nullptr, {{39.0, 35.0}, 8.0, 8.0}},
                 {regionWith(square, 0.0), {{47.5, 8.5}, 1.5, 1.5}},
                 {regionWith(pond, 0.0), {{47.50048828125, 8.50048828125}, 0.01, 0.01}},
                 {regionWith({}, 46.2), {{46.2, 7.0}, 0.05, 0.05}}};
    int index = 0;
    for (const auto& [region, view] : cases) {
        const std::string name = "Case " + std::to_string(++index);
        EXPECT_EQ(viewOf(*windowWith(name, region)), view.toJson()) << name;
    }
    json left = {{"intent", "mapViewChanged"},
                 {"latitude", 45.0},
                 {"longitude", 6.0},
                 {"latitudeDelta", 0.5},
                 {"longitudeDelta", 0.75}};
    send(*windowWith("Spot", regionWith({}, 46.2)), left);
    EXPECT_THAT(readFile(launch->settings.path()), HasSubstr("lastMapArea"));
    const json lastLeft = MapArea{{45.0, 6.0}, 0.5, 0.75}.toJson();
    const auto window = windowWith("Bare");
    EXPECT_EQ(viewOf(*window), lastLeft) << "a project with no place opens where the user last looked";
    left["latitude"] = 44.0;
    send(*window, left);
    EXPECT_EQ(viewOf(*window), lastLeft) << "the user's own view is never sent back";
}

TEST_F(RegionSelection, VertexEditsAndClearAreUndoneAndRedoneNewestFirst) {
    const auto window = windowWith("Bare");
    draw(*window, {square[0], square[1], square[2]});
    click(*window, {47.5, 8.5}, Keys::alt); // no undo step of its own
    const GeoCoordinate moved{47.0, 9.5};
    const json move = {{"intent", "moveVertex"}, {"index", 1}, {"latitude", 47.0}, {"longitude", 9.5}};
    const json undo = {{"intent", "undo"}};
    const json redo = {{"intent", "redo"}};
    const struct {
        json intent;
        Outline vertices;
        bool hasEmission;
    } steps[] = {{move, {square[0], moved, square[2]}, true},
                 {{{"intent", "deleteVertex"}, {"index", 0}}, {moved, square[2]}, true},
                 {{{"intent", "clearRegion"}}, {}, false},
                 {undo, {moved, square[2]}, true},
                 {undo, {square[0], moved, square[2]}, true},
                 {undo, {square[0], square[1], square[2]}, true},
                 {redo, {square[0], moved, square[2]}, true},
                 {redo, {moved, square[2]}, true},
                 {undo, {square[0], moved, square[2]}, true}};
    for (const auto& [sent, vertices, hasEmission] : steps) {
        send(*window, sent);
        const json state = screen(*window);
        EXPECT_EQ(state["vertices"], points(vertices)) << sent;
        EXPECT_EQ(state["map"]["vertexHandles"], points(vertices)) << sent;
        EXPECT_EQ(state["emissionPoint"], hasEmission ? point(47.5, 8.5) : json()) << sent;
        EXPECT_EQ(state["selectedPoint"], point(47.5, 8.5)) << sent << ": the pin stays";
        EXPECT_EQ(region().waterVertices(), vertices) << sent << ": written through";
    }
    EXPECT_EQ(screen(*window)["canRedo"], true);
    click(*window, square[3]);
    EXPECT_EQ(screen(*window)["canRedo"], false) << "a new edit forgets what could be redone";
    expectRefused(*window, redo, "redo: not applicable: nothing to redo");
    for (int i = 0; i < 5; ++i) {
        send(*window, undo);
    }
    EXPECT_EQ(region().waterVertices(), Outline{});
    EXPECT_EQ(screen(*window)["canUndo"], false);
    expectRefused(*window, undo, "undo: not applicable: nothing to undo");
    intent(*window, "clearRegion");
    expectRefused(*window, {{"intent", "clearRegion"}},
                  "clearRegion: not applicable: there is no polygon or emission point to clear");
}

TEST_F(RegionSelection, ADetectedOutlineReplacesTheDrawingAndClicksMeanwhileNeitherStartAnotherNorLoseIt) {
    const overpass::FakeOverpassServer server({.body = lakeAnswer()});
    serve(server);
    const auto window = windowWith("Bare");
    draw(*window, square);
    click(*window, {47.9, 8.9}, Keys::alt);
    intent(*window, "setAutoDetect", true);
    click(*window, inLake);
    EXPECT_NE(screen(*window)["overlay"], nullptr);
    click(*window, {47.8, 8.6}); // the answer cannot have been handled yet: this thread has not run
    EXPECT_EQ(screen(*window)["selectedPoint"], point(47.8, 8.6));
    EXPECT_EQ(screen(*window)["vertices"], points(square)) << "unchanged until the answer is in";
    intent(*window, "setAutoDetect", false);
    click(*window, {47.7, 8.7});
    Outline drawnMore = square;
    drawnMore.push_back({47.7, 8.7});
    EXPECT_EQ(screen(*window)["vertices"], points(drawnMore)) << "with auto-detect off, clicks draw";
    const int changesBefore = launch->stateChanges;
    launch->settle();

    const json state = screen(*window);
    EXPECT_EQ(state["isDetecting"], false);
    EXPECT_EQ(state["overlay"], nullptr);
    EXPECT_EQ(state["vertices"], points(lake)) << "the answer still replaces the drawing";
    EXPECT_EQ(state["emissionPoint"], point(inLake)) << "the detecting click's";
    EXPECT_EQ(state["selectedPoint"], point(47.7, 8.7));
    EXPECT_GT(launch->stateChanges, changesBefore) << "the windows are told of the answer";
    EXPECT_EQ(region().waterVertices(), lake);
    EXPECT_EQ(regionCentre(), GeoCoordinate(47.7, 8.7)) << "the Region is centred on the pin";
    ASSERT_EQ(server.requestLines().size(), 1u);
    EXPECT_THAT(server.requestLines()[0], HasSubstr("is_in(47.5,8.253)"));
}

TEST_F(RegionSelection, ApplyRefusesAnOutlineThatBoundsNoWaterAndAnEmissionPointOnLandIsFlagged) {
    const std::string tooFew = "The outline needs at least 3 distinct vertices";
    const std::string flat = "The outline has no area: its vertices lie on one line";
    const struct {
        Outline outline;
        std::optional<GeoCoordinate> emission;
        std::optional<std::string> problem;
        bool isOutside;
    } cases[] = {{{square[0], square[1]}, std::nullopt, tooFew, false},
                 // No outline: the emission point is not flagged, however far off.
                 {{square[0], square[1], square[0], square[1]}, GeoCoordinate{60.0, 8.5}, tooFew, false},
                 {{{47.0, 8.0}, {47.5, 8.5}, {48.0, 9.0}}, GeoCoordinate{47.5, 8.9}, flat, false},
                 {{{47.1, 8.3}, {47.1, 8.1}, {47.1, 8.2}}, std::nullopt, flat, false},
                 {square, GeoCoordinate{47.5, 8.5}, std::nullopt, false},
                 {square, GeoCoordinate{47.5, 9.5}, std::nullopt, true},
                 {{square[0], square[1], square[2], square[3], square[0]},
                  GeoCoordinate{46.9, 8.5},
                  std::nullopt,
                  true},
                 // Within the outline's box, outside the outline.
                 {{square[0], square[1], square[3]}, GeoCoordinate{47.9, 8.9}, std::nullopt, true}};
    int index = 0;
    for (const auto& [outline, emission, problem, isOutside] : cases) {
        const std::string name = "Case " + std::to_string(++index);
        const auto window = windowWith(name);
        const std::string before = readFile(projects() / (name + ".pelagrinproj"));
        draw(*window, outline);
        if (emission) {
            click(*window, *emission, Keys::alt);
        }
        const json state = screen(*window);
        const json apply = state["controlBar"]["apply"];
        EXPECT_EQ(apply["isEnabled"], !problem) << name;
        EXPECT_EQ(apply["reason"], problem ? json(*problem) : json()) << name;
        EXPECT_EQ(state["isEmissionOutside"], isOutside) << name;
        EXPECT_EQ(state["controlBar"]["emissionWarning"],
                  isOutside ? json("The emission point is outside the water body") : json())
            << name;
        if (problem) {
            expectRefused(*window, {{"intent", "applyRegion"}}, "applyRegion: not applicable: " + *problem);
            continue;
        }
        intent(*window, "applyRegion");
        EXPECT_FALSE(region().waterVerticesSim().empty()) << name;
        EXPECT_EQ(region().emissionOutsideOutline(), isOutside) << name;
        EXPECT_EQ(readFile(projects() / (name + ".pelagrinproj")), before) << name << ": Apply saves nothing";
    }
}

TEST_F(RegionSelection, ApplyReleasesAtTheEmissionPointOrElseTheSelectedPointAndMapsOntoTheCanvas) {
    const auto window = windowWith("Bare");
    draw(*window, square);
    click(*window, {47.5, 8.5}, Keys::ctrl); // moves the pin, writes nothing yet
    EXPECT_EQ(regionCentre(), square.back());
    intent(*window, "applyRegion");
    EXPECT_EQ(regionCentre(), GeoCoordinate(47.5, 8.5));
    EXPECT_EQ(GeoCoordinate(region().emissionLat, region().emissionLon), GeoCoordinate(47.5, 8.5));
    EXPECT_EQ(region().emissionPointSim(), (Vec2{400, 300}));
    EXPECT_EQ(region().waterVerticesSim(), (std::vector<Vec2>{{0, 600}, {800, 600}, {800, 0}, {0, 0}}));
    EXPECT_EQ(screen(*window)["emissionPoint"], nullptr) << "Apply leaves the screen's emission point absent";

    click(*window, {47.25, 8.75}, Keys::alt);
    intent(*window, "applyRegion");
    EXPECT_EQ(GeoCoordinate(region().emissionLat, region().emissionLon), GeoCoordinate(47.25, 8.75));
    EXPECT_EQ(region().emissionPointSim(), (Vec2{600, 450}));
}

TEST_F(RegionSelection, SlidersWriteStraightIntoTheRegionClampedAndWithoutUndo) {
    const auto window = windowWith("Bare");
    click(*window, {47.5, 8.5}, Keys::ctrl);
    intent(*window, "setFlowDirection", 30);
    EXPECT_TRUE(isDirty(*window)) << "a slider can make the Region appear too";
    EXPECT_EQ(regionCentre(), GeoCoordinate(47.5, 8.5));
    click(*window, {47.5, 8.5}, Keys::alt);
    const struct {
        double direction, radius, storedDirection, storedRadius;
    } cases[] = {{400, 0.2, 360, 1}, {-5, 250, 0, 100}, {90.7, 42.9, 90.7, 42.9}};
    for (const auto& c : cases) {
        intent(*window, "setFlowDirection", c.direction);
        intent(*window, "setEmissionRadius", c.radius);
        EXPECT_EQ(region().flowDirection.get(), c.storedDirection) << c.direction;
        EXPECT_EQ(region().emissionRadius.get(), c.storedRadius) << c.radius;
    }
    const json sliders = screen(*window)["sliders"];
    EXPECT_EQ(sliders[0]["text"], "90°") << "whole degrees, truncated";
    EXPECT_EQ(sliders[1]["text"], "42 m");
    EXPECT_EQ(screen(*window)["canUndo"], false);
}

TEST_F(RegionSelection, TheFlowArrowPointsWhereTheRunCarriesTheWater) {
    const auto window = windowWith("Bare");
    draw(*window, square);
    intent(*window, "applyRegion");
    project().parameters = std::make_shared<SimulationParameters>();
    const struct {
        double direction, rotation;
    } cases[] = {{0, 90}, {90, 180}, {180, 270}, {270, 0}, {325, 55}};
    for (const auto& [direction, rotation] : cases) {
        intent(*window, "setFlowDirection", direction);
        const double iconRotation = screen(*window)["sliders"][0]["iconRotation"];
        EXPECT_EQ(iconRotation, rotation) << direction;
        // The arrow is drawn pointing north and turned clockwise; the canvas's y axis points south.
        const double toRadians = std::numbers::pi / 180.0;
        const double arrowEast = std::sin(iconRotation * toRadians);
        const double arrowNorth = std::cos(iconRotation * toRadians);
        const Vec2 drift = runSettingsOf(project(), 1.0).params.baseFlowVelocity;
        EXPECT_NEAR(arrowEast * std::hypot(drift.x, drift.y), drift.x, 1e-9) << direction;
        EXPECT_NEAR(arrowNorth * std::hypot(drift.x, drift.y), -drift.y, 1e-9) << direction;
    }
}

TEST_F(RegionSelection, BadArgumentsAreRefusedAndChangeNothing) {
    const auto window = windowWith("Bare");
    click(*window, {47.0, 8.0});
    const std::vector<std::pair<json, std::string>> refused{
        {mapClick(90.5, 8.0), "mapClick: \"latitude\" must lie in [-90, 90]"},
        {mapClick(-91, 8.0), "mapClick: \"latitude\" must lie in [-90, 90]"},
        {mapClick(47.0, 180.01), "mapClick: \"longitude\" must lie in [-180, 180]"},
        {mapClick(47.0, -200), "mapClick: \"longitude\" must lie in [-180, 180]"},
        {{{"intent", "mapClick"}, {"longitude", 8.0}}, "mapClick: \"latitude\" is missing"},
        {{{"intent", "setEmissionRadius"}, {"value", 20}},
         "setEmissionRadius: not applicable: there is no emission point"},
        {{{"intent", "moveVertex"}, {"index", 1}, {"latitude", 47.0}, {"longitude", 8.0}},
         "moveVertex: \"index\" must be a whole number in [0, 0]"},
        {{{"intent", "moveVertex"}, {"index", 0}, {"latitude", 95.0}, {"longitude", 8.0}},
         "moveVertex: \"latitude\" must lie in [-90, 90]"},
        {{{"intent", "deleteVertex"}, {"index", 0.5}},
         "deleteVertex: \"index\" must be a whole number in [0, 0]"},
        {{{"intent", "mapViewChanged"},
          {"latitude", 47.0},
          {"longitude", 8.0},
          {"latitudeDelta", 0},
          {"longitudeDelta", 1}},
         "mapViewChanged: \"latitudeDelta\" must lie in (0, 180]"},
        {{{"intent", "mapViewChanged"},
          {"latitude", 47.0},
          {"longitude", 8.0},
          {"latitudeDelta", 1},
          {"longitudeDelta", 361}},
         "mapViewChanged: \"longitudeDelta\" must lie in (0, 360]"}};
    for (const auto& [intentSent, message] : refused) {
        expectRefused(*window, intentSent, message);
    }
    for (const char* flag : {"alt", "shift", "ctrl", "meta"}) {
        json bad = mapClick(47.0, 8.0);
        bad.erase(flag);
        expectRefused(*window, bad, std::string("mapClick: \"") + flag + "\" is missing");
    }
    for (const json& value : {json(3), json(-1), json(1.5), json("Hybrid")}) {
        expectRefused(*window, {{"intent", "setMapType"}, {"value", value}}, "setMapType: \"value\" must be");
    }

    EXPECT_EQ(region().waterVertices(), (Outline{{47.0, 8.0}}));
    EXPECT_EQ(region().flowDirection.get(), 0.0);
    EXPECT_EQ(region().emissionRadius.get(), 10.0);
    EXPECT_FALSE(launch->settings.lastMapArea.get());
}

TEST_F(RegionSelection, TheScreensIntentsNeedItShown) {
    const char* const names[] = {
        "mapClick",          "undo",          "redo",          "moveVertex", "deleteVertex",
        "clearRegion",       "applyRegion",   "setAutoDetect", "setMapType", "setFlowDirection",
        "setEmissionRadius", "mapViewChanged"};
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
