// One channel of the bit-timed bus, on times the test supplies.
#include "platform/kelvix/BusWire.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace kelvix {
namespace {

// 53 bits on the wire (see CanFrameBitsTest).
CanFrameRecord Empty(std::uint32_t id = 0) {
    CanFrameRecord frame{};
    frame.ID = id;
    return frame;
}

// 74 bits: the erase command.
CanFrameRecord ExtendedRemote() {
    CanFrameRecord frame{};
    frame.ID = 1;
    frame.ExternFlag = 1;
    frame.RemoteFlag = 1;
    return frame;
}

const int SENDER_A = 0;
const int SENDER_B = 0;
const BusWire::SenderId A = &SENDER_A;
const BusWire::SenderId B = &SENDER_B;

struct Collected {
    std::vector<BusWire::Carried> frames;
    std::function<void(const BusWire::Carried&)> Sink() {
        return [this](const BusWire::Carried& carried) { frames.push_back(carried); };
    }
};

TEST(BusWireTest, FramesFollowEachOtherWithoutGapsAtTheirExactLength) {
    BusWire wire(1'000'000);
    EXPECT_EQ(wire.DurationNs(Empty()), 53'000u);
    wire.Queue(A, Empty(), 0);
    wire.Queue(A, ExtendedRemote(), 0);
    Collected out;
    wire.Run(52'999, out.Sink());
    EXPECT_TRUE(out.frames.empty()) << "a frame arrives with its last bit";
    EXPECT_EQ(wire.BusyUntilNs(), 53'000u);
    EXPECT_EQ(wire.Outstanding(A), 2u);
    wire.Run(127'000, out.Sink());
    ASSERT_EQ(out.frames.size(), 2u);
    EXPECT_EQ(out.frames[0].endNs, 53'000u);
    EXPECT_EQ(out.frames[1].endNs, 53'000u + 74'000u);
    EXPECT_EQ(out.frames[1].frame.ExternFlag, 1);
    EXPECT_EQ(wire.Outstanding(A), 0u);
    EXPECT_FALSE(wire.BusyUntilNs());
}

TEST(BusWireTest, AnIdleWireStartsAFrameWhenItIsQueued) {
    BusWire wire(125'000);  // 8 us a bit
    wire.Queue(A, Empty(), 1'000'000);
    Collected out;
    wire.Run(2'000'000, out.Sink());
    ASSERT_EQ(out.frames.size(), 1u);
    EXPECT_EQ(out.frames[0].endNs, 1'000'000u + 53u * 8'000u);
}

TEST(BusWireTest, TheLowestIdentifierWaitingWinsWhenTheWireFallsFree) {
    BusWire wire(1'000'000);
    wire.Queue(A, Empty(0x300), 0);
    wire.Queue(A, Empty(0x280), 0);  // behind A's own 0x300
    wire.Queue(B, Empty(0x250), 10);
    Collected out;
    wire.Run(1'000'000, out.Sink());
    ASSERT_EQ(out.frames.size(), 3u);
    EXPECT_EQ(out.frames[0].frame.ID, 0x300u) << "alone when the wire was free";
    EXPECT_EQ(out.frames[1].frame.ID, 0x250u) << "beats A's next head, 0x280";
    EXPECT_EQ(out.frames[1].sender, B);
    EXPECT_EQ(out.frames[2].frame.ID, 0x280u);
}

TEST(BusWireTest, AFrameQueuedAfterTheWireFreedDoesNotContendBackInTime) {
    BusWire wire(1'000'000);
    wire.Queue(A, Empty(0x300), 0);
    wire.Queue(A, Empty(0x301), 0);
    wire.Queue(B, Empty(0x100), 60'000);  // after 0x301 started at 53 us
    Collected out;
    wire.Run(1'000'000, out.Sink());
    ASSERT_EQ(out.frames.size(), 3u);
    EXPECT_EQ(out.frames[1].frame.ID, 0x301u);
    EXPECT_EQ(out.frames[2].frame.ID, 0x100u);
}

TEST(BusWireTest, ASenderThatLeftLosesItsWaitingFrames) {
    BusWire wire(1'000'000);
    wire.Queue(A, Empty(), 0);
    wire.Queue(A, Empty(), 0);
    Collected out;
    wire.Run(0, out.Sink());
    wire.Forget(A);
    EXPECT_EQ(wire.Outstanding(A), 1u) << "the frame on the wire still finishes";
    wire.Run(1'000'000, out.Sink());
    EXPECT_EQ(out.frames.size(), 1u);
}

}  // namespace
}  // namespace kelvix
