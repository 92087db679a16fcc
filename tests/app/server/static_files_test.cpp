// StaticFiles: the user interface's files by request target, with their types, and nothing outside its
// folder.
#include "app/server/StaticFiles.hpp"
#include "tests/app/server/SampleSite.hpp"

#include <gtest/gtest.h>
#include <utility>

namespace pelagrin {
namespace {

using test::SampleSite;

TEST(StaticFiles, ServesIndexForTheRootAndForAFolderAndIgnoresTheQuery) {
    const SampleSite site;
    const StaticFiles files(site.root());
    for (const char* target : {"/", "/index.html", "/?token=abc", "//index.html"}) {
        const auto file = files.find(target);
        ASSERT_TRUE(file) << target;
        EXPECT_EQ(file->bytes, SampleSite::page) << target;
        EXPECT_EQ(file->contentType, "text/html; charset=utf-8");
        EXPECT_TRUE(file->isPage);
    }
    ASSERT_TRUE(files.find("/assets/"));
    EXPECT_EQ(files.find("/assets/")->bytes, "assets page");
}

TEST(StaticFiles, NamesTheContentTypeOfEachKnownExtension) {
    const SampleSite site;
    const StaticFiles files(site.root());
    const std::pair<const char*, std::string_view> expected[] = {
        {"/app.js", "text/javascript; charset=utf-8"},
        {"/style.css", "text/css; charset=utf-8"},
        {"/icon.svg", "image/svg+xml"},
        {"/logo.png", "image/png"},
        {"/Upper.PNG", "image/png"},
        {"/data.json", "application/json"},
        {"/font.woff2", "font/woff2"},
        {"/app.js.map", "application/json"},
        {"/notes", "application/octet-stream"},
    };
    for (const auto& [target, contentType] : expected) {
        const auto file = files.find(target);
        ASSERT_TRUE(file) << target;
        EXPECT_EQ(file->contentType, contentType) << target;
        EXPECT_FALSE(file->isPage) << target;
    }
    EXPECT_EQ(files.find("/app.js")->bytes, SampleSite::script);
}

TEST(StaticFiles, DecodesPercentEscapesOnce) {
    const SampleSite site;
    const StaticFiles files(site.root());
    ASSERT_TRUE(files.find("/with%20space.txt"));
    EXPECT_EQ(files.find("/with%20space.txt")->bytes, "with space.txt");
    EXPECT_TRUE(files.find("/%61pp.js")) << "any character may be escaped";
    EXPECT_FALSE(files.find("/with%2520space.txt")) << "an escaped escape is a literal '%'";
}

TEST(StaticFiles, FollowsALinkThatStaysInside) {
    const SampleSite site;
    const StaticFiles files(site.root());
    const auto file = files.find("/alias.js");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->bytes, SampleSite::script);
    EXPECT_EQ(file->contentType, "text/javascript; charset=utf-8");
}

TEST(StaticFiles, FindsNothingOutsideItsFolderHoweverTheTargetIsSpelt) {
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
         }) {
        EXPECT_FALSE(files.find(target)) << target;
    }
}

TEST(StaticFiles, FindsNothingForAMissingFileAFolderOrABadEscape) {
    const SampleSite site;
    const StaticFiles files(site.root());
    for (const char* target :
         {"/missing.js", "/assets", "/app.js%00.png", "/%zz.js", "/app.js%", "/app.js%6"}) {
        EXPECT_FALSE(files.find(target)) << target;
    }
    EXPECT_FALSE(StaticFiles(site.root() / "not-built").find("/"))
        << "a root that does not exist serves nothing";
}

} // namespace
} // namespace pelagrin
