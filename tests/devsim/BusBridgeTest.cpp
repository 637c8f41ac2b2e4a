// The bridge between a bus the adapter library reaches and the simulated
// device's private bus, here with the "sim" backend standing in for a real bus.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "frontends/devsim/BusBridge.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "protocol/ParameterFrames.hpp"
#include "sim/SimulatedDevice.hpp"
#include "support/BusFrames.hpp"
#include "support/FakeSystem.hpp"

namespace quillon::sim {
namespace {

using test::BusFrame;

CanFrameRecord Stamped(std::uint32_t id, std::uint32_t stamp) {
    CanFrameRecord frame = BusFrame(id, false, {});
    frame.TimeStamp = stamp;
    return frame;
}

TEST(MergeByStampTest, OrdersTheChannelsByArrivalAndChannelZeroFirstOnATie) {
    const CanFrameRecord zero[] = {Stamped(1, 10), Stamped(2, 30), Stamped(3, 30)};
    const CanFrameRecord one[] = {Stamped(11, 5), Stamped(12, 30), Stamped(13, 31)};
    const auto merged = MergeByStamp(zero, one);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> order;
    for (const auto& tagged : merged) {
        order.emplace_back(tagged.channel, tagged.frame.ID);
    }
    EXPECT_EQ(order, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{
                         {1, 11}, {0, 1}, {0, 2}, {0, 3}, {1, 12}, {1, 13}}));
    EXPECT_TRUE(MergeByStamp({}, {}).empty());
}

bool IsCompletion(const kelvix::TaggedFrame& tagged) {
    return tagged.frame.ExternFlag == 0 && tagged.frame.ID == protocol::ID_COMPLETION;
}

// Frames on `port` until both channels carried a completion frame; waits on
// the port itself, which wakes on arrival, within a bound.
std::vector<kelvix::TaggedFrame> CollectUntilBothComplete(kelvix::VirtualCanPort& port) {
    std::vector<kelvix::TaggedFrame> frames;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    kelvix::TaggedFrame buffer[64];
    auto complete = [&](std::uint32_t channel) {
        return std::any_of(frames.begin(), frames.end(), [channel](const auto& tagged) {
            return tagged.channel == channel && IsCompletion(tagged);
        });
    };
    while (!(complete(0) && complete(1)) && std::chrono::steady_clock::now() < deadline) {
        const std::size_t got = port.ReceiveTagged(buffer, std::chrono::milliseconds(100));
        frames.insert(frames.end(), buffer, buffer + got);
    }
    return frames;
}

TEST(BusBridgeTest, TheDeviceAnswersAReadRequestAcrossTheBridgeOnBothChannels) {
    auto shared = kelvix::VirtualCanBus::Named("bridge-test");
    auto pc = shared->Attach(kelvix::VirtualCanPort::ALL_CHANNELS);
    kelvix::SetAdapterSpecOverride("sim:bus=bridge-test,nodevice");

    test::FakeClock clock;
    auto privateBus = kelvix::VirtualCanBus::Create();
    SimulatedDevice device(privateBus, DeviceConfig{}, clock);
    BusBridge bridge(privateBus, 3);
    ASSERT_EQ(bridge.Open(), "");

    pc->SendOn(0, BusFrame(protocol::ID_READ_REQUEST, false, {0xFF}));
    const auto answers = CollectUntilBothComplete(*pc);
    bridge.Stop();
    ASSERT_FALSE(answers.empty());
    EXPECT_TRUE(IsCompletion(answers.back())) << "the last answer closes the read";
    EXPECT_EQ(answers.front().frame.ID, protocol::ID_SERIAL_LOW) << "identity comes first";
    EXPECT_EQ(device.FramesReceived(), 1u);
    EXPECT_EQ(bridge.FramesIn(), 1u);
    EXPECT_EQ(bridge.FramesOut(), answers.size());
    EXPECT_EQ(bridge.TransmitFailures(), 0u);
    kelvix::CloseAllAdapters();
}

// --refuse 5: the device's first four frames reach the bus, the rest are refused.
TEST(BusBridgeTest, RefusedDeviceFramesNeverReachTheBus) {
    auto shared = kelvix::VirtualCanBus::Named("bridge-refuse-test");
    auto pc = shared->Attach(kelvix::VirtualCanPort::ALL_CHANNELS);
    kelvix::SetAdapterSpecOverride("sim:bus=bridge-refuse-test,nodevice");
    test::FakeClock clock;
    auto privateBus = kelvix::VirtualCanBus::Create();
    SimulatedDevice device(privateBus, DeviceConfig{}, clock);
    BusBridge bridge(privateBus, 0);
    bridge.RefuseFrom(5);
    ASSERT_EQ(bridge.Open(), "");

    pc->SendOn(0, BusFrame(protocol::ID_READ_REQUEST, false, {0xFF}));
    const std::uint64_t answer = 98;  // 50 frames on channel 0, 48 on channel 1
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (bridge.FramesOut() + bridge.TransmitFailures() < answer &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    bridge.Stop();
    EXPECT_EQ(bridge.FramesOut(), 4u);
    EXPECT_EQ(bridge.TransmitFailures(), answer - 4);
    EXPECT_EQ(pc->Pending(), 4u);
    kelvix::CloseAllAdapters();
}

TEST(BusBridgeTest, ABusThatCannotBeOpenedSaysWhy) {
    kelvix::SetAdapterSpecOverride("nosuchbackend:x");
    auto privateBus = kelvix::VirtualCanBus::Create();
    BusBridge bridge(privateBus, 0);
    EXPECT_EQ(bridge.Open(),
              "adapter 0 (nosuchbackend:x): unknown adapter backend \"nosuchbackend\" in "
              "\"nosuchbackend:x\"");
    kelvix::CloseAllAdapters();
}

}  // namespace
}  // namespace quillon::sim
