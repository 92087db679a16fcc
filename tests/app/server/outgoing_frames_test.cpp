// OutgoingFrames: text leaves in order, a binary frame is replaced by a newer one, and the text is counted.
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

TEST(OutgoingFrames, TextLeavesInOrderAndIsCountedUntilItLeaves) {
    OutgoingFrames frames;
    frames.pushText("a");
    frames.pushText("bb");
    frames.pushText("ccc");
    EXPECT_EQ(frames.textBytes(), 6u);
    ASSERT_EQ(frames.pop()->bytes, "a");
    EXPECT_EQ(frames.textBytes(), 5u);
    EXPECT_EQ(drain(frames), (std::vector<std::string>{"t:bb", "t:ccc"}));
    EXPECT_EQ(frames.textBytes(), 0u);
    EXPECT_FALSE(frames.pop().has_value());
}

TEST(OutgoingFrames, ANewerBinaryFrameReplacesTheUnsentOneAndGoesLast) {
    OutgoingFrames frames;
    frames.pushText("state 1");
    frames.replaceBinary("particles 1");
    frames.pushText("state 2");
    frames.replaceBinary("particles 2");
    frames.pushText("state 3");
    EXPECT_EQ(frames.textBytes(), 21u) << "the binary frame is not counted";
    EXPECT_EQ(drain(frames),
              (std::vector<std::string>{"t:state 1", "t:state 2", "b:particles 2", "t:state 3"}));
}

TEST(OutgoingFrames, ABinaryFrameAlreadyTakenIsNotReplaced) {
    OutgoingFrames frames;
    frames.replaceBinary("particles 1");
    ASSERT_EQ(frames.pop()->bytes, "particles 1");
    frames.pushText("state");
    frames.replaceBinary("particles 2");
    frames.replaceBinary("particles 3");
    EXPECT_EQ(drain(frames), (std::vector<std::string>{"t:state", "b:particles 3"}));
}

TEST(OutgoingFrames, ClearDropsEverythingAndTheQueueWorksOnAfter) {
    OutgoingFrames frames;
    frames.pushText("state");
    frames.replaceBinary("particles 1");
    frames.clear();
    EXPECT_EQ(frames.textBytes(), 0u);
    EXPECT_FALSE(frames.pop().has_value());
    frames.replaceBinary("particles 2");
    frames.replaceBinary("particles 3");
    EXPECT_EQ(drain(frames), (std::vector<std::string>{"b:particles 3"}));
}

} // namespace
} // namespace pelagrin
