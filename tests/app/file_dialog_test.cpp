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

TEST_F(FileDialogTest, AFolderDialogListsOnlyFoldersAndStartsAtTheSheetsFolder) {
    send(*window, {{"intent", "showNewProject"}});
    send(*window, {{"intent", "chooseFolder"}});
    send(*window, {{"intent", "fileDialogChoose"}, {"path", projects().string()}});
    send(*window, {{"intent", "chooseFolder"}});
    const json dialog = window->state()["fileDialog"];
    EXPECT_EQ(dialog["choosesFolders"], true);
    EXPECT_EQ(dialog["folder"], projects().string());
    EXPECT_EQ(names(dialog), (std::vector<std::string>{"Alpha", "beta"}));
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
