// Feeds arbitrary text to a main window as its browser would send it: each line one message, read, turned
// into an intent and handled as the browser windows do, then the app thread's ready work. Every input must
// leave the app running, refusing what it cannot do; the app's files live in a temporary folder and the
// process may write nowhere else.
#include "app/BrowserWindows.hpp"
#include "fuzz/WriteConfinement.hpp"
#include "tests/app/WindowHarness.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string_view>

namespace {

// Stands for the launch's folder in an input, so that seeds can name the files and folders in it.
constexpr std::string_view folderMark = "%FOLDER%";

std::filesystem::path sandbox;

// A browser window that reads nothing it is sent.
struct SilentConnection : pelagrin::WindowConnection {
    void sendText(std::string) override {}
    void sendBinary(std::string) override {}
    void close() override {}
};

std::string withFolder(std::string_view text, const std::string& folder) {
    std::string result;
    for (std::size_t at = 0;;) {
        const std::size_t mark = text.find(folderMark, at);
        result.append(text.substr(at, mark - at));
        if (mark == std::string_view::npos) {
            return result;
        }
        result += folder;
        at = mark + folderMark.size();
    }
}

// The folders libFuzzer writes to: the first corpus folder named (new inputs) and the artifact prefix's
// folder.
std::vector<std::filesystem::path> fuzzerOutputs(int argc, char** argv) {
    std::vector<std::filesystem::path> outputs;
    bool hasCorpus = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        constexpr std::string_view artifactPrefix = "-artifact_prefix=";
        if (argument.starts_with(artifactPrefix)) {
            outputs.push_back(
                std::filesystem::absolute(argument.substr(artifactPrefix.size())).parent_path());
        } else if (!argument.starts_with('-') && !hasCorpus) {
            outputs.emplace_back(argument);
            hasCorpus = true;
        }
    }
    return outputs;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    std::string pattern = (std::filesystem::temp_directory_path() / "pelagrin-intent-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::cerr << "cannot make a temporary folder\n";
        std::exit(1);
    }
    sandbox = pattern;
    // Its content goes at exit; the empty folder stays, since removing it would be a change outside it.
    std::atexit([] { std::filesystem::remove_all(sandbox / "launch"); });
    // Whatever the app finds through the environment (its user folders, SQLite's scratch files) lies inside.
    for (const char* variable : {"HOME", "TMPDIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR"}) {
        ::setenv(variable, sandbox.c_str(), 1);
    }
    std::vector<std::filesystem::path> writable = fuzzerOutputs(*argc, *argv);
    writable.push_back(sandbox);
    if (const std::string problem = pelagrin::fuzz::confineWritesTo(writable); !problem.empty()) {
        // 77 tells the test runner that the replay was skipped, not failed.
        std::cerr << "the app cannot be kept to its folder, so it is not fed: " << problem << '\n';
        std::exit(77);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path folder = sandbox / "launch";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "Documents");
    const std::string text =
        withFolder(std::string_view(reinterpret_cast<const char*>(data), size), folder.string());

    pelagrin::test::Launch launch(folder, folder / "Documents");
    pelagrin::BrowserWindows windows(launch.environment);
    launch.onStateChange = [&windows] { windows.refresh(); };
    // Only the work that is ready, as after each message from the page: no timer is waited for.
    const auto runReadyWork = [&launch] {
        launch.appThread.restart();
        launch.appThread.poll();
    };
    SilentConnection connection;
    windows.opened(connection);
    runReadyWork();
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        windows.received(connection, std::string_view(text).substr(at, end - at));
        runReadyWork();
        at = end + 1;
    }
    windows.closed(connection);
    runReadyWork();
    return 0;
}
