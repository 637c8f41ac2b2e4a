#include <gtest/gtest.h>

#include "platform/kelvix/TraceLine.hpp"

namespace kelvix {
namespace {

TEST(TraceLineTest, ParsesCandumpLinesWithDirection) {
    const auto frame = ParseTraceLine("(1436509052.249713) can1 000001FF#0A0B T");
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->channel, 1u);
    EXPECT_EQ(frame->frame.ID, 0x1FFu);
    EXPECT_EQ(frame->frame.ExternFlag, 1);
    EXPECT_EQ(frame->frame.DataLen, 2);
    EXPECT_EQ(frame->frame.Data[1], 0x0B);
    EXPECT_EQ(frame->direction, TraceDirection::Transmitted);
    const auto remote = ParseTraceLine("(1.0) can0 00000001#R");
    ASSERT_TRUE(remote);
    EXPECT_EQ(remote->frame.RemoteFlag, 1);
    EXPECT_EQ(remote->direction, TraceDirection::Received) << "no direction means received";
}

TEST(TraceLineTest, MalformedLinesAreRefused) {
    for (const char* line :
         {"", "# comment", "(1.0) can0 123#ABC T", "(1.0) vcan 123#00", "(1.0) can0 #00",
          "(1.0) can0 123#001122334455667788", "(1.0) can0 XYZ#00", "can0 123#00"}) {
        EXPECT_FALSE(ParseTraceLine(line)) << line;
    }
}

}  // namespace
}  // namespace kelvix

namespace kelvix {
namespace {

// Candump logs from other tools: any interface name, exact microseconds, and
// the reason a line is refused.
TEST(TraceLineTest, CandumpLinesTakenApartOrRefusedWithTheReason) {
    struct Row {
        const char* name;
        const char* line;
        CandumpVerdict verdict;
        const char* problem;
        std::int64_t timeUs;
        const char* interfaceName;
        std::uint32_t id;
        std::uint8_t extended;
        std::uint8_t remote;
        std::uint8_t length;
    };
    const Row rows[] = {
        {"standard", "(1436509052.249713) vcan0 123#DEADBEEF", CandumpVerdict::Frame, "",
         1436509052249713, "vcan0", 0x123, 0, 0, 4},
        {"extended with CR", "(0.5) can1 1ABCDEF0#\r", CandumpVerdict::Frame, "", 500000, "can1",
         0x1ABCDEF0, 1, 0, 0},
        {"remote with length", "(2.000001) slcan0 7FF#R8 T", CandumpVerdict::Frame, "", 2000001,
         "slcan0", 0x7FF, 0, 1, 8},
        {"blank", "   ", CandumpVerdict::Ignored, "", 0, "", 0, 0, 0, 0},
        {"comment", "# a capture", CandumpVerdict::Ignored, "", 0, "", 0, 0, 0, 0},
        {"no stamp", "can0 123#00", CandumpVerdict::Malformed,
         "the line does not start with a (SECONDS.FRACTION) stamp", 0, "", 0, 0, 0, 0},
        {"nanoseconds", "(1.0000001) can0 123#00", CandumpVerdict::Malformed,
         "the stamp is finer than a microsecond", 0, "", 0, 0, 0, 0},
        {"letters in stamp", "(1.5e3) can0 123#00", CandumpVerdict::Malformed,
         "the stamp is not SECONDS.FRACTION", 0, "", 0, 0, 0, 0},
        {"four digits", "(1.0) can0 1234#00", CandumpVerdict::Malformed,
         "the identifier has neither 3 nor 8 hex digits", 0, "", 0, 0, 0, 0},
        {"standard too wide", "(1.0) can0 800#00", CandumpVerdict::Malformed,
         "a standard identifier above 7FF", 0, "", 0, 0, 0, 0},
        {"error flag", "(1.0) can0 20000080#0000", CandumpVerdict::Malformed,
         "an extended identifier above 1FFFFFFF", 0, "", 0, 0, 0, 0},
        {"fd", "(1.0) can0 123##1DEAD", CandumpVerdict::Malformed,
         "CAN FD frames are not supported", 0, "", 0, 0, 0, 0},
        {"odd data", "(1.0) can0 123#ABC", CandumpVerdict::Malformed, "odd number of data digits",
         0, "", 0, 0, 0, 0},
        {"nine bytes", "(1.0) can0 123#001122334455667788", CandumpVerdict::Malformed,
         "more than 8 data bytes", 0, "", 0, 0, 0, 0},
        {"remote length 9", "(1.0) can0 123#R9", CandumpVerdict::Malformed,
         "a remote frame's length is not one digit 0..8", 0, "", 0, 0, 0, 0},
        {"bad direction", "(1.0) can0 123#00 X", CandumpVerdict::Malformed,
         "the word after the frame is neither T nor R", 0, "", 0, 0, 0, 0},
        {"no body", "(1.0) can0", CandumpVerdict::Malformed, "no INTERFACE ID#DATA after the stamp",
         0, "", 0, 0, 0, 0},
    };
    for (const auto& row : rows) {
        const CandumpLine parsed = ParseCandumpLine(row.line);
        EXPECT_EQ(parsed.verdict, row.verdict) << row.name;
        EXPECT_STREQ(parsed.problem, row.problem) << row.name;
        if (row.verdict == CandumpVerdict::Frame) {
            EXPECT_EQ(parsed.timeUs, row.timeUs) << row.name;
            EXPECT_EQ(parsed.interfaceName, row.interfaceName) << row.name;
            EXPECT_EQ(parsed.frame.ID, row.id) << row.name;
            EXPECT_EQ(parsed.frame.ExternFlag, row.extended) << row.name;
            EXPECT_EQ(parsed.frame.RemoteFlag, row.remote) << row.name;
            EXPECT_EQ(parsed.frame.DataLen, row.length) << row.name;
        }
    }
    EXPECT_EQ(ParseCandumpLine("(1.0) can0 123#DEADBEEF").frame.Data[3], 0xEF);
}

TEST(TraceLineTest, CandumpLinesWrittenWithExactMicroseconds) {
    CanFrameRecord frame{};
    frame.ID = 0x1ABCDEF0;
    frame.ExternFlag = 1;
    frame.DataLen = 2;
    frame.Data[0] = 0x0A;
    frame.Data[1] = 0xFF;
    EXPECT_EQ(FormatCandumpLine(frame, "vcan1", 1436509052000007),
              "(1436509052.000007) vcan1 1ABCDEF0#0AFF");
    EXPECT_EQ(FormatCandumpLine(frame, "can0", 0), "(0.000000) can0 1ABCDEF0#0AFF");
}

TEST(TraceLineTest, TraceReaderKeepsOnlyCanNumberedInterfaces) {
    EXPECT_FALSE(ParseTraceLine("(1.0) can 123#00"));
    EXPECT_FALSE(ParseTraceLine("(1.0) canX 123#00"));
    EXPECT_FALSE(ParseTraceLine("(1.0) vcan0 123#00"));
    ASSERT_TRUE(ParseTraceLine("(1.0) can7 123#00"));
    EXPECT_EQ(ParseTraceLine("(1.0) can7 123#00")->channel, 7u);
}

}  // namespace
}  // namespace kelvix
