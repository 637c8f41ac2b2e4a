// The calculator's window driven by id: rates typed and searched, pairs
// listed cell by cell against values worked by hand (a bit of N quanta at
// prescaler BRP lasts BRP x N periods of 18 MHz), refusals, the reverse
// look-up, and what a rejected entry leaves unchanged.
#include "baudly/CBaudlyDlg.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/WindowMessages.hpp"
#include "support/ScriptedHost.hpp"

namespace quillon::baudly {
namespace {

using Cells = std::vector<std::string>;

class BaudlyDlgTest : public ::testing::Test {
  protected:
    BaudlyDlgTest() {
        host.SetModalScript([](ui::Dialog&) {});
        dialog = std::make_unique<CBaudlyDlg>(host);
        dialog->DoModal();
    }

    Cells Row(int row) const {
        Cells cells;
        for (int column = COLUMN_BTR0; column <= COLUMN_NOTE; ++column) {
            cells.push_back(dialog->GetItemText(IDC_BAUDLY_PAIRS, row, column));
        }
        return cells;
    }

    void Search(const std::string& rate, const std::string& samplePoint) {
        dialog->TypeText(IDC_BAUDLY_RATE, rate);
        dialog->TypeText(IDC_BAUDLY_SAMPLE_POINT, samplePoint);
        dialog->Click(IDC_BAUDLY_SEARCH);
    }

    void Reverse(const std::string& btr0, const std::string& btr1) {
        dialog->TypeText(IDC_BAUDLY_BTR0, btr0);
        dialog->TypeText(IDC_BAUDLY_BTR1, btr1);
        dialog->Click(IDC_BAUDLY_REVERSE);
    }

    test::ScriptedHost host;
    std::unique_ptr<CBaudlyDlg> dialog;
};

TEST_F(BaudlyDlgTest, OpensWithTheAnswersFor500kAndThePair01_1C) {
    EXPECT_EQ(dialog->Template().caption, "波特率设置参考");
    std::vector<std::string> headings;
    for (const auto& column : dialog->GetColumns(IDC_BAUDLY_PAIRS)) {
        headings.push_back(column.heading);
    }
    EXPECT_EQ(headings, (Cells{"BTR0", "BTR1", "分频系数", "时间份额", "TSEG1", "TSEG2", "SJW",
                               "采样点", "波特率", "误差", "说明"}));
    EXPECT_EQ(dialog->GetDlgItemText(IDC_BAUDLY_RATE), "500000");
    EXPECT_EQ(dialog->GetItemCount(IDC_BAUDLY_PAIRS), 4);
    EXPECT_EQ(dialog->GetDlgItemText(IDC_BAUDLY_REVERSE_RESULT),
              "562500 bit/s，采样点 87.5%（分频系数 2，16 个时间份额，TSEG1 13，TSEG2 2，SJW 1）");
    EXPECT_TRUE(host.Boxes().empty());
}

struct SearchRow {
    const char* name;
    const char* rate;
    const char* samplePoint;
    const char* summary;
    int rows;
    Cells first;
    Cells last;
};

class BaudlySearchTest : public BaudlyDlgTest, public ::testing::WithParamInterface<SearchRow> {};

TEST_P(BaudlySearchTest, ListsThePairsRecommendedFirst) {
    const auto& row = GetParam();
    Search(row.rate, row.samplePoint);
    EXPECT_TRUE(host.Boxes().empty());
    EXPECT_EQ(dialog->GetDlgItemText(IDC_BAUDLY_SUMMARY), row.summary);
    ASSERT_EQ(dialog->GetItemCount(IDC_BAUDLY_PAIRS), row.rows);
    EXPECT_EQ(Row(0), row.first);
    EXPECT_EQ(Row(row.rows - 1), row.last);
}

// - 500k aims at 87.5 %: 36 periods = 2x18 | 3x12 | 4x9; 16/18 is nearest (0x01/0x1E).
//   The list's 0x01/0x3C (TSEG1 13, TSEG2 4) samples at 14/18 and follows the three.
// - 1000k aims at 75 %: 18 = 1x18 | 2x9; 14/18 and 7/9 sample alike, more quanta
//   first: the list's own 0x00/0x3C, then 0x01/0x15.
// - 125k at 75 %: 144 = 9x16 | 12x12 | 18x8 sample at 75 %, 8x18 | 16x9 at 77.8 % (the
//   list's 0x07/0x3C among them, marked in place), 6x24 (TSEG1 at most 16) at 17/24 last.
// - 50k: nine pairs within 0.5 %; the list's 0x10/0x4E is BRP 17 x 21 quanta =
//   357 periods: 50420 bit/s, +0.84 %, sampling at 16/21.
// - 800k wants 22.5 periods: 1x23 (TSEG1 at most 16: 17/23) gives 782609, -2.17 %;
//   22 periods as 2x11 sample at 9/11, nearer 80 % than 1x22's 17/22: 818182, +2.27 %.
// - 10k: nothing is slower than 64 x 25 periods, 11250 bit/s (16 + 8 quanta: 17/25).
INSTANTIATE_TEST_SUITE_P(
    Rates, BaudlySearchTest,
    ::testing::Values(
        SearchRow{"Rate500kWithTheListsPairLast",
                  "500k",
                  "",
                  "500000 bit/s，目标采样点 87.5%：3 组可用，第一组为推荐。波特率列表的 500kbps "
                  "设置与推荐的一组不同，两者都已列出。",
                  4,
                  {"0x01", "0x1E", "2", "18", "15", "2", "1", "88.9%", "500000", "+0.00%", "推荐"},
                  {"0x01", "0x3C", "2", "18", "13", "4", "1", "77.8%", "500000", "+0.00%",
                   "波特率列表的 500kbps 设置"}},
        SearchRow{"Rate1MIsTheListsPair",
                  "1M",
                  "",
                  "1000000 bit/s，目标采样点 75.0%：2 组可用，第一组为推荐。",
                  2,
                  {"0x00", "0x3C", "1", "18", "13", "4", "1", "77.8%", "1000000", "+0.00%",
                   "推荐，波特率列表的 1000kbps 设置"},
                  {"0x01", "0x15", "2", "9", "6", "2", "1", "77.8%", "1000000", "+0.00%", ""}},
        SearchRow{"Rate125kAt75",
                  "125000",
                  "75",
                  "125000 bit/s，目标采样点 75.0%：6 组可用，第一组为推荐。波特率列表的 125kbps "
                  "设置与推荐的一组不同，两者都已列出。",
                  6,
                  {"0x08", "0x3A", "9", "16", "11", "4", "1", "75.0%", "125000", "+0.00%", "推荐"},
                  {"0x05", "0x6F", "6", "24", "16", "7", "1", "70.8%", "125000", "+0.00%", ""}},
        SearchRow{"Rate50kShowsTheListsPairOutOfReach",
                  "50000",
                  "",
                  "50000 bit/s，目标采样点 87.5%：9 组可用，第一组为推荐。波特率列表的 50kbps "
                  "设置与推荐的一组不同，两者都已列出。",
                  10,
                  {"0x17", "0x1B", "24", "15", "12", "2", "1", "86.7%", "50000", "+0.00%", "推荐"},
                  {"0x10", "0x4E", "17", "21", "15", "5", "1", "76.2%", "50420", "+0.84%",
                   "波特率列表的 50kbps 设置"}},
        SearchRow{
            "Rate800kRefusedWithBothNeighbours",
            "800k",
            "",
            "没有一组 BTR0/BTR1 能使 800000 bit/s 的误差在 0.5% 以内。最接近的波特率：782609 "
            "bit/s（-2.17%）、818182 bit/s（+2.27%）。",
            2,
            {"0x00", "0x5F", "1", "23", "16", "6", "1", "73.9%", "782609", "-2.17%", "最接近"},
            {"0x01", "0x17", "2", "11", "8", "2", "1", "81.8%", "818182", "+2.27%", "最接近"}},
        SearchRow{
            "Rate10kRefusedBelowTheSlowest",
            "10k",
            "",
            "没有一组 BTR0/BTR1 能使 10000 bit/s 的误差在 0.5% 以内。最接近的波特率：11250 "
            "bit/s（+12.50%）。",
            1,
            {"0x3F", "0x7F", "64", "25", "16", "8", "1", "68.0%", "11250", "+12.50%", "最接近"},
            {"0x3F", "0x7F", "64", "25", "16", "8", "1", "68.0%", "11250", "+12.50%", "最接近"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedEntryRow {
    const char* name;
    int edit;
    const char* text;
    int button;
    const char* box;
};

class BaudlyRefusedEntryTest : public BaudlyDlgTest,
                               public ::testing::WithParamInterface<RefusedEntryRow> {};

TEST_P(BaudlyRefusedEntryTest, WarnsAndLeavesTheLastAnswers) {
    const auto& row = GetParam();
    const std::string summary = dialog->GetDlgItemText(IDC_BAUDLY_SUMMARY);
    const Cells first = Row(0);
    const std::string reverse = dialog->GetDlgItemText(IDC_BAUDLY_REVERSE_RESULT);
    dialog->TypeText(row.edit, row.text);
    dialog->Click(row.button);
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_EQ(host.Boxes()[0].text, row.box);
    EXPECT_EQ(host.Boxes()[0].caption, "警告");
    EXPECT_EQ(host.Boxes()[0].style, ui::MB_ICONQUESTION);
    EXPECT_EQ(dialog->GetDlgItemText(IDC_BAUDLY_SUMMARY), summary);
    EXPECT_EQ(dialog->GetItemCount(IDC_BAUDLY_PAIRS), 4);
    EXPECT_EQ(Row(0), first);
    EXPECT_EQ(dialog->GetDlgItemText(IDC_BAUDLY_REVERSE_RESULT), reverse);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, BaudlyRefusedEntryTest,
    ::testing::Values(RefusedEntryRow{"EmptyRate", IDC_BAUDLY_RATE, "", IDC_BAUDLY_SEARCH,
                                      "请输入波特率，如 500000、500k 或 1M!"},
                      RefusedEntryRow{"SamplePointOf100", IDC_BAUDLY_SAMPLE_POINT, "100",
                                      IDC_BAUDLY_SEARCH,
                                      "采样点应为 0 到 100 之间的百分数，或不填!"},
                      RefusedEntryRow{"ThreeHexDigits", IDC_BAUDLY_BTR0, "123", IDC_BAUDLY_REVERSE,
                                      "BTR0 和 BTR1 应为一到两位十六进制数，如 01 和 1C!"},
                      RefusedEntryRow{"EmptyRegister", IDC_BAUDLY_BTR1, "", IDC_BAUDLY_REVERSE,
                                      "BTR0 和 BTR1 应为一到两位十六进制数，如 01 和 1C!"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ReverseRow {
    const char* name;
    const char* btr0;
    const char* btr1;
    const char* result;
};

class BaudlyReverseTest : public BaudlyDlgTest, public ::testing::WithParamInterface<ReverseRow> {};

TEST_P(BaudlyReverseTest, GivesTheRateAndSamplePointOfAPair) {
    const auto& row = GetParam();
    Reverse(row.btr0, row.btr1);
    EXPECT_TRUE(host.Boxes().empty());
    EXPECT_EQ(dialog->GetDlgItemText(IDC_BAUDLY_REVERSE_RESULT), row.result);
}

// 0x07/0x3C: BRP 8, TSEG1 13, TSEG2 4: 144 periods. 0x26/0x5F: BRP 39 x 23 quanta =
// 897 periods, 20067 bit/s. 0xC0/0xBC: SJW 4, three samples, BRP 1 x 18 quanta.
INSTANTIATE_TEST_SUITE_P(
    Pairs, BaudlyReverseTest,
    ::testing::Values(
        ReverseRow{"ListsRow125k", "0x07", "3c",
                   "125000 bit/s，采样点 77.8%（分频系数 8，18 个时间份额，TSEG1 13，TSEG2 "
                   "4，SJW 1），即波特率列表的 125kbps 设置"},
        ReverseRow{"ListsRow20kIsNotExact", "26", "5F",
                   "20067 bit/s，采样点 73.9%（分频系数 39，23 个时间份额，TSEG1 16，TSEG2 "
                   "6，SJW 1），即波特率列表的 20kbps 设置"},
        ReverseRow{"JumpWidthAndThreeSamples", "C0", "BC",
                   "1000000 bit/s，采样点 77.8%（分频系数 1，18 个时间份额，TSEG1 13，TSEG2 "
                   "4，SJW 4，三次采样）"}),
    [](const auto& info) { return std::string(info.param.name); });

// Enter in the window searches, as the default button does.
TEST_F(BaudlyDlgTest, EnterSearchesTheTypedRate) {
    dialog->TypeText(IDC_BAUDLY_RATE, "1M");
    dialog->Command(ui::IDOK);
    EXPECT_EQ(dialog->GetItemCount(IDC_BAUDLY_PAIRS), 2);
}

}  // namespace
}  // namespace quillon::baudly
