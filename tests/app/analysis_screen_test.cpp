// The analysis screen: its cards, charts and the run's seed from the shared data store and the controller,
// and "Export CSV" through the save dialog.
#include "tests/app/WindowHarness.hpp"

#include <gmock/gmock.h>
#include <vector>

namespace pelagrin::test {
namespace {

using nlohmann::json;

Particle moving(double speed) {
    Particle p;
    p.isActive = true;
    p.speed = speed;
    return p;
}

Particle stuck() {
    Particle p;
    p.isStuck = true;
    return p;
}

/// 4 stuck particles, 5 at 10 mm/s and one at 0.2 m/s, on a scale of `pixelsPerMeter`.
std::vector<Particle> mixedSnapshot(double pixelsPerMeter = 1.0) {
    std::vector<Particle> particles(4, stuck());
    particles.insert(particles.end(), 5, moving(0.01 * pixelsPerMeter));
    particles.push_back(moving(0.2 * pixelsPerMeter));
    return particles;
}

class AnalysisTest : public WindowTest {
protected:
    AnalysisTest() {
        open(*window, projectFile("Lake Study", true, true));
        send(*window, {{"intent", "selectSection"}, {"section", "analysis"}});
    }

    json analysis() const { return window->state()["project"]["analysis"]; }
    json dialog() const { return window->state()["fileDialog"]; }
    SimulationDataStore& store() const { return launch->dataStore; }

    void save(const std::filesystem::path& destinationFolder, const std::string& name, bool replace = false) {
        json intent = {{"intent", "fileDialogSave"}, {"folder", destinationFolder.string()}, {"name", name}};
        if (replace) {
            intent["replace"] = true;
        }
        send(*window, intent);
    }

    /// The alert's message, dismissed.
    std::string alertMessage(const char* title) {
        const json alert = window->state()["alert"];
        EXPECT_EQ(alert["title"], title);
        send(*window, {{"intent", "dismissAlert"}});
        return alert["message"];
    }

    std::unique_ptr<MainWindow> window = launch->openWindow();
};

std::vector<std::string> cardValues(const json& analysis) {
    std::vector<std::string> values;
    for (const json& card : analysis["cards"]) {
        values.push_back(card["value"]);
    }
    return values;
}

TEST_F(AnalysisTest, ARunsSeedAndFiguresShowInItsScaleFromItsFirstSampleEvenAnEmptyOneAndRedrawOnEachUpdate) {
    json screen = analysis();
    EXPECT_EQ(cardValues(screen), (std::vector<std::string>{"0", "0", "0", "0.0 mm/s", "0.0 mm/s"}));
    EXPECT_NE(screen["timeline"]["placeholder"], nullptr);
    EXPECT_EQ(screen["timeline"]["time"], json::array());
    EXPECT_NE(screen["distribution"]["placeholder"], nullptr);
    EXPECT_EQ(screen["distribution"]["bars"], json::array());
    EXPECT_EQ(screen["seed"], nullptr) << "no run yet";

    send(*window, {{"intent", "toolbarPlayPause"}});
    const std::string seed = std::to_string(launch->controller.seed().value());
    EXPECT_EQ(analysis()["seed"]["value"].dump(), seed);
    EXPECT_EQ(analysis()["seed"]["command"], "pelagrin run '" +
                                                 (projects() / "Lake Study.pelagrinproj").string() +
                                                 "' --seed " + seed + " --speed 1");

    // Still water is a chart already, in bars of 0.1 mm/s.
    store().update({}, 0.0);
    screen = analysis();
    EXPECT_EQ(screen["timeline"]["placeholder"], nullptr);
    EXPECT_EQ(screen["distribution"]["placeholder"], nullptr);
    EXPECT_EQ(screen["distribution"]["xAxisTitle"], "Speed (mm/s)");
    EXPECT_EQ(screen["distribution"]["bars"].back(), json({{"range", "0.9–1.0"}, {"count", 0}}));

    const double pixelsPerMeter = squareRegion()->pixelsPerMeter();
    const int changesBefore = launch->stateChanges;
    store().update(mixedSnapshot(pixelsPerMeter), 3.0);
    EXPECT_GT(launch->stateChanges, changesBefore) << "a store update must redraw the window";
    screen = analysis();
    // Active average (5 × 0.01 + 0.2) / 6 m/s; the store's global average is not shown anywhere.
    EXPECT_EQ(cardValues(screen), (std::vector<std::string>{"10", "4", "6", "41.7 mm/s", "0.20 m/s"}));
    EXPECT_EQ(screen["timeline"]["xAxisTitle"], "Time (h:min)");
    EXPECT_EQ(screen["distribution"]["xAxisTitle"], "Speed (m/s)");
    EXPECT_EQ(screen["distribution"]["unit"], "m/s");
    const json bars = screen["distribution"]["bars"];
    ASSERT_EQ(bars.size(), 10u);
    EXPECT_EQ(bars.front(), json({{"range", "0.00–0.02"}, {"count", 5}}));
    EXPECT_EQ(bars.back(), json({{"range", "0.18–0.20"}, {"count", 1}}));

    std::vector<Particle> later = mixedSnapshot(pixelsPerMeter);
    later[4] = stuck();
    store().update(later, 4.0);
    EXPECT_EQ(analysis()["timeline"]["time"], json({0.0, 3.0, 4.0}));
    EXPECT_EQ(analysis()["timeline"]["stuck"], json({0, 4, 5}));
}

TEST_F(AnalysisTest, TheSaveDialogStartsInTheProjectsFolderAndListsFoldersAndCsvFilesOnly) {
    std::filesystem::create_directory(projects() / "runs");
    writeFile(projects() / "old.csv", "x");
    writeFile(projects() / "notes.txt", "");
    writeFile(projects() / ".hidden.csv", "");
    send(*window, {{"intent", "exportCSV"}});
    const json shown = dialog();
    EXPECT_EQ(shown["fileName"], "SimulationData.csv");
    EXPECT_EQ(shown["folder"], projects().string());
    std::vector<std::string> listed;
    for (const json& entry : shown["entries"]) {
        listed.push_back(entry["name"]);
    }
    EXPECT_EQ(listed, (std::vector<std::string>{"runs", "old.csv"}));
}

TEST_F(AnalysisTest, ExportWritesTheTimelineAsItStoodWhenPressedAndReplacesAnEarlierFileOnlyWhenAsked) {
    const std::string older = "an older export with more text in it\n";
    writeFile(projects() / "run.csv", older);
    store().reset();
    send(*window, {{"intent", "exportCSV"}});
    expectRefused(*window,
                  {{"intent", "fileDialogSave"}, {"folder", projects().string()}, {"name", "run.csv"}},
                  "fileDialogSave: a file of that name exists; replacing it needs \"replace\": true");
    EXPECT_EQ(readFile(projects() / "run.csv"), older);
    save(projects(), "run.csv", true);
    EXPECT_EQ(readFile(projects() / "run.csv"), SimulationDataStore::csvHeader);
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(alertMessage("Export finished"),
              "The simulation data was saved to " + (projects() / "run.csv").string() + ".");

    store().update(mixedSnapshot(), 1.0);
    store().update(mixedSnapshot(), 2.0);
    const std::string expected = store().exportCSV();
    send(*window, {{"intent", "exportCSV"}});
    store().update(mixedSnapshot(), 3.0); // arrives while the dialog is open
    save(projects(), "run.csv", true);
    EXPECT_EQ(readFile(projects() / "run.csv"), expected);
    EXPECT_EQ(namesIn(projects()), (std::vector<std::string>{"Lake Study.pelagrinproj", "run.csv"}));
    EXPECT_EQ(launch->console.str(), "");
}

TEST_F(AnalysisTest, AFailedWriteSaysWhyInTheWindowAndLosesNothing) {
    store().update(mixedSnapshot(), 1.0);

    // The folder vanished while the dialog was open.
    send(*window, {{"intent", "exportCSV"}});
    save(folder / "gone", "SimulationData.csv");
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(alertMessage("The export failed."), "cannot write " +
                                                      (folder / "gone" / "SimulationData.csv").string() +
                                                      ": No such file or directory");
    EXPECT_FALSE(std::filesystem::exists(folder / "gone"));

    // The name is taken by a folder: it keeps its content and no temporary file is left beside it.
    std::filesystem::create_directory(projects() / "taken.csv");
    writeFile(projects() / "taken.csv" / "kept.txt", "kept");
    const json before = window->state();
    send(*window, {{"intent", "exportCSV"}});
    save(projects(), "taken.csv", true);
    EXPECT_EQ(alertMessage("The export failed."),
              "cannot write " + (projects() / "taken.csv").string() + ": Is a directory");
    EXPECT_EQ(window->state(), before);
    EXPECT_EQ(readFile(projects() / "taken.csv" / "kept.txt"), "kept");
    EXPECT_EQ(namesIn(projects()), (std::vector<std::string>{"Lake Study.pelagrinproj", "taken.csv"}));
    EXPECT_EQ(launch->console.str(), "");
}

TEST_F(AnalysisTest, BadNamesAndIntentsWhereExportDoesNotApplyAreRefusedAndCancelWritesNothing) {
    store().update(mixedSnapshot(), 1.0);
    send(*window, {{"intent", "selectSection"}, {"section", "parameters"}});
    expectRefused(*window, {{"intent", "exportCSV"}}, "exportCSV: not applicable: the analysis screen");
    send(*window, {{"intent", "selectSection"}, {"section", "analysis"}});

    expectRefused(*window, {{"intent", "fileDialogSave"}, {"folder", "/"}, {"name", "a.csv"}},
                  "fileDialogSave: not applicable: no file dialog is shown");
    send(*window, {{"intent", "openProject"}});
    expectRefused(*window, {{"intent", "exportCSV"}}, "exportCSV: not applicable: a dialog is shown");
    expectRefused(*window, {{"intent", "fileDialogSave"}, {"folder", projects().string()}, {"name", "a.csv"}},
                  "fileDialogSave: not applicable: the file dialog does not save a file");
    send(*window, {{"intent", "fileDialogCancel"}});

    send(*window, {{"intent", "exportCSV"}});
    expectRefused(
        *window,
        {{"intent", "fileDialogChoose"}, {"path", (projects() / "Lake Study.pelagrinproj").string()}},
        "fileDialogChoose: not applicable: a save dialog confirms with fileDialogSave");
    const std::string folderPath = documents().string();
    for (const char* name : {"SimulationData.txt", "SimulationData", ".csv", "runs/SimulationData.csv", ""}) {
        expectRefused(*window, {{"intent", "fileDialogSave"}, {"folder", folderPath}, {"name", name}},
                      "fileDialogSave: \"name\" must be a file name ending in .csv");
    }
    expectRefused(*window, {{"intent", "fileDialogSave"}, {"folder", "Documents"}, {"name", "a.csv"}},
                  "fileDialogSave: \"folder\" must be an absolute path");
    expectRefused(*window, {{"intent", "fileDialogSave"}, {"folder", folderPath}}, "\"name\"");
    expectRefused(*window, {{"intent", "fileDialogSave"}, {"folder", folderPath}, {"name", 3}}, "\"name\"");
    send(*window, {{"intent", "fileDialogCancel"}});
    EXPECT_EQ(dialog(), nullptr);

    send(*window, {{"intent", "closeProject"}});
    expectRefused(*window, {{"intent", "exportCSV"}}, "exportCSV: not applicable: the analysis screen");
    EXPECT_TRUE(namesIn(documents()).empty());
}

} // namespace
} // namespace pelagrin::test
