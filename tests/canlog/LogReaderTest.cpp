#include <gtest/gtest.h>

#include <fstream>

#include "canlog/LogReader.hpp"
#include "support/FakeSystem.hpp"
#include "tests/canlog/FrameText.hpp"

namespace quillon::canlog {
namespace {

using test::Frame;
using test::ReadText;
using test::Remote;

TEST(LogReaderTest, CandumpFramesWithTheirChannelsByInterfaceName) {
    const std::string log =
        "# captured on the bench\n"
        "(1436509052.249713) vcan1 123#DEADBEEF\n"
        "\n"
        "(1436509052.250000) vcan0 1ABCDEF0#R3 T\n"
        "(1436509053.000001) vcan1 7FF#0001020304050607\r\n";
    const auto read = ReadText(log, LogFormat::Candump, {"vcan0", "vcan1"});
    EXPECT_EQ(read.error, "");
    const std::vector<protocol::TimedFrame> expected = {
        Frame(1436509052249713, 1, 0x123, false, {0xDE, 0xAD, 0xBE, 0xEF}),
        Remote(1436509052250000, 0, 0x1ABCDEF0, true, 3),
        Frame(1436509053000001, 1, 0x7FF, false, {0, 1, 2, 3, 4, 5, 6, 7}),
    };
    EXPECT_EQ(read.frames, expected);
}

TEST(LogReaderTest, AscFramesCountFromTheDateLine) {
    const std::string log =
        "date Wed Dec 09 12:23:57.000 pm 2026\n"
        "base hex  timestamps absolute\n"
        "no internal events logged\n"
        "// written by hand\n"
        "Begin Triggerblock Wed Dec 09 12:23:57.000 pm 2026\n"
        "   0.000000 Start of measurement\n"
        "   0.001250 1  123             Rx   d 2 0A 0B\n"
        "   0.002500 2  1ABCDEF0x       Tx   r 8\n"
        "   0.003000 1  ErrorFrame\n"
        "   0.004000 2  7FF             Rx   d 8 00 01 02 03 04 05 06 07  Length = 111 "
        "BitCount = 64\n"
        "End TriggerBlock\n";
    const auto read = ReadText(log, LogFormat::Asc);
    EXPECT_EQ(read.error, "");
    const std::int64_t date = 1796819037000000;
    const std::vector<protocol::TimedFrame> expected = {
        Frame(date + 1250, 0, 0x123, false, {0x0A, 0x0B}),
        Remote(date + 2500, 1, 0x1ABCDEF0, true, 8),
        Frame(date + 4000, 1, 0x7FF, false, {0, 1, 2, 3, 4, 5, 6, 7}),
    };
    EXPECT_EQ(read.frames, expected);
}

TEST(LogReaderTest, AscRelativeTimesAndDecimalBase) {
    const std::string log =
        "base dec  timestamps relative\n"
        "   1.500000 1  291             Rx   d 1 255\n"
        "   0.000001 2  16x             Rx   d 0\n";
    const auto read = ReadText(log, LogFormat::Asc);
    EXPECT_EQ(read.error, "");
    const std::vector<protocol::TimedFrame> expected = {
        Frame(1500000, 0, 0x123, false, {0xFF}),
        Frame(1500001, 1, 0x10, true, {}),
    };
    EXPECT_EQ(read.frames, expected);
}

TEST(LogReaderTest, CsvFramesFromTheDocumentedColumns) {
    const std::string log =
        "time,channel,id,extended,remote,length,data\n"
        "1436509052.249713,1,123,0,0,4,DE AD BE EF\n"
        "1436509052.250001,2,1ABCDEF0,1,1,8,\n"
        "0.000000,2,000,0,0,0,\n";
    const auto read = ReadText(log, LogFormat::Csv);
    EXPECT_EQ(read.error, "");
    const std::vector<protocol::TimedFrame> expected = {
        Frame(1436509052249713, 0, 0x123, false, {0xDE, 0xAD, 0xBE, 0xEF}),
        Remote(1436509052250001, 1, 0x1ABCDEF0, true, 8),
        Frame(0, 1, 0, false, {}),
    };
    EXPECT_EQ(read.frames, expected);
}

// A bad line ends the reading there, named by the reader's name and line; the
// frames before it have been handed out.
TEST(LogReaderTest, BadLinesNameTheLineAndWhatIsWrong) {
    struct Row {
        const char* name;
        LogFormat format;
        std::string text;
        std::size_t framesBefore;
        const char* error;
    };
    const std::string csvHeader = "time,channel,id,extended,remote,length,data\n";
    const std::string ascFrame = "   0.1 1  123 Rx d 1 00\n";
    const Row rows[] = {
        {"candump unknown interface", LogFormat::Candump, "(1.0) can0 123#00\n(1.1) can2 123#00\n",
         1, "in:2: interface can2 is not one of the channels can0,can1"},
        {"candump malformed", LogFormat::Candump, "\n\n(1.0) can0 12#00\n", 0,
         "in:3: not a candump line: the identifier has neither 3 nor 8 hex digits"},
        {"candump line too long", LogFormat::Candump,
         "(1.0) can0 123#00\n" + std::string(5000, ' '), 1, "in:2: line longer than 4096 bytes"},
        {"asc channel 3", LogFormat::Asc, ascFrame + "   0.2 3  123 Rx d 1 00\n", 1,
         "in:2: channel 3 is neither 1 (CAN1) nor 2 (CAN2)"},
        {"asc missing byte", LogFormat::Asc, "   0.2 1  123 Rx d 3 00 01\n", 0,
         "in:1: data byte 3 of 3 is missing or not a byte"},
        {"asc fd", LogFormat::Asc, "   0.2 CANFD 1 Rx 123 1 0 8 8 00\n", 0,
         "in:1: CAN FD frames are not supported"},
        {"asc standard too wide", LogFormat::Asc, "   0.2 1  800 Rx d 0\n", 0,
         "in:1: a standard identifier above 7FF"},
        {"asc no direction", LogFormat::Asc, "   0.2 1  123 d 1 00\n", 0,
         "in:1: not TIME CHANNEL ID Rx|Tx d|r ..."},
        {"asc bad date", LogFormat::Asc, "date Wed Dez 09 12:23:57.000 pm 2026\n", 0,
         "in:1: the date is not WEEKDAY MONTH DAY HH:MM:SS[.mmm] [am|pm] YEAR"},
        {"asc stray text", LogFormat::Asc, ascFrame + "hello\n", 1, "in:2: not an ASC line"},
        {"asc before 1970", LogFormat::Asc, "   -0.1 1  123 Rx d 0\n", 0,
         "in:1: the frame's time falls before 1970"},
        {"csv no header", LogFormat::Csv, "1.0,1,123,0,0,0,\n", 0,
         "in:1: the first line is not the CSV header "
         "time,channel,id,extended,remote,length,data"},
        {"csv six columns", LogFormat::Csv, csvHeader + "1.0,1,123,0,0,0\n", 0,
         "in:2: not 7 comma-separated columns"},
        {"csv channel 0", LogFormat::Csv, csvHeader + "1.0,0,123,0,0,0,\n", 0,
         "in:2: the channel is neither 1 nor 2: 0"},
        {"csv short data", LogFormat::Csv, csvHeader + "1.0,1,123,0,0,2,00\n", 0,
         "in:2: the data is not 2 hex bytes one space apart"},
        {"csv remote data", LogFormat::Csv, csvHeader + "1.0,1,123,0,1,1,00\n", 0,
         "in:2: a remote frame with data"},
        {"csv flag 2", LogFormat::Csv, csvHeader + "1.0,1,123,2,0,0,\n", 0,
         "in:2: extended and remote are each 0 or 1"},
        {"csv length 9", LogFormat::Csv, csvHeader + "1.0,1,123,0,0,9,\n", 0,
         "in:2: the length is not 0..8: 9"},
        {"csv time", LogFormat::Csv, csvHeader + "1.0000001,1,123,0,0,0,\n", 0,
         "in:2: the time is not SECONDS.FRACTION: 1.0000001"},
    };
    for (const auto& row : rows) {
        const auto read = ReadText(row.text, row.format);
        EXPECT_EQ(read.frames.size(), row.framesBefore) << row.name;
        EXPECT_EQ(read.error, row.error) << row.name;
    }
}

TEST(LogReaderTest, OpenTellsTheFormatFromTheContentThenTheExtension) {
    quillon::test::TempDir dir;
    struct Row {
        const char* name;
        const char* file;
        const char* text;
        LogFormat format;
    };
    const Row rows[] = {
        {"candump named .txt", "a.txt", "\n(1.0) can0 123#00\n", LogFormat::Candump},
        {"asc named .log", "b.log", "date Wed Dec 09 12:23:57.000 pm 2026\n", LogFormat::Asc},
        {"csv named .dat", "c.dat", "time,channel,id,extended,remote,length,data\r\n",
         LogFormat::Csv},
        {"empty .asc", "d.asc", "", LogFormat::Asc},
        {"empty .csv", "e.csv", "\n", LogFormat::Csv},
    };
    for (const auto& row : rows) {
        std::ofstream(dir.Path() / row.file, std::ios::binary) << row.text;
        const OpenedLog opened = OpenLogReader(dir.Path() / row.file);
        ASSERT_TRUE(opened.reader) << row.name << ": " << opened.error;
        EXPECT_EQ(opened.format, row.format) << row.name;
    }
    std::ofstream(dir.Path() / "f.bin") << "hello\n";
    const std::string path = (dir.Path() / "f.bin").string();
    EXPECT_EQ(OpenLogReader(dir.Path() / "f.bin").error,
              "cannot tell the format of " + path +
                  ": it starts with neither a candump line, an ASC header nor the CSV header");
    EXPECT_TRUE(OpenLogReader(dir.Path() / "f.bin", LogFormat::Candump).reader)
        << "a format given is not second-guessed";
    EXPECT_EQ(OpenLogReader(dir.Path()).error, dir.Path().string() + " is a directory");
}

// A log of several read blocks crosses block ends mid-line; every frame must
// come out whole, whether its line lay in one block or straddled two.
TEST(LogReaderTest, FileReaderStreamsAcrossBlocks) {
    quillon::test::TempDir dir;
    const auto path = dir.Path() / "long.log";
    const int lines = static_cast<int>(3 * READ_BLOCK_BYTES / 20);
    {
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < lines; ++i) {
            out << "(" << i << ".000001) can1 123#" << (i % 2 ? "00FF" : "") << "\n";
        }
        out << "(7.0) can9 123#";  // the last line has no LF
    }
    const OpenedLog opened = OpenLogReader(path);
    ASSERT_TRUE(opened.reader);
    const auto read = test::ReadAll(*opened.reader);
    ASSERT_EQ(read.frames.size(), static_cast<std::size_t>(lines));
    for (int i = 0; i < lines; ++i) {
        const auto expected = i % 2 ? Frame(i * 1000000LL + 1, 1, 0x123, false, {0x00, 0xFF})
                                    : Frame(i * 1000000LL + 1, 1, 0x123, false, {});
        ASSERT_EQ(read.frames[static_cast<std::size_t>(i)], expected) << "line " << i + 1;
    }
    EXPECT_EQ(read.error, path.string() + ":" + std::to_string(lines + 1) +
                              ": interface can9 is not one of the channels can0,can1");
    EXPECT_EQ(opened.reader->BytesRead(), opened.reader->TotalBytes());
}

}  // namespace
}  // namespace quillon::canlog
