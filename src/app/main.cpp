// pelagrin: the app, and the command line with its headless commands.
#include "app/PelagrinApp.hpp"
#include "app/cli/DetectCommand.hpp"
#include "app/cli/RunCommand.hpp"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace {

constexpr int usageError = 2;

/// The built user interface: `--web-root`, else $PELAGRIN_WEB_ROOT, else the build's own.
std::filesystem::path defaultWebRoot() {
    const char* root = std::getenv("PELAGRIN_WEB_ROOT");
    return root != nullptr && *root != '\0' ? std::filesystem::path(root)
                                            : std::filesystem::path(PELAGRIN_WEB_ROOT);
}

int runApp(const pelagrin::PelagrinApp::Options& options) {
    if (!std::filesystem::is_regular_file(options.webRoot / "index.html")) {
        std::fprintf(stderr, "pelagrin: no user interface in \"%s\"; build it with `make web`\n",
                     options.webRoot.c_str());
        return 1;
    }
    try {
        pelagrin::PelagrinApp app(options);
        app.run();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "pelagrin: %s\n", error.what());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // Diagnostics go to std::cout, which writes through stdout; into a log file or a pipe that would be one
    // flush when the buffer fills. Line by line, each line is there when it happens.
    std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    CLI::App app{"Pelagrin: microplastic drift in a real body of water. Without a command it starts the app "
                 "in the browser."};
    app.require_subcommand(0, 1);
    // One line per mistake, as every command's own errors are.
    app.failure_message([](const CLI::App*, const CLI::Error& error) {
        return std::string("pelagrin: ") + error.what() + " (see --help)\n";
    });
    pelagrin::PelagrinApp::Options options{defaultWebRoot()};
    bool noBrowser = false;
    app.add_option("--port", options.port, "Port of the app's page on 127.0.0.1; by default a free one");
    app.add_flag("--no-browser", noBrowser, "Print the page's address without opening a browser");
    app.add_option("--web-root", options.webRoot, "Folder of the built user interface")
        ->capture_default_str();
    pelagrin::addDetectCommand(app);
    pelagrin::addRunCommand(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::RuntimeError& error) {
        return error.get_exit_code(); // the command has said what went wrong
    } catch (const CLI::ParseError& error) {
        // --help and --version exit 0; a mistake on the command line exits 2, as usage errors do.
        return app.exit(error) == 0 ? 0 : usageError;
    }
    if (!app.get_subcommands().empty()) {
        return 0;
    }
    options.opensBrowser = !noBrowser;
    return runApp(options);
}
