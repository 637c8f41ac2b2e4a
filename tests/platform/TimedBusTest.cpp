// The virtual bus timed at a bit rate, on a fake clock that moves only when
// something sleeps on it.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "platform/kelvix/VirtualCanBus.hpp"

namespace kelvix {
namespace {

using namespace std::chrono_literals;

class NsClock final : public quillon::sys::Clock {
  public:
    quillon::sys::LocalTime Now() const override { return {}; }
    std::uint64_t MonotonicMs() const override { return nowNs / 1'000'000; }
    std::uint64_t MonotonicNs() const override { return nowNs.load(); }
    std::uint64_t UnixTimeUs() const override { return 0; }
    std::atomic<std::uint64_t> nowNs{1'000'000'000};
};

class NsSleeper final : public quillon::sys::Sleeper {
  public:
    explicit NsSleeper(NsClock& clock) : clock_(clock) {}
    void SleepMs(std::uint32_t durationMs) override { SleepNs(durationMs * 1'000'000ull); }
    void SleepNs(std::uint64_t durationNs) override {
        std::lock_guard lock(mutex_);
        sleeps.push_back(durationNs);
        clock_.nowNs += durationNs;
    }
    std::vector<std::uint64_t> sleeps;

  private:
    NsClock& clock_;
    std::mutex mutex_;
};

// 53 bits: standard identifier, no data, all dominant (see CanFrameBitsTest).
CanFrameRecord Empty(std::uint32_t id = 0) {
    CanFrameRecord frame{};
    frame.ID = id;
    return frame;
}

class TimedBusTest : public ::testing::Test {
  protected:
    TimedBusTest() { EXPECT_TRUE(bus->SetBitrate(1'000'000, clock, sleeper)); }
    std::vector<TaggedFrame> Take() {
        TaggedFrame frames[64];
        const std::size_t count = listener->ReceiveTagged(frames, 0ms);
        return {frames, frames + count};
    }

    NsClock clock;
    NsSleeper sleeper{clock};
    std::shared_ptr<VirtualCanBus> bus = VirtualCanBus::Create();
    std::unique_ptr<VirtualCanPort> adapter = bus->Attach(0);
    std::unique_ptr<VirtualCanPort> listener = bus->Attach(VirtualCanPort::ALL_CHANNELS);
};

TEST_F(TimedBusTest, AFrameArrivesWithItsLastBit) {
    ASSERT_TRUE(adapter->Offer(Empty(), 4, 0));
    EXPECT_TRUE(Take().empty());
    clock.nowNs += 52'999;
    EXPECT_TRUE(Take().empty()) << "1 ns before the end of the intermission";
    clock.nowNs += 1;
    const auto frames = Take();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].frame.TimeStamp, 0u) << "53 us after the bus was timed: stamp 0 (100 us)";
    EXPECT_EQ(bus->FramesSent(), 1u);
    EXPECT_TRUE(sleeper.sleeps.empty()) << "room in the queue: no wait";
}

TEST_F(TimedBusTest, AFullQueueWaitsForTheWireToDrainItToHalf) {
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(adapter->Offer(Empty(), 4, 1'000'000));
    }
    EXPECT_TRUE(sleeper.sleeps.empty());
    EXPECT_TRUE(adapter->Offer(Empty(), 4, 1'000'000));
    EXPECT_EQ(sleeper.sleeps, std::vector<std::uint64_t>{106'000})
        << "until two of the four frames have crossed the wire";
    clock.nowNs += 3 * 53'000;
    EXPECT_EQ(Take().size(), 5u);
}

TEST_F(TimedBusTest, AQueueFullPastTheBoundRefuses) {
    ASSERT_TRUE(adapter->Offer(Empty(), 1, 0));
    EXPECT_FALSE(adapter->Offer(Empty(), 1, 20'000));
    EXPECT_EQ(sleeper.sleeps, std::vector<std::uint64_t>{20'000}) << "waited the whole bound";
    clock.nowNs += 1'000'000;
    EXPECT_EQ(Take().size(), 1u) << "the refused frame never reaches the bus";
}

TEST_F(TimedBusTest, TwoAdaptersWaitingArbitrateByIdentifier) {
    auto other = bus->Attach(0);
    ASSERT_TRUE(adapter->Offer(Empty(0x10), 8, 0));  // takes the idle wire
    ASSERT_TRUE(adapter->Offer(Empty(0x300), 8, 0));
    ASSERT_TRUE(other->Offer(Empty(0x200), 8, 0));
    clock.nowNs += 10 * 53'000;
    std::vector<std::uint32_t> ids;
    for (const auto& tagged : Take()) {
        ids.push_back(tagged.frame.ID);
    }
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{0x10, 0x200, 0x300}));
}

TEST_F(TimedBusTest, ChannelsAreSeparateWires) {
    auto second = bus->Attach(1);
    ASSERT_TRUE(adapter->Offer(Empty(1), 8, 0));
    ASSERT_TRUE(second->Offer(Empty(2), 8, 0));
    clock.nowNs += 53'000;
    EXPECT_EQ(Take().size(), 2u) << "both finished together";
}

TEST(TimedBusRateTest, ABusKeepsItsFirstRate) {
    NsClock clock;
    NsSleeper sleeper(clock);
    auto bus = VirtualCanBus::Create();
    EXPECT_EQ(bus->Bitrate(), 0u);
    ASSERT_TRUE(bus->SetBitrate(125'000, clock, sleeper));
    EXPECT_TRUE(bus->SetBitrate(125'000, clock, sleeper));
    EXPECT_FALSE(bus->SetBitrate(500'000, clock, sleeper));
    EXPECT_EQ(bus->Bitrate(), 125'000u);
}

}  // namespace
}  // namespace kelvix
