#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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
        {"no fraction", "(12) can0 123#", CandumpVerdict::Frame, "", 12000000, "can0", 0x123, 0, 0,
         0},
        {"empty fraction", "(12.) can0 123#", CandumpVerdict::Frame, "", 12000000, "can0", 0x123, 0,
         0, 0},
        {"twelve digits of seconds", "(999999999999.999999) can0 123#", CandumpVerdict::Frame, "",
         999999999999999999, "can0", 0x123, 0, 0, 0},
        {"thirteen digits of seconds", "(1000000000000.0) can0 123#", CandumpVerdict::Malformed,
         "the stamp is not SECONDS.FRACTION", 0, "", 0, 0, 0, 0},
        {"no seconds", "(.5) can0 123#", CandumpVerdict::Malformed,
         "the stamp is not SECONDS.FRACTION", 0, "", 0, 0, 0, 0},
        {"two dots", "(1.2.3) can0 123#", CandumpVerdict::Malformed,
         "the stamp is not SECONDS.FRACTION", 0, "", 0, 0, 0, 0},
        {"letter after seven digits", "(1.1234567x) can0 123#", CandumpVerdict::Malformed,
         "the stamp is not SECONDS.FRACTION", 0, "", 0, 0, 0, 0},
        {"lower-case hex", "(1.0) can0 1abcdef0#deadbeef", CandumpVerdict::Frame, "", 1000000,
         "can0", 0x1ABCDEF0, 1, 0, 4},
        {"tabs between words", "(1.5)\tcan0\t7ff#R\tt", CandumpVerdict::Frame, "", 1500000, "can0",
         0x7FF, 0, 1, 0},
        {"signed identifier", "(1.0) can0 +12#00", CandumpVerdict::Malformed,
         "the identifier is not hexadecimal", 0, "", 0, 0, 0, 0},
        {"identifier with a blank digit", "(1.0) can0 12G#00", CandumpVerdict::Malformed,
         "the identifier is not hexadecimal", 0, "", 0, 0, 0, 0},
        {"prefixed data", "(1.0) can0 123#0x", CandumpVerdict::Malformed,
         "the data is not hexadecimal", 0, "", 0, 0, 0, 0},
        {"second byte not hex", "(1.0) can0 123#00g0", CandumpVerdict::Malformed,
         "the data is not hexadecimal", 0, "", 0, 0, 0, 0},
        {"word after the direction", "(1.0) can0 123#00 T more", CandumpVerdict::Malformed,
         "more words after the frame", 0, "", 0, 0, 0, 0},
        {"no hash", "(1.0) can0 12300", CandumpVerdict::Malformed,
         "no INTERFACE ID#DATA after the stamp", 0, "", 0, 0, 0, 0},
        // Ten digits and six, the stamp of every current log, read eight digits at a time.
        {"ten and six, every digit in its place", "(1234567890.123456) c 000#",
         CandumpVerdict::Frame, "", 1234567890123456, "c", 0, 0, 0, 0},
        {"ten and six, all nines", "(9999999999.999999) can0 7FF#", CandumpVerdict::Frame, "",
         9999999999999999, "can0", 0x7FF, 0, 0, 0},
        {"ten and six, a letter among the first eight", "(1234a67890.123456) can0 123#",
         CandumpVerdict::Malformed, "the stamp is not SECONDS.FRACTION", 0, "", 0, 0, 0, 0},
        {"ten and six, a colon before the dot", "(123456789:.123456) can0 123#",
         CandumpVerdict::Malformed, "the stamp is not SECONDS.FRACTION", 0, "", 0, 0, 0, 0},
        {"ten and six, a slash in the fraction", "(1234567890.12345/) can0 123#",
         CandumpVerdict::Malformed, "the stamp is not SECONDS.FRACTION", 0, "", 0, 0, 0, 0},
    };
    for (const auto& row : rows) {
        const CandumpLine parsed = ParseCandumpLine(row.line);
        EXPECT_EQ(parsed.verdict, row.verdict) << row.name;
        EXPECT_STREQ(parsed.problem, row.problem) << row.name;
        if (row.verdict != CandumpVerdict::Frame) {
            EXPECT_EQ(parsed.timeUs, 0) << row.name << ": a refused line carries nothing";
            EXPECT_EQ(parsed.interfaceName, "") << row.name;
        } else {
            EXPECT_EQ(parsed.timeUs, row.timeUs) << row.name;
            EXPECT_EQ(parsed.interfaceName, row.interfaceName) << row.name;
            EXPECT_EQ(parsed.frame.ID, row.id) << row.name;
            EXPECT_EQ(parsed.frame.ExternFlag, row.extended) << row.name;
            EXPECT_EQ(parsed.frame.RemoteFlag, row.remote) << row.name;
            EXPECT_EQ(parsed.frame.DataLen, row.length) << row.name;
        }
    }
    const CandumpLine data = ParseCandumpLine("(1.0) can0 123#DEADbeef0102a0B9");
    EXPECT_EQ(std::vector<std::uint8_t>(data.frame.Data, data.frame.Data + 8),
              (std::vector<std::uint8_t>{0xDE, 0xAD, 0xBE, 0xEF, 0x01, 0x02, 0xA0, 0xB9}));
}

// One writer for a whole log keeps the last stamp's seconds: every line must
// still be what FormatCandumpLine writes alone, as the seconds change, grow
// and shrink in digits, and change sign.
TEST(TraceLineTest, LineWriterGivesWhatEachLineAloneGives) {
    CanFrameRecord frame{};
    frame.ID = 0x123;
    frame.DataLen = 1;
    frame.Data[0] = 0xA5;
    const std::int64_t times[] = {1500000,
                                  1999999,
                                  2000000,
                                  -2500000,
                                  2500000,
                                  0,
                                  9000001,
                                  10000000,
                                  99999999000000,
                                  100000000000000,
                                  99999999999999,
                                  123456789012345678,
                                  -1,
                                  1700000000000000,
                                  1700000000000001};
    kelvix::CandumpLineWriter writer;
    std::string written;
    std::string expected;
    for (const std::int64_t timeUs : times) {
        writer.Append(written, frame, "can1", timeUs, "\n");
        expected += FormatCandumpLine(frame, "can1", timeUs) + "\n";
    }
    EXPECT_EQ(written, expected);
    EXPECT_NE(expected.find("(-2.500000) can1 123#A5\n(2.500000) can1 123#A5\n"),
              std::string::npos);
    EXPECT_NE(expected.find("(100000000.000000) can1"), std::string::npos);
    EXPECT_NE(expected.find("(99999999.999999) can1"), std::string::npos);
}

// The plain form of a line is read by a shortcut; a direction word sends the
// same frame through the full parse. Both must give the same frame.
TEST(TraceLineTest, PlainLinesReadAsWithADirectionWord) {
    const struct {
        const char* name;
        const char* line;
    } rows[] = {
        {"standard", "(1436509052.249713) can0 123#DEADBEEF"},
        {"extended, no data", "(0.000001) vcan1 1FFFFFFF#"},
        {"eight bytes, lower case", "(5.5) can1 7ff#0123456789abcdef"},
        {"twelve digits of seconds", "(999999999999.999999) c 000#00"},
        {"empty fraction", "(12.) can0 001#FF"},
        {"short fraction", "(3.25) can0 001#FF"},
        {"a hash in the name", "(1.0) a#b 123#00"},
        {"a long name", "(1.0) a-very-long-interface-name-of-forty-bytes 00000000#01"},
        {"three spaces", "(1.0)   can0   123#00"},
        {"leading blank", " (1.0) can0 123#00"},
        {"no fraction", "(7) can0 123#00"},
    };
    for (const auto& row : rows) {
        const CandumpLine plain = ParseCandumpLine(row.line);
        const std::string withDirection = std::string(row.line) + " R";
        const CandumpLine full = ParseCandumpLine(withDirection);
        ASSERT_EQ(plain.verdict, CandumpVerdict::Frame) << row.name << ": " << plain.problem;
        ASSERT_EQ(full.verdict, CandumpVerdict::Frame) << row.name << ": " << full.problem;
        EXPECT_EQ(plain.timeUs, full.timeUs) << row.name;
        EXPECT_EQ(plain.interfaceName, full.interfaceName) << row.name;
        EXPECT_EQ(plain.frame.ID, full.frame.ID) << row.name;
        EXPECT_EQ(plain.frame.ExternFlag, full.frame.ExternFlag) << row.name;
        EXPECT_EQ(plain.frame.RemoteFlag, full.frame.RemoteFlag) << row.name;
        EXPECT_EQ(plain.frame.DataLen, full.frame.DataLen) << row.name;
        EXPECT_EQ(std::vector<std::uint8_t>(plain.frame.Data, plain.frame.Data + 8),
                  std::vector<std::uint8_t>(full.frame.Data, full.frame.Data + 8))
            << row.name;
        EXPECT_FALSE(plain.hasDirection) << row.name;
    }
}

TEST(TraceLineTest, CandumpLinesWrittenByteForByte) {
    const auto record = [](std::uint32_t id, bool extended, bool remote,
                           std::vector<std::uint8_t> data, std::uint8_t length) {
        CanFrameRecord frame{};
        frame.ID = id;
        frame.ExternFlag = extended ? 1 : 0;
        frame.RemoteFlag = remote ? 1 : 0;
        frame.DataLen = length;
        std::copy(data.begin(), data.end(), frame.Data);
        return frame;
    };
    const std::string longName(40, 'n');
    struct Row {
        const char* name;
        CanFrameRecord frame;
        std::string interfaceName;
        std::int64_t timeUs;
        std::string expected;
    };
    const Row rows[] = {
        {"extended, exact microseconds", record(0x1ABCDEF0, true, false, {0x0A, 0xFF}, 2), "vcan1",
         1436509052000007, "(1436509052.000007) vcan1 1ABCDEF0#0AFF"},
        {"time zero", record(0x1ABCDEF0, true, false, {0x0A, 0xFF}, 2), "can0", 0,
         "(0.000000) can0 1ABCDEF0#0AFF"},
        {"standard, every digit",
         record(0x7FF, false, false, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}, 8), "can1",
         999999, "(0.999999) can1 7FF#0123456789ABCDEF"},
        {"standard keeps 11 bits", record(0x1801, false, false, {}, 0), "can0", 1000000,
         "(1.000000) can0 001#"},
        {"extended keeps 29 bits", record(0xE0000001, true, false, {}, 0), "can0", 1,
         "(0.000001) can0 00000001#"},
        {"remote with length", record(0x123, false, true, {0x55}, 3), "can0", 2,
         "(0.000002) can0 123#R3"},
        {"remote without length", record(0x123, false, true, {}, 0), "can0", 2,
         "(0.000002) can0 123#R"},
        {"length above 8 writes 8", record(0x1, false, false, {1, 2, 3, 4, 5, 6, 7, 8}, 15), "c", 3,
         "(0.000003) c 001#0102030405060708"},
        {"twelve digits of seconds", record(0x5, false, false, {}, 0), "can1", 123456789012345678,
         "(123456789012.345678) can1 005#"},
        {"five digits of seconds", record(0x5, false, false, {}, 0), "can1", 12345000100,
         "(12345.000100) can1 005#"},
        {"a long interface name", record(0x10, false, false, {0x20}, 1), longName, 4,
         "(0.000004) " + longName + " 010#20"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FormatCandumpLine(row.frame, row.interfaceName, row.timeUs), row.expected)
            << row.name;
        std::string appended = "before\n";
        AppendCandumpLine(appended, row.frame, row.interfaceName, row.timeUs);
        EXPECT_EQ(appended, "before\n" + row.expected) << row.name;
        const CandumpLine back = ParseCandumpLine(row.expected);
        EXPECT_EQ(back.verdict, CandumpVerdict::Frame) << row.name << ": the reader takes it back";
        EXPECT_EQ(back.timeUs, row.timeUs) << row.name;
    }
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
