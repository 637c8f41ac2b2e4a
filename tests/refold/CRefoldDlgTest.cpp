// The converter's window driven by id on the scripted host: the output name
// it proposes, conversions checked by the bytes written, the progress bar and
// the pumping on a large log, failures in the converter's own words with the
// output left as it was, and what it refuses before converting.
#include "refold/CRefoldDlg.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/system/Utf8Path.hpp"
#include "platform/ui/WindowMessages.hpp"
#include "support/FakeSystem.hpp"
#include "support/ScriptedHost.hpp"

namespace quillon::refold {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> Names(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Both identifier widths, both channels, remote frames, lengths 0, 7 and 8.
const char* const CANDUMP =
    "(1436509052.249713) can0 123#DEADBEEF00017F\n"
    "(1436509052.250000) can1 1ABCDEF0#R8\n"
    "(1436509053.000001) can1 000#\n"
    "(1436509053.000002) can0 7FF#R\n"
    "(1436509054.999999) can0 00000001#00010203040506FF\n";

class RefoldDlgTest : public ::testing::Test {
  protected:
    RefoldDlgTest() {
        host.SetModalScript([](ui::Dialog&) {});
        dialog = std::make_unique<CRefoldDlg>(host);
        dialog->DoModal();
    }

    std::string In(const char* name) const { return sys::PathToUtf8(dir.Path() / name); }

    void Choose(const std::string& input, int row, const std::string& output) {
        dialog->TypeText(IDC_REFOLD_INPUT, input);
        dialog->SelectItem(IDC_REFOLD_FORMAT, row);
        dialog->TypeText(IDC_REFOLD_OUTPUT, output);
    }

    test::TempDir dir;
    test::ScriptedHost host;
    std::unique_ptr<CRefoldDlg> dialog;
};

TEST_F(RefoldDlgTest, OpensReadyForACandumpLogToAsc) {
    EXPECT_EQ(dialog->Template().caption, "记录文件转换");
    EXPECT_EQ(dialog->GetItems(IDC_REFOLD_FORMAT),
              (std::vector<std::string>{"candump", "ASC", "CSV", "recorder"}));
    EXPECT_EQ(dialog->GetCurSel(IDC_REFOLD_FORMAT), ROW_ASC);
    EXPECT_EQ(dialog->GetDlgItemText(IDC_REFOLD_CHANNELS), "can0,can1");
    EXPECT_EQ(dialog->GetRangeMax(IDC_REFOLD_PROGRESS), 100);
    EXPECT_EQ(dialog->GetPos(IDC_REFOLD_PROGRESS), 0);
    EXPECT_EQ(dialog->GetDlgItemText(IDC_REFOLD_STATUS), "请选择输入文件和输出格式。");
}

// The output follows the input and the format until the user names one; an
// emptied output follows again.
TEST_F(RefoldDlgTest, TheOutputFollowsUntilTheUserNamesIt) {
    dialog->TypeText(IDC_REFOLD_INPUT, "/data/drive.log");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_REFOLD_OUTPUT), "/data/drive.asc");
    dialog->SelectItem(IDC_REFOLD_FORMAT, ROW_CSV);
    EXPECT_EQ(dialog->GetDlgItemText(IDC_REFOLD_OUTPUT), "/data/drive.csv");
    dialog->TypeText(IDC_REFOLD_OUTPUT, "/tmp/mine.txt");
    dialog->SelectItem(IDC_REFOLD_FORMAT, ROW_CANDUMP);
    dialog->TypeText(IDC_REFOLD_INPUT, "/data/other.asc");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_REFOLD_OUTPUT), "/tmp/mine.txt");
    dialog->TypeText(IDC_REFOLD_OUTPUT, "");
    dialog->SelectItem(IDC_REFOLD_FORMAT, ROW_RECORDER);
    EXPECT_EQ(dialog->GetDlgItemText(IDC_REFOLD_OUTPUT), "/data/other.log");
}

TEST_F(RefoldDlgTest, BrowseAsksForALogAndProposesItsOutput) {
    host.AnswerNextFileDialogs({"/data/行车记录.log", std::nullopt});
    dialog->Click(IDC_REFOLD_BROWSE);
    EXPECT_EQ(dialog->GetDlgItemText(IDC_REFOLD_INPUT), "/data/行车记录.log");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_REFOLD_OUTPUT), "/data/行车记录.asc");
    // Cancelled: what was chosen stays.
    dialog->Click(IDC_REFOLD_BROWSE);
    EXPECT_EQ(dialog->GetDlgItemText(IDC_REFOLD_INPUT), "/data/行车记录.log");
    EXPECT_EQ(host.FileDialogFilters(),
              (std::vector<std::string>(
                  2, "记录文件 (*.log,*.asc,*.csv)|*.log;*.asc;*.csv|所有文件 (*.*)|*.*||")));
    EXPECT_TRUE(host.Boxes().empty());
}

struct ConversionRow {
    const char* name;
    const char* input;
    int format;
    const char* channels;
    const char* output;
    const char* written;
    int frames;
};

class RefoldConversionTest : public RefoldDlgTest,
                             public ::testing::WithParamInterface<ConversionRow> {};

TEST_P(RefoldConversionTest, WritesTheseBytesAndSaysHowManyFrames) {
    const auto& row = GetParam();
    Put(dir.Path() / "in.log", row.input);
    Choose(In("in.log"), row.format, In(row.output));
    dialog->TypeText(IDC_REFOLD_CHANNELS, row.channels);
    dialog->Click(IDC_REFOLD_CONVERT);
    EXPECT_EQ(Slurp(dir.Path() / row.output), row.written);
    const std::string done =
        "转换完成，共写入 " + std::to_string(row.frames) + " 帧到 " + In(row.output) + "。";
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_EQ(host.Boxes()[0].text, done);
    EXPECT_EQ(host.Boxes()[0].caption, "记录文件转换");
    EXPECT_EQ(host.Boxes()[0].style, ui::MB_ICONINFORMATION);
    EXPECT_EQ(dialog->GetDlgItemText(IDC_REFOLD_STATUS), done);
    EXPECT_EQ(dialog->GetPos(IDC_REFOLD_PROGRESS), 100);
    EXPECT_TRUE(dialog->IsWindowEnabled(IDC_REFOLD_CONVERT));
}

INSTANTIATE_TEST_SUITE_P(Formats, RefoldConversionTest,
                         ::testing::Values(
                             ConversionRow{
                                 "CandumpToAsc", CANDUMP, ROW_ASC, "can0,can1", "out.asc",
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
                                 "End TriggerBlock\n",
                                 5},
                             ConversionRow{"CandumpToRecorder", CANDUMP, ROW_RECORDER, "can0,can1",
                                           "REC0001.log", CANDUMP, 5},
                             ConversionRow{"OtherInterfacesThroughTheChannels",
                                           "(1.000000) vcan1 123#01\n(2.000000) vcan0 456#\n",
                                           ROW_CANDUMP, "vcan0,vcan1", "out.txt",
                                           "(1.000000) vcan1 123#01\n(2.000000) vcan0 456#\n", 2},
                             ConversionRow{"EmptyLog", "", ROW_CSV, "can0,can1", "out.csv",
                                           "time,channel,id,extended,remote,length,data\n", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// A log of several hundred KiB: the bar rises while the host's messages are
// pumped (a task posted before the click runs mid-way, with the window's
// input locked), and ends full.
TEST_F(RefoldDlgTest, ALargeLogPumpsTheHostWhileTheBarRises) {
    std::string log;
    for (int i = 0; i < 10000; ++i) {
        log += "(" + std::to_string(1000000 + i) + ".000000) can0 123#0011223344556677\n";
    }
    Put(dir.Path() / "big.log", log);
    Choose(In("big.log"), ROW_CSV, In("big.csv"));
    std::vector<int> seen;
    bool locked = false;
    host.PostTask(*dialog, [&] {
        seen.push_back(dialog->GetPos(IDC_REFOLD_PROGRESS));
        locked = !dialog->IsWindowEnabled(IDC_REFOLD_CONVERT) &&
                 !dialog->IsWindowEnabled(IDC_REFOLD_INPUT);
        // A click that reached the window now is dropped, not a second conversion.
        dialog->Click(IDC_REFOLD_CONVERT);
    });
    dialog->Click(IDC_REFOLD_CONVERT);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_GT(seen[0], 0);
    EXPECT_LT(seen[0], 100);
    EXPECT_TRUE(locked);
    EXPECT_EQ(host.BoxTexts(),
              (std::vector<std::string>{"转换完成，共写入 10000 帧到 " + In("big.csv") + "。"}));
    EXPECT_EQ(dialog->GetPos(IDC_REFOLD_PROGRESS), 100);
    EXPECT_TRUE(dialog->IsWindowEnabled(IDC_REFOLD_INPUT));
}

struct FailureRow {
    const char* name;
    const char* input;
    int format;
    const char* output;
    const char* box;  ///< with the temporary folder's path left out
};

class RefoldFailureTest : public RefoldDlgTest, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(RefoldFailureTest, ShowsTheConvertersWordsAndLeavesTheOutput) {
    const auto& row = GetParam();
    Put(dir.Path() / "bad.log", std::string(CANDUMP) + "(1436509055.000000) can3 123#00\n");
    Put(dir.Path() / "good.log", CANDUMP);
    Put(dir.Path() / "out.asc", "old content\n");
    Choose(In(row.input), row.format, In(row.output));
    dialog->Click(IDC_REFOLD_CONVERT);
    ASSERT_EQ(host.Boxes().size(), 1u);
    std::string text = host.Boxes()[0].text;
    // The folder with the system's separator after it, as the paths were joined.
    const std::string base = sys::PathToUtf8(dir.Path() / "");
    for (auto at = text.find(base); at != std::string::npos; at = text.find(base)) {
        text.erase(at, base.size());
    }
    EXPECT_EQ(text, row.box);
    EXPECT_EQ(host.Boxes()[0].caption, "警告");
    EXPECT_EQ(host.Boxes()[0].style, ui::MB_ICONQUESTION);
    EXPECT_EQ(dialog->GetDlgItemText(IDC_REFOLD_STATUS), "转换失败。");
    EXPECT_EQ(Slurp(dir.Path() / "out.asc"), "old content\n");
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"bad.log", "good.log", "out.asc"}));
    EXPECT_TRUE(dialog->IsWindowEnabled(IDC_REFOLD_CONVERT));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, RefoldFailureTest,
    ::testing::Values(FailureRow{"BadLineNamesFileAndLine", "bad.log", ROW_ASC, "out.asc",
                                 "bad.log:6: interface can3 is not one of the channels can0,can1"},
                      FailureRow{"MissingInput", "none.log", ROW_ASC, "out.asc",
                                 "cannot open none.log: No such file or directory"},
                      FailureRow{"UnwritableOutput", "good.log", ROW_CSV, "no/out.csv",
                                 "cannot create no/out.csv in no: No such file or directory"},
                      FailureRow{"RecorderNeedsALogName", "good.log", ROW_RECORDER, "out.asc",
                                 "the recorder stores files named NAME.log, not out.asc"}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusalRow {
    const char* name;
    const char* input;
    const char* output;
    const char* channels;
    const char* box;
};

class RefoldRefusalTest : public RefoldDlgTest, public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(RefoldRefusalTest, WarnsAndConvertsNothing) {
    const auto& row = GetParam();
    Put(dir.Path() / "in.log", CANDUMP);
    dialog->TypeText(IDC_REFOLD_INPUT, *row.input ? In(row.input) : "");
    dialog->TypeText(IDC_REFOLD_OUTPUT, *row.output ? In(row.output) : "");
    dialog->TypeText(IDC_REFOLD_CHANNELS, row.channels);
    dialog->Click(IDC_REFOLD_CONVERT);
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_EQ(host.Boxes()[0].text, row.box);
    EXPECT_EQ(host.Boxes()[0].caption, "警告");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_REFOLD_STATUS), "请选择输入文件和输出格式。");
    EXPECT_EQ(dialog->GetPos(IDC_REFOLD_PROGRESS), 0);
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"in.log"}));
}

INSTANTIATE_TEST_SUITE_P(
    Entries, RefoldRefusalTest,
    ::testing::Values(RefusalRow{"EmptyInput", "", "out.asc", "can0,can1",
                                 "请选择要转换的记录文件!"},
                      RefusalRow{"EmptyOutput", "in.log", "", "can0,can1", "请输入输出文件名!"},
                      RefusalRow{"OneChannel", "in.log", "out.asc", "can0",
                                 "通道名称应为两个不同的接口名，用逗号隔开，如 can0,can1!"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon::refold
