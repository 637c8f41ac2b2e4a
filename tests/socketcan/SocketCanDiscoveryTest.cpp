// What the socketcan backend lists for `quillon-cli adapters`.
#include <gtest/gtest.h>

#include "FakeCanSocketLayer.hpp"
#include "platform/kelvix/socketcan/SocketCanDiscovery.hpp"

namespace kelvix {
namespace {

using quillon::test::FakeCanSocketLayer;
using quillon::test::FakeClock;

TEST(SocketCanDiscoveryTest, ListsEachCanInterfaceAsASpec) {
    FakeClock clock;
    FakeCanSocketLayer layer(clock);
    layer.interfaces = {"can0", "vcan0"};
    const auto listings = ListSocketCanInterfaces(layer);
    ASSERT_EQ(listings.size(), 2u);
    EXPECT_EQ(listings[0].spec, "socketcan:can0");
    EXPECT_EQ(listings[1].spec, "socketcan:vcan0");
    EXPECT_EQ(listings[1].description, "CAN network interface vcan0");
    EXPECT_TRUE(listings[0].Available());
}

TEST(SocketCanDiscoveryTest, SaysWhyNothingCanBeReached) {
    FakeClock clock;
    FakeCanSocketLayer layer(clock);
    layer.interfaces = {"can0"};
    layer.availability = "this system has no raw CAN sockets (x)";
    auto listings = ListSocketCanInterfaces(layer);
    ASSERT_EQ(listings.size(), 1u);
    EXPECT_EQ(listings[0].unavailableReason, "this system has no raw CAN sockets (x)");
    EXPECT_EQ(listings[0].spec, "");

    layer.availability.clear();
    layer.interfaces.clear();
    listings = ListSocketCanInterfaces(layer);
    ASSERT_EQ(listings.size(), 1u);
    EXPECT_EQ(listings[0].unavailableReason,
              "no CAN network interface is up or configured (none of type CAN in "
              "/sys/class/net)");
}

}  // namespace
}  // namespace kelvix
