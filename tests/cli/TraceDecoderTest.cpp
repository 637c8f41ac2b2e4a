#include <gtest/gtest.h>

#include "app/ReadTally.hpp"
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

// A user who reads that an entry was lost looks it up on the trace: both
// count entries from 0, as the pages' lists do.
TEST(TraceDecoderTest, ALostEntryHasTheIndexTheReadReportsItBy) {
    const auto extended = [](std::uint32_t id, std::uint8_t d0, std::uint8_t d1) {
        CanFrameRecord frame{};
        frame.ID = id;
        frame.ExternFlag = 1;
        frame.DataLen = 8;
        frame.Data[0] = d0;
        frame.Data[1] = d1;
        return frame;
    };
    const struct {
        const char* name;
        CanFrameRecord header;  ///< announces two entries
        std::uint32_t firstId;  ///< first frame of entry 0
        std::uint32_t frames;   ///< frames of the table, entries 0 and 1
        std::uint32_t lostId;   ///< a frame of entry 1
        std::string decoded;
        std::string missing;
    } rows[] = {
        {"recording filter", extended(2, 0, 2), 3, 4, 5, "recording filter 1 kind and interval",
         "CAN1 recording filter 1 (of 2 announced)"},
        {"acceptance filter", extended(0x100, 1, 2), 0x101, 4, 0x103, "acceptance filter 1 format",
         "CAN1 advanced filter 1 (of 2 announced)"},
        {"bridge rule", extended(0x1FF, 2, 0), 0x200, 11, 0x206, "bridge rule 1 part 0",
         "bridge rule 1 (of 2 announced)"},
        {"replay rule", extended(0x2FF, 0, 2), 0x300, 7, 0x305, "replay rule 1 part 1",
         "replay file 1 (of 2 announced)"},
    };
    for (const auto& row : rows) {
        app::ReadTally tally;
        tally.Add(0, row.header);
        for (std::uint32_t id = row.firstId; id < row.firstId + row.frames; ++id) {
            if (id != row.lostId) {
                tally.Add(0, extended(id, 0, 0));
            }
        }
        EXPECT_EQ(tally.Missing(), std::vector<std::string>{row.missing}) << row.name;
        const kelvix::TracedFrame lost{0, extended(row.lostId, 0, 0),
                                       kelvix::TraceDirection::Received};
        EXPECT_EQ(FrameMeaning(lost), row.decoded) << row.name;
    }
}

}  // namespace
}  // namespace quillon::cli
