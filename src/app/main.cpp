// pelagrin: the command line and its headless commands.
#include "app/cli/DetectCommand.hpp"
#include "app/cli/RunCommand.hpp"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>

namespace {
constexpr int usageError = 2;
} // namespace

int main(int argc, char** argv) {
    CLI::App app{"Pelagrin: microplastic drift in a real body of water"};
    app.require_subcommand(0, 1);
    // One line per mistake, as every command's own errors are.
    app.failure_message([](const CLI::App*, const CLI::Error& error) {
        return std::string("pelagrin: ") + error.what() + " (see --help)\n";
    });
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
    if (app.get_subcommands().empty()) {
        std::fputs(app.help().c_str(), stdout);
    }
    return 0;
}
