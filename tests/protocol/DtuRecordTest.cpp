#include <gtest/gtest.h>

#include "platform/byteorder/ByteOrder.hpp"
#include "protocol/DtuAdvPara.hpp"
#include "protocol/DtuBasicPara.hpp"

namespace quillon::test {
namespace {

using protocol::DtuAdvPara;
using protocol::DtuBasicPara;

TEST(DtuBasicPara, FieldsLieAtTheirOffsetsLittleEndian) {
    DtuBasicPara record;
    record.serverAddr[31] = 0xA1;
    record.serverAddrLen = 32;
    record.serverPort = 0x00012345;
    record.protocol = 2;
    record.heartbeatSec = 60;
    record.heartbeat[95] = 0xB2;
    record.regLen = 96;
    record.downlinkTimeoutSec = 0x01020304;
    record.uartBaud = 115200;
    record.uartStopBits = 2;
    const auto bytes = record.ToBytes();
    EXPECT_EQ(bytes[32], 0xA1);
    EXPECT_EQ(bytes[33], 32);
    EXPECT_EQ(byteorder::GetU32LE(bytes, 36), 0x00012345u);
    EXPECT_EQ(bytes[41], 2);
    EXPECT_EQ(bytes[44], 60);
    EXPECT_EQ(bytes[143], 0xB2);
    EXPECT_EQ(bytes[243], 96);
    EXPECT_EQ(bytes[244], 0x04);
    EXPECT_EQ(byteorder::GetU32LE(bytes, 252), 115200u);
    EXPECT_EQ(bytes[258], 2);
    EXPECT_EQ(DtuBasicPara::FromBytes(bytes), record);
}

TEST(DtuAdvPara, FieldsLieAtTheirOffsetsLittleEndian) {
    DtuAdvPara record;
    record.backupAddrLen = 5;
    record.backupPort = 9088;
    record.netProtocol = 2;
    record.apn[31] = 'T';
    record.apnModify = 1;
    record.apnLen = 32;
    record.smsPhones[5].digits[14] = '9';
    record.smsPhones[5].length = 15;
    record.wakePhone.length = 11;
    record.timedStartMin = 1440;
    const auto bytes = record.ToBytes();
    EXPECT_EQ(bytes[33], 5);
    EXPECT_EQ(byteorder::GetU32LE(bytes, 36), 9088u);
    EXPECT_EQ(bytes[41], 2);
    EXPECT_EQ(bytes[73], 'T');
    EXPECT_EQ(bytes[74], 1);
    EXPECT_EQ(bytes[75], 32);
    EXPECT_EQ(bytes[76 + 5 * 16 + 14], '9');
    EXPECT_EQ(bytes[76 + 5 * 16 + 15], 15);
    EXPECT_EQ(bytes[172 + 15], 11);
    EXPECT_EQ(byteorder::GetU32LE(bytes, 192), 1440u);
    EXPECT_EQ(DtuAdvPara::FromBytes(bytes), record);
}

}  // namespace
}  // namespace quillon::test
