// The installed program: `cmake --install` into a staging folder, then the program as a user starts it there,
// finding its page beside itself and keeping its page's address from one launch to the next.
#include "tests/app/ChildProcess.hpp"

#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http.hpp>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sys/stat.h>
#include <thread>

namespace pelagrin::test {
namespace {

namespace http = boost::beast::http;

// The app's page at `/` as its own browser window asks for it: its Host and the token cookie.
http::response<http::string_body> fetchPage(const std::string& port, const std::string& token) {
    boost::asio::io_context context;
    boost::asio::ip::tcp::socket socket(context);
    socket.connect({boost::asio::ip::address_v4::loopback(), static_cast<unsigned short>(std::stoi(port))});
    http::request<http::empty_body> request(http::verb::get, "/", 11);
    request.set(http::field::host, "127.0.0.1:" + port);
    request.set(http::field::cookie, "pelagrin_token=" + token);
    http::write(socket, request);
    boost::beast::flat_buffer buffer;
    http::response<http::string_body> response;
    http::read(socket, buffer, response);
    return response;
}

class InstalledApp : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(std::filesystem::path(PELAGRIN_SOURCE_DIR) / "web/dist/index.html")) {
            GTEST_SKIP() << "the page is not built (make web)";
        }
        ::setenv("DESTDIR", (folder / "stage").c_str(), 1);
        const CommandOutcome install =
            runToEnd({CMAKE_COMMAND, "--install", PELAGRIN_BUILD_DIR, "--prefix", "/usr"}, folder.path());
        ::unsetenv("DESTDIR");
        ASSERT_EQ(install.status, 0) << install.err;
        // A fresh user, and nothing that points the program at the build.
        for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
            std::filesystem::create_directories(folder / variable);
            ::setenv(variable, (folder / variable).c_str(), 1);
        }
        ::unsetenv("PELAGRIN_WEB_ROOT");
        // Told apart from the build's own page, which the program would fall back on.
        std::ofstream(installed("share/pelagrin/web/index.html"), std::ios::app) << stagedMark;
    }

    static constexpr std::string_view stagedMark = "<!-- the staged page -->";

    std::string installed(const char* path) const { return (folder / "stage/usr" / path).string(); }

    /// Starts the app as the desktop entry does, without a browser; its address once printed.
    std::smatch launch(std::optional<ChildProcess>& app, std::string& out) {
        app.emplace(std::vector<std::string>{installed("bin/pelagrin"), "--no-browser"}, folder / "app.out",
                    folder / "app.err");
        static const std::regex address(R"(http://127\.0\.0\.1:(\d+)/\?token=([0-9a-f]{32}))");
        std::smatch match;
        // Bounded only against a hang: the address comes as soon as the server listens.
        for (int tries = 0;
             tries < 400 && !std::regex_search(out = readFile(folder / "app.out"), match, address); ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return match;
    }

    TemporaryFolder folder;
};

TEST_F(InstalledApp, PutsWhatTheDesktopNeedsWhereItLooks) {
    for (const char* path :
         {"share/applications/pelagrin.desktop", "share/mime/packages/pelagrin.xml",
          "share/icons/hicolor/scalable/apps/pelagrin.svg", "share/icons/hicolor/48x48/apps/pelagrin.png",
          "share/man/man1/pelagrin.1.gz", "share/pelagrin/examples/valley-lake.pelagrinproj"}) {
        EXPECT_TRUE(std::filesystem::is_regular_file(installed(path))) << path;
    }
}

TEST_F(InstalledApp, RunsHeadlessAndServesItsPageAtTheSameAddressAfterARestart) {
    const CommandOutcome run = runToEnd({installed("bin/pelagrin"), "run",
                                         installed("share/pelagrin/examples/kettle-pond.pelagrinproj"),
                                         "--speed", "1000", "--csv", (folder / "run.csv").string()},
                                        folder.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(readFile(folder / "run.csv").starts_with("Time (s),Stuck Particles"))
        << readFile(folder / "run.csv");

    std::vector<std::string> addresses;
    for (int launchNumber = 0; launchNumber < 2; ++launchNumber) {
        std::optional<ChildProcess> app;
        std::string out;
        const std::smatch address = launch(app, out);
        ASSERT_FALSE(address.empty()) << out << readFile(folder / "app.err");
        const auto page = fetchPage(address[1], address[2]);
        EXPECT_EQ(page.result(), http::status::ok);
        EXPECT_NE(page.body().find(stagedMark), std::string::npos) << page.body();
        addresses.push_back(address[0]);
        app->signal(SIGTERM);
        EXPECT_EQ(app->wait(), 0);
    }
    EXPECT_EQ(addresses[0], addresses[1]);
    struct stat status {};
    ASSERT_EQ(::stat((folder / "XDG_CONFIG_HOME/Pelagrin/page-token").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}

} // namespace
} // namespace pelagrin::test
