#include "pages/CCanReplayDlg.hpp"

#include <gtest/gtest.h>

#include "pages/PageFixture.hpp"
#include "platform/byteorder/ByteOrder.hpp"

namespace quillon::test {
namespace {

using D = pages::CCanReplayDlg;

class CanReplayTest : public ::testing::Test, public PageFixture<D> {
  protected:
    CanReplayTest() {
        page.CreateListColumns();
        page.RefreshList();
    }

    void AddRule(const std::string& name, bool channel1 = true, bool channel2 = true) {
        page.TypeText(D::IDC_EDIT_FILE_NAME, name);
        page.CheckDlgButton(D::IDC_CHECK_CHANNEL1, channel1 ? ui::BST_CHECKED : 0);
        page.CheckDlgButton(D::IDC_CHECK_CHANNEL2, channel2 ? ui::BST_CHECKED : 0);
        page.Click(D::IDC_BUTTON_ADD);
    }
};

TEST_F(CanReplayTest, SixteenCharacterNameFillsTheNameBytes) {
    page.Record().auxValue = 77;
    page.TypeText(D::IDC_EDIT_TIMES, "3");
    page.TypeText(D::IDC_EDIT_INTERVAL, "60");
    AddRule("abcdefghijklmnop");
    const auto bytes = page.Record().rules[0].ToBytes();
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 24), "abcdefghijklmnop");
    EXPECT_EQ(bytes[24], 0);
    EXPECT_EQ(byteorder::GetU16LE(bytes, 2), 3);
    EXPECT_EQ(page.Record().auxValue, 0u);
    EXPECT_EQ(Row(D::IDC_LIST_RULES, 0, 5),
              (std::vector<std::string>{"0", "abcdefghijklmnop.alog", "3", "60",
                                        "允许通道1数据 ，允许通道2数据"}));
}

TEST_F(CanReplayTest, RefusalsInOrderLeaveTheListUnchanged) {
    AddRule("abcdefghijklmnopq");
    AddRule("");
    EXPECT_EQ(host.Boxes(), (std::vector{WarningBox(137, "文件名不能大于16个字符!"),
                                         WarningBox(137, "请输入文件名!")}));
    EXPECT_EQ(page.Record().ruleCount, 0);
    for (int i = 0; i < 10; ++i) {
        AddRule("f" + std::to_string(i));
    }
    host.ClearBoxes();
    AddRule("");
    EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{"规则数量已满!"}) << "capacity first";
}

TEST_F(CanReplayTest, ChannelColumnTexts) {
    AddRule("a", false, false);
    AddRule("b", true, false);
    AddRule("c", false, true);
    EXPECT_EQ(page.GetItemText(D::IDC_LIST_RULES, 0, 4), "未允许道数据");
    EXPECT_EQ(page.GetItemText(D::IDC_LIST_RULES, 1, 4), "允许通道1数据 ");
    EXPECT_EQ(page.GetItemText(D::IDC_LIST_RULES, 2, 4), "允许通道2数据");
    EXPECT_EQ(page.Record().rules[0].channelMask & 0x03, 0);
    EXPECT_EQ(page.Record().rules[1].channelMask & 0x03, 0x01) << "channel 1 is bit 0";
    EXPECT_EQ(page.Record().rules[2].channelMask & 0x03, 0x02) << "channel 2 is bit 1";
}

TEST_F(CanReplayTest, ChannelColumnReadsTheBitsOfARecordFromTheDevice) {
    page.Record().ruleCount = 2;
    page.Record().rules[0].channelMask = 0x01;
    page.Record().rules[1].channelMask = 0x02;
    page.RefreshList();
    EXPECT_EQ(page.GetItemText(D::IDC_LIST_RULES, 0, 4), "允许通道1数据 ");
    EXPECT_EQ(page.GetItemText(D::IDC_LIST_RULES, 1, 4), "允许通道2数据");
}

TEST_F(CanReplayTest, ChineseNameIsStoredWholeInTheAnsiCodePageAndShownBack) {
    AddRule("a回放");
    const auto bytes = page.Record().rules[0].ToBytes();
    const std::vector<std::uint8_t> name(bytes.begin() + 8, bytes.begin() + 14);
    EXPECT_EQ(name, (std::vector<std::uint8_t>{'a', 0xBB, 0xD8, 0xB7, 0xC5, 0x00}))
        << "'a', GBK of both characters, then the terminator";
    EXPECT_EQ(page.GetItemText(D::IDC_LIST_RULES, 0, 1), "a回放.alog");
}

struct NameLengthCase {
    const char* name;
    const char* text;
    bool accepted;
};

class ReplayNameLength : public CanReplayTest,
                         public ::testing::WithParamInterface<NameLengthCase> {};

// The limit is the 16 bytes of the stored name, counted in the ANSI code page.
TEST_P(ReplayNameLength, IsMeasuredInStoredBytes) {
    AddRule(GetParam().text);
    if (GetParam().accepted) {
        EXPECT_TRUE(host.Boxes().empty());
        EXPECT_EQ(page.Record().ruleCount, 1);
        EXPECT_EQ(page.GetItemText(D::IDC_LIST_RULES, 0, 1),
                  std::string(GetParam().text) + ".alog");
    } else {
        EXPECT_EQ(host.Boxes(), std::vector{WarningBox(137, "文件名不能大于16个字符!")});
        EXPECT_EQ(page.Record().ruleCount, 0);
        EXPECT_EQ(page.Record().rules[0], protocol::ReplayRule{}) << "nothing stored";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, ReplayNameLength,
    ::testing::Values(NameLengthCase{"EightChineseIsSixteenBytes", "回放回放回放回放", true},
                      NameLengthCase{"NineChineseIsEighteenBytes", "回放回放回放回放回", false},
                      NameLengthCase{"FifteenAsciiAndOneChinese", "abcdefghijklmno回", false},
                      NameLengthCase{"FourteenAsciiAndOneChinese", "abcdefghijklmn回", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CanReplayTest, DeletingRowsZeroAndTwoOfFourKeepsAuxValue) {
    for (const char* name : {"r0", "r1", "r2", "r3"}) {
        AddRule(name);
    }
    page.Record().auxValue = 9;
    page.SelectRows(D::IDC_LIST_RULES, {0, 2});
    page.Click(D::IDC_BUTTON_DELETE);
    EXPECT_EQ(page.Record().ruleCount, 2);
    EXPECT_EQ(page.GetItemText(D::IDC_LIST_RULES, 0, 1), "r1.alog");
    EXPECT_EQ(page.GetItemText(D::IDC_LIST_RULES, 1, 1), "r3.alog");
    EXPECT_EQ(page.Record().auxValue, 9u);
}

TEST_F(CanReplayTest, RepeatCountKeepsItsLowSixteenBitsAndRadiosSetTheMode) {
    page.TypeText(D::IDC_EDIT_REPEAT_ALL, "65536");
    EXPECT_EQ(page.Record().repeatAll, 0);
    page.TypeText(D::IDC_EDIT_REPEAT_ALL, "65535");
    EXPECT_EQ(page.Record().repeatAll, 65535);
    page.Click(D::IDC_RADIO_ALL_CAN2);
    EXPECT_EQ(page.Record().sendMode, 2);
    page.Record().sendMode = 7;
    page.RefreshList();
    EXPECT_EQ(page.IsDlgButtonChecked(D::IDC_RADIO_ALL_CAN2), ui::BST_CHECKED)
        << "an unknown mode leaves the radios";
    page.Record().sendMode = 1;
    page.RefreshList();
    EXPECT_EQ(page.IsDlgButtonChecked(D::IDC_RADIO_ALL_CAN1), ui::BST_CHECKED);
    EXPECT_EQ(page.IsDlgButtonChecked(D::IDC_RADIO_ALL_CAN2), ui::BST_UNCHECKED);
}

TEST_F(CanReplayTest, CountBeyondTheTableShowsTheTableOnly) {
    page.Record().ruleCount = 11;
    page.RefreshList();
    EXPECT_EQ(page.GetItemCount(D::IDC_LIST_RULES), 10);
}

}  // namespace
}  // namespace quillon::test
