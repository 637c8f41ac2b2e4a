// The socketcan backend on a socket layer without the kernel: opening,
// transmit with a full queue, receive waits, and the error record.
#include <gtest/gtest.h>

#include <cerrno>

#include "FakeCanSocketLayer.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "platform/kelvix/socketcan/SocketCanAdapter.hpp"
#include "support/BusFrames.hpp"

namespace kelvix {
namespace {

using quillon::test::BusFrame;
using quillon::test::FakeCanSocketLayer;
using quillon::test::FakeClock;
using quillon::test::FakeSleeper;

class SocketCanAdapterTest : public ::testing::Test {
  protected:
    SocketCanAdapter& Make(const std::string& optionsText) {
        std::string error;
        auto options = ParseSocketCanOptions(optionsText, error);
        EXPECT_TRUE(options) << error;
        adapter = std::make_unique<SocketCanAdapter>(*options, layer, clock, sleeper);
        return *adapter;
    }
    SocketCanAdapter& Opened(const std::string& optionsText) {
        Make(optionsText);
        EXPECT_EQ(adapter->Open(), "");
        return *adapter;
    }

    FakeClock clock;
    FakeSleeper sleeper{&clock};
    std::shared_ptr<FakeCanSocketLayer> layer = std::make_shared<FakeCanSocketLayer>(clock);
    std::unique_ptr<SocketCanAdapter> adapter;
};

TEST_F(SocketCanAdapterTest, OpenSaysWhenTheSystemHasNoCanSockets) {
    layer->availability = "this system has no raw CAN sockets (Address family not supported)";
    EXPECT_EQ(Make("can0,can1").Open(),
              "this system has no raw CAN sockets (Address family not supported)");
    EXPECT_TRUE(layer->opened.empty());
}

TEST_F(SocketCanAdapterTest, OpenFailureOnChannelOneClosesChannelZero) {
    layer->missing = {"can1"};
    EXPECT_EQ(Make("can0,can1").Open(),
              "channel 1 on \"can1\": no network interface \"can1\" (No such device)");
    EXPECT_EQ(layer->opened, std::vector<std::string>{"can0"});
    EXPECT_EQ(layer->closed, std::vector<std::string>{"can0"});
}

TEST_F(SocketCanAdapterTest, ChannelsMapToTheirInterfacesInOrder) {
    auto& can = Opened("can0,can1");
    const CanFrameRecord first = BusFrame(0x123, false, {1, 2});
    const CanFrameRecord second = BusFrame(0x1ABCDE, true, {3});
    EXPECT_EQ(can.Transmit(1, {&first, 1}), 1u);
    EXPECT_EQ(can.Transmit(0, {&second, 1}), 1u);
    ASSERT_EQ(layer->sent.size(), 2u);
    EXPECT_EQ(layer->sent[0].first, "can1");
    EXPECT_EQ(layer->sent[0].second.canId, 0x123u);
    EXPECT_EQ(layer->sent[1].first, "can0");
    EXPECT_EQ(layer->sent[1].second.canId, 0x801ABCDEu);
    adapter.reset();
    EXPECT_EQ(layer->closed, (std::vector<std::string>{"can0", "can1"}));
}

TEST_F(SocketCanAdapterTest, AFullQueueIsWaitedOutAndNoFrameIsLost) {
    auto& can = Opened("can0");
    layer->sendStatuses = {ENOBUFS, ENOBUFS, EAGAIN, 0, ENOBUFS};
    const CanFrameRecord frames[3] = {BusFrame(1, false, {1}), BusFrame(1, false, {2}),
                                      BusFrame(1, false, {3})};
    EXPECT_EQ(can.Transmit(0, frames), 3u);
    ASSERT_EQ(layer->sent.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(layer->sent[i].second.data[0], i + 1) << "frame " << i << " in order";
    }
    EXPECT_EQ(layer->writeWaits.size(), 4u);
    EXPECT_EQ(sleeper.CountOf(1), 3u) << "each ENOBUFS retry pauses 1 ms";
    EXPECT_EQ(can.TakeError(0).ErrCode, 0u);
}

TEST_F(SocketCanAdapterTest, AQueueThatStaysFullRefusesTheFrameAfterItsBound) {
    auto& can = Opened("can0,queue-wait-ms=250");
    layer->writableAfterWait = false;
    layer->sendStatuses = std::deque<int>(40, EAGAIN);
    layer->sendStatuses.push_front(0);
    const CanFrameRecord frames[3] = {BusFrame(7, false, {1}), BusFrame(7, false, {2}),
                                      BusFrame(7, false, {3})};
    const std::uint64_t start = clock.MonotonicMs();
    EXPECT_EQ(can.Transmit(0, frames), 1u) << "the second frame is refused, the third not tried";
    EXPECT_EQ(clock.MonotonicMs() - start, 250u) << "waited exactly the bound";
    EXPECT_EQ(layer->sent.size(), 1u);
    EXPECT_EQ(can.TakeError(0).ErrCode, static_cast<std::uint32_t>(KELVIX_ERR_QUEUE_FULL));
    EXPECT_EQ(can.LastErrorText(0), "can0: transmit queue stayed full for 250 ms");
    EXPECT_EQ(can.TakeError(0).ErrCode, 0u) << "taking the error clears it";
}

struct SendFailureRow {
    const char* name;
    CanFrameRecord frame;
    int status;
    std::uint32_t code;
    const char* text;
};

class SocketCanSendFailureTest : public SocketCanAdapterTest,
                                 public ::testing::WithParamInterface<SendFailureRow> {};

TEST_P(SocketCanSendFailureTest, StopsAtTheFrameAndSaysWhy) {
    auto& can = Opened("can0,can1");
    layer->sendStatuses = {0, GetParam().status};
    const CanFrameRecord frames[3] = {BusFrame(1, false, {}), GetParam().frame,
                                      BusFrame(3, false, {})};
    EXPECT_EQ(can.Transmit(1, frames), 1u);
    EXPECT_EQ(layer->sent.size(), 1u);
    EXPECT_EQ(can.TakeError(1).ErrCode, GetParam().code);
    EXPECT_EQ(can.LastErrorText(1), GetParam().text);
    EXPECT_EQ(can.TakeError(0).ErrCode, 0u) << "the other channel keeps no error";
}

INSTANTIATE_TEST_SUITE_P(
    Failures, SocketCanSendFailureTest,
    ::testing::Values(SendFailureRow{"InterfaceDown", BusFrame(2, false, {}), ENETDOWN,
                                     KELVIX_ERR_BACKEND, "can1: send failed (Network is down)"},
                      SendFailureRow{"IdentifierTooWide", BusFrame(0x800, false, {}), 0,
                                     KELVIX_ERR_BACKEND,
                                     "can1: identifier 0x800 does not fit a 11-bit standard "
                                     "frame"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SocketCanAdapterTest, ReceiveWaitsItsTimeInSlicesWhenNothingArrives) {
    auto& can = Opened("can0");
    CanFrameRecord buffer[50];
    const std::uint64_t start = clock.MonotonicMs();
    EXPECT_EQ(can.Receive(0, buffer, 200), 0);
    EXPECT_EQ(clock.MonotonicMs() - start, 200u);
    EXPECT_EQ(layer->readWaits, (std::vector<std::int32_t>{50, 50, 50, 50}));
}

TEST_F(SocketCanAdapterTest, ReceiveStoresFramesWithStampsAndReportsErrorFrames) {
    auto& can = Opened("can0");
    clock.AdvanceMs(12);
    layer->Incoming("can0", SocketCanFrame{0x80000002, 2, {5, 6}});
    layer->Incoming("can0", SocketCanFrame{SOCKETCAN_ERROR_FLAG | 0x40, 8, {}});
    layer->Incoming("can0", SocketCanFrame{0x7FF, 0, {}});
    CanFrameRecord buffer[50];
    ASSERT_EQ(can.Receive(0, buffer, 200), 2);
    EXPECT_EQ(buffer[0].ID, 2u);
    EXPECT_EQ(buffer[0].ExternFlag, 1);
    EXPECT_EQ(buffer[0].Data[1], 6);
    EXPECT_EQ(buffer[0].TimeStamp, 120u) << "0.1 ms units since open";
    EXPECT_EQ(buffer[0].TimeFlag, 1);
    EXPECT_EQ(buffer[1].ID, 0x7FFu);
    EXPECT_EQ(can.TakeError(0).ErrCode, static_cast<std::uint32_t>(KELVIX_ERR_BACKEND));
    EXPECT_EQ(can.LastErrorText(0), "can0: bus error, class 0x00000040");
}

TEST_F(SocketCanAdapterTest, ReceiveStopsAtCapacityAndKeepsTheRest) {
    auto& can = Opened("can0");
    for (std::uint32_t id = 1; id <= 3; ++id) {
        layer->Incoming("can0", SocketCanFrame{id, 0, {}});
    }
    CanFrameRecord buffer[2];
    EXPECT_EQ(can.Receive(0, buffer, 0), 2);
    EXPECT_EQ(can.Receive(0, buffer, 0), 1);
    EXPECT_EQ(buffer[0].ID, 3u);
}

TEST_F(SocketCanAdapterTest, AReadFailureBeforeAnyFrameIsAnError) {
    auto& can = Opened("can0");
    layer->Incoming("can0", SocketCanFrame{}, ENETDOWN);
    CanFrameRecord buffer[50];
    EXPECT_EQ(can.Receive(0, buffer, 200), -1);
    EXPECT_EQ(can.LastErrorText(0), "can0: receive failed (Network is down)");
}

TEST_F(SocketCanAdapterTest, AChannelWithoutInterfaceRefusesSendsAndIdlesReceives) {
    auto& can = Opened("can0");
    const CanFrameRecord frame = BusFrame(1, false, {});
    EXPECT_EQ(can.Transmit(1, {&frame, 1}), 0u);
    EXPECT_EQ(can.TakeError(1).ErrCode, static_cast<std::uint32_t>(KELVIX_ERR_BAD_CHANNEL));
    EXPECT_EQ(can.LastErrorText(1), "channel 1 has no open interface");
    EXPECT_FALSE(can.StartChannel(1));
    EXPECT_TRUE(can.StartChannel(0));
    CanFrameRecord buffer[50];
    EXPECT_EQ(can.Receive(1, buffer, 200), 0);
    EXPECT_EQ(sleeper.Sleeps(), (std::vector<std::uint32_t>{50, 50, 50, 50}))
        << "no busy loop, and slices short enough to notice a close";
}

TEST_F(SocketCanAdapterTest, CloseEndsAWaitingReceiveAndLaterSends) {
    auto& can = Opened("can0");
    can.Close();
    CanFrameRecord buffer[50];
    EXPECT_EQ(can.Receive(0, buffer, 200), 0);
    EXPECT_TRUE(layer->readWaits.empty());
    EXPECT_EQ(can.Receive(1, buffer, 200), 0) << "the channel without interface";
    EXPECT_TRUE(sleeper.Sleeps().empty());
    EXPECT_EQ(can.Transmit(0, {buffer, 1}), 0u);
}

TEST(SocketCanLibraryTest, TheLibraryReportsWhyTheInterfaceCannotBeOpened) {
    SetAdapterSpecOverride("socketcan:nosuchcan9");
    EXPECT_EQ(VCI_OpenDevice(4, 0, 0), 0u);
    const std::string error = LastOpenError();
    EXPECT_TRUE(error.starts_with("adapter 0 (socketcan:nosuchcan9): ")) << error;
    // Without CAN sockets in the kernel the reason is that; with them, the
    // interface is missing.
    EXPECT_TRUE(error.find("no raw CAN sockets") != std::string::npos ||
                error.find("no network interface \"nosuchcan9\"") != std::string::npos)
        << error;
    CloseAllAdapters();
}

TEST(SocketCanLibraryTest, BadOptionsAreRefusedBeforeAnySocket) {
    SetAdapterSpecOverride("socketcan:");
    EXPECT_EQ(VCI_OpenDevice(4, 1, 0), 0u);
    EXPECT_EQ(LastOpenError(),
              "adapter 1 (socketcan:): socketcan needs an interface name, e.g. "
              "socketcan:can0,can1");
    CloseAllAdapters();
}

}  // namespace
}  // namespace kelvix
