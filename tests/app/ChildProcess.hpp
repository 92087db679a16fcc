// ChildProcess: the built executable run as a user would, with its output kept in files.
#pragma once

#include "tests/support/TemporaryFolder.hpp"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace pelagrin::test {

/// One child process; its standard output and error go to `out` and `err`. The destructor kills it if it is
/// still running, so a failing test leaves nothing behind.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& arguments, const std::filesystem::path& out,
                 const std::filesystem::path& err) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<char*> argv;
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        const int error = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (error != 0) {
            throw std::runtime_error("cannot start " + arguments.front());
        }
    }
    ~ChildProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            wait();
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    void signal(int number) const { ::kill(pid_, number); }

    /// Waits for the process to end; its exit status, or 128 plus the signal that ended it.
    int wait() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    pid_t pid_ = -1;
};

/// How a finished command went: its exit status and what it wrote.
struct CommandOutcome {
    int status;
    std::string out;
    std::string err;
};

/// Runs `arguments` to its end, keeping its output in "out.txt" and "err.txt" of `folder`.
inline CommandOutcome runToEnd(const std::vector<std::string>& arguments,
                               const std::filesystem::path& folder) {
    ChildProcess child(arguments, folder / "out.txt", folder / "err.txt");
    const int status = child.wait();
    return {status, readFile(folder / "out.txt"), readFile(folder / "err.txt")};
}

/// `text` cut at its line ends.
inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

} // namespace pelagrin::test
