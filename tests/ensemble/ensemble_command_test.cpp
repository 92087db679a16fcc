// `pelagrin ensemble` end to end: refused arguments, one process against three ranks, and Ctrl-C.
#include "tests/app/ChildProcess.hpp"
#include "tests/support/TemporaryFolder.hpp"

#include <chrono>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <thread>

namespace pelagrin::test {
namespace {

const std::string executable = PELAGRIN_EXECUTABLE;
const std::string mpiexec = PELAGRIN_MPIEXEC;
const std::string pond = std::string(PELAGRIN_EXAMPLES) + "/kettle-pond.pelagrinproj";

class EnsembleCommand : public testing::Test {
protected:
    std::vector<std::string> command(const std::filesystem::path& out, std::vector<std::string> extra) const {
        std::vector<std::string> arguments{executable, "ensemble", pond,        "--speed",
                                           "1000",     "--out",    out.string()};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return arguments;
    }

    TemporaryFolder folder;
};

struct Refusal {
    std::vector<std::string> arguments;
    std::string message;
};

class RefusedEnsemble : public EnsembleCommand, public testing::WithParamInterface<Refusal> {};

TEST_P(RefusedEnsemble, ExitsWithUsageErrorNamingTheMistakeBeforeAnythingIsWritten) {
    const CommandOutcome outcome = runToEnd(command(folder / "out", GetParam().arguments), folder.path());
    EXPECT_EQ(outcome.status, 2) << outcome.err;
    EXPECT_NE(outcome.err.find(GetParam().message), std::string::npos) << outcome.err;
    EXPECT_FALSE(std::filesystem::exists(folder / "out"));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, RefusedEnsemble,
    testing::Values(
        Refusal{{"--members", "4", "--vary", "depth=1:2"},
                "--vary \"depth=1:2\": unknown parameter \"depth\""},
        Refusal{{"--members", "4", "--vary", "flowSpeed=1.5:0.5"}, "LOW 1.5 is above HIGH 0.5"},
        Refusal{{"--members", "4", "--vary", "flowSpeed=a:1"}, "LOW \"a\" is not a finite number"},
        Refusal{{"--members", "4", "--vary", "windSpeed=0:nan"}, "HIGH \"nan\" is not a finite number"},
        Refusal{{"--members", "4", "--vary", "flowSpeed"}, "--vary \"flowSpeed\": expected NAME=LOW:HIGH"},
        Refusal{{"--members", "4", "--vary", "turbulence=0:11"}, "turbulence must lie within [0, 10]"},
        Refusal{{"--members", "4", "--vary", "radius=1:2", "--vary", "radius=2:3"}, "radius is varied twice"},
        Refusal{
            {"--members", "10", "--grid", "--vary", "radius=1:2", "--vary", "windSpeed=0:5"},
            "--grid over 2 varied parameters needs --members n^2 for a whole n (n values of each), got 10"},
        Refusal{{"--members", "0"}, "--members"}));

TEST_F(EnsembleCommand, WritesTheSameFilesByteForByteInOneProcessAndOverThreeRanks) {
    if (mpiexec.empty()) {
        GTEST_SKIP() << "mpirun was not found when the build was configured";
    }
    const std::vector<std::string> ensemble{
        "--members",     "5", "--seed", "11", "--vary", "flowSpeed=0.5:1.5", "--vary", "count=200:600",
        "--keep-members"};
    const CommandOutcome alone = runToEnd(command(folder / "alone", ensemble), folder.path());
    ASSERT_EQ(alone.status, 0) << alone.err;
    // Open MPI's plugins leave allocations that LeakSanitizer cannot attribute (they are unloaded by exit),
    // so the ranks run without leak checks; the same members ran with them in the one process above.
    std::vector<std::string> spread{"/usr/bin/env",
                                    "ASAN_OPTIONS=detect_leaks=0",
                                    mpiexec,
                                    "--oversubscribe",
                                    "--allow-run-as-root",
                                    "-np",
                                    "3"};
    const std::vector<std::string> ranked = command(folder / "ranks", ensemble);
    spread.insert(spread.end(), ranked.begin(), ranked.end());
    const CommandOutcome ranks = runToEnd(spread, folder.path());
    ASSERT_EQ(ranks.status, 0) << ranks.err;
    EXPECT_NE(ranks.err.find("from 3 processes"), std::string::npos) << ranks.err;

    const std::vector<std::string> expected{
        "manifest.json", "member-0.csv",        "member-1.csv",   "member-2.csv", "member-3.csv",
        "member-4.csv",  "probability.geojson", "probability.nc", "timeline.csv", "timeline.nc"};
    ASSERT_EQ(namesIn(folder / "alone"), expected);
    ASSERT_EQ(namesIn(folder / "ranks"), expected);
    for (const std::string& name : expected) {
        EXPECT_EQ(readFile(folder / "alone" / name), readFile(folder / "ranks" / name)) << name;
    }
    const nlohmann::json manifest = nlohmann::json::parse(readFile(folder / "alone" / "manifest.json"));
    ASSERT_EQ(manifest["members"].size(), 5u);
    EXPECT_EQ(manifest["members"][4]["seed"], 15);
    EXPECT_NE(manifest["members"][0]["parameters"]["count"], manifest["members"][1]["parameters"]["count"]);
}

TEST_F(EnsembleCommand, InterruptKeepsTheMembersThatFinished) {
    const std::filesystem::path out = folder / "out";
    ChildProcess child(command(out, {"--members", "400", "--seed", "3", "--keep-members"}),
                       folder / "out.txt", folder / "err.txt");
    // A plain line is written whenever a member finishes; the first one is the cue.
    while (readFile(folder / "err.txt").find(" of 400 members") == std::string::npos) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    child.signal(SIGINT);
    ASSERT_EQ(child.wait(), 130);

    const nlohmann::json manifest = nlohmann::json::parse(readFile(out / "manifest.json"));
    const std::size_t finished = manifest["finishedCount"];
    EXPECT_GE(finished, 1u);
    EXPECT_LT(finished, 400u);
    ASSERT_EQ(manifest["members"].size(), finished);
    for (const auto& member : manifest["members"]) {
        const std::string csv =
            readFile(out / ("member-" + std::to_string(member["index"].get<int>()) + ".csv"));
        EXPECT_TRUE(lines(csv).back().starts_with("21600.00,")) << "a kept member ran to the end";
    }
    EXPECT_TRUE(std::filesystem::exists(out / "timeline.csv"));
    EXPECT_NE(readFile(folder / "out.txt").find("Interrupted after"), std::string::npos);
}

} // namespace
} // namespace pelagrin::test
