// convert, send, dump and play run in-process: files on disk, frames through
// the scripted adapter, time on the fake clock.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "frontends/cli/ExitCode.hpp"
#include "support/FakeSystem.hpp"
#include "support/ScriptedAdapter.hpp"
#include "tests/cli/InProcessCli.hpp"

namespace quillon::cli {
namespace {

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class LogCommandsTest : public ::testing::Test {
  protected:
    test::CliResult Run(std::vector<std::string> args) {
        return test::RunCliInProcess(std::move(args), system.services);
    }
    std::string PathOf(const char* name) const { return (system.directory.Path() / name).string(); }
    void Put(const char* name, const std::string& text) const {
        std::ofstream(PathOf(name), std::ios::binary) << text;
    }

    test::FakeSystem system;
};

TEST_F(LogCommandsTest, ConvertWritesTheFormatOfTheNameOrOfTo) {
    Put("in.log", "(1.000001) vcan1 123#01\n(2.5) vcan0 1ABCDEF0#R2\n");
    const auto run = Run({"convert", PathOf("in.log"), PathOf("out.asc"), "--to", "csv",
                          "--channels", "vcan0,vcan1"});
    EXPECT_EQ(run.status, EXIT_OK) << run.err;
    EXPECT_EQ(run.out, PathOf("out.asc") + ": 2 frames (csv)\n");
    EXPECT_EQ(Slurp(PathOf("out.asc")),
              "time,channel,id,extended,remote,length,data\n"
              "1.000001,2,123,0,0,1,01\n"
              "2.500000,1,1ABCDEF0,1,1,2,\n");
    const auto back = Run({"convert", PathOf("out.asc"), PathOf("back.log")});
    EXPECT_EQ(back.status, EXIT_OK) << back.err;
    EXPECT_EQ(Slurp(PathOf("back.log")), "(1.000001) can1 123#01\n(2.500000) can0 1ABCDEF0#R2\n");
}

TEST_F(LogCommandsTest, ConvertRefusalsSayWhyAndLeaveTheOutput) {
    Put("in.log", "(1.0) can0 123#01\n(1.1) can0 123#0\n");
    Put("out.csv", "kept\n");
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const Row rows[] = {
        {"bad line",
         {"convert", PathOf("in.log"), PathOf("out.csv")},
         EXIT_BAD_FILE,
         "quillon-cli convert: " + PathOf("in.log") +
             ":2: not a candump line: odd number of data digits\n"},
        {"unknown format",
         {"convert", PathOf("in.log"), PathOf("out.csv"), "--to", "blf"},
         EXIT_USAGE,
         "quillon-cli convert: unknown format blf (candump, asc, csv or recorder)\n"},
        {"name shows no format",
         {"convert", PathOf("in.log"), PathOf("out.txt")},
         EXIT_USAGE,
         "quillon-cli convert: " + PathOf("out.txt") +
             " does not show the format to write: give --to candump, asc, csv or recorder\n"},
        {"one channel name",
         {"convert", PathOf("in.log"), PathOf("out.csv"), "--channels", "can0"},
         EXIT_USAGE,
         "quillon-cli convert: --channels takes two different interface names, e.g. "
         "can0,can1: can0\n"},
        {"recorder file name",
         {"convert", PathOf("in.log"), PathOf("out.csv"), "--to", "recorder"},
         EXIT_FAILED,
         "quillon-cli convert: the recorder stores files named NAME.log, not " + PathOf("out.csv") +
             "\n"},
    };
    for (const auto& row : rows) {
        const auto run = Run(row.args);
        EXPECT_EQ(run.status, row.status) << row.name;
        EXPECT_EQ(run.err, row.err) << row.name;
        EXPECT_EQ(Slurp(PathOf("out.csv")), "kept\n") << row.name;
    }
}

TEST_F(LogCommandsTest, ConvertReportsProgressOnLargeLogs) {
    std::string log;
    for (int i = 0; log.size() < 1200 * 1024; ++i) {
        log += "(" + std::to_string(i) + ".000000) can0 123#0011223344556677\n";
    }
    Put("big.log", log);
    const auto run = Run({"convert", PathOf("big.log"), PathOf("big.csv")});
    EXPECT_EQ(run.status, EXIT_OK) << run.err;
    EXPECT_NE(run.err.find("converting " + PathOf("big.log") + ": 100%\n"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(": 5"), std::string::npos) << "halfway is shown: " << run.err;
}

TEST_F(LogCommandsTest, SendPutsTheseBytesOnThatChannel) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::uint32_t channel;
        CanFrameRecord frame;
    };
    CanFrameRecord remote = test::MakeFrame(0x1ABCDEF0, true, {}, 8);
    remote.RemoteFlag = 1;
    const Row rows[] = {
        {"standard",
         {"send", "can0", "123#DEADBEEF"},
         0,
         test::MakeFrame(0x123, false, {0xDE, 0xAD, 0xBE, 0xEF}, 4)},
        {"dotted bytes on can1",
         {"send", "can1", "7FF#11.22.33"},
         1,
         test::MakeFrame(0x7FF, false, {0x11, 0x22, 0x33}, 3)},
        {"remote, renamed channels",
         {"send", "vcan0", "1ABCDEF0#R8", "--channels", "vcan0,vcan1"},
         0,
         remote},
        {"empty", {"send", "can1", "000#"}, 1, test::MakeFrame(0, false, {}, 0)},
    };
    for (const auto& row : rows) {
        test::ScriptedAdapterScope adapter;
        std::vector<std::string> args = {"--adapter", "scripted"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const auto run = Run(args);
        EXPECT_EQ(run.status, EXIT_OK) << row.name << ": " << run.err;
        const auto sent = adapter.Bus().Transmitted();
        ASSERT_EQ(sent.size(), 1u) << row.name;
        EXPECT_EQ(sent[0].first, row.channel) << row.name;
        const CanFrameRecord& frame = sent[0].second;
        EXPECT_EQ(frame.ID, row.frame.ID) << row.name;
        EXPECT_EQ(frame.ExternFlag, row.frame.ExternFlag) << row.name;
        EXPECT_EQ(frame.RemoteFlag, row.frame.RemoteFlag) << row.name;
        ASSERT_EQ(frame.DataLen, row.frame.DataLen) << row.name;
        EXPECT_TRUE(std::equal(frame.Data, frame.Data + frame.DataLen, row.frame.Data)) << row.name;
    }
}

TEST_F(LogCommandsTest, SendRefusesWhatItCannotSend) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int status;
        const char* err;
    };
    const Row rows[] = {
        {"odd digits",
         {"send", "can0", "123#ABC"},
         EXIT_USAGE,
         "quillon-cli send: 123#ABC is not ID#DATA (123#DEADBEEF, 1ABCDEF0#R): odd number of "
         "data digits\n"},
        {"no hash",
         {"send", "can0", "123"},
         EXIT_USAGE,
         "quillon-cli send: 123 is not ID#DATA (123#DEADBEEF, 1ABCDEF0#R): no INTERFACE ID#DATA "
         "after the stamp\n"},
        {"unknown channel",
         {"send", "vcan0", "123#00"},
         EXIT_USAGE,
         "quillon-cli send: vcan0 is not one of the channels can0,can1 (see --channels)\n"},
    };
    for (const auto& row : rows) {
        test::ScriptedAdapterScope adapter;
        std::vector<std::string> args = {"--adapter", "scripted"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const auto run = Run(args);
        EXPECT_EQ(run.status, row.status) << row.name;
        EXPECT_EQ(run.err, row.err) << row.name;
        EXPECT_TRUE(adapter.Bus().CallsNamed("Open").empty()) << row.name;
    }
    test::ScriptedAdapterScope adapter;
    adapter.Bus().RefuseFrame(1);
    const auto refused = Run({"--adapter", "scripted", "send", "can0", "123#00"});
    EXPECT_EQ(refused.status, EXIT_FAILED);
    EXPECT_EQ(refused.err, "quillon-cli send: the adapter did not take the frame\n");
}

TEST_F(LogCommandsTest, DumpPrintsCandumpLinesUntilTheCount) {
    test::ScriptedAdapterScope adapter;
    CanFrameRecord remote = test::MakeFrame(0x1ABCDEF0, true, {}, 3);
    remote.RemoteFlag = 1;
    adapter.Bus().Deliver(0, {test::MakeFrame(0x123, false, {0xDE, 0xAD}, 2), remote});
    adapter.Bus().Deliver(
        1, {test::MakeFrame(0x7FF, false, {1}, 1), test::MakeFrame(1, false, {}, 0)});
    system.clock.SetUnixTimeUs(1436509052000007);
    const auto run =
        Run({"--adapter", "scripted", "dump", "--count", "3", "--channels", "vcan0,vcan1"});
    EXPECT_EQ(run.status, EXIT_OK) << run.err;
    EXPECT_EQ(run.out,
              "(1436509052.000007) vcan0 123#DEAD\n"
              "(1436509052.000007) vcan0 1ABCDEF0#R3\n"
              "(1436509052.000007) vcan1 7FF#01\n");
}

TEST_F(LogCommandsTest, DumpOfOneChannelEndsAfterTheQuietTime) {
    test::ScriptedAdapterScope adapter;
    adapter.Bus().Deliver(0, {test::MakeFrame(0x100, false, {}, 0)});
    adapter.Bus().Deliver(1, {test::MakeFrame(0x200, false, {}, 0)});
    const auto run = Run({"--adapter", "scripted", "dump", "can1", "--timeout-ms", "250"});
    EXPECT_EQ(run.status, EXIT_OK) << run.err;
    EXPECT_EQ(run.out, "(1796639415.000000) can1 200#\n");
    EXPECT_EQ(system.clock.MonotonicMs(), 250u) << "waited on fake time, exactly the quiet time";
    EXPECT_EQ(adapter.Bus().Pending(0), 1u) << "can0 was not read";
}

TEST_F(LogCommandsTest, PlaySendsEachFrameAtItsOffset) {
    test::ScriptedAdapterScope adapter;
    Put("drive.asc",
        "date Wed Dec 09 12:23:57.000 pm 2026\n"
        "   0.100000 2  123             Rx   d 1 AA\n"
        "   0.101500 1  1ABCDEF0x       Rx   d 0\n"
        "   1.100000 2  7FF             Rx   r 2\n");
    const auto run = Run({"--adapter", "scripted", "play", PathOf("drive.asc")});
    EXPECT_EQ(run.status, EXIT_OK) << run.err;
    EXPECT_EQ(run.out, PathOf("drive.asc") + ": 3 frames sent\n");
    const auto sent = adapter.Bus().Transmitted();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].first, 1u);
    EXPECT_EQ(sent[0].second.ID, 0x123u);
    EXPECT_EQ(sent[0].second.Data[0], 0xAA);
    EXPECT_EQ(sent[1].first, 0u);
    EXPECT_EQ(sent[1].second.ExternFlag, 1);
    EXPECT_EQ(sent[2].second.RemoteFlag, 1);
    EXPECT_EQ(sent[2].second.DataLen, 2);
    EXPECT_EQ(system.sleeper.Sleeps(), (std::vector<std::uint32_t>{2, 998}))
        << "1.5 ms after the first, then up to 1 s after it";
}

TEST_F(LogCommandsTest, PlayStopsAtABadLine) {
    test::ScriptedAdapterScope adapter;
    Put("bad.log", "(1.0) can0 123#00\n(1.0) can5 123#00\n(1.0) can0 123#00\n");
    const auto run = Run({"--adapter", "scripted", "play", PathOf("bad.log")});
    EXPECT_EQ(run.status, EXIT_BAD_FILE);
    EXPECT_EQ(run.err, "quillon-cli play: " + PathOf("bad.log") +
                           ":2: interface can5 is not one of the channels can0,can1; 1 frames "
                           "sent\n");
    EXPECT_EQ(adapter.Bus().Transmitted().size(), 1u);
}

}  // namespace
}  // namespace quillon::cli
