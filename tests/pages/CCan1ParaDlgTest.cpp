#include "pages/CCan1ParaDlg.hpp"

#include <gtest/gtest.h>

#include "pages/PageFixture.hpp"

namespace quillon::test {
namespace {

using pages::CCan1ParaDlg;
using D = CCan1ParaDlg;

class Can1ParaTest : public ::testing::Test, public PageFixture<CCan1ParaDlg> {
  protected:
    Can1ParaTest() {
        page.CreateListColumns();
        page.Record() = protocol::CanPara::Defaults();
        page.LoadFromRecord();
    }

    void AddFilter(const std::string& from, const std::string& to, int interval = 0) {
        page.TypeText(D::IDC_EDIT_ID_START, from);
        page.TypeText(D::IDC_EDIT_ID_END, to);
        page.TypeText(D::IDC_EDIT_INTERVAL, std::to_string(interval));
        page.Click(D::IDC_BUTTON_ADD);
    }
};

TEST_F(Can1ParaTest, FixedRateFillsAndLocksTheTimingBoxesCustomUnlocksThem) {
    page.SelectItem(D::IDC_COMBO_BAUD, 3);
    EXPECT_EQ(page.GetDlgItemText(D::IDC_EDIT_BTR0), "7");
    EXPECT_EQ(page.GetDlgItemText(D::IDC_EDIT_BTR1), "3c");
    EXPECT_FALSE(page.IsWindowEnabled(D::IDC_EDIT_BTR0));
    page.SelectItem(D::IDC_COMBO_BAUD, 7);
    EXPECT_TRUE(page.IsWindowEnabled(D::IDC_EDIT_BTR1));
    EXPECT_EQ(page.GetDlgItemText(D::IDC_EDIT_BTR0), "7");
}

struct BtrCase {
    const char* name;
    const char* btr0;
    const char* btr1;
    std::uint8_t storedBtr0;
    std::uint8_t storedBtr1;
    const char* complaint;  ///< nullptr = none
};

class BtrStoreTest : public Can1ParaTest, public ::testing::WithParamInterface<BtrCase> {};

TEST_P(BtrStoreTest, StoresOrRefusesTheTimingTexts) {
    const BtrCase& c = GetParam();
    page.Record().btr0 = 0x40;
    page.Record().btr1 = 0x27;
    page.Record().workMode = 0;
    page.SelectItem(D::IDC_COMBO_BAUD, 7);
    page.SelectItem(D::IDC_COMBO_WORK_MODE, 1);
    page.TypeText(D::IDC_EDIT_BTR0, c.btr0);
    page.TypeText(D::IDC_EDIT_BTR1, c.btr1);
    page.StoreToRecord();
    EXPECT_EQ(page.Record().btr0, c.storedBtr0);
    EXPECT_EQ(page.Record().btr1, c.storedBtr1);
    EXPECT_EQ(page.Record().baudIndex, 7);
    if (c.complaint == nullptr) {
        EXPECT_TRUE(host.Boxes().empty());
        EXPECT_EQ(page.Record().workMode, 1);
    } else {
        EXPECT_EQ(host.Boxes(), std::vector{WarningBox(129, c.complaint)});
        EXPECT_EQ(page.Record().workMode, 0) << "fields after the refused one stay";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, BtrStoreTest,
    ::testing::Values(BtrCase{"OneDigit", "1", "3c", 0x01, 0x3C, nullptr},
                      BtrCase{"EmptyKeepsField", "", "", 0x40, 0x27, nullptr},
                      BtrCase{"ThreeDigitsBtr0", "13c", "3c", 0x40, 0x27, "BTR0数据出错"},
                      BtrCase{"ThreeDigitsBtr1", "5", "13c", 0x05, 0x27, "BTR1数据出错"},
                      BtrCase{"NotHexadecimal", "g1", "3c", 0x40, 0x27, "BTR0数据出错"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Can1ParaTest, ListTextsOfAddedFilters) {
    page.SelectItem(D::IDC_COMBO_FRAME_TYPE, 0);
    page.SelectItem(D::IDC_COMBO_FRAME_FORMAT, 0);
    page.SelectItem(D::IDC_COMBO_TRIGGER, 2);
    AddFilter("100", "1ff", -5);
    page.SelectItem(D::IDC_COMBO_FRAME_TYPE, -1);
    page.SelectItem(D::IDC_COMBO_FRAME_FORMAT, -1);
    page.SelectItem(D::IDC_COMBO_TRIGGER, -1);
    AddFilter("0", "1fffffff");

    const auto headings = page.GetColumns(D::IDC_LIST_FILTERS);
    ASSERT_EQ(headings.size(), 7u);
    EXPECT_EQ(headings[1].heading, "帧格式");
    EXPECT_EQ(headings[2].heading, "帧类型");
    EXPECT_EQ(Row(D::IDC_LIST_FILTERS, 0, 7),
              (std::vector<std::string>{"0", "数据帧", "标准帧", "100", "1ff", "-5", "常规记录"}));
    EXPECT_EQ(Row(D::IDC_LIST_FILTERS, 1, 7),
              (std::vector<std::string>{"1", "远程帧", "扩展帧", "0", "1fffffff", "0", ""}));
    const auto& second = page.Record().filters[1];
    EXPECT_EQ(second.frameType, 1);
    EXPECT_EQ(second.frameFormat, 1);
    EXPECT_EQ(second.trigger, 255);
    EXPECT_EQ(second.idEnd, 0x1FFFFFFFu);
    EXPECT_EQ(page.Record().filters[0].idStart, 0x100u);
}

TEST_F(Can1ParaTest, RefusedIdentifiersLeaveTheCountAndList) {
    for (const char* bad : {"123456789", "7g"}) {
        AddFilter("1", bad);
        EXPECT_EQ(page.Record().filterCount, 0) << bad;
    }
    EXPECT_EQ(host.BoxTexts(),
              (std::vector<std::string>{"过滤器 ID 数据出错", "过滤器 ID 数据出错"}));
    EXPECT_EQ(page.Record().filters[0].idStart, 1u) << "the field reached before the stop stays";
    EXPECT_EQ(page.GetItemCount(D::IDC_LIST_FILTERS), 0);
}

TEST_F(Can1ParaTest, RefusedIntervalAddsNothing) {
    page.TypeText(D::IDC_EDIT_INTERVAL, "ten");
    page.Click(D::IDC_BUTTON_ADD);
    EXPECT_EQ(page.Record().filterCount, 0);
    EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{"请输入一个整数。"});
}

TEST_F(Can1ParaTest, TwentyFirstFilterIsRefused) {
    for (int i = 0; i < 21; ++i) {
        AddFilter("1", "2", i);
    }
    EXPECT_EQ(host.Boxes(), std::vector{WarningBox(129, "滤波器数量已满!")});
    ASSERT_EQ(page.GetItemCount(D::IDC_LIST_FILTERS), 20);
    EXPECT_EQ(page.GetItemText(D::IDC_LIST_FILTERS, 19, 0), "19");
}

TEST_F(Can1ParaTest, DeletingRowsOneAndThreeOfFiveClosesUp) {
    for (int i = 0; i < 5; ++i) {
        AddFilter("1", "2", i * 10);
    }
    page.SelectRows(D::IDC_LIST_FILTERS, {1, 3});
    page.Click(D::IDC_BUTTON_DELETE);
    ASSERT_EQ(page.Record().filterCount, 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(Row(D::IDC_LIST_FILTERS, row, 6)[0], std::to_string(row));
        EXPECT_EQ(Row(D::IDC_LIST_FILTERS, row, 6)[5], std::to_string(row * 20));
    }
    page.Click(D::IDC_BUTTON_DELETE);
    EXPECT_EQ(host.Boxes(), std::vector{NoticeBox(129, "请选择一行删除")});
}

TEST_F(Can1ParaTest, CountBeyondTheTableShowsTheTableOnly) {
    page.Record().filterCount = 200;
    page.RefreshList();
    EXPECT_EQ(page.GetItemCount(D::IDC_LIST_FILTERS), 20);
    EXPECT_EQ(page.Record().filterCount, 200) << "stored as received";
}

TEST_F(Can1ParaTest, StartupAdjustmentFollowsTheRate) {
    page.Record().baudIndex = 7;
    page.Record().btr0 = 0x12;
    page.ApplyBaudTable();
    page.LoadFromRecord();
    EXPECT_TRUE(page.IsWindowEnabled(D::IDC_EDIT_BTR0));
    EXPECT_EQ(page.GetDlgItemText(D::IDC_EDIT_BTR0), "12");
    page.Record().baudIndex = 3;
    page.ApplyBaudTable();
    EXPECT_EQ(page.Record().btr0, 0x07);
    EXPECT_EQ(page.Record().btr1, 0x3C);
    EXPECT_FALSE(page.IsWindowEnabled(D::IDC_EDIT_BTR1));
}

}  // namespace
}  // namespace quillon::test
