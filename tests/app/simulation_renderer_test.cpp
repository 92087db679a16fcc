// The simulation renderer's model: the water polygon, the control bar, the elapsed badge and the speed
// picker.
#include "app/simulation/SimulationRendererScreen.hpp"
#include "tests/app/RegionHarness.hpp"

#include <cstdio>
#include <limits>

namespace pelagrin::test {
namespace {

using nlohmann::json;

TEST(RunClockText, ElapsedTimeClockAndRateInTheirUnits) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    const std::pair<double, const char*> elapsed[] = {{0.0, "00h 00m"},    {59.9, "00h 00m"},
                                                      {3725.0, "01h 02m"}, {360000.0, "100h 00m"},
                                                      {nan, "00h 00m"},    {infinity, "00h 00m"}};
    for (const auto& [seconds, text] : elapsed) {
        EXPECT_EQ(formatElapsed(seconds), text) << seconds;
    }
    const std::pair<double, const char*> rates[] = {
        {0.16, "0.2 s/s"},   {9.0, "9.0 s/s"},     {9.6, "9.6 s/s"},    {42.4, "42 s/s"},
        {60.0, "1.0 min/s"}, {2460.0, "41 min/s"}, {3600.0, "1.0 h/s"}, {90000.0, "25 h/s"},
    };
    for (const auto& [rate, text] : rates) {
        EXPECT_EQ(formatRate(rate), text) << rate;
    }
    EXPECT_EQ(formatClock(43200.0), "12 h 00 min");
    EXPECT_EQ(formatClock(3725.0), "1 h 02 min");
}

class SimulationRenderer : public WindowTest {
protected:
    /// A window showing the renderer of the square lake.
    std::unique_ptr<MainWindow> rendererWindow() {
        auto window = launch->openWindow();
        // The square of 47–48° N, 8–9° E: its polygon fills the canvas.
        open(*window, projectFile("Square Lake", true, true));
        send(*window, {{"intent", "selectSection"}, {"section", "simulation"}});
        return window;
    }
};

TEST_F(SimulationRenderer,
       ShowsTheWaterPolygonInSimulationPixelsWithItsGroundAndColourModeAndNoneWithoutARegion) {
    const auto renderer = rendererWindow();
    send(*renderer, setControl("particles", "colorMode", 2));
    const json simulation = renderer->state()["project"]["simulation"];
    EXPECT_EQ(simulation["colorMode"], 2) << "the particle settings' colour mode";
    EXPECT_EQ(simulation["water"]["vertices"], json::parse("[[0, 600], [800, 600], [800, 0], [0, 0]]"));
    EXPECT_EQ(simulation["water"]["geoBounds"],
              json::parse(R"({"south": 47, "north": 48, "west": 8, "east": 9})"));
    // A degree of longitude at 47° N is 75.83 km, across the canvas's 800 px.
    EXPECT_NEAR(simulation["metresPerPx"].get<double>(), 94.79, 0.01);
    const auto window = launch->openWindow();
    open(*window, projectFile("Open Water"));
    const json openWater = window->state()["project"]["simulation"];
    EXPECT_EQ(openWater["water"]["vertices"], json::array());
    EXPECT_EQ(openWater["water"]["geoBounds"], nullptr);
    EXPECT_EQ(openWater["metresPerPx"], 1.0);
}

TEST_F(SimulationRenderer, WarnsWhileTheParticlesWouldStartOnLand) {
    const auto window = rendererWindow();
    EXPECT_EQ(window->state()["project"]["simulation"]["notice"], nullptr);
    send(*window, {{"intent", "selectSection"}, {"section", "region"}});
    send(*window, mapClick(47.5, 9.5, Keys::alt)); // east of the square lake
    send(*window, {{"intent", "selectSection"}, {"section", "simulation"}});
    EXPECT_EQ(window->state()["project"]["simulation"]["notice"], emissionOnLandNotice);
}

TEST_F(SimulationRenderer, PlayPauseAndTheBadgeFollowTheRun) {
    const auto window = rendererWindow();
    json simulation = window->state()["project"]["simulation"];
    EXPECT_EQ(simulation["isRunning"], false);
    EXPECT_EQ(simulation["playPauseSymbol"], "play.fill");
    EXPECT_EQ(simulation["elapsed"], json({{"isShown", false}, {"symbol", "clock"}, {"text", "00h 00m"}}));

    send(*window, {{"intent", "toolbarPlayPause"}});
    simulation = window->state()["project"]["simulation"];
    EXPECT_EQ(simulation["isRunning"], true);
    EXPECT_EQ(simulation["playPauseSymbol"], "pause.fill");
    EXPECT_EQ(simulation["elapsed"]["isShown"], true);
    EXPECT_EQ(simulation["elapsed"]["text"], "00h 00m") << "a run starts at 0 s";

    launch->controller.currentTime = 43200.0;
    EXPECT_EQ(window->state()["project"]["simulation"]["elapsed"]["text"], "12h 00m");

    send(*window, {{"intent", "toolbarPlayPause"}});
    simulation = window->state()["project"]["simulation"];
    EXPECT_EQ(simulation["playPauseSymbol"], "play.fill");
    EXPECT_EQ(simulation["runState"], "paused");
    EXPECT_EQ(simulation["elapsed"]["text"], "Paused at 12 h 00 min") << "a pause keeps the clock";
    EXPECT_EQ(simulation["notice"], pausedNotice);

    send(*window, {{"intent", "toolbarReset"}});
    simulation = window->state()["project"]["simulation"];
    EXPECT_EQ(simulation["runState"], "idle");
    EXPECT_EQ(simulation["elapsed"]["isShown"], false);
    EXPECT_EQ(simulation["notice"], nullptr);
}

TEST_F(SimulationRenderer, AFinishedRunKeepsItsBadgeWithTheFinalCounts) {
    const auto window = rendererWindow();
    send(*window, setControl("parameters", "simulationDuration", 3600));
    send(*window, {{"intent", "setSpeed"}, {"value", 300}}); // 1440 s a frame
    send(*window, {{"intent", "toolbarPlayPause"}});
    launch->runLoop.run();
    const json simulation = window->state()["project"]["simulation"];
    EXPECT_EQ(simulation["runState"], "finished");
    EXPECT_EQ(simulation["playPauseSymbol"], "play.fill");
    EXPECT_EQ(simulation["elapsed"]["isShown"], true);
    long active = -1;
    long stranded = -1;
    long sedimented = -1;
    const std::string text = simulation["elapsed"]["text"];
    ASSERT_EQ(std::sscanf(text.c_str(), "Finished at 1 h 00 min · %ld active · %ld stranded · %ld sedimented",
                          &active, &stranded, &sedimented),
              3)
        << text;
    EXPECT_EQ(active + stranded + sedimented, 500) << "every particle is out by the end: " << text;
}

TEST_F(SimulationRenderer, ASpeedOfThePickerSetsTheControllerAndAnyOtherOrAwayFromTheRendererIsRefused) {
    const auto window = rendererWindow();
    send(*window, {{"intent", "setSpeed"}, {"value", 60}});
    EXPECT_EQ(launch->controller.currentSpeedMultiplier(), 60.0);
    EXPECT_EQ(launch->controller.sharedSpeedTarget, 60.0);
    EXPECT_EQ(window->state()["project"]["simulation"]["speed"]["value"], 60.0);
    expectRefused(*window, {{"intent", "setSpeed"}, {"value", 2}},
                  "setSpeed: \"value\" must be 1, 10, 60 or 300");
    expectRefused(*window, {{"intent", "setSpeed"}, {"value", 0}}, "must be 1, 10, 60 or 300");
    send(*window, {{"intent", "selectSection"}, {"section", "parameters"}});
    expectRefused(*window, {{"intent", "setSpeed"}, {"value", 10}}, "the simulation renderer is not shown");
    EXPECT_EQ(launch->controller.currentSpeedMultiplier(), 60.0) << "no refused intent changed the speed";
}

} // namespace
} // namespace pelagrin::test
