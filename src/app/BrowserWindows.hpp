// BrowserWindows: the open browser windows, each one main window of the app, and what they are sent.
#pragma once

#include "app/server/LocalServer.hpp"

#include <boost/asio/any_io_executor.hpp>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>

namespace pelagrin {

struct AppEnvironment;
class MainWindow;

/// Makes a `MainWindow` for every socket that opens, turns its text frames into intents and keeps the page
/// up to date: after any turn of the app thread in which something may have changed, each window's state is
/// compared, key by key, with what that window was last sent, and only the keys that differ go out, in one
/// message. App thread only.
class BrowserWindows : public ConnectionListener {
public:
    static constexpr int protocolVersion = 1;

    /// `environment.stateChanged` must lead to `refresh()`; PelagrinApp wires it so.
    explicit BrowserWindows(AppEnvironment& environment);
    ~BrowserWindows() override;

    void opened(WindowConnection& connection) override;
    void received(WindowConnection& connection, std::string_view text) override;
    void closed(WindowConnection& connection) override;

    /// Sends every window what changed, once, after the work already queued on the app thread.
    void refresh();

    std::size_t count() const { return windows_.size(); }

private:
    struct Window;

    void sendChanges();

    AppEnvironment& environment_;
    std::map<WindowConnection*, std::unique_ptr<Window>> windows_;
    int windowsOpened_ = 0;
    bool isRefreshPending_ = false;
    /// Lets a refresh still queued when this object goes away find out and do nothing.
    std::shared_ptr<char> lifetime_ = std::make_shared<char>();
};

} // namespace pelagrin
