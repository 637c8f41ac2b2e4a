// The upgrade's frames as they must appear on the bus, and the device's
// recognition of each: the commands only as extended remote frames, image
// data only as a standard data frame.
#include "protocol/FirmwareFrames.hpp"

#include <gtest/gtest.h>

#include <array>

namespace quillon::protocol {
namespace {

CanFrameRecord Frame(std::uint32_t id, bool extended, bool remote) {
    CanFrameRecord frame{};
    frame.ID = id;
    frame.ExternFlag = extended ? 1 : 0;
    frame.RemoteFlag = remote ? 1 : 0;
    return frame;
}

TEST(FirmwareFrames, CommandsAreExtendedRemoteFramesOneAndTwoWithoutData) {
    const CanFrameRecord erase = BuildEraseCommand();
    const CanFrameRecord program = BuildProgramCommand();
    EXPECT_EQ(erase.ID, 1u);
    EXPECT_EQ(program.ID, 2u);
    for (const auto& frame : {erase, program}) {
        EXPECT_EQ(frame.ExternFlag, 1);
        EXPECT_EQ(frame.RemoteFlag, 1);
        EXPECT_EQ(frame.SendType, 0);
        EXPECT_EQ(frame.DataLen, 0);
    }
}

TEST(FirmwareFrames, ImageDataIsStandardOneWithTheBytesInOrder) {
    const std::array<std::uint8_t, 5> bytes = {0xDE, 0xAD, 0xBE, 0xEF, 0x01};
    const CanFrameRecord frame = BuildImageDataFrame(bytes);
    EXPECT_EQ(frame.ID, 1u);
    EXPECT_EQ(frame.ExternFlag, 0);
    EXPECT_EQ(frame.RemoteFlag, 0);
    EXPECT_EQ(frame.DataLen, 5);
    const std::array<std::uint8_t, 8> want = {0xDE, 0xAD, 0xBE, 0xEF, 0x01, 0, 0, 0};
    EXPECT_TRUE(std::equal(want.begin(), want.end(), frame.Data));
}

TEST(FirmwareFrames, TheDeviceTellsTheThreeApartByFlagsAndIdentifier) {
    EXPECT_TRUE(IsEraseCommand(Frame(1, true, true)));
    EXPECT_FALSE(IsEraseCommand(Frame(1, true, false)));
    EXPECT_FALSE(IsEraseCommand(Frame(1, false, true)));
    EXPECT_TRUE(IsProgramCommand(Frame(2, true, true)));
    EXPECT_FALSE(IsProgramCommand(Frame(1, true, true)));
    EXPECT_TRUE(IsImageDataFrame(Frame(1, false, false)));
    EXPECT_FALSE(IsImageDataFrame(Frame(1, true, false)));
    EXPECT_FALSE(IsImageDataFrame(Frame(1, false, true)));
    EXPECT_FALSE(IsImageDataFrame(Frame(2, false, false)));
}

}  // namespace
}  // namespace quillon::protocol
