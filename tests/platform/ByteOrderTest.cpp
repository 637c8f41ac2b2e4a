#include "platform/byteorder/ByteOrder.hpp"

#include <gtest/gtest.h>

#include "support/BytesAt.hpp"

namespace quillon::byteorder {
namespace {

using protocol::test::BytesAt;

TEST(ByteOrderTest, PutsLowByteFirstAtTheGivenOffset) {
    std::array<std::uint8_t, 8> bytes{};
    PutU16LE(bytes, 1, 0xA1B2);
    PutU32LE(bytes, 3, 0x11223344);
    EXPECT_TRUE(BytesAt(bytes, 0, {0x00, 0xB2, 0xA1, 0x44, 0x33, 0x22, 0x11, 0x00}));
}

TEST(ByteOrderTest, GetsLowByteFirstFromTheGivenOffset) {
    const std::array<std::uint8_t, 7> bytes{0xEE, 0x34, 0x12, 0x78, 0x56, 0x34, 0xF2};
    EXPECT_EQ(GetU16LE(bytes, 1), 0x1234);
    EXPECT_EQ(GetU32LE(bytes, 3), 0xF2345678u);
}

}  // namespace
}  // namespace quillon::byteorder
