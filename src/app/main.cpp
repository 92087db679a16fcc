// pelagrin: the app, and the command line with its headless commands.
#include "app/InstanceSocket.hpp"
#include "app/PelagrinApp.hpp"
#include "app/RunningInstance.hpp"
#include "app/cli/DetectCommand.hpp"
#include "app/cli/EnsembleCommand.hpp"
#include "app/cli/RunCommand.hpp"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int usageError = 2;

/// The built user interface: `--web-root`, else $PELAGRIN_WEB_ROOT, else the installed one beside the program
/// (../share/pelagrin/web), else the build's own.
std::filesystem::path defaultWebRoot() {
    if (const char* root = std::getenv("PELAGRIN_WEB_ROOT"); root != nullptr && *root != '\0') {
        return root;
    }
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (const std::filesystem::path installed = program.parent_path() / PELAGRIN_INSTALLED_WEB_ROOT;
        !error && std::filesystem::is_regular_file(installed / "index.html", error)) {
        return installed.lexically_normal();
    }
    return PELAGRIN_WEB_ROOT;
}

/// Why `file` cannot be opened as a project file, or empty when it can be read.
std::string unreadableReason(const std::filesystem::path& file) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(file, error);
    if (!std::filesystem::exists(status)) {
        return "no such file";
    }
    if (!std::filesystem::is_regular_file(status)) {
        return "not a file";
    }
    return ::access(file.c_str(), R_OK) == 0 ? "" : std::strerror(errno);
}

/// The files as absolute paths, each checked; empty and a line on standard error for each that cannot be
/// read.
std::optional<std::vector<std::filesystem::path>>
readableFiles(const std::vector<std::filesystem::path>& files) {
    std::vector<std::filesystem::path> absolute;
    bool isEveryFileReadable = true;
    for (const std::filesystem::path& file : files) {
        if (const std::string reason = unreadableReason(file); !reason.empty()) {
            std::fprintf(stderr, "Cannot open %s: %s\n", file.c_str(), reason.c_str());
            isEveryFileReadable = false;
        }
        absolute.push_back(std::filesystem::absolute(file).lexically_normal());
    }
    if (!isEveryFileReadable) {
        return std::nullopt;
    }
    return absolute;
}

int runApp(pelagrin::PelagrinApp::Options options) {
    // Nothing opens unless every file can: the user sees the mistake before any window.
    const std::optional<std::vector<std::filesystem::path>> files = readableFiles(options.files);
    if (!files) {
        return 1;
    }
    options.files = *files;
    try {
        options.instanceSocket = pelagrin::instanceSocketPath();
        if (options.renewsToken && pelagrin::isInstanceListening(options.instanceSocket)) {
            std::fprintf(stderr,
                         "pelagrin: --new-token: Pelagrin is running with the token it has; quit it first\n");
            return 1;
        }
        if (pelagrin::handToRunningInstance(options.instanceSocket, options.files) ==
            pelagrin::Handover::accepted) {
            std::printf("Pelagrin is already running: it opens %s.\n",
                        options.files.empty() ? "a new window" : "the files in new windows");
            return 0;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "pelagrin: %s\n", error.what());
        return 1;
    }
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
    pelagrin::PelagrinApp::Options options;
    options.webRoot = defaultWebRoot();
    bool noBrowser = false;
    app.add_option(
        "--port", options.port,
        "Port of the app's page on 127.0.0.1; 0 for a free one; by default the last one when free");
    app.add_flag("--no-browser", noBrowser, "Print the page's address without opening a browser");
    app.add_flag(
        "--new-token", options.renewsToken,
        "Replace the kept token of the page's address, so that old addresses and bookmarks stop working");
    app.add_option("--web-root", options.webRoot, "Folder of the built user interface")
        ->capture_default_str();
    app.add_option("files", options.files,
                   "Project files (.pelagrinproj) to open, each in a window of its own");
    pelagrin::addDetectCommand(app);
    pelagrin::addRunCommand(app);
    pelagrin::addEnsembleCommand(app);
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
