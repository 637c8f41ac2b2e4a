// Debug text frames: the level is the identifier's offset from 0xF0, the text
// is DataLen bytes of at most eight.
#include "protocol/DebugFrames.hpp"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace quillon::protocol {
namespace {

std::vector<std::uint8_t> Bytes(std::span<const std::uint8_t> span) {
    return {span.begin(), span.end()};
}

TEST(DebugFrames, BuildsTheLevelsIdentifierWithTheTextAsData) {
    const std::array<std::uint8_t, 3> text = {'o', 'k', '\r'};
    const CanFrameRecord frame = BuildDebugFrame(2, text);
    EXPECT_EQ(frame.ID, 0xF2u);
    EXPECT_EQ(frame.ExternFlag, 0);
    EXPECT_EQ(frame.RemoteFlag, 0);
    EXPECT_EQ(frame.DataLen, 3);
    const std::array<std::uint8_t, 8> data = {'o', 'k', '\r', 0, 0, 0, 0, 0};
    EXPECT_TRUE(std::equal(data.begin(), data.end(), frame.Data));
}

TEST(DebugFrames, RecognisesTheFourIdentifiersOfStandardFramesOnly) {
    CanFrameRecord frame{};
    for (const std::uint32_t id : {0xEFu, 0xF0u, 0xF3u, 0xF4u}) {
        frame.ID = id;
        EXPECT_EQ(IsDebugFrame(frame), id >= 0xF0 && id <= 0xF3) << std::hex << id;
    }
    frame.ID = 0xF1;
    EXPECT_EQ(DebugLevel(frame), 1u);
    frame.ExternFlag = 1;
    EXPECT_FALSE(IsDebugFrame(frame));
}

TEST(DebugFrames, TextIsDataLenBytesAndNeverMoreThanEight) {
    CanFrameRecord frame{};
    frame.ID = 0xF0;
    std::copy_n("abcdefgh", 8, frame.Data);
    frame.DataLen = 5;
    EXPECT_EQ(Bytes(DebugBytes(frame)), (std::vector<std::uint8_t>{'a', 'b', 'c', 'd', 'e'}));
    frame.DataLen = 15;
    EXPECT_EQ(DebugBytes(frame).size(), 8u);
    frame.DataLen = 0;
    EXPECT_TRUE(DebugBytes(frame).empty());
}

}  // namespace
}  // namespace quillon::protocol
