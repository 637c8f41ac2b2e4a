#include <gtest/gtest.h>

#include "platform/kelvix/VirtualCanBus.hpp"
#include "support/ScriptedAdapter.hpp"

namespace kelvix {
namespace {

using quillon::test::MakeFrame;
using std::chrono::milliseconds;

TEST(VirtualCanBusTest, FramesReachOtherPortsOnTheSameChannelInOrder) {
    auto bus = VirtualCanBus::Create();
    auto a = bus->Attach(0);
    auto b = bus->Attach(0);
    auto other = bus->Attach(1);
    for (std::uint32_t id = 1; id <= 3; ++id) {
        a->Send(MakeFrame(id, false, {static_cast<std::uint8_t>(id)}, 1));
    }
    CanFrameRecord out[2];
    ASSERT_EQ(b->Receive(out, milliseconds(0)), 2u) << "capacity limits one receive";
    EXPECT_EQ(out[0].ID, 1u);
    EXPECT_EQ(out[1].ID, 2u);
    EXPECT_EQ(out[0].TimeFlag, 1);
    ASSERT_EQ(b->Receive(out, milliseconds(0)), 1u);
    EXPECT_EQ(out[0].ID, 3u);
    EXPECT_EQ(a->Pending(), 0u) << "a sender never hears itself";
    EXPECT_EQ(other->Pending(), 0u) << "channels are separate";
    EXPECT_EQ(bus->FramesSent(), 3u);
}

TEST(VirtualCanBusTest, CloseWakesAWaitingReceiver) {
    auto bus = VirtualCanBus::Create();
    auto port = bus->Attach(0);
    std::thread closer([&port] { port->Close(); });
    CanFrameRecord out[1];
    EXPECT_EQ(port->Receive(out, std::chrono::hours(1)), 0u);
    closer.join();
}

TEST(VirtualCanBusTest, NamedBusIsSharedWhileHeld) {
    auto first = VirtualCanBus::Named("shared-test");
    auto second = VirtualCanBus::Named("shared-test");
    EXPECT_EQ(first, second);
    EXPECT_THROW(first->Attach(2), std::out_of_range);
}

}  // namespace
}  // namespace kelvix
