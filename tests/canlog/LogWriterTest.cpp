#include <gtest/gtest.h>

#include "canlog/LogWriter.hpp"
#include "tests/canlog/FrameText.hpp"

namespace quillon::canlog {
namespace {

using test::Frame;
using test::Remote;

std::string WriteAll(LogFormat format, const std::vector<protocol::TimedFrame>& frames,
                     const ChannelNames& names = DEFAULT_CHANNEL_NAMES) {
    const auto writer = MakeLogWriter(format, names);
    std::string text;
    for (const auto& frame : frames) {
        EXPECT_EQ(writer->Write(frame, text), "");
    }
    writer->Finish(text);
    return text;
}

// Lengths 0, 7 and 8, both identifier widths, a remote frame with and without
// a length, both channels, a microsecond past a second.
const std::vector<protocol::TimedFrame>& Sample() {
    static const std::vector<protocol::TimedFrame> frames = {
        Frame(1436509052249713, 0, 0x123, false, {0xDE, 0xAD, 0xBE, 0xEF, 0, 1, 0x7F}),
        Remote(1436509052250000, 1, 0x1ABCDEF0, true, 8),
        Frame(1436509053000001, 1, 0x000, false, {}),
        Remote(1436509053000002, 0, 0x7FF, false, 0),
        Frame(1436509054999999, 0, 0x00000001, true, {0, 1, 2, 3, 4, 5, 6, 0xFF}),
    };
    return frames;
}

TEST(LogWriterTest, EachFormatWritesTheseBytes) {
    struct Row {
        const char* name;
        LogFormat format;
        const char* text;
    };
    const Row rows[] = {
        {"candump", LogFormat::Candump,
         "(1436509052.249713) can0 123#DEADBEEF00017F\n"
         "(1436509052.250000) can1 1ABCDEF0#R8\n"
         "(1436509053.000001) can1 000#\n"
         "(1436509053.000002) can0 7FF#R\n"
         "(1436509054.999999) can0 00000001#00010203040506FF\n"},
        {"recorder", LogFormat::Recorder,
         "(1436509052.249713) can0 123#DEADBEEF00017F\n"
         "(1436509052.250000) can1 1ABCDEF0#R8\n"
         "(1436509053.000001) can1 000#\n"
         "(1436509053.000002) can0 7FF#R\n"
         "(1436509054.999999) can0 00000001#00010203040506FF\n"},
        {"asc", LogFormat::Asc,
         "date Fri Jul 10 06:17:32.249 am 2015\n"
         "base hex  timestamps absolute\n"
         "no internal events logged\n"
         "Begin Triggerblock Fri Jul 10 06:17:32.249 am 2015\n"
         "   0.000000 Start of measurement\n"
         "   0.000713 1  123             Rx   d 7 DE AD BE EF 00 01 7F\n"
         "   0.001000 2  1ABCDEF0x       Rx   r 8\n"
         "   0.751001 2  0               Rx   d 0\n"
         "   0.751002 1  7FF             Rx   r 0\n"
         "   2.750999 1  1x              Rx   d 8 00 01 02 03 04 05 06 FF\n"
         "End TriggerBlock\n"},
        {"csv", LogFormat::Csv,
         "time,channel,id,extended,remote,length,data\n"
         "1436509052.249713,1,123,0,0,7,DE AD BE EF 00 01 7F\n"
         "1436509052.250000,2,1ABCDEF0,1,1,8,\n"
         "1436509053.000001,2,000,0,0,0,\n"
         "1436509053.000002,1,7FF,0,1,0,\n"
         "1436509054.999999,1,00000001,1,0,8,00 01 02 03 04 05 06 FF\n"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(WriteAll(row.format, Sample()), row.text) << row.name;
    }
}

// What a writer writes, its reader reads back as the same frames, and writing
// those again gives the same bytes.
TEST(LogWriterTest, EachFormatRoundTripsExactly) {
    for (const LogFormat format :
         {LogFormat::Candump, LogFormat::Recorder, LogFormat::Asc, LogFormat::Csv}) {
        const std::string text = WriteAll(format, Sample(), {"vcan0", "slcan1"});
        const auto read = test::ReadText(text, format, {"vcan0", "slcan1"});
        EXPECT_EQ(read.error, "") << LogFormatName(format);
        EXPECT_EQ(read.frames, Sample()) << LogFormatName(format);
        EXPECT_EQ(WriteAll(format, read.frames, {"vcan0", "slcan1"}), text)
            << LogFormatName(format);
    }
}

TEST(LogWriterTest, EmptyLogsStillCarryTheirHeaders) {
    EXPECT_EQ(WriteAll(LogFormat::Candump, {}), "");
    EXPECT_EQ(WriteAll(LogFormat::Csv, {}), "time,channel,id,extended,remote,length,data\n");
    EXPECT_EQ(WriteAll(LogFormat::Asc, {}),
              "date Thu Jan 01 12:00:00.000 am 1970\n"
              "base hex  timestamps absolute\n"
              "no internal events logged\n"
              "Begin Triggerblock Thu Jan 01 12:00:00.000 am 1970\n"
              "   0.000000 Start of measurement\n"
              "End TriggerBlock\n");
}

// A frame written earlier than the first one gets a negative time, which
// the ASC reader takes back.
TEST(LogWriterTest, AscKeepsFramesEarlierThanTheFirst) {
    const std::vector<protocol::TimedFrame> frames = {Frame(5000500, 0, 0x1, false, {}),
                                                      Frame(4999999, 1, 0x2, false, {})};
    const std::string text = WriteAll(LogFormat::Asc, frames);
    EXPECT_NE(text.find("   -0.000001 2  2 "), std::string::npos) << text;
    EXPECT_EQ(test::ReadText(text, LogFormat::Asc).frames, frames);
}

TEST(LogWriterTest, FramesNoLogCanHoldAreRefusedUnwritten) {
    struct Row {
        const char* name;
        protocol::TimedFrame frame;
        const char* problem;
    };
    protocol::TimedFrame longFrame = Frame(0, 0, 1, false, {});
    longFrame.length = 9;
    const Row rows[] = {
        {"channel 2", Frame(0, 2, 1, false, {}), "channel 2 is neither CAN1 nor CAN2"},
        {"wide standard", Frame(0, 0, 0x800, false, {}), "a standard identifier above 7FF"},
        {"wide extended", Frame(0, 0, 0x20000000, true, {}),
         "an extended identifier above 1FFFFFFF"},
        {"length 9", longFrame, "a length above 8"},
        {"before 1970", Frame(-1, 0, 1, false, {}), "a time before 1970"},
    };
    for (const LogFormat format : {LogFormat::Candump, LogFormat::Asc, LogFormat::Csv}) {
        for (const auto& row : rows) {
            std::string text;
            EXPECT_EQ(MakeLogWriter(format)->Write(row.frame, text), row.problem) << row.name;
            EXPECT_EQ(text, "") << row.name;
        }
    }
}

}  // namespace
}  // namespace quillon::canlog
