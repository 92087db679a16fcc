// DesktopBrowser: a detached child process, reaped on a thread of its own so that none is left a zombie.
#include "app/DesktopBrowser.hpp"

#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string_view>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace pelagrin {

namespace {

std::string browserCommand() {
    // $BROWSER may be a colon-separated list of commands to try; the first is the user's choice.
    if (const char* browser = std::getenv("BROWSER"); browser != nullptr && *browser != '\0') {
        const std::string_view list(browser);
        return std::string(list.substr(0, list.find(':')));
    }
    return "xdg-open";
}

} // namespace

bool openInDesktopBrowser(const std::string& url) {
    std::string command = browserCommand();
    std::string argument = url;
    std::vector<char*> argv{command.data(), argument.data(), nullptr};

    // The browser's chatter would mix with the app's own output.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, command.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        return false;
    }
    std::thread([pid] {
        int status = 0;
        waitpid(pid, &status, 0);
    }).detach();
    return true;
}

} // namespace pelagrin
