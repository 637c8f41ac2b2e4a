// A faulty simulated device: frames it does not hear, replies it loses or
// delays, a device that never answers; seeded so the same faults come back.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "protocol/Cpc1crypt.hpp"
#include "protocol/ParameterFrames.hpp"
#include "sim/FaultDice.hpp"
#include "sim/SimulatedDevice.hpp"
#include "support/FakeSystem.hpp"

namespace quillon::sim {
namespace {

using namespace std::chrono_literals;

DeviceConfig Faulty(const char* options) {
    std::string error;
    auto config = ParseDeviceConfig(options, error);
    EXPECT_TRUE(config) << error;
    return config.value_or(DeviceConfig{});
}

class FaultInjectionTest : public ::testing::Test {
  protected:
    void Start(const DeviceConfig& config) {
        device = std::make_unique<SimulatedDevice>(bus, config, clock);
    }
    void Send(CanFrameRecord frame, bool plain = false) {
        if (!plain) {
            cipher.EncipherPayload(frame.Data);
        }
        pc->SendOn(0, frame);
    }
    void SendReadRequest() {
        CanFrameRecord request = protocol::MakeConfigFrame(protocol::ID_READ_REQUEST, false, 1);
        request.Data[0] = 0xFF;
        Send(request, true);
    }
    void SendDebug(std::string_view text) {
        CanFrameRecord frame =
            protocol::MakeConfigFrame(0xF0, false, static_cast<std::uint8_t>(text.size()));
        std::copy(text.begin(), text.end(), frame.Data);
        Send(frame);
    }
    // The device works in order on its own thread and counts a frame it heard
    // only once it has handled it (text stored, answers sent or scheduled), so
    // that count, not the text, says everything sent before is done.
    bool WaitForFramesHeard(std::uint64_t count) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (device->FramesReceived() < count) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::yield();
        }
        return true;
    }
    std::vector<std::uint32_t> ReceiveIds(std::size_t count, std::chrono::milliseconds wait) {
        std::vector<std::uint32_t> ids;
        CanFrameRecord buffer[64];
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (ids.size() < count && std::chrono::steady_clock::now() < deadline) {
            const std::size_t got = pc->Receive(buffer, 20ms);
            for (std::size_t i = 0; i < got; ++i) {
                ids.push_back(buffer[i].ID);
            }
        }
        return ids;
    }
    // Every frame the device sends for a read and one debug line, once it is done.
    std::vector<std::uint32_t> AnswersToReadAndLine() {
        SendReadRequest();
        SendDebug("x\r\n");
        EXPECT_TRUE(WaitForFramesHeard(2));
        return ReceiveIds(FULL_ANSWER, 10s);
    }

    // A read of the default store answers 50 frames on channel 0 and 48 on
    // channel 1; a debug line gets four.
    static constexpr std::size_t FULL_ANSWER = 50 + 48 + 4;

    test::FakeClock clock;
    protocol::Cpc1crypt cipher;
    std::shared_ptr<kelvix::VirtualCanBus> bus = kelvix::VirtualCanBus::Create();
    std::unique_ptr<kelvix::VirtualCanPort> pc = bus->Attach(kelvix::VirtualCanPort::ALL_CHANNELS);
    std::unique_ptr<SimulatedDevice> device;
};

TEST_F(FaultInjectionTest, AFaultFreeDeviceAnswersEverything) {
    Start(DeviceConfig{});
    EXPECT_EQ(AnswersToReadAndLine().size(), FULL_ANSWER);
}

TEST_F(FaultInjectionTest, ASilentDeviceHearsAndAppliesButNeverAnswers) {
    Start(Faulty("silent"));
    CanFrameRecord opening = protocol::MakeConfigFrame(protocol::ID_OPEN_CLOSE, false);
    opening.Data[0] = 0x01;
    Send(opening);
    CanFrameRecord completion = protocol::MakeConfigFrame(protocol::ID_COMPLETION, false, 1);
    completion.Data[0] = 0x01;
    Send(completion);
    SendReadRequest();
    SendDebug("x\r\n");
    ASSERT_TRUE(WaitForFramesHeard(4));
    EXPECT_EQ(device->DebugText(), "x\r\n");
    EXPECT_EQ(device->WritesApplied(), 1u);
    EXPECT_EQ(device->FramesReceived(), 4u);
    EXPECT_EQ(pc->Pending(), 0u) << "a read's answer is sent before the next frame is handled";
}

TEST_F(FaultInjectionTest, AllRepliesDroppedIsLikeSilence) {
    Start(Faulty("reply-drop=100"));
    SendReadRequest();
    SendDebug("x\r\n");
    ASSERT_TRUE(WaitForFramesHeard(2));
    EXPECT_EQ(device->DebugText(), "x\r\n");
    EXPECT_EQ(pc->Pending(), 0u);
}

TEST_F(FaultInjectionTest, ASeededReplyDropLosesTheSameFramesEveryRun) {
    // The device rolls once per frame it sends, as a die with the same seed does.
    FaultDice dice(42);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < FULL_ANSWER; ++i) {
        kept += dice.Loses(30) ? 0 : 1;
    }
    ASSERT_GT(kept, 0u);
    ASSERT_LT(kept, FULL_ANSWER);
    std::vector<std::uint32_t> runs[2];
    for (auto& ids : runs) {
        Start(Faulty("reply-drop=30,seed=42"));
        SendReadRequest();
        SendDebug("x\r\n");
        ASSERT_TRUE(WaitForFramesHeard(2));
        ids = ReceiveIds(kept, 10s);
        EXPECT_EQ(ids.size(), kept);
        EXPECT_EQ(pc->Pending(), 0u);
        device.reset();
    }
    EXPECT_EQ(runs[0], runs[1]);
}

TEST_F(FaultInjectionTest, DroppedFramesAreNeverHeard) {
    Start(Faulty("drop=50,seed=7"));
    // The device's dice decide as a die with the same seed does.
    FaultDice dice(7);
    std::string heard;
    for (char c = 'a'; c <= 'z'; ++c) {
        SendDebug(std::string(1, c));
        if (!dice.Loses(50)) {
            heard += c;
        }
    }
    ASSERT_GT(heard.size(), 0u);
    ASSERT_LT(heard.size(), 26u);
    // Frames dropped after the last one heard are never counted.
    ASSERT_TRUE(WaitForFramesHeard(heard.size()));
    EXPECT_EQ(device->DebugText(), heard);
    EXPECT_EQ(device->FramesReceived(), heard.size());
}

TEST_F(FaultInjectionTest, DelayedRepliesLeaveWhenTheirTimeHasCome) {
    Start(Faulty("reply-delay-ms=300"));
    SendReadRequest();
    SendDebug("x\r\n");
    ASSERT_TRUE(WaitForFramesHeard(2)) << "both answers are scheduled before the clock moves";
    EXPECT_EQ(pc->Pending(), 0u) << "nothing before 300 ms have passed";
    clock.AdvanceMs(300);
    EXPECT_EQ(ReceiveIds(FULL_ANSWER, 10s).size(), FULL_ANSWER);
}

TEST(FaultDiceTest, ZeroNeverLosesAndAHundredAlwaysDoes) {
    FaultDice dice(1);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_FALSE(dice.Loses(0));
        ASSERT_TRUE(dice.Loses(100));
    }
}

}  // namespace
}  // namespace quillon::sim
