#include "pages/CCANAdvanceDlg.hpp"

#include <gtest/gtest.h>

#include "pages/BitPattern.hpp"
#include "pages/PageFixture.hpp"

namespace quillon::test {
namespace {

using pages::BitButtonId;
using D = pages::CCANAdvanceDlg;

class CanAdvanceTest : public ::testing::Test, public PageFixture<D> {
  protected:
    CanAdvanceTest() {
        page.CreateListColumns();
        page.InitSelectors();
        page.RefreshList();
    }

    void ClickBit(int label, int times) {
        for (int i = 0; i < times; ++i) {
            page.Click(BitButtonId(label));
        }
    }
};

TEST(BitButtons, IdsRunFromTheLeftmostLabel) {
    EXPECT_EQ(BitButtonId(29), 1141);
    EXPECT_EQ(BitButtonId(3), 1167);
    EXPECT_EQ(BitButtonId(2), 1174);
    EXPECT_EQ(BitButtonId(1), 1175);
}

TEST_F(CanAdvanceTest, BitButtonCyclesThroughZeroOneAndX) {
    EXPECT_EQ(page.GetDlgItemText(1175), "1\r\n\r\nX");
    std::vector<std::string> captions;
    for (int i = 0; i < 3; ++i) {
        page.Click(1175);
        captions.push_back(page.GetDlgItemText(1175));
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"1\r\n\r\n0", "1\r\n\r\n1", "1\r\n\r\nX"}));
    EXPECT_EQ(page.GetDlgItemText(1141), "29\r\n\r\nX");
}

TEST_F(CanAdvanceTest, StandardPatternValueMaskAndText) {
    page.SelectItem(D::IDC_COMBO_FRAME_FORMAT, 0);
    ClickBit(11, 2);  // 1
    ClickBit(10, 1);  // 0
    ClickBit(9, 1);   // 0
    ClickBit(1, 2);   // 1
    page.Click(D::IDC_BUTTON_ADD);
    EXPECT_EQ(page.Record().matchValue[0], 0x401u);
    EXPECT_EQ(page.Record().matchMask[0], 0xFFFFFF01u);
    EXPECT_EQ(page.Record().frameFormat[0], 0);
    EXPECT_EQ(page.GetItemText(D::IDC_LIST_FILTERS, 0, 1), "标准帧");
    const std::string text = page.GetItemText(D::IDC_LIST_FILTERS, 0, 2);
    EXPECT_EQ(text, "1 0 0 X X X X X X X 1 ");
    EXPECT_EQ(text.size(), 22u);
}

TEST_F(CanAdvanceTest, AllOpenPatternsKeepTheUpperMaskBits) {
    page.Click(D::IDC_BUTTON_ADD);
    page.SelectItem(D::IDC_COMBO_FRAME_FORMAT, 0);
    page.Click(D::IDC_BUTTON_ADD);
    EXPECT_EQ(page.Record().matchMask[0], 0xE0000000u);
    EXPECT_EQ(page.Record().matchMask[1], 0xFFFFF800u);
    std::string open29;
    for (int i = 0; i < 29; ++i) {
        open29 += "X ";
    }
    EXPECT_EQ(page.GetItemText(D::IDC_LIST_FILTERS, 0, 2), open29);
    EXPECT_EQ(page.GetItemText(D::IDC_LIST_FILTERS, 0, 1), "扩展帧");
}

TEST_F(CanAdvanceTest, StandardFormatLocksUpperButtonsKeepingTheirStates) {
    ClickBit(12, 1);
    page.SelectItem(D::IDC_COMBO_FRAME_FORMAT, 0);
    EXPECT_FALSE(page.IsWindowEnabled(BitButtonId(12)));
    EXPECT_FALSE(page.IsWindowEnabled(BitButtonId(29)));
    EXPECT_TRUE(page.IsWindowEnabled(BitButtonId(11)));
    page.SelectItem(D::IDC_COMBO_FRAME_FORMAT, 1);
    EXPECT_TRUE(page.IsWindowEnabled(BitButtonId(12)));
    EXPECT_EQ(page.StateOfBit(11), D::BIT_ZERO);
}

TEST_F(CanAdvanceTest, FifteenthFilterIsRefused) {
    for (int i = 0; i < 15; ++i) {
        page.Click(D::IDC_BUTTON_ADD);
    }
    EXPECT_EQ(host.Boxes(), std::vector{WarningBox(133, "高级滤波器数量已满!")});
    EXPECT_EQ(page.Record().filterCount, 14);
}

TEST_F(CanAdvanceTest, CountBeyondTheTableIsCutWhenShown) {
    page.Record().filterCount = 20;
    page.Record().enable = 1;
    page.RefreshList();
    EXPECT_EQ(page.Record().filterCount, 14);
    EXPECT_EQ(page.GetItemCount(D::IDC_LIST_FILTERS), 14);
    EXPECT_EQ(page.IsDlgButtonChecked(D::IDC_CHECK_ENABLE), ui::BST_CHECKED);
}

TEST_F(CanAdvanceTest, DeletingRowsZeroAndTwoKeepsFormatValueAndMaskTogether) {
    for (int i = 0; i < 3; ++i) {
        page.SelectItem(D::IDC_COMBO_FRAME_FORMAT, i == 1 ? 0 : 1);
        page.Click(D::IDC_BUTTON_ADD);
    }
    page.SelectRows(D::IDC_LIST_FILTERS, {0, 2});
    page.Click(D::IDC_BUTTON_DELETE);
    EXPECT_EQ(page.Record().filterCount, 1);
    EXPECT_EQ(page.Record().frameFormat[0], 0);
    EXPECT_EQ(page.Record().matchMask[0], 0xFFFFF800u);
    EXPECT_EQ(page.GetItemText(D::IDC_LIST_FILTERS, 0, 0), "0");
}

TEST_F(CanAdvanceTest, EnableBoxSetsTheRecordAtOnce) {
    page.Click(D::IDC_CHECK_ENABLE);
    EXPECT_EQ(page.Record().enable, 1);
    page.Click(D::IDC_CHECK_ENABLE);
    EXPECT_EQ(page.Record().enable, 0);
}

}  // namespace
}  // namespace quillon::test
