// Mapping between the library's frame record and the raw CAN socket frame.
#include <gtest/gtest.h>

#include "platform/kelvix/socketcan/SocketCanFrame.hpp"
#include "support/BusFrames.hpp"

namespace kelvix {
namespace {

using quillon::test::BusFrame;

CanFrameRecord Remote(std::uint32_t id, bool extended, std::uint8_t length) {
    CanFrameRecord record = BusFrame(id, extended, {});
    record.RemoteFlag = 1;
    record.DataLen = length;
    return record;
}

struct MappingRow {
    const char* name;
    CanFrameRecord record;
    std::uint32_t canId;
    std::uint8_t length;
    std::array<std::uint8_t, 8> data;
};

class SocketCanMappingTest : public ::testing::TestWithParam<MappingRow> {};

TEST_P(SocketCanMappingTest, MapsBothWays) {
    const MappingRow& row = GetParam();
    std::string error;
    const auto frame = ToSocketCanFrame(row.record, error);
    ASSERT_TRUE(frame) << error;
    EXPECT_EQ(frame->canId, row.canId);
    EXPECT_EQ(frame->length, row.length);
    EXPECT_EQ(frame->data, row.data);

    const auto back = FromSocketCanFrame(*frame);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->ID, row.record.ID);
    EXPECT_EQ(back->ExternFlag, row.record.ExternFlag);
    EXPECT_EQ(back->RemoteFlag, row.record.RemoteFlag);
    EXPECT_EQ(back->DataLen, row.record.DataLen);
    EXPECT_TRUE(std::equal(row.data.begin(), row.data.end(), back->Data));
}

INSTANTIATE_TEST_SUITE_P(
    Frames, SocketCanMappingTest,
    ::testing::Values(
        MappingRow{"StandardEmpty", BusFrame(0x000, false, {}), 0x000, 0, {}},
        MappingRow{"StandardSeven",
                   BusFrame(0x7FF, false, {1, 2, 3, 4, 5, 6, 7}),
                   0x7FF,
                   7,
                   {1, 2, 3, 4, 5, 6, 7, 0}},
        MappingRow{"ExtendedFull",
                   BusFrame(0x1FFFFFFF, true, {8, 7, 6, 5, 4, 3, 2, 1}),
                   0x9FFFFFFF,
                   8,
                   {8, 7, 6, 5, 4, 3, 2, 1}},
        MappingRow{"ExtendedLowId",
                   BusFrame(0x2, true, {0xAA}),
                   0x80000002,
                   1,
                   {0xAA, 0, 0, 0, 0, 0, 0, 0}},
        MappingRow{"RemoteExtendedEraseCommand", Remote(1, true, 0), 0xC0000001, 0, {}},
        MappingRow{"RemoteStandardAsksFour", Remote(0x123, false, 4), 0x40000123, 4, {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusalRow {
    const char* name;
    CanFrameRecord record;
    const char* error;
};

class SocketCanRefusalTest : public ::testing::TestWithParam<RefusalRow> {};

TEST_P(SocketCanRefusalTest, RefusesWhatCannotGoOnTheBusUnchanged) {
    std::string error;
    EXPECT_FALSE(ToSocketCanFrame(GetParam().record, error));
    EXPECT_EQ(error, GetParam().error);
}

CanFrameRecord WithLength(CanFrameRecord record, std::uint8_t length) {
    record.DataLen = length;
    return record;
}

INSTANTIATE_TEST_SUITE_P(
    Frames, SocketCanRefusalTest,
    ::testing::Values(RefusalRow{"StandardIdOver11Bits", BusFrame(0x800, false, {}),
                                 "identifier 0x800 does not fit a 11-bit standard frame"},
                      RefusalRow{"ExtendedIdOver29Bits", BusFrame(0x20000000, true, {}),
                                 "identifier 0x20000000 does not fit a 29-bit extended frame"},
                      RefusalRow{"LengthNine", WithLength(BusFrame(0x10, false, {}), 9),
                                 "data length 9 of frame 0x10 is over 8"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SocketCanReceiveMappingTest, ErrorFramesAreNotTraffic) {
    SocketCanFrame error;
    error.canId = SOCKETCAN_ERROR_FLAG | 0x40;  // bus off
    error.length = 8;
    EXPECT_FALSE(FromSocketCanFrame(error));
}

TEST(SocketCanReceiveMappingTest, BytesPastTheLengthAndOverlongLengthsAreCut) {
    SocketCanFrame frame;
    frame.canId = 0x321;
    frame.length = 3;
    frame.data = {1, 2, 3, 4, 5, 6, 7, 8};
    auto record = FromSocketCanFrame(frame);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->DataLen, 3);
    const std::array<std::uint8_t, 8> expected = {1, 2, 3, 0, 0, 0, 0, 0};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), record->Data));

    frame.length = 15;  // a flexible data rate length code on a classic socket
    record = FromSocketCanFrame(frame);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->DataLen, 8);
}

TEST(SocketCanReceiveMappingTest, RemoteFramesCarryNoPayload) {
    SocketCanFrame frame;
    frame.canId = SOCKETCAN_REMOTE_FLAG | SOCKETCAN_EXTENDED_FLAG | 2;
    frame.length = 2;
    frame.data = {9, 9, 9, 9, 9, 9, 9, 9};
    const auto record = FromSocketCanFrame(frame);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->ID, 2u);
    EXPECT_EQ(record->RemoteFlag, 1);
    EXPECT_EQ(record->ExternFlag, 1);
    EXPECT_EQ(record->Data[0], 0);
}

}  // namespace
}  // namespace kelvix
