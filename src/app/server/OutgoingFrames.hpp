// OutgoingFrames: the frames a window has been sent but not yet written, text in order and binary
// latest-wins.
#pragma once

#include <cstddef>
#include <list>
#include <optional>
#include <string>

namespace pelagrin {

/// One WebSocket frame to write.
struct OutgoingFrame {
    bool isText = true;
    std::string bytes;
};

/// A queue of unsent frames. Text frames keep their order; at most one binary frame waits, and a newer one
/// replaces it and takes its place after everything queued so far. Frames leave in the order of the calls
/// that queued them, so a binary frame never arrives before text queued ahead of it.
class OutgoingFrames {
public:
    void pushText(std::string message);
    void replaceBinary(std::string bytes);

    /// The oldest frame, taken off the queue; nothing when the queue is empty.
    std::optional<OutgoingFrame> pop();
    /// Drops every unsent frame.
    void clear();

    /// The bytes of the text frames waiting; the one binary frame is not counted, as it cannot pile up.
    std::size_t textBytes() const { return textBytes_; }

private:
    std::list<OutgoingFrame> frames_;
    std::optional<std::list<OutgoingFrame>::iterator> binary_;
    std::size_t textBytes_ = 0;
};

} // namespace pelagrin
