// The ensemble a project window runs: its dialog's checks, its progress and stop, and the bands it sends.
#include "ensemble/EnsembleResults.hpp"
#include "ensemble/EnsembleRunner.hpp"
#include "ensemble/EnsembleStatistics.hpp"
#include "tests/app/WindowHarness.hpp"

#include <algorithm>
#include <gmock/gmock.h>
#include <sstream>

namespace pelagrin::test {
namespace {

using nlohmann::json;

class AnalysisEnsemble : public WindowTest {
protected:
    AnalysisEnsemble() {
        open(*window, projectFile("Square Lake", true, true));
        send(*window, setControl("parameters", "simulationDuration", 3600));
        send(*window, {{"intent", "selectSection"}, {"section", "analysis"}});
    }

    /// Runs at `speed` from now on, as the renderer's speed control sets it.
    void setSpeed(double speed) {
        send(*window, {{"intent", "selectSection"}, {"section", "simulation"}});
        send(*window, {{"intent", "setSpeed"}, {"value", speed}});
        send(*window, {{"intent", "selectSection"}, {"section", "analysis"}});
    }
    json ensemble() const { return window->state()["project"]["ensemble"]; }
    void runEnsemble(const json& members, const json& seed, const json& vary) {
        send(*window, {{"intent", "showEnsembleDialog"}});
        send(*window, {{"intent", "runEnsemble"}, {"members", members}, {"seed", seed}, {"vary", vary}});
    }

    std::unique_ptr<MainWindow> window = launch->openWindow();
};

/// The stuck particles of `csv` (a member's timeline), one per sample.
std::vector<double> stuckColumn(const std::string& csv) {
    std::vector<double> stuck;
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line); // the header
    while (std::getline(lines, line)) {
        stuck.push_back(std::stod(line.substr(line.find(',') + 1)));
    }
    return stuck;
}

TEST_F(AnalysisEnsemble, ThreeMembersDrawTheirPercentileBandOnTheTimeline) {
    EXPECT_TRUE(ensemble()["canRun"]);
    EXPECT_EQ(window->state()["project"]["analysis"]["timeline"]["band"], nullptr);
    send(*window, {{"intent", "showEnsembleDialog"}});
    const json flowSpeed = ensemble()["dialog"]["parameters"][0];
    EXPECT_EQ(flowSpeed["name"], "flowSpeed");
    EXPECT_DOUBLE_EQ(flowSpeed["low"].get<double>(), 0.8) << "20 % below the project's 1 m/s";
    EXPECT_DOUBLE_EQ(flowSpeed["high"].get<double>(), 1.2);

    setSpeed(300);
    runEnsemble("3", "7", {"flowSpeed=0.8:1.2"});
    EXPECT_EQ(ensemble()["dialog"], nullptr);
    EXPECT_TRUE(ensemble()["isRunning"]);
    EXPECT_FALSE(ensemble()["canRun"]);
    expectRefused(*window, {{"intent", "showEnsembleDialog"}}, "a run or an ensemble is going");
    launch->settle();

    const json state = ensemble();
    EXPECT_FALSE(state["isRunning"]);
    EXPECT_EQ(state["result"], (json{{"members", 3}, {"total", 3}, {"seed", 7}}));
    const json band = window->state()["project"]["analysis"]["timeline"]["band"];
    EXPECT_EQ(band["legend"], "5–95 % of 3 members");

    // The same members run headless from the project as the window ran it give the band's numbers.
    send(*window, {{"intent", "toolbarSave"}});
    const EnsembleSetup setup{
        projects() / "Square Lake.pelagrinproj",
        EnsemblePlan::make(7, 3, Variation::parseAll(std::vector<std::string>{"flowSpeed=0.8:1.2"}), false),
        300};
    std::atomic<bool> never{false};
    const std::vector<std::size_t> all{0, 1, 2};
    const std::vector<MemberResult> members =
        runMembers(setup, all, 1, never, [](const EnsembleProgress&) {});
    std::vector<std::vector<double>> stuck;
    for (const MemberResult& member : members) {
        stuck.push_back(stuckColumn(member.csv));
    }
    ASSERT_EQ(band["time"].size(), stuck[0].size());
    for (std::size_t i = 0; i < stuck[0].size(); ++i) {
        std::vector<double> atTime{stuck[0][i], stuck[1][i], stuck[2][i]};
        std::sort(atTime.begin(), atTime.end());
        EXPECT_EQ(band["p5"][i], percentile(atTime, 5)) << "sample " << i;
        EXPECT_EQ(band["p50"][i], atTime[1]) << "sample " << i;
        EXPECT_EQ(band["p95"][i], percentile(atTime, 95)) << "sample " << i;
    }

    // The probability map: the share of these members that left plastic on each bed cell, in percent.
    const json probability = window->state()["project"]["analysis"]["ensembleDeposits"];
    EXPECT_EQ(probability["heatmap"]["legend"], "Members leaving plastic on the bed (%)");
    const std::vector<double> cells = probability["heatmap"]["particlesPerKm2"];
    ASSERT_EQ(cells.size(), members[0].bedCells.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const int leaving = members[0].bedCells[i] + members[1].bedCells[i] + members[2].bedCells[i];
        EXPECT_DOUBLE_EQ(cells[i], 100.0 * leaving / 3.0) << "cell " << i;
    }

    // "Export Ensemble…" writes the folder the command writes of the same members.
    send(*window, {{"intent", "exportEnsemble"}});
    send(*window, {{"intent", "fileDialogSave"}, {"folder", documents().string()}, {"name", "Ensemble"}});
    writeEnsembleResults(folder / "headless", setup, members, false, false);
    EXPECT_EQ(readFile(documents() / "Ensemble" / "timeline.csv"),
              readFile(folder / "headless" / "timeline.csv"));
    EXPECT_TRUE(std::filesystem::exists(documents() / "Ensemble" / "manifest.json"));

    send(*window, {{"intent", "clearEnsemble"}});
    EXPECT_EQ(window->state()["project"]["analysis"]["timeline"]["band"], nullptr);
    EXPECT_EQ(ensemble()["result"], nullptr);
    expectRefused(*window, {{"intent", "exportEnsemble"}},
                  "exportEnsemble: not applicable: there is no ensemble to export");
}

TEST_F(AnalysisEnsemble, StopKeepsTheMembersThatFinished) {
    setSpeed(10);
    bool isStopped = false;
    launch->onStateChange = [&] {
        const json progress = ensemble()["progress"];
        if (!isStopped && progress.is_object() && progress["done"] >= 1) {
            isStopped = true;
            send(*window, {{"intent", "stopEnsemble"}});
        }
    };
    // More members than a machine has cores, so that some are still waiting to start when the first ends.
    runEnsemble("40", "", json::array());
    launch->settle();
    const json result = ensemble()["result"];
    ASSERT_TRUE(result.is_object()) << ensemble().dump();
    EXPECT_GE(result["members"], 1);
    EXPECT_LT(result["members"], 40) << "stopped before the last member ended";
    EXPECT_EQ(result["total"], 40);
    EXPECT_EQ(window->state()["project"]["analysis"]["timeline"]["band"]["legend"],
              "5–95 % of " + result["members"].dump() + " member" + (result["members"] == 1 ? "" : "s"));
}

TEST_F(AnalysisEnsemble, InputTheCommandRefusesKeepsTheDialogWithItsMessageAndChangesNothing) {
    struct Case {
        json members;
        json seed;
        json vary;
        std::string message;
    };
    const std::vector<Case> cases{
        {"1", "", json::array(), "Members must be a whole number from 2 to 200, got \"1\""},
        {"201", "", json::array(), "Members must be a whole number from 2 to 200, got \"201\""},
        {"ten", "", json::array(), "Members must be a whole number from 2 to 200, got \"ten\""},
        {"5", "-1", json::array(),
         "Seed must be blank or a whole number from 0 to 9007199254740991, got \"-1\""},
        {"5", "9007199254740991", json::array(),
         "--seed 9007199254740991 with 5 members goes past the largest seed, 9007199254740991"},
        {"5", "", {"flowSpeed=abc:1"}, "--vary \"flowSpeed=abc:1\": LOW \"abc\" is not a finite number"},
        {"5", "", {"flowSpeed=1.5:1"}, "--vary \"flowSpeed=1.5:1\": LOW 1.5 is above HIGH 1"},
        {"5", "", {"density=0.1:1"}, "--vary \"density=0.1:1\": density must lie within [0.5, 1.4]"},
        {"5", "", {"radius=1:2", "radius=1:3"}, "--vary \"radius=1:3\": radius is varied twice"},
    };
    send(*window, {{"intent", "showEnsembleDialog"}});
    const std::string file = readFile(projects() / "Square Lake.pelagrinproj");
    for (const Case& bad : cases) {
        json before = ensemble();
        send(*window,
             {{"intent", "runEnsemble"}, {"members", bad.members}, {"seed", bad.seed}, {"vary", bad.vary}});
        json after = ensemble();
        EXPECT_EQ(after["dialog"]["error"], bad.message);
        after["dialog"]["error"] = before["dialog"]["error"];
        EXPECT_EQ(after, before) << "nothing runs for " << bad.message;
    }
    EXPECT_EQ(readFile(projects() / "Square Lake.pelagrinproj"), file);
    expectRefused(*window, {{"intent", "runEnsemble"}, {"members", "3"}, {"seed", ""}, {"vary", "flowSpeed"}},
                  "runEnsemble: \"vary\" must be at most 8 strings of at most 200 characters");
    send(*window, {{"intent", "cancelEnsembleDialog"}});
    EXPECT_EQ(ensemble()["dialog"], nullptr);
    expectRefused(*window, {{"intent", "stopEnsemble"}},
                  "stopEnsemble: not applicable: no ensemble is running");
}

} // namespace
} // namespace pelagrin::test
