// ServerState: what every socket of one local server shares, and the list of them that stopping closes.
#include "app/server/ServerState.hpp"

#include <utility>

namespace pelagrin {

void ServerState::track(const std::shared_ptr<Session>& session) {
    if (isStopped_) {
        session->shutDown();
        return;
    }
    // Sessions end on their own; their expired entries go here, so the list stays as long as the open ones.
    std::erase_if(sessions_, [](const std::weak_ptr<Session>& entry) { return entry.expired(); });
    sessions_.push_back(session);
}

void ServerState::stop(bool tellsListener) {
    if (!tellsListener) {
        listener_ = nullptr;
    }
    if (isStopped_) {
        return; // stopped already, or stopping: a listener that stops the server from `closed`
    }
    isStopped_ = true;
    for (const auto& entry : std::exchange(sessions_, {})) {
        if (const auto session = entry.lock()) {
            session->shutDown();
        }
    }
    listener_ = nullptr;
}

} // namespace pelagrin
