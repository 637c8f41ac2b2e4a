#include "protocol/SysPara.hpp"

#include <gtest/gtest.h>

#include "support/BytesAt.hpp"

namespace quillon::protocol {
namespace {

TEST(SysParaTest, FieldsAndReservedBytesLandAtTheirOffsets) {
    SysPara p;
    p.checksum = 0x10;
    p.reserved1 = 0xA1;
    p.fileSizeMB = 0x1280;
    p.sysOption = 0x5A;
    p.cyclicOverwrite = 1;
    p.reserved6 = 0xA6;
    p.firstFrameTimeZero = 1;
    p.reserved8 = {0xA8, 0xA9, 0xAA, 0xAB};
    p.errorProofing = 3;
    p.reserved13 = {0xAD, 0xAE, 0xAF};
    const auto b = p.ToBytes();
    EXPECT_TRUE(test::BytesAt(b, 0,
                              {0x10, 0xA1, 0x80, 0x12, 0x5A, 0x01, 0xA6, 0x01, 0xA8, 0xA9, 0xAA,
                               0xAB, 0x03, 0xAD, 0xAE, 0xAF}));
    EXPECT_EQ(SysPara::FromBytes(b), p);
}

}  // namespace
}  // namespace quillon::protocol
