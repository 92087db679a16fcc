// SampleSite: a small built user interface in a temporary folder, with a secret beside it and links that lead
// out.
#pragma once

#include "tests/support/TemporaryFolder.hpp"

#include <filesystem>
#include <string>

namespace pelagrin::test {

/// `root()` holds index.html, app.js, a file of every served type, a folder with its own index.html and
/// symbolic links, one to a file inside and two that lead out to `secret.txt`, which lies beside the root.
class SampleSite {
public:
    static constexpr std::string_view page = "<!doctype html><title>Pelagrin</title>";
    static constexpr std::string_view script = "console.log('pelagrin');";
    static constexpr std::string_view secret = "the neighbour's secret";

    SampleSite() : root_(folder_ / "site") {
        namespace fs = std::filesystem;
        fs::create_directories(root_ / "assets");
        writeFile(root_ / "index.html", page);
        writeFile(root_ / "app.js", script);
        for (const char* name : {"style.css", "icon.svg", "logo.png", "data.json", "font.woff2", "app.js.map",
                                 "notes", "Upper.PNG", "with space.txt"}) {
            writeFile(root_ / name, name);
        }
        writeFile(root_ / "assets" / "index.html", "assets page");
        writeFile(folder_ / "secret.txt", secret);
        fs::create_symlink("app.js", root_ / "alias.js");
        fs::create_symlink("../secret.txt", root_ / "outside.txt");
        fs::create_directory_symlink("..", root_ / "outside-folder");
    }

    const std::filesystem::path& root() const { return root_; }

private:
    TemporaryFolder folder_;
    std::filesystem::path root_;
};

} // namespace pelagrin::test
