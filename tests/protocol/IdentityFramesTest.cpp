// The read request, the device's identity, version, system and completion
// replies and the storage initialisation frames, pinned to bytes written out
// from the read and identity tables; each decoder reads the same bytes back.
#include "protocol/IdentityFrames.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

namespace quillon::protocol {
namespace {

using Payload = std::array<std::uint8_t, 8>;

std::string Show(const CanFrameRecord& frame) {
    std::string text = (frame.ExternFlag != 0 ? "ext " : "std ") + std::to_string(frame.ID) +
                       " remote " + std::to_string(frame.RemoteFlag) + " len " +
                       std::to_string(frame.DataLen) + ":";
    char hex[4];
    for (const std::uint8_t byte : frame.Data) {
        std::snprintf(hex, sizeof(hex), " %02X", byte);
        text += hex;
    }
    return text;
}

// A standard data frame of length 8 with exactly `data`.
::testing::AssertionResult StandardFrameIs(const CanFrameRecord& frame, std::uint32_t id,
                                           const Payload& data) {
    const bool same = frame.ID == id && frame.ExternFlag == 0 && frame.RemoteFlag == 0 &&
                      frame.SendType == 0 && frame.DataLen == 8 &&
                      std::equal(data.begin(), data.end(), frame.Data);
    if (same) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "built " << Show(frame);
}

CanFrameRecord Received(std::uint32_t id, const Payload& data, bool extended = false) {
    CanFrameRecord frame{};
    frame.ID = id;
    frame.ExternFlag = extended ? 1 : 0;
    frame.DataLen = 8;
    std::copy(data.begin(), data.end(), frame.Data);
    return frame;
}

constexpr SerialNumber SERIAL = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5,
                                 0xA6, 0xA7, 0xB8, 0xB9, 0xBA, 0xBB};

TEST(IdentityFrames, ReadRequestIsStandardSixWithFF) {
    EXPECT_TRUE(StandardFrameIs(BuildReadRequest(), 6, {0xFF, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(IsReadRequest(Received(6, {0xFF, 1, 2, 3, 4, 5, 6, 7})));
    EXPECT_FALSE(IsReadRequest(Received(6, {0xFE})));
    EXPECT_FALSE(IsReadRequest(Received(6, {0xFF}, true)));
}

TEST(IdentityFrames, CompletionIsStandardZeroWithOne) {
    EXPECT_TRUE(StandardFrameIs(BuildCompletionFrame(), 0, {0x01, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(IsCompletion(Received(0, {0x01, 9, 9, 9, 9, 9, 9, 9})));
    EXPECT_FALSE(IsCompletion(Received(0, {0x00})));
    EXPECT_FALSE(IsCompletion(Received(0, {0x02})));
    EXPECT_FALSE(IsCompletion(Received(0, {0x01}, true)));
}

TEST(IdentityFrames, SerialLowCarriesSerialBytesZeroToSeven) {
    EXPECT_TRUE(StandardFrameIs(BuildSerialLowFrame(SERIAL), 1,
                                {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7}));
    const std::array<std::uint8_t, 8> want = {0x10, 0x21, 0x32, 0x43, 0x54, 0x65, 0x76, 0x87};
    EXPECT_EQ(DecodeSerialLowFrame(Received(1, {0x10, 0x21, 0x32, 0x43, 0x54, 0x65, 0x76, 0x87})),
              want);
}

TEST(IdentityFrames, SerialHighCarriesSerialBytesEightToElevenAndTheType) {
    EXPECT_TRUE(StandardFrameIs(BuildSerialHighFrame(SERIAL, 0x07), 2,
                                {0xB8, 0xB9, 0xBA, 0xBB, 0x07, 0, 0, 0}));
    const SerialHigh want{{0x1C, 0x2D, 0x3E, 0x4F}, 0x02};
    EXPECT_EQ(DecodeSerialHighFrame(Received(2, {0x1C, 0x2D, 0x3E, 0x4F, 0x02, 0xEE, 0xEE, 0xEE})),
              want);
}

TEST(IdentityFrames, VersionsAreTwoLittleEndianWords) {
    EXPECT_TRUE(StandardFrameIs(BuildVersionsFrame({0x1234, 0xABCD}), 3,
                                {0x34, 0x12, 0xCD, 0xAB, 0, 0, 0, 0}));
    EXPECT_EQ(DecodeVersionsFrame(Received(3, {0x01, 0x00, 0x0B, 0x00})), (Versions{1, 11}));
    EXPECT_EQ(DecodeVersionsFrame(Received(3, {0x02, 0x01, 0xFF, 0xFF})), (Versions{258, 65535}));
}

TEST(IdentityFrames, SystemReplyUsesBytesZeroThreeFourFive) {
    EXPECT_TRUE(StandardFrameIs(BuildSystemReply({0x80, 0x11, 0x22, 0x33}), 4,
                                {0x80, 0, 0, 0x11, 0x22, 0x33, 0, 0}));
    const SystemReply want{0x40, 0x03, 0x04, 0x05};
    EXPECT_EQ(DecodeSystemReply(Received(4, {0x40, 0xEE, 0xEE, 0x03, 0x04, 0x05, 0xEE, 0xEE})),
              want);
}

TEST(IdentityFrames, StorageInitialisationRequestAndReply) {
    EXPECT_TRUE(StandardFrameIs(BuildStorageInitRequest(), 7, {0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(StandardFrameIs(BuildStorageInitReply(1), 7, {0x01, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(IsStorageInitFrame(Received(7, {})));
    EXPECT_FALSE(IsStorageInitFrame(Received(7, {}, true)));
    EXPECT_TRUE(StorageInitSucceeded(Received(7, {0x01})));
    EXPECT_FALSE(StorageInitSucceeded(Received(7, {0x00})));
    EXPECT_FALSE(StorageInitSucceeded(Received(7, {0x02})));
}

}  // namespace
}  // namespace quillon::protocol
