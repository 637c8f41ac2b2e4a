#include <gtest/gtest.h>

#include "frontends/cli/TraceDecoder.hpp"
#include "protocol/FirmwareKey.hpp"

namespace quillon::cli {
namespace {

TEST(TraceDecoderTest, PlainFramesAreShownAsTheyAre) {
    const protocol::Cpc1crypt cipher(protocol::FIRMWARE_KEY);
    auto request = *kelvix::ParseTraceLine("(1.0) can0 006#FF00000000000000 T");
    EXPECT_EQ(DecodedDataHex(request, cipher), "FF00000000000000");
    EXPECT_EQ(FrameMeaning(request), "read request");
    auto image = *kelvix::ParseTraceLine("(1.0) can0 001#0102 T");
    EXPECT_EQ(DecodedDataHex(image, cipher), "0102");
    EXPECT_EQ(FrameMeaning(image), "firmware image data");
    CanFrameRecord identity{};
    identity.ID = 1;
    identity.DataLen = 8;
    for (std::uint8_t i = 0; i < 8; ++i)
        identity.Data[i] = i;
    cipher.EncipherPayload(identity.Data);
    kelvix::TracedFrame received{0, identity, kelvix::TraceDirection::Received};
    EXPECT_EQ(DecodedDataHex(received, cipher), "0001020304050607")
        << "the device's frame 1 is enciphered";
    EXPECT_EQ(FrameMeaning(received), "identity: serial bytes 0-7");
}

TEST(TraceDecoderTest, MeaningsOfTableFramesAndUnknownOnes) {
    auto meaning = [](const char* line) { return FrameMeaning(*kelvix::ParseTraceLine(line)); };
    EXPECT_EQ(meaning("(1.0) can0 00000206#00 T"), "bridge rule 1 part 0");
    EXPECT_EQ(meaning("(1.0) can0 00000305#00 T"), "replay rule 1 part 1");
    EXPECT_EQ(meaning("(1.0) can0 00000104#00 T"), "acceptance filter 1 value and mask");
    EXPECT_EQ(meaning("(1.0) can0 00000500#00 R"), "unknown extended frame");
    EXPECT_EQ(meaning("(1.0) can0 0F2#41 R"), "debug message level 2");
    EXPECT_EQ(meaning("(1.0) can0 00000002#R T"), "program command");
}

TEST(TraceDecoderTest, KeysAreThirtyTwoHexDigits) {
    EXPECT_TRUE(ParseKey("00112233445566778899AABBCCDDEEFF"));
    EXPECT_FALSE(ParseKey("0011"));
    EXPECT_FALSE(ParseKey("00112233445566778899AABBCCDDEEFG"));
}

}  // namespace
}  // namespace quillon::cli
