// ServerState: what every socket of one local server shares, and the list of them that stopping closes.
#pragma once

#include "app/server/ConnectionListener.hpp"
#include "app/server/RequestGuard.hpp"
#include "app/server/Session.hpp"
#include "app/server/StaticFiles.hpp"

#include <memory>
#include <vector>

namespace pelagrin {

/// Shared by the server and its sessions, so that a completion that arrives after the server is gone still
/// finds it, and finds it stopped. Lives on the app thread.
class ServerState {
public:
    ServerState(RequestGuard guard, StaticFiles files, ConnectionListener& listener)
        : guard_(std::move(guard)), files_(std::move(files)), listener_(&listener) {}

    const RequestGuard& guard() const { return guard_; }
    const StaticFiles& files() const { return files_; }

    /// The app's listener; null once the server has stopped, so that late completions tell nobody.
    ConnectionListener* listener() const { return listener_; }
    bool isStopped() const { return isStopped_; }

    /// Remembers `session` for `stop()`; one that arrives after the stop is shut down at once.
    void track(const std::shared_ptr<Session>& session);

    /// Shuts every session down, open windows reporting `closed` to the listener if `tellsListener`, then
    /// forgets the listener.
    void stop(bool tellsListener);

private:
    RequestGuard guard_;
    StaticFiles files_;
    ConnectionListener* listener_;
    bool isStopped_ = false;
    std::vector<std::weak_ptr<Session>> sessions_;
};

} // namespace pelagrin
