// OutgoingFrames: the frames a window has been sent but not yet written, text in order and binary
// latest-wins.
#include "app/server/OutgoingFrames.hpp"

namespace pelagrin {

void OutgoingFrames::pushText(std::string message) {
    textBytes_ += message.size();
    frames_.push_back(OutgoingFrame{true, std::move(message)});
}

void OutgoingFrames::replaceBinary(std::string bytes) {
    if (binary_) {
        frames_.erase(*binary_);
    }
    binary_ = frames_.insert(frames_.end(), OutgoingFrame{false, std::move(bytes)});
}

std::optional<OutgoingFrame> OutgoingFrames::pop() {
    if (frames_.empty()) {
        return std::nullopt;
    }
    OutgoingFrame frame = std::move(frames_.front());
    if (binary_ && *binary_ == frames_.begin()) {
        binary_.reset();
    }
    frames_.pop_front();
    if (frame.isText) {
        textBytes_ -= frame.bytes.size();
    }
    return frame;
}

void OutgoingFrames::clear() {
    frames_.clear();
    binary_.reset();
    textBytes_ = 0;
}

} // namespace pelagrin
