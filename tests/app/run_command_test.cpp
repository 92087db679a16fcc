// `pelagrin run` end to end: the built executable on the shipped examples and on bad input.
#include "analysis/SimulationDataStore.hpp"
#include "projects/ProjectPersistence.hpp"
#include "simulation/SimulationController.hpp"
#include "tests/app/ChildProcess.hpp"
#include "tests/exports/NetCdfReading.hpp"
#include "tests/support/TemporaryFolder.hpp"

#include <boost/asio/io_context.hpp>
#include <chrono>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

namespace pelagrin::test {
namespace {

const std::string executable = PELAGRIN_EXECUTABLE;
const std::filesystem::path examples = PELAGRIN_EXAMPLES;
constexpr std::string_view csvHeader =
    "Time (s),Stuck Particles,Active Particles,Avg Speed (Global),Active Avg Speed,Max Speed\n";

class RunCommand : public testing::Test {
protected:
    CommandOutcome run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {executable, "run"});
        return runToEnd(arguments, folder.path());
    }

    std::string csvPath() const { return (folder / "timeline.csv").string(); }

    /// The folder holds only what the test and the command's output redirection put there: no temporary
    /// file of a write is left behind.
    void expectOnlyFiles(std::vector<std::string> expected) const {
        expected.insert(expected.end(), {"err.txt", "out.txt"});
        std::vector<std::string> present;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            present.push_back(entry.path().filename().string());
        }
        std::sort(present.begin(), present.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(present, expected);
    }

    TemporaryFolder folder;
};

TEST_F(RunCommand, RunsAnExampleToItsDurationAndWritesOneSamplePerFrameAndTrajectoriesPerMinute) {
    // 410 steps of 16 s per frame: the pond's six hours end with the 1350th step, within the fourth frame.
    const std::filesystem::path trajectories = folder / "run.nc";
    const CommandOutcome outcome =
        run({(examples / "kettle-pond.pelagrinproj").string(), "--speed", "1000", "--csv", csvPath(),
             "--trajectories", trajectories.string(), "--every", "60", "--seed", "5", "--deposits",
             (folder / "deposits.geojson").string(), "--heatmap", (folder / "bed.nc").string()});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const std::string csv = readFile(csvPath());
    ASSERT_TRUE(csv.starts_with(csvHeader)) << csv;
    const std::vector<std::string> rows = lines(csv);
    ASSERT_EQ(rows.size(), 5u) << csv;
    EXPECT_TRUE(rows[1].starts_with("6560.00,"));
    EXPECT_TRUE(rows[4].starts_with("21600.00,"));
    EXPECT_NE(outcome.out.find("Finished at 21600.0 s"), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find("Particles: "), std::string::npos);
    EXPECT_NE(outcome.out.find("Timeline: 4 samples"), std::string::npos) << outcome.out;
    EXPECT_EQ(outcome.err.find("pelagrin run:"), std::string::npos) << outcome.err;

    // The release, then the first step past each minute, finer than the frames: the last one ends the run.
    EXPECT_NE(outcome.out.find("Trajectories: 361 samples written to " + trajectories.string()),
              std::string::npos)
        << outcome.out;
    const NetCdfReading file(trajectories);
    EXPECT_EQ(file.dimension("trajectory"), 1500u);
    const std::vector<double> times = file.values<double>("time");
    ASSERT_EQ(times.size(), 361u);
    EXPECT_EQ(times[1], 64.0);
    EXPECT_EQ(times.back(), 21600.0);
    // What the files hold is their writers' to test; the command names them once written.
    EXPECT_NE(outcome.out.find("Deposits written to " + (folder / "deposits.geojson").string()),
              std::string::npos);
    EXPECT_NE(outcome.out.find("Bed heatmap written to " + (folder / "bed.nc").string()), std::string::npos);
    expectOnlyFiles({"bed.nc", "deposits.geojson", "run.nc", "timeline.csv"});
}

TEST_F(RunCommand, ATrajectoryWriteThatFailsDuringTheRunEndsItWithTheReasonAndNoFile) {
    // Under a 1 MB limit on a file's size, ignored as a signal so that the write fails with EFBIG: the
    // pond's trajectories (about 4 MB) outgrow it during the run, the timeline does not.
    const std::filesystem::path trajectories = folder / "run.nc";
    const CommandOutcome outcome =
        runToEnd({"/bin/sh", "-c", "ulimit -f 2048; trap '' XFSZ; exec \"$@\"", "sh", executable, "run",
                  (examples / "kettle-pond.pelagrinproj").string(), "--speed", "1000", "--csv", csvPath(),
                  "--trajectories", trajectories.string()},
                 folder.path());
    EXPECT_EQ(outcome.status, 1) << "a clear error, not a crash at exit";
    EXPECT_NE(outcome.err.find("Running \"Kettle Pond\""), std::string::npos) << "the file had started";
    EXPECT_EQ(lines(outcome.err).back(),
              "pelagrin run: Cannot write trajectories to " + trajectories.string() + ": NetCDF: HDF error")
        << outcome.err;
    EXPECT_TRUE(outcome.out.empty()) << outcome.out;
    expectOnlyFiles({"timeline.csv"});
}

TEST_F(RunCommand, EveryExampleLoadsAndRuns) {
    for (const auto& entry : std::filesystem::directory_iterator(examples)) {
        if (entry.path().extension() != ".pelagrinproj") {
            continue;
        }
        const CommandOutcome outcome = run({entry.path().string(), "--speed", "1000", "--csv", csvPath()});
        EXPECT_EQ(outcome.status, 0) << entry.path() << ": " << outcome.err;
        EXPECT_GT(lines(readFile(csvPath())).size(), 1u) << entry.path();
    }
}

TEST_F(RunCommand, BadInputGetsOneLineAndLeavesAnExistingCsvAlone) {
    const std::string example = (examples / "kettle-pond.pelagrinproj").string();
    writeFile(folder / "malformed.pelagrinproj", "{\"name\": \"Lake\", \"created\": ");
    writeFile(folder / "bare.pelagrinproj", "{\"name\": \"Lake\", \"created\": 0}");
    writeFile(folder / "stormy.pelagrinproj", R"({"name": "Lake", "created": 0, "parameters": {"flowSpeed": 1,
        "turbulence": 1e308, "viscosity": 1, "gravityScale": 1}})");
    std::filesystem::create_directory(folder / "a folder");
    ASSERT_EQ(::mkfifo((folder / "fifo.pelagrinproj").c_str(), 0600), 0);
    writeFile(csvPath(), "an earlier timeline\n");
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{(folder / "missing.pelagrinproj").string(), "--csv", csvPath()}, 1, "cannot read"},
        {{(folder / "malformed.pelagrinproj").string(), "--csv", csvPath()}, 1, "malformed.pelagrinproj"},
        {{(folder / "bare.pelagrinproj").string(), "--csv", csvPath()}, 1, "has no simulation parameters"},
        {{(folder / "stormy.pelagrinproj").string(), "--csv", csvPath()},
         1,
         "cannot be run: turbulence: 1e+308 over the run's 43594 s overflows the turbulence's clock"},
        // Neither is read: the device would never end and the FIFO has no writer.
        {{"/dev/zero", "--csv", csvPath()}, 1, "cannot read /dev/zero: it is not a regular file"},
        {{(folder / "fifo.pelagrinproj").string(), "--csv", csvPath()}, 1, "it is not a regular file"},
        {{example, "--csv", (folder / "no such folder" / "t.csv").string()}, 1, "does not exist"},
        {{example, "--csv", (folder / "a folder").string()}, 1, "it is a folder"},
        {{example, "--deposits", (folder / "no such folder" / "d.geojson").string(), "--csv", csvPath()},
         1,
         "cannot write the deposits to"},
        {{example, "--speed", "0", "--csv", csvPath()}, 2, "greater than 0"},
        {{example, "--speed", "-60", "--csv", csvPath()}, 2, "greater than 0"},
        {{example, "--speed", "fast", "--csv", csvPath()}, 2, "greater than 0"},
        {{example, "--speed", "nan", "--csv", csvPath()}, 2, "greater than 0"},
        {{example, "--speed", "inf", "--csv", csvPath()}, 2, "greater than 0"},
        {{example, "--seed", "-1", "--csv", csvPath()},
         2,
         "--seed: must be a whole number from 0 to 9007199254740991"},
        {{example, "--seed", "1.5", "--csv", csvPath()},
         2,
         "must be a whole number from 0 to 9007199254740991, got \"1.5\""},
        {{example, "--seed", "x", "--csv", csvPath()}, 2, "must be a whole number"},
        {{example, "--seed", "9007199254740992", "--csv", csvPath()}, 2, "must be a whole number"},
        {{example, "--model", "lagrangian", "--csv", csvPath()},
         2,
         "--model: must be original or physical, got \"lagrangian\""},
        {{(folder / "stormy.pelagrinproj").string(), "--model", "physical", "--csv", csvPath()},
         1,
         "cannot be run: region.waterVertices: 0 vertices make no water outline; the physical model needs at "
         "least 3"},
        {{example, "--trajectories", (folder / "run.nc").string(), "--every", "0", "--csv", csvPath()},
         2,
         "--every: must be a number greater than 0, got \"0\""},
        {{example, "--every", "60", "--csv", csvPath()}, 2, "--every requires --trajectories"},
        {{example, "--trajectories", (folder / "no such folder" / "run.nc").string(), "--csv", csvPath()},
         1,
         "pelagrin run: Cannot write trajectories to " + (folder / "no such folder" / "run.nc").string() +
             ": No such file or directory"},
    };
    for (const Case& c : cases) {
        const CommandOutcome outcome = run(c.arguments);
        const std::string what = c.arguments.front() + " " + c.arguments[1] + " " + c.arguments[2];
        EXPECT_EQ(outcome.status, c.status) << what;
        EXPECT_EQ(lines(outcome.err).size(), 1u) << what << ": " << outcome.err;
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << what << ": " << outcome.err;
        EXPECT_TRUE(outcome.out.empty()) << what << ": " << outcome.out;
        EXPECT_EQ(readFile(csvPath()), "an earlier timeline\n") << what;
    }
    expectOnlyFiles({"a folder", "bare.pelagrinproj", "fifo.pelagrinproj", "malformed.pelagrinproj",
                     "stormy.pelagrinproj", "timeline.csv"});
}

TEST_F(RunCommand, ASeedGivesTheAppsRunAtTheSameSpeed) {
    // The bay strands some of its particles and not others, so the timeline shows any draw that differs.
    const std::string example = (examples / "sheltered-bay.pelagrinproj").string();
    auto timelineOf = [&](const std::string& seed) {
        const CommandOutcome outcome = run({example, "--seed", seed, "--speed", "1000", "--csv", csvPath()});
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_NE(outcome.out.find("Seed: " + seed + " "), std::string::npos) << outcome.out;
        return readFile(csvPath());
    };
    const std::string seven = timelineOf("7");
    EXPECT_NE(timelineOf("8"), seven);

    // The app's controller on the same project, seed and speed.
    const std::shared_ptr<Project> project = ProjectPersistence::load(example);
    project->parameters.get()->seed = std::uint64_t{7};
    boost::asio::io_context context;
    SimulationDataStore store;
    SimulationController controller(context.get_executor(), store, RunPacing::unpaced());
    controller.setCurrentSpeedMultiplier(1000);
    controller.start(*project);
    context.run();
    EXPECT_EQ(store.exportCSV(), seven);
}

TEST_F(RunCommand, AnInterruptedRunStillWritesTheTimelineAndTrajectoriesOfWhatRan) {
    // Paced like the app at half speed, the valley lake's twelve hours would take days.
    ChildProcess child({executable, "run", (examples / "valley-lake.pelagrinproj").string(), "--realtime",
                        "--speed", "0.5", "--csv", csvPath(), "--trajectories", (folder / "run.nc").string()},
                       folder / "out.txt", folder / "err.txt");
    // The announcement comes once the signal watch is in place.
    for (int i = 0; i < 200 && readFile(folder / "err.txt").find("Running") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    child.signal(SIGINT);
    EXPECT_EQ(child.wait(), 130);

    const std::string out = readFile(folder / "out.txt");
    const std::string csv = readFile(csvPath());
    ASSERT_TRUE(csv.starts_with(csvHeader)) << csv;
    EXPECT_NE(out.find("Interrupted at"), std::string::npos) << out;
    const std::string written = "Timeline: " + std::to_string(lines(csv).size() - 1) + " samples";
    EXPECT_NE(out.find(written), std::string::npos) << out << "\n" << csv;
    // The release and where the run was stopped.
    EXPECT_NE(out.find("Trajectories: 2 samples"), std::string::npos) << out;
    expectOnlyFiles({"run.nc", "timeline.csv"});
}

} // namespace
} // namespace pelagrin::test
