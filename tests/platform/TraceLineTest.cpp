#include <gtest/gtest.h>

#include "platform/kelvix/TraceLine.hpp"

namespace kelvix {
namespace {

TEST(TraceLineTest, ParsesCandumpLinesWithDirection) {
    const auto frame = ParseTraceLine("(1436509052.249713) can1 000001FF#0A0B T");
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->channel, 1u);
    EXPECT_EQ(frame->frame.ID, 0x1FFu);
    EXPECT_EQ(frame->frame.ExternFlag, 1);
    EXPECT_EQ(frame->frame.DataLen, 2);
    EXPECT_EQ(frame->frame.Data[1], 0x0B);
    EXPECT_EQ(frame->direction, TraceDirection::Transmitted);
    const auto remote = ParseTraceLine("(1.0) can0 00000001#R");
    ASSERT_TRUE(remote);
    EXPECT_EQ(remote->frame.RemoteFlag, 1);
    EXPECT_EQ(remote->direction, TraceDirection::Received) << "no direction means received";
}

TEST(TraceLineTest, MalformedLinesAreRefused) {
    for (const char* line :
         {"", "# comment", "(1.0) can0 123#ABC T", "(1.0) vcan 123#00", "(1.0) can0 #00",
          "(1.0) can0 123#001122334455667788", "(1.0) can0 XYZ#00", "can0 123#00"}) {
        EXPECT_FALSE(ParseTraceLine(line)) << line;
    }
}

}  // namespace
}  // namespace kelvix
