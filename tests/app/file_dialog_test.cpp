// The in-app file dialog: what it lists, how it walks, and which choices it accepts.
#include "tests/app/WindowHarness.hpp"

namespace pelagrin::test {
namespace {

using nlohmann::json;

class FileDialogTest : public WindowTest {
protected:
    FileDialogTest() {
        std::filesystem::create_directory(projects() / "beta");
        std::filesystem::create_directory(projects() / "Alpha");
        std::filesystem::create_directory(projects() / ".hidden folder");
        writeFile(projects() / "zeta.pelagrinproj", "{}");
        writeFile(projects() / "Delta.pelagrinproj", "{}");
        writeFile(projects() / ".secret.pelagrinproj", "{}");
        writeFile(projects() / "notes.txt", "");
    }

    static std::vector<std::string> names(const json& dialog) {
        std::vector<std::string> listed;
        for (const json& entry : dialog["entries"]) {
            listed.push_back(entry["name"]);
        }
        return listed;
    }

    std::unique_ptr<MainWindow> window = launch->openWindow();
};

TEST_F(FileDialogTest, AProjectDialogListsFoldersFirstThenProjectFilesByNameWithoutHiddenOnes) {
    send(*window, {{"intent", "showOpenDialog"}});
    send(*window, {{"intent", "fileDialogNavigate"}, {"path", projects().string()}});
    const json dialog = window->state()["fileDialog"];
    EXPECT_EQ(dialog["folder"], projects().string());
    EXPECT_EQ(dialog["parent"], folder.path().string());
    EXPECT_EQ(names(dialog),
              (std::vector<std::string>{"Alpha", "beta", "Delta.pelagrinproj", "zeta.pelagrinproj"}));
    EXPECT_EQ(dialog["entries"][2], json({{"name", "Delta.pelagrinproj"},
                                          {"path", (projects() / "Delta.pelagrinproj").string()},
                                          {"isFolder", false}}));
}

TEST_F(FileDialogTest, AFolderDialogListsFoldersThenItsFilesOnlyToSeeAndStartsAtTheSheetsFolder) {
    send(*window, {{"intent", "showNewProject"}});
    send(*window, {{"intent", "chooseFolder"}});
    send(*window, {{"intent", "fileDialogChoose"}, {"path", projects().string()}});
    send(*window, {{"intent", "chooseFolder"}});
    const json dialog = window->state()["fileDialog"];
    EXPECT_EQ(dialog["choosesFolders"], true);
    EXPECT_EQ(dialog["folder"], projects().string());
    EXPECT_EQ(names(dialog), (std::vector<std::string>{"Alpha", "beta", "Delta.pelagrinproj", "notes.txt",
                                                       "zeta.pelagrinproj"}));
    EXPECT_EQ(dialog["entries"][3]["isFolder"], false);
}

TEST_F(FileDialogTest, NewFolderMakesAndListsTheFolderOrSaysWhyNot) {
    send(*window, {{"intent", "showNewProject"}});
    send(*window, {{"intent", "chooseFolder"}});
    send(*window, {{"intent", "fileDialogNavigate"}, {"path", projects().string()}});
    const struct {
        const char* name;
        const char* error;
    } refused[] = {
        {"Alpha", "A file or folder with this name already exists here."},
        {"notes.txt", "A file or folder with this name already exists here."},
        {"", "A folder name cannot be empty."},
        {"a/b", "A folder name cannot contain \"/\"."},
        {"..", "A folder name cannot start with \".\"."},
        {"line\nbreak", "A folder name cannot contain control characters."},
    };
    const json listed = window->state()["fileDialog"];
    for (const auto& [name, error] : refused) {
        send(*window, {{"intent", "fileDialogNewFolder"}, {"name", name}});
        json dialog = window->state()["fileDialog"];
        EXPECT_EQ(dialog["error"], error) << name;
        dialog["error"] = nullptr;
        EXPECT_EQ(dialog, listed) << name;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(projects()), {}), 7) << "nothing was made";

    send(*window, {{"intent", "fileDialogNewFolder"}, {"name", "Studies 2026"}});
    const json made = window->state()["fileDialog"];
    EXPECT_EQ(made["folder"], (projects() / "Studies 2026").string());
    EXPECT_EQ(made["error"], nullptr);
    send(*window, {{"intent", "fileDialogChoose"}, {"path", made["folder"]}});
    EXPECT_EQ(window->state()["createProject"]["location"], (projects() / "Studies 2026").string());
}

TEST_F(FileDialogTest, NamesThatAreNotUtf8ShowAndOpenLosslessly) {
    const auto strange = projects() / "\xff";
    std::filesystem::create_directory(strange);
    const auto project = strange / "caf\xe9.pelagrinproj";
    writeFile(project, R"({"name": "Cafe", "created": 0})");
    send(*window, {{"intent", "showOpenDialog"}});
    send(*window, {{"intent", "fileDialogNavigate"}, {"path", projects().string()}});
    // The page gets text it can carry, and sends back what it got.
    const json listed = json::parse(window->state().dump());
    const json& folderEntry = listed["fileDialog"]["entries"][2];
    EXPECT_EQ(folderEntry["name"], std::string(1, '\0') + "%FF");
    send(*window, {{"intent", "fileDialogNavigate"}, {"path", folderEntry["path"]}});
    const json inside = json::parse(window->state().dump());
    ASSERT_EQ(inside["fileDialog"]["entries"].size(), 1U);
    send(*window, {{"intent", "fileDialogChoose"}, {"path", inside["fileDialog"]["entries"][0]["path"]}});
    launch->settle();
    EXPECT_EQ(window->state()["project"]["isLoaded"], true);
    EXPECT_EQ(launch->settings.lastOpenedProjectURL.get(), project.string());

    window.reset(); // a window goes before the app that made it
    relaunch();
    launch->settings.autoOpenLastProject = false;
    const auto next = launch->openWindow();
    const json welcome = json::parse(next->state().dump())["welcome"];
    ASSERT_EQ(welcome["recent"].size(), 1U);
    send(*next, {{"intent", "openRecent"}, {"path", welcome["recent"][0]["path"]}});
    launch->settle();
    EXPECT_EQ(next->state()["project"]["isLoaded"], true);
}

TEST_F(FileDialogTest, AnUnreadableFolderKeepsTheListingAndSaysWhy) {
    send(*window, {{"intent", "showOpenDialog"}});
    send(*window, {{"intent", "fileDialogNavigate"}, {"path", projects().string()}});
    const json listed = window->state()["fileDialog"];
    for (const auto& unreadable : {projects() / "missing", projects() / "notes.txt"}) {
        send(*window, {{"intent", "fileDialogNavigate"}, {"path", unreadable.string()}});
        json dialog = window->state()["fileDialog"];
        ASSERT_TRUE(dialog["error"].is_string()) << unreadable;
        EXPECT_NE(dialog["error"].get<std::string>().find(unreadable.string()), std::string::npos);
        dialog["error"] = nullptr;
        EXPECT_EQ(dialog, listed) << unreadable;
    }
    send(*window, {{"intent", "fileDialogNavigate"}, {"path", (projects() / "Alpha/").string()}});
    const json walked = window->state()["fileDialog"];
    EXPECT_EQ(walked["error"], nullptr) << "a readable folder clears the error";
    EXPECT_EQ(walked["folder"], (projects() / "Alpha").string());
    EXPECT_EQ(walked["entries"], json::array());
    send(*window, {{"intent", "fileDialogNavigate"}, {"path", "/"}});
    EXPECT_EQ(window->state()["fileDialog"]["parent"], nullptr) << "the root has no parent";
}

TEST_F(FileDialogTest, AChoiceOfTheWrongKindOrARelativePathIsRefused) {
    send(*window, {{"intent", "showOpenDialog"}});
    expectRefused(*window, {{"intent", "fileDialogChoose"}, {"path", (projects() / "Alpha").string()}},
                  "fileDialogChoose: not a project file");
    expectRefused(*window, {{"intent", "fileDialogChoose"}, {"path", (projects() / "notes.txt").string()}},
                  "not a project file");
    expectRefused(*window, {{"intent", "fileDialogNavigate"}, {"path", "projects"}},
                  "fileDialogNavigate: \"path\" must be an absolute path");
    send(*window, {{"intent", "fileDialogCancel"}});

    send(*window, {{"intent", "showNewProject"}});
    send(*window, {{"intent", "chooseFolder"}});
    expectRefused(*window,
                  {{"intent", "fileDialogChoose"}, {"path", (projects() / "zeta.pelagrinproj").string()}},
                  "fileDialogChoose: not a folder");
}

} // namespace
} // namespace pelagrin::test
