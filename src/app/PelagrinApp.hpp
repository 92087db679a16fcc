// PelagrinApp: the app itself, its shared state served to the browser windows on the app thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelagrin {

/// Everything one launch of the app shares: the object store, the recent projects, the settings, the
/// controller and the data store, the notification centre, the browser windows and the local server. Made
/// and used on the app thread; `run()` makes the calling thread the app thread.
class PelagrinApp {
public:
    struct Options {
        /// The built user interface.
        std::filesystem::path webRoot;
        /// 0: a free port; absent: the port of the last launch when it is free, else a free one.
        std::optional<std::uint16_t> port;
        /// Replace the kept token of the page's address with a fresh one, so that old addresses stop working.
        bool renewsToken = false;
        /// Open the page in the desktop's browser once the server listens.
        bool opensBrowser = true;
        /// Project files (absolute paths) to open, each in a window of its own; none: one window.
        std::vector<std::filesystem::path> files;
        /// Where later launches hand over their files; empty: nowhere, each launch stands alone.
        std::filesystem::path instanceSocket;
    };

    /// Opens the stores, binds the server, listens at the instance socket, prints the page's address and
    /// opens a window for each file (or one); throws an exception
    /// derived from std::exception, with a message for the user, when the stores or the port cannot be had.
    explicit PelagrinApp(Options options);
    ~PelagrinApp();

    /// The page's address, with this launch's token.
    std::string url() const;

    /// Serves until SIGINT or SIGTERM, then keeps the unsaved changes of every edited project in its recovery
    /// copy, stops the run and closes every window.
    void run();

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace pelagrin
