// The creation sheet of a main window: its fields, its folder dialog and the outcomes of "Create".
#include "tests/app/WindowHarness.hpp"

#include <gmock/gmock.h>

namespace pelagrin::test {
namespace {

using nlohmann::json;
using ::testing::StartsWith;

using CreateProjectSheetTest = WindowTest;

TEST_F(CreateProjectSheetTest, StartsWithTheDefaultNameInDocumentsAndCreatesTheTrimmedNameInTheChosenFolder) {
    const auto window = launch->openWindow();
    send(*window, {{"intent", "showNewProject"}});
    EXPECT_EQ(window->state()["createProject"], json({{"projectName", "New Simulation"},
                                                      {"location", documents().string()},
                                                      {"errorMessage", nullptr},
                                                      {"canCreate", true}}));
    send(*window, {{"intent", "chooseFolder"}});
    EXPECT_EQ(window->state()["fileDialog"]["title"], "Choose Project Location");
    send(*window, {{"intent", "fileDialogChoose"}, {"path", projects().string()}});
    EXPECT_EQ(window->state()["createProject"]["location"], projects().string());
    send(*window, {{"intent", "setProjectName"}, {"value", "\n\t Lake  Study \r\n"}});
    send(*window, {{"intent", "createProject"}});
    launch->settle();
    const auto path = projects() / "Lake  Study.pelagrinproj";
    const json written = json::parse(readFile(path));
    EXPECT_EQ(written.size(), 2U) << "a new file holds its name and creation time alone: " << written.dump();
    EXPECT_EQ(written.at("name"), "Lake  Study");
    EXPECT_TRUE(written.at("created").is_number());
    const json state = window->state();
    EXPECT_EQ(state["createProject"], nullptr);
    EXPECT_EQ(state["project"]["name"], "Lake  Study");
    EXPECT_EQ(launch->recentProjects.recent.get(), std::vector<std::string>{path.string()});
}

TEST_F(CreateProjectSheetTest, ATakenOrUnfitNameShowsWhyAndWritesNothing) {
    const auto window = launch->openWindow();
    const auto existing = documents() / "Lake Study.pelagrinproj";
    writeFile(existing, "the first project");
    std::filesystem::create_directory(documents() / "Pond.pelagrinproj");
    const std::string long300(300, 'x');
    const struct {
        const char* name;
        const char* message;
    } cases[] = {
        {"Lake Study", "A project with this name already exists in that folder."},
        {" Pond", "A project with this name already exists in that folder."},
        {"../Lake", "A project name cannot contain \"/\"."},
        {"/abs", "A project name cannot contain \"/\"."},
        {".hidden", "A project name cannot start with \".\"."},
        {"..", "A project name cannot start with \".\"."},
        {"tab\there", "A project name cannot contain control characters."},
        {"bell\x07", "A project name cannot contain control characters."},
        {long300.c_str(), "Failed to create project: File name too long"},
    };
    for (const auto& [name, message] : cases) {
        send(*window, {{"intent", "showNewProject"}});
        send(*window, {{"intent", "setProjectName"}, {"value", name}});
        send(*window, {{"intent", "createProject"}});
        launch->settle();
        const json sheet = window->state()["createProject"];
        ASSERT_TRUE(sheet.is_object()) << name << ": the sheet closed";
        EXPECT_EQ(sheet["errorMessage"], message) << name;
        send(*window, {{"intent", "cancelCreateProject"}});
    }
    EXPECT_EQ(readFile(existing), "the first project");
    EXPECT_TRUE(std::filesystem::is_empty(documents() / "Pond.pelagrinproj"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(documents()), {}), 2) << "nothing new";
    EXPECT_FALSE(std::filesystem::exists(folder / "Lake.pelagrinproj"));
    EXPECT_EQ(window->state()["root"]["openHome"], false);
}

TEST_F(CreateProjectSheetTest, AFailedWriteKeepsTheSheetOpenAndTheNextAttemptSucceeds) {
    const auto window = launch->openWindow();
    const auto target = folder / "target";
    std::filesystem::create_directory(target);
    send(*window, {{"intent", "showNewProject"}});
    send(*window, {{"intent", "chooseFolder"}});
    send(*window, {{"intent", "fileDialogChoose"}, {"path", target.string()}});
    std::filesystem::remove(target); // the folder goes away before "Create"
    send(*window, {{"intent", "createProject"}});
    launch->settle();
    const json failed = window->state();
    EXPECT_THAT(failed["createProject"]["errorMessage"].get<std::string>(),
                StartsWith("Failed to create project: "));
    EXPECT_EQ(failed["root"]["openHome"], false) << "no notification after a failed write";

    std::filesystem::create_directory(target);
    send(*window, {{"intent", "createProject"}});
    launch->settle();
    EXPECT_EQ(window->state()["createProject"], nullptr);
    EXPECT_EQ(window->state()["project"]["name"], "New Simulation");
}

TEST_F(CreateProjectSheetTest, WithoutAnyFolderCreateDoesNothingAndSaysNothing) {
    Launch noDocuments(folder / "elsewhere");
    auto window = noDocuments.openWindow();
    send(*window, {{"intent", "showNewProject"}});
    EXPECT_EQ(window->state()["createProject"]["location"], "Unknown");
    send(*window, {{"intent", "createProject"}});
    noDocuments.settle();
    const json state = window->state();
    EXPECT_EQ(state["createProject"]["errorMessage"], nullptr);
    EXPECT_EQ(state["root"]["openHome"], false);
}

TEST_F(CreateProjectSheetTest, ABlankNameIsRefusedAndCancelWritesNothingAndTheNextSheetStartsFresh) {
    const auto window = launch->openWindow();
    send(*window, {{"intent", "showNewProject"}});
    send(*window, {{"intent", "setProjectName"}, {"value", " \t "}});
    EXPECT_EQ(window->state()["createProject"]["canCreate"], false);
    expectRefused(*window, {{"intent", "createProject"}}, "createProject: not applicable");
    send(*window, {{"intent", "setProjectName"}, {"value", "Draft"}});
    send(*window, {{"intent", "chooseFolder"}});
    send(*window, {{"intent", "cancelCreateProject"}});
    EXPECT_EQ(window->state()["createProject"], nullptr);
    EXPECT_EQ(window->state()["fileDialog"], nullptr) << "the sheet's folder dialog goes with it";
    send(*window, {{"intent", "showNewProject"}});
    EXPECT_EQ(window->state()["createProject"]["projectName"], "New Simulation");
    EXPECT_TRUE(std::filesystem::is_empty(documents()));
}

} // namespace
} // namespace pelagrin::test
