// The adapter library's C calls through the "brindle" backend: handle API,
// Brindle, the simulated USB device and the adapter firmware, out onto a
// named virtual bus that the test listens to and talks on.
#include <gtest/gtest.h>

#include <cstring>

#include "driver/backend/BrindleBackend.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/Kelvix.h"
#include "platform/kelvix/VirtualCanBus.hpp"

namespace brindle {
namespace {

constexpr std::uint32_t TYPE = 4;

CanFrameRecord Frame(std::uint32_t id, std::uint8_t length, std::uint8_t seed) {
    CanFrameRecord frame{};
    frame.ID = id;
    frame.DataLen = length;
    for (std::uint8_t i = 0; i < length; ++i) {
        frame.Data[i] = static_cast<std::uint8_t>(seed + i);
    }
    return frame;
}

class BrindleBackendTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterBrindleBackend();
        bus = kelvix::VirtualCanBus::Named("brindle-backend-test");
        listener = bus->Attach(kelvix::VirtualCanPort::ALL_CHANNELS);
        kelvix::SetAdapterSpecOverride("brindle:nodevice,bus=brindle-backend-test");
        ASSERT_EQ(VCI_OpenDevice(TYPE, 0, 0), 1U) << kelvix::LastOpenError();
    }

    void TearDown() override { kelvix::CloseAllAdapters(); }

    std::vector<kelvix::TaggedFrame> Heard(std::size_t count) {
        std::vector<kelvix::TaggedFrame> heard;
        std::vector<kelvix::TaggedFrame> batch(count);
        while (heard.size() < count) {
            const std::size_t got = listener->ReceiveTagged(batch, std::chrono::milliseconds(5000));
            if (got == 0) {
                break;
            }
            heard.insert(heard.end(), batch.begin(), batch.begin() + static_cast<long>(got));
        }
        return heard;
    }

    std::shared_ptr<kelvix::VirtualCanBus> bus;
    std::unique_ptr<kelvix::VirtualCanPort> listener;
};

TEST_F(BrindleBackendTest, TransmittedFramesReachTheBusOnTheirChannel) {
    EXPECT_EQ(VCI_StartCAN(TYPE, 0, 1), 1U);
    CanFrameRecord frames[3] = {Frame(0x100, 8, 1), Frame(0x101, 0, 0), Frame(0x1FFFFFFF, 3, 9)};
    frames[2].ExternFlag = 1;
    ASSERT_EQ(VCI_Transmit(TYPE, 0, 1, frames, 3), 3U);
    const auto heard = Heard(3);
    ASSERT_EQ(heard.size(), 3U);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(heard[i].channel, 1U);
        EXPECT_EQ(heard[i].frame.ID, frames[i].ID);
        EXPECT_EQ(heard[i].frame.DataLen, frames[i].DataLen);
        EXPECT_EQ(std::memcmp(heard[i].frame.Data, frames[i].Data, frames[i].DataLen), 0);
    }
    EXPECT_EQ(heard[2].frame.ExternFlag, 1);
}

TEST_F(BrindleBackendTest, ManyFramesInOneCallArriveInOrder) {
    std::vector<CanFrameRecord> frames;
    for (std::uint32_t i = 0; i < 5000; ++i) {
        frames.push_back(Frame(i & 0x7FF, 8, static_cast<std::uint8_t>(i)));
    }
    ASSERT_EQ(VCI_Transmit(TYPE, 0, 0, frames.data(), 5000), 5000U);
    const auto heard = Heard(5000);
    ASSERT_EQ(heard.size(), 5000U);
    EXPECT_EQ(heard[2047].frame.Data[0], static_cast<std::uint8_t>(2047));
    EXPECT_EQ(heard[4999].frame.ID, 4999U & 0x7FF);
}

TEST_F(BrindleBackendTest, FramesFromTheBusAreReceivedWithATimeStamp) {
    listener->SendOn(0, Frame(0x7E8, 2, 0x40));
    listener->SendOn(1, Frame(0x7E9, 1, 0x50));
    CanFrameRecord received[50];
    ASSERT_EQ(VCI_Receive(TYPE, 0, 0, received, 50, 5000), 1);
    EXPECT_EQ(received[0].ID, 0x7E8U);
    EXPECT_EQ(received[0].Data[1], 0x41);
    EXPECT_EQ(received[0].TimeFlag, 1);
    ASSERT_EQ(VCI_Receive(TYPE, 0, 1, received, 50, 5000), 1);
    EXPECT_EQ(received[0].ID, 0x7E9U);
    EXPECT_EQ(VCI_Receive(TYPE, 0, 1, received, 50, 0), 0);
}

TEST_F(BrindleBackendTest, ChannelCommandsGoThroughTheCommandPipe) {
    CanInitRecord init{};
    init.AccCode = 1;
    init.AccMask = 0x10;
    init.Timing0 = 0xFF;
    init.Timing1 = 0xFF;
    EXPECT_EQ(VCI_InitCAN(TYPE, 0, 0, &init), 1U);
    EXPECT_EQ(VCI_StartCAN(TYPE, 0, 0), 1U);
    std::uint32_t reference = 1000;
    EXPECT_EQ(VCI_SetReference(TYPE, 0, 0, 30, &reference), 1U);
    CanErrorRecord error{};
    error.ErrCode = 0xFFFF;
    EXPECT_EQ(VCI_ReadErrInfo(TYPE, 0, 0, &error), 1U);
    EXPECT_EQ(error.ErrCode, 0U);
}

TEST_F(BrindleBackendTest, CloseAndReopenServeAFreshAdapter) {
    EXPECT_EQ(VCI_CloseDevice(TYPE, 0), 1U);
    ASSERT_EQ(VCI_OpenDevice(TYPE, 0, 0), 1U) << kelvix::LastOpenError();
    CanFrameRecord frame = Frame(0x55, 1, 1);
    ASSERT_EQ(VCI_Transmit(TYPE, 0, 0, &frame, 1), 1U);
    EXPECT_EQ(Heard(1).size(), 1U);
}

/// The adapter on its own bus with a listener, opened with extra options.
class BrindleQueueTest : public ::testing::Test {
  protected:
    void Open(const std::string& options) {
        RegisterBrindleBackend();
        bus = kelvix::VirtualCanBus::Named("brindle-queue-test");
        listener = bus->Attach(kelvix::VirtualCanPort::ALL_CHANNELS);
        kelvix::SetAdapterSpecOverride("brindle:nodevice,bus=brindle-queue-test," + options);
        ASSERT_EQ(VCI_OpenDevice(TYPE, 0, 0), 1U) << kelvix::LastOpenError();
    }
    void TearDown() override { kelvix::CloseAllAdapters(); }

    std::shared_ptr<kelvix::VirtualCanBus> bus;
    std::unique_ptr<kelvix::VirtualCanPort> listener;
};

TEST_F(BrindleQueueTest, AQueueThatStaysFullReturnsTheCountAccepted) {
    Open("tx-queue=4,queue-wait-ms=0,tx-paused");
    std::vector<CanFrameRecord> frames;
    for (std::uint32_t i = 0; i < 10; ++i) {
        frames.push_back(Frame(0x200 + i, 1, static_cast<std::uint8_t>(i)));
    }
    EXPECT_EQ(VCI_Transmit(TYPE, 0, 0, frames.data(), 10), 4U);
    EXPECT_EQ(VCI_Transmit(TYPE, 0, 0, frames.data(), 1), 0U);
    std::vector<kelvix::TaggedFrame> heard(4);
    EXPECT_EQ(listener->ReceiveTagged(heard, std::chrono::milliseconds(0)), 0U);
}

TEST_F(BrindleQueueTest, ATransmitLargerThanTheQueueWaitsForRoomAndSendsEverything) {
    Open("tx-queue=3,queue-wait-ms=5000");
    std::vector<CanFrameRecord> frames;
    for (std::uint32_t i = 0; i < 1000; ++i) {
        frames.push_back(Frame(i & 0x7FF, 8, static_cast<std::uint8_t>(i)));
    }
    ASSERT_EQ(VCI_Transmit(TYPE, 0, 0, frames.data(), 1000), 1000U);
    std::vector<kelvix::TaggedFrame> heard;
    std::vector<kelvix::TaggedFrame> batch(1000);
    while (heard.size() < 1000) {
        const std::size_t got = listener->ReceiveTagged(batch, std::chrono::milliseconds(5000));
        ASSERT_GT(got, 0U);
        heard.insert(heard.end(), batch.begin(), batch.begin() + static_cast<long>(got));
    }
    for (std::uint32_t i = 0; i < 1000; ++i) {
        ASSERT_EQ(heard[i].frame.ID, i & 0x7FF) << "frame " << i;
    }
}

TEST(BrindleOptionsTest, BadAdapterOptionsRefuseTheOpen) {
    RegisterBrindleBackend();
    for (const char* spec :
         {"brindle:tx-queue=0", "brindle:tx-queue=x", "brindle:queue-wait-ms="}) {
        kelvix::SetAdapterSpecOverride(spec);
        EXPECT_NE(VCI_OpenDevice(TYPE, 0, 0), 1U) << spec;
        EXPECT_NE(kelvix::LastOpenError().find("has a bad value"), std::string::npos)
            << kelvix::LastOpenError();
    }
    kelvix::CloseAllAdapters();
}

}  // namespace
}  // namespace brindle
