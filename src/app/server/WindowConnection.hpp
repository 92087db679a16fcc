// WindowConnection: one browser window's WebSocket, as the app sees it.
#pragma once

#include <string>

namespace pelagrin {

/// One browser window's socket. Every call is made on the app thread; none blocks.
class WindowConnection {
public:
    virtual ~WindowConnection() = default;

    /// Queues one text frame after those queued before it. A window that falls so far behind that more than
    /// `maxQueuedTextBytes` of text are unsent when another comes is closed. Ignored once the window is
    /// closing.
    virtual void sendText(std::string message) = 0;
    /// Queues one binary frame, replacing the one still unsent if there is one: a slow window skips frames
    /// rather than queueing them. Ignored once the window is closing.
    virtual void sendBinary(std::string bytes) = 0;
    /// Sends what is queued, then closes the socket; the listener hears `closed` once it is closed, never
    /// from within this call.
    virtual void close() = 0;
};

} // namespace pelagrin
