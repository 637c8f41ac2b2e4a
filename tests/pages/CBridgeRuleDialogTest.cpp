#include "pages/CBridgeRuleDialog.hpp"

#include <gtest/gtest.h>

#include "pages/BridgeRuleText.hpp"
#include "pages/PageFixture.hpp"

namespace quillon::test {
namespace {

using pages::ReadDataBox;
using D = pages::CBridgeRuleDialog;
using protocol::BridgeRule;

class BridgeRuleTest : public ::testing::Test, public PageFixture<D> {
  protected:
    BridgeRuleTest() {
        page.CreateListColumns();
        page.InitSelectors();
        page.RefreshList();
    }

    void AddRule(int direction, int trigger) {
        page.SelectItem(D::IDC_COMBO_DIRECTION, direction);
        page.SelectItem(D::IDC_COMBO_TRIGGER, trigger);
        page.Click(D::IDC_BUTTON_ADD);
    }
};

TEST(BridgeRuleText, ForwardedDescriptionCharacterForCharacter) {
    BridgeRule rule{};
    rule.dstId = 0x123;
    rule.dstFlags = 0xF0 | 2 | 8;
    rule.dstLength = 8;
    rule.dstDataMask = 0x01;
    rule.dstData[0] = 0x55;
    rule.kMask = 0x02;
    rule.mMask = 0x02;
    rule.k = 2;
    rule.m = 3;
    rule.yMax = 200;
    EXPECT_EQ(pages::ForwardedDescription(rule),
              "转换后ID=0x123，数据帧，标准帧，数据长度:8，数据:55, 2V+3 , V, V, V, V, V, V  "
              ",Y最大值：200");
}

TEST(BridgeRuleText, SourceDescriptionOfAnyFrameAndPaddedBytes) {
    BridgeRule rule{};
    rule.srcId = BridgeRule::ANY_ID;
    rule.srcFlags = 0xF0;
    rule.srcLength = 9;
    rule.srcDataMask = 0x02;
    rule.srcData[1] = 0x0A;
    EXPECT_EQ(pages::SourceDescription(rule),
              "源ID任意，数据帧或远程帧，扩展帧或标准帧，数据长度:任意，数据:XX   a  XX  XX  XX  "
              "XX  XX  XX  ");
    rule.srcLength = 2;
    rule.srcFlags = 0xF5;
    rule.srcId = 0x7FF;
    EXPECT_EQ(pages::SourceDescription(rule),
              "源ID=0x7ff，远程帧，扩展帧，数据长度:2，数据:XX   a  ");
}

TEST(BridgeRuleText, DataBoxes) {
    EXPECT_EQ(ReadDataBox("K").kind, pages::DataBoxKind::MultiplyK);
    EXPECT_EQ(ReadDataBox("KM").kind, pages::DataBoxKind::MultiplyKAddM);
    EXPECT_EQ(ReadDataBox("a").value, 0x0A);
    EXPECT_EQ(ReadDataBox("123").kind, pages::DataBoxKind::Unset);
    EXPECT_EQ(ReadDataBox("g").kind, pages::DataBoxKind::Unset);
    EXPECT_EQ(pages::ReadIdentifierText("123456789"), BridgeRule::ANY_ID);
}

TEST_F(BridgeRuleTest, StandardFormatMasksTheSourceIdentifier) {
    page.TypeText(D::IDC_EDIT_SRC_ID, "1FFFFFFF");
    page.SelectItem(D::IDC_COMBO_SRC_FORMAT, 1);
    page.TypeText(D::SRC_DATA_IDS[0], "55");
    page.TypeText(D::DST_DATA_IDS[1], "KM");
    page.TypeText(D::DST_DATA_IDS[2], "123");
    page.TypeText(D::DST_DATA_IDS[3], "K");
    page.Click(D::IDC_BUTTON_ADD);
    const BridgeRule& rule = page.Record().rules[0];
    EXPECT_EQ(rule.srcId, 0x7FFu);
    EXPECT_EQ(rule.srcFlags, 0xFA);
    EXPECT_EQ(rule.dstId, BridgeRule::ANY_ID);
    EXPECT_EQ(rule.dstFlags, 0xF6);
    EXPECT_EQ(rule.srcDataMask, 0x01);
    EXPECT_EQ(rule.srcData[0], 0x55);
    EXPECT_EQ(rule.kMask, 0x0A);
    EXPECT_EQ(rule.mMask, 0x02);
    EXPECT_EQ(rule.dstDataMask, 0x00) << "three digits are treated as empty";
    EXPECT_EQ(rule.srcLength, 8);
    EXPECT_EQ(rule.k, 1);
    EXPECT_EQ(page.GetItemText(D::IDC_LIST_RULES, 0, 3), "Y=1V+0");
}

TEST_F(BridgeRuleTest, AnyIdentifierStaysAnyWhateverTheFormat) {
    page.SelectItem(D::IDC_COMBO_SRC_TYPE, 2);
    page.SelectItem(D::IDC_COMBO_SRC_FORMAT, 2);
    page.SelectItem(D::IDC_COMBO_DST_FORMAT, 1);
    page.Click(D::IDC_BUTTON_ADD);
    EXPECT_EQ(page.Record().rules[0].srcId, BridgeRule::ANY_ID);
    EXPECT_EQ(page.Record().rules[0].srcFlags, 0xF0);
    EXPECT_EQ(page.Record().rules[0].dstId, BridgeRule::ANY_ID);
    EXPECT_EQ(page.GetItemText(D::IDC_LIST_RULES, 0, 4)
                  .rfind("源ID任意，数据帧或远程帧，扩展帧或标准帧", 0),
              0u);
}

TEST_F(BridgeRuleTest, StartRulesAndSwitchesDriveTheFlags) {
    page.Click(D::IDC_CHECK_CAN2_FORWARD_ALL);
    EXPECT_EQ(page.Record().bridgeFlags, 0x08);
    AddRule(2, 0);
    EXPECT_EQ(page.Record().bridgeFlags, 0x0B);
    EXPECT_EQ(page.GetItemText(D::IDC_LIST_RULES, 0, 1), "CAN1<->CAN2");
    EXPECT_EQ(page.GetItemText(D::IDC_LIST_RULES, 0, 2), "开始转发");
    page.SelectRows(D::IDC_LIST_RULES, {0});
    page.Click(D::IDC_BUTTON_DELETE);
    EXPECT_EQ(page.Record().bridgeFlags, 0x08);
}

// Each start direction sets its own bit, so a swap of the two shows; bits 4..7
// stay as the record had them.
struct StartFlagsCase {
    const char* name;
    int direction;
    int trigger;
    std::uint8_t flags;
};

class BridgeStartFlags : public BridgeRuleTest,
                         public ::testing::WithParamInterface<StartFlagsCase> {};

TEST_P(BridgeStartFlags, FollowTheStartRulesDirection) {
    page.Record().bridgeFlags = 0x50;
    AddRule(GetParam().direction, GetParam().trigger);
    EXPECT_EQ(page.Record().bridgeFlags, 0x50 | GetParam().flags);
}

INSTANTIATE_TEST_SUITE_P(Rules, BridgeStartFlags,
                         ::testing::Values(StartFlagsCase{"StartCan1ToCan2SetsBitZero", 0, 0, 0x01},
                                           StartFlagsCase{"StartCan2ToCan1SetsBitOne", 1, 0, 0x02},
                                           StartFlagsCase{"StartBothWaysSetsBoth", 2, 0, 0x03},
                                           StartFlagsCase{"StopCan1ToCan2SetsNone", 0, 1, 0x00},
                                           StartFlagsCase{"OrdinaryCan2ToCan1SetsNone", 1, 2,
                                                          0x00}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BridgeRuleTest, DeletingOneStartRuleLeavesTheOtherDirectionsBit) {
    AddRule(0, 0);
    AddRule(1, 0);
    EXPECT_EQ(page.Record().bridgeFlags, 0x03);
    page.SelectRows(D::IDC_LIST_RULES, {0});
    page.Click(D::IDC_BUTTON_DELETE);
    EXPECT_EQ(page.Record().bridgeFlags, 0x02);
}

struct ForwardAllCase {
    const char* name;
    int checkBox;
    int otherBox;
    std::uint8_t flag;
};

class BridgeForwardAll : public BridgeRuleTest,
                         public ::testing::WithParamInterface<ForwardAllCase> {};

TEST_P(BridgeForwardAll, EachBoxOwnsItsBit) {
    page.Click(GetParam().checkBox);
    EXPECT_EQ(page.Record().bridgeFlags, GetParam().flag);
    page.Click(GetParam().checkBox);
    EXPECT_EQ(page.Record().bridgeFlags, 0x00);
    page.Record().bridgeFlags = GetParam().flag;
    page.RefreshList();
    EXPECT_EQ(page.IsDlgButtonChecked(GetParam().checkBox), ui::BST_CHECKED);
    EXPECT_EQ(page.IsDlgButtonChecked(GetParam().otherBox), ui::BST_UNCHECKED);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, BridgeForwardAll,
    ::testing::Values(ForwardAllCase{"Can1ForwardAllIsBitTwo", D::IDC_CHECK_CAN1_FORWARD_ALL,
                                     D::IDC_CHECK_CAN2_FORWARD_ALL, 0x04},
                      ForwardAllCase{"Can2ForwardAllIsBitThree", D::IDC_CHECK_CAN2_FORWARD_ALL,
                                     D::IDC_CHECK_CAN1_FORWARD_ALL, 0x08}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BridgeRuleText, KAndMOnDifferentBytesAreToldApart) {
    BridgeRule rule{};
    rule.dstId = BridgeRule::ANY_ID;
    rule.dstLength = 3;
    rule.kMask = 0x01;
    rule.mMask = 0x02;
    rule.k = 4;
    rule.m = 5;
    EXPECT_EQ(pages::ForwardedDescription(rule),
              "转换后ID不变，数据帧或远程帧保持不变，扩展帧或标准帧保持不变，数据长度:3，数据:4V, "
              "V+5 , V");
}

TEST_F(BridgeRuleTest, EleventhRuleRefusedAndDeletionClosesUp) {
    for (int i = 0; i < 11; ++i) {
        AddRule(i % 2, 2);
    }
    EXPECT_EQ(host.Boxes(), std::vector{WarningBox(135, "规则数量已满!")});
    page.SelectRows(D::IDC_LIST_RULES, {0, 2});
    page.Click(D::IDC_BUTTON_DELETE);
    EXPECT_EQ(page.Record().ruleCount, 8);
    EXPECT_EQ(page.GetItemText(D::IDC_LIST_RULES, 0, 1), "CAN2->CAN1");
    EXPECT_EQ(page.GetItemText(D::IDC_LIST_RULES, 0, 2), "普通转发");
}

TEST_F(BridgeRuleTest, CountBeyondTheTableShowsTheTableOnly) {
    page.Record().ruleCount = 255;
    page.RefreshList();
    EXPECT_EQ(page.GetItemCount(D::IDC_LIST_RULES), 10);
}

}  // namespace
}  // namespace quillon::test
