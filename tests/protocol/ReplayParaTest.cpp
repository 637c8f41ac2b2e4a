#include "protocol/ReplayPara.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>

#include "support/BytesAt.hpp"

namespace quillon::protocol {
namespace {

using test::BytesAt;

ReplayRule Rule(std::string_view name, std::uint16_t times, std::uint32_t intervalSec) {
    ReplayRule r;
    r.channelMask = 3;
    r.reserved1 = 0x11;
    r.times = times;
    r.intervalSec = intervalSec;
    std::copy(name.begin(), name.end(), r.fileName.begin());
    r.reserved25 = {0x25, 0x26, 0x27};
    return r;
}

TEST(ReplayParaTest, HeaderAndRulesLandAtTheirOffsetsLittleEndian) {
    ReplayPara p;
    p.checksum = 0x42;
    p.sendMode = 2;
    p.ruleCount = 10;
    p.reserved3 = 0x33;
    p.repeatAll = 0xBEEF;
    p.reserved6 = {0x66, 0x67};
    p.auxValue = 0xDEADBEEF;
    p.rules[0] = Rule("rec", 0x0102, 0x0A0B0C0D);
    p.rules[9] = Rule("ABCDEFGHIJKLMNOP", 1, 60);
    const auto b = p.ToBytes();
    EXPECT_TRUE(BytesAt(b, 0, {0x42, 2, 10, 0x33, 0xEF, 0xBE, 0x66, 0x67, 0xEF, 0xBE, 0xAD, 0xDE}));
    EXPECT_TRUE(BytesAt(b, 12, {3, 0x11, 0x02, 0x01, 0x0D, 0x0C, 0x0B, 0x0A, 'r', 'e', 'c', 0}));
    EXPECT_TRUE(BytesAt(b, 12 + 25, {0x25, 0x26, 0x27}));
    const std::size_t last = 12 + 9 * 28;
    EXPECT_TRUE(
        BytesAt(b, last + 2, {1,   0,   60,  0,   0,   0,   'A', 'B', 'C', 'D', 'E', 'F',
                              'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P', 0,   0x25}));
    EXPECT_EQ(ReplayPara::FromBytes(b), p);
}

}  // namespace
}  // namespace quillon::protocol
