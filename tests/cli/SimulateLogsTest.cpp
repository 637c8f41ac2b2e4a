// The candump logs simulate reads and writes: exact lines both ways.
#include "frontends/cli/SimulateLogs.hpp"

#include <gtest/gtest.h>

#include <fstream>

#include "support/FakeSystem.hpp"

namespace quillon::cli {
namespace {

const std::vector<std::string> CHANNELS = {"can0", "can1"};

protocol::TimedFrame Frame(std::int64_t timeUs, int channel, std::uint32_t id, bool extended,
                           bool remote, std::vector<std::uint8_t> bytes, std::uint8_t length) {
    protocol::TimedFrame frame;
    frame.timeUs = timeUs;
    frame.channel = channel;
    frame.id = id;
    frame.extended = extended;
    frame.remote = remote;
    frame.length = length;
    std::copy(bytes.begin(), bytes.end(), frame.data.begin());
    return frame;
}

struct ReadRow {
    const char* name;
    std::string line;
    protocol::TimedFrame frame;
};

const ReadRow READ_ROWS[] = {
    {"Standard", "(1436509052.249713) can0 123#DEADBEEF",
     Frame(1436509052249713, 0, 0x123, false, false, {0xDE, 0xAD, 0xBE, 0xEF}, 4)},
    {"ExtendedOnCan2", "(0.000001) can1 18DAF110#01",
     Frame(1, 1, 0x18DAF110, true, false, {0x01}, 1)},
    {"RemoteWithLength", "(2.5) can0 7FF#R3", Frame(2500000, 0, 0x7FF, false, true, {}, 3)},
    {"EmptyData", "(10) can1 000#", Frame(10000000, 1, 0, false, false, {}, 0)},
    {"TraceDirectionIgnored", "(1.000000) can0 321#AA T",
     Frame(1000000, 0, 0x321, false, false, {0xAA}, 1)},
    {"CarriageReturn", "(1.000000) can0 321#AA\r",
     Frame(1000000, 0, 0x321, false, false, {0xAA}, 1)},
};

class SimulateLogReadTest : public ::testing::TestWithParam<ReadRow> {};

TEST_P(SimulateLogReadTest, OneLine) {
    test::TempDir dir;
    const auto file = dir.Path() / "in.log";
    std::ofstream(file) << "# a comment\n\n" << GetParam().line << '\n';
    std::string why;
    auto reader = SimulateLogReader::Open(file.string(), CHANNELS, why);
    ASSERT_TRUE(reader) << why;
    EXPECT_EQ(reader->Next(), GetParam().frame);
    EXPECT_EQ(reader->Next(), std::nullopt);
    EXPECT_EQ(reader->Problem(), "");
}

INSTANTIATE_TEST_SUITE_P(Rows, SimulateLogReadTest, ::testing::ValuesIn(READ_ROWS),
                         [](const auto& info) { return std::string(info.param.name); });

struct BadRow {
    const char* name;
    std::string text;
    std::string problem;  ///< after "<file>:"
};

const BadRow BAD_ROWS[] = {
    {"NotCandumpAtAll", "date Wed Dec 9 12:00:00 2026\n", "1: not a candump log"},
    {"BadSecondLine", "(1.0) can0 123#00\n(2.0) can0 123#0\n", "2: malformed frame line"},
    {"StampWithLetters", "(1.0) can0 123#00\n(1.x) can0 123#00\n", "2: malformed frame line"},
    {"NoBody", "(1.0) can0\n", "1: malformed frame line"},
    {"StandardIdTooWide", "(1.0) can0 800#\n", "1: malformed frame line"},
    {"NineBytes", "(1.0) can0 123#000000000000000000\n", "1: malformed frame line"},
    {"UnknownInterface", "(1.0) can0 123#\n\n(1.1) can2 123#\n",
     "3: interface can2 is not in --channels (can0,can1)"},
};

class SimulateLogBadTest : public ::testing::TestWithParam<BadRow> {};

TEST_P(SimulateLogBadTest, NamesFileAndLine) {
    test::TempDir dir;
    const auto file = dir.Path() / "bad.log";
    std::ofstream(file) << GetParam().text;
    std::string why;
    auto reader = SimulateLogReader::Open(file.string(), CHANNELS, why);
    ASSERT_TRUE(reader);
    while (reader->Next()) {
    }
    EXPECT_EQ(reader->Problem(), file.string() + ":" + GetParam().problem);
}

INSTANTIATE_TEST_SUITE_P(Rows, SimulateLogBadTest, ::testing::ValuesIn(BAD_ROWS),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SimulateLogReaderTest, NoRegularFileIsRefusedByName) {
    test::TempDir dir;
    std::string why;
    EXPECT_FALSE(SimulateLogReader::Open((dir.Path() / "none.log").string(), CHANNELS, why));
    EXPECT_EQ(why, "cannot read " + (dir.Path() / "none.log").string() + ": no such regular file");
    EXPECT_FALSE(SimulateLogReader::Open(dir.Path().string(), CHANNELS, why));
}

TEST(SimulateLogLineTest, ExactLinesWithTheChannelsNames) {
    const std::vector<std::string> names = {"vcan0", "vcan1"};
    EXPECT_EQ(
        SimulateLogLine(Frame(1436509052249713, 0, 0x123, false, false, {0xDE, 0xAD}, 2), names),
        "(1436509052.249713) vcan0 123#DEAD");
    EXPECT_EQ(SimulateLogLine(Frame(5, 1, 0x1ABCDEF, true, false, {}, 0), names),
              "(0.000005) vcan1 01ABCDEF#");
    EXPECT_EQ(SimulateLogLine(Frame(2000000, 1, 0x10, false, true, {}, 4), names),
              "(2.000000) vcan1 010#R4");
}

}  // namespace
}  // namespace quillon::cli
