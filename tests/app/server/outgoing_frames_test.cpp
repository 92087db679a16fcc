// OutgoingFrames: the queued text is counted, and a clear leaves a queue that works on.
#include "app/server/OutgoingFrames.hpp"

#include <gtest/gtest.h>
#include <vector>

namespace pelagrin {
namespace {

// What leaves the queue, text as "t:..." and binary as "b:...", until it is empty.
std::vector<std::string> drain(OutgoingFrames& frames) {
    std::vector<std::string> out;
    while (auto frame = frames.pop()) {
        out.push_back((frame->isText ? "t:" : "b:") + frame->bytes);
    }
    return out;
}

// Which binary frame replaces which, and where it goes, is checked through the WebSocket: this is the count.
TEST(OutgoingFrames, TextIsCountedUntilItLeavesAndClearDropsEverything) {
    OutgoingFrames frames;
    frames.pushText("a");
    frames.pushText("bb");
    frames.pushText("ccc");
    frames.replaceBinary("particles 1");
    EXPECT_EQ(frames.textBytes(), 6u) << "the binary frame is not counted";
    ASSERT_EQ(frames.pop()->bytes, "a");
    EXPECT_EQ(frames.textBytes(), 5u);
    EXPECT_EQ(drain(frames), (std::vector<std::string>{"t:bb", "t:ccc", "b:particles 1"}));
    EXPECT_EQ(frames.textBytes(), 0u);
    EXPECT_FALSE(frames.pop().has_value());

    frames.pushText("state");
    frames.replaceBinary("particles 2");
    frames.clear();
    EXPECT_EQ(frames.textBytes(), 0u);
    EXPECT_FALSE(frames.pop().has_value());
    frames.replaceBinary("particles 3");
    EXPECT_EQ(drain(frames), (std::vector<std::string>{"b:particles 3"}));
}

} // namespace
} // namespace pelagrin
