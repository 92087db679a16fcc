// BrowserWindows: the open browser windows, each one main window of the app, and what they are sent.
#pragma once

#include "app/server/LocalServer.hpp"
#include "simulation/Observable.hpp"

#include <boost/asio/any_io_executor.hpp>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>

namespace pelagrin {

struct AppEnvironment;
class MainWindow;

/// Makes a `MainWindow` for every socket that opens, turns its text frames into intents and keeps the page
/// up to date: after any turn of the app thread in which something may have changed, each window's state is
/// compared with what that window was last sent, and only what differs goes out, in one message (see
/// `stateMessage`). Each window that shows the simulation renderer is also sent the controller's latest
/// particle snapshot as a binary frame, once per snapshot published, encoded once for all of them. App thread
/// only.
class BrowserWindows : public ConnectionListener {
public:
    static constexpr int protocolVersion = 2;

    /// `environment.stateChanged` must lead to `refresh()`; PelagrinApp wires it so. An intent that fails
    /// for a reason of the app's own, not the intent's, is told to `diagnostics` as well as to its window.
    explicit BrowserWindows(AppEnvironment& environment, std::ostream& diagnostics = std::cerr);
    ~BrowserWindows() override;

    void opened(WindowConnection& connection) override;
    void received(WindowConnection& connection, std::string_view text) override;
    void closed(WindowConnection& connection) override;

    /// The next window that opens shows `file` (a project file handed to the app) rather than the last
    /// project; files wait in the order given, one per window.
    void openInNextWindow(std::filesystem::path file) { filesForNextWindows_.push_back(std::move(file)); }

    /// Sends every window what changed, once, after the work already queued on the app thread.
    void refresh();

    std::size_t count() const { return windows_.size(); }

private:
    struct Window;

    void sendChanges();
    void sendFrames();
    /// The latest snapshot's frame, shaded against `waterDepthM`; encoded at most once per snapshot.
    std::string latestFrame(double waterDepthM);

    AppEnvironment& environment_;
    std::ostream& diagnostics_;
    std::map<WindowConnection*, std::unique_ptr<Window>> windows_;
    int windowsOpened_ = 0;
    std::deque<std::filesystem::path> filesForNextWindows_;
    bool isRefreshPending_ = false;
    /// Snapshots published so far: the frame number of the latest one.
    std::uint32_t framesPublished_ = 0;
    /// The latest snapshot as encoded, with its frame number; absent until a window needs it.
    std::optional<std::uint32_t> encodedFrameNumber_;
    std::string encodedFrame_;
    Subscription framePublished_;
    /// Lets a refresh still queued when this object goes away find out and do nothing.
    std::shared_ptr<char> lifetime_ = std::make_shared<char>();
};

} // namespace pelagrin
