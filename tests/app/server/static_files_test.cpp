// StaticFiles: the user interface's files by request target, with their types, and nothing outside its
// folder.
#include "app/server/StaticFiles.hpp"
#include "tests/app/server/SampleSite.hpp"

#include <gtest/gtest.h>
#include <string>

namespace pelagrin {
namespace {

using test::SampleSite;

TEST(StaticFiles, FindsEachFileByItsTargetWithItsContentType) {
    const SampleSite site;
    const StaticFiles files(site.root());
    const std::string html = "text/html; charset=utf-8";
    const std::string javascript = "text/javascript; charset=utf-8";
    const struct {
        const char* target;
        std::string bytes;
        std::string contentType;
    } cases[] = {
        // The root and a folder serve their index; the query is ignored.
        {"/", std::string(SampleSite::page), html},
        {"/index.html", std::string(SampleSite::page), html},
        {"/?token=abc", std::string(SampleSite::page), html},
        {"//index.html", std::string(SampleSite::page), html},
        {"/assets/", "assets page", html},
        {"/app.js", std::string(SampleSite::script), javascript},
        {"/style.css", "style.css", "text/css; charset=utf-8"},
        {"/icon.svg", "icon.svg", "image/svg+xml"},
        {"/logo.png", "logo.png", "image/png"},
        {"/Upper.PNG", "Upper.PNG", "image/png"},
        {"/data.json", "data.json", "application/json"},
        {"/font.woff2", "font.woff2", "font/woff2"},
        {"/app.js.map", "app.js.map", "application/json"},
        {"/notes", "notes", "application/octet-stream"},
        // Escapes are decoded once, and a link that stays inside is followed.
        {"/with%20space.txt", "with space.txt", "application/octet-stream"},
        {"/%61pp.js", std::string(SampleSite::script), javascript},
        {"/alias.js", std::string(SampleSite::script), javascript},
    };
    for (const auto& [target, bytes, contentType] : cases) {
        const auto file = files.find(target);
        ASSERT_TRUE(file) << target;
        EXPECT_EQ(file->bytes, bytes) << target;
        EXPECT_EQ(file->contentType, contentType) << target;
        EXPECT_EQ(file->isPage, contentType == html) << target;
    }
}

TEST(StaticFiles, FindsNothingOutsideItsFolderMissingOrBadlyEscapedHoweverTheTargetIsSpelt) {
    const SampleSite site;
    const StaticFiles files(site.root());
    for (const char* target : {
             "/../secret.txt",
             "/assets/../../secret.txt",
             "/%2e%2e/secret.txt",
             "/%2E%2E/secret.txt",
             "/.%2e/secret.txt",
             "/assets/..%2f..%2fsecret.txt",
             "/%2e%2e%2fsecret.txt",
             "/./app.js",
             "/outside.txt",
             "/outside-folder/secret.txt",
             "http://127.0.0.1/app.js",
             "app.js",
             "",
             "/with%2520space.txt", // an escaped escape is a literal '%'
             "/missing.js",
             "/assets",
             "/app.js%00.png",
             "/%zz.js",
             "/app.js%",
             "/app.js%6",
         }) {
        EXPECT_FALSE(files.find(target)) << target;
    }
    EXPECT_FALSE(StaticFiles(site.root() / "not-built").find("/"))
        << "a root that does not exist serves nothing";
}

} // namespace
} // namespace pelagrin
