// ConnectionListener: what the app hears of its browser windows' sockets.
#pragma once

#include "app/server/WindowConnection.hpp"

#include <string_view>

namespace pelagrin {

/// Implemented by the app; called on the app thread. A connection is `opened` once, then `received` any
/// number of times, then `closed` once.
class ConnectionListener {
public:
    virtual ~ConnectionListener() = default;

    /// A window's WebSocket is open; `connection` stays valid until `closed`.
    virtual void opened(WindowConnection& connection) = 0;
    /// One text frame from the window, valid UTF-8 of at most `maxIncomingMessageBytes`.
    virtual void received(WindowConnection& connection, std::string_view text) = 0;
    /// The socket is closed, by either side; after this call `connection` is dead.
    virtual void closed(WindowConnection& connection) = 0;
};

} // namespace pelagrin
