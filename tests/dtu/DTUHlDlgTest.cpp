#include "dtu/DTUHlDlg.hpp"

#include <gtest/gtest.h>

#include "dtu/DtuFixture.hpp"

namespace quillon::test {
namespace {

using D = dtu::DTUHlDlg;

class DtuAdvTest : public ::testing::Test, public DtuFixture {
  protected:
    DtuAdvTest() { advanced.LoadDtuAdv(); }
};

TEST_F(DtuAdvTest, MissingFileShowsDefaultsInTheControlsOnly) {
    EXPECT_EQ(advanced.GetDlgItemText(D::IDC_EDIT_BACKUP_PORT), "9088");
    EXPECT_EQ(advanced.GetDlgItemText(D::IDC_EDIT_APN), "CMNET");
    EXPECT_FALSE(advanced.IsWindowEnabled(D::IDC_EDIT_APN));
    EXPECT_EQ(advanced.GetDlgItemText(D::IDC_EDIT_TIMED_START_MIN), "1440");
    EXPECT_EQ(advanced.IsDlgButtonChecked(D::IDC_RADIO_TCP), ui::BST_UNCHECKED);
    EXPECT_EQ(advanced.Record(), protocol::DtuAdvPara{});
}

TEST_F(DtuAdvTest, EmptyAndFullBackupAddresses) {
    advanced.TypeText(D::IDC_EDIT_BACKUP_ADDR, "");
    EXPECT_TRUE(advanced.CollectDtuAdv());
    EXPECT_EQ(advanced.Record().backupAddrLen, 0);
    advanced.TypeText(D::IDC_EDIT_BACKUP_ADDR, std::string(32, 'b'));
    advanced.Click(D::IDC_BUTTON_SAVE);
    const auto file = FileBytes("QXCfgDTUHL.dat");
    ASSERT_EQ(file.size(), 196u);
    EXPECT_EQ(file[32], 'b');
    EXPECT_EQ(file[33], 32);
}

TEST_F(DtuAdvTest, LongApnStopsTheCollectAfterThePort) {
    advanced.Click(D::IDC_CHECK_APN_MODIFY);
    advanced.TypeText(D::IDC_EDIT_APN, std::string(33, 'a'));
    advanced.TypeText(D::PHONE_IDS[0], "13800000000");
    EXPECT_FALSE(advanced.CollectDtuAdv());
    EXPECT_EQ(host.BoxTexts(), std::vector<std::string>{"输入APN长度错误!"});
    EXPECT_EQ(advanced.Record().backupPort, 9088u);
    EXPECT_EQ(advanced.Record().smsPhones[0].length, 0);
    advanced.TypeText(D::IDC_EDIT_APN, std::string(32, 'a'));
    advanced.CollectDtuAdv();
    EXPECT_EQ(advanced.Record().apnLen, 32);
    EXPECT_EQ(advanced.Record().ToBytes()[73], 'a');
}

TEST_F(DtuAdvTest, FullWidthDigitEndsItsSlotOnly) {
    advanced.TypeText(D::PHONE_IDS[1], "12345");
    advanced.CollectDtuAdv();
    advanced.TypeText(D::PHONE_IDS[1],
                      "9\xEF\xBC\x99"
                      "8");  // 9, full-width 9, 8
    // Typing stops at 15 characters; a longer text can only be set.
    advanced.SetDlgItemText(D::PHONE_IDS[6], "1234567890123456");
    advanced.TypeText(D::IDC_EDIT_NO_SIGNAL_MIN, "7");
    advanced.CollectDtuAdv();
    EXPECT_EQ(host.BoxTexts(),
              (std::vector<std::string>{"输入电话内容错误!", "输入电话长度错误!"}));
    const auto& slot = advanced.Record().smsPhones[1];
    EXPECT_EQ(slot.length, 3);
    EXPECT_EQ(std::string(slot.digits.begin(), slot.digits.begin() + 5),
              "9\x19"
              "345");
    EXPECT_EQ(advanced.Record().wakePhone.length, 0);
    EXPECT_EQ(advanced.Record().noSignalRebootMin, 7u);
}

TEST_F(DtuAdvTest, TypingStopsAtTheEditLimits) {
    advanced.TypeText(D::IDC_EDIT_BACKUP_ADDR, std::string(70, 'b'));
    EXPECT_EQ(advanced.GetDlgItemText(D::IDC_EDIT_BACKUP_ADDR), std::string(64, 'b'));
    for (const int id : D::PHONE_IDS) {
        advanced.TypeText(id, "12345678901234567890");
        EXPECT_EQ(advanced.GetDlgItemText(id), "123456789012345") << id;
    }
    advanced.Click(D::IDC_CHECK_APN_MODIFY);
    advanced.TypeText(D::IDC_EDIT_APN, std::string(40, 'a'));
    EXPECT_EQ(advanced.GetDlgItemText(D::IDC_EDIT_APN), std::string(40, 'a')) << "no APN limit";
}

TEST_F(DtuAdvTest, UnchosenProtocolIsStoredAsZeroAndShownAsTcp) {
    advanced.Click(D::IDC_BUTTON_SAVE);
    EXPECT_EQ(advanced.Record().netProtocol, 0);
    EXPECT_EQ(advanced.Record().rtcAutoCal, 1);
    advanced.LoadDtuAdv();
    EXPECT_EQ(advanced.IsDlgButtonChecked(D::IDC_RADIO_TCP), ui::BST_CHECKED);
    advanced.Click(D::IDC_RADIO_UDP);
    advanced.CollectDtuAdv();
    EXPECT_EQ(advanced.Record().netProtocol, 2);
}

TEST_F(DtuAdvTest, ModifyBoxControlsTheApnEditAtOnce) {
    advanced.Click(D::IDC_CHECK_APN_MODIFY);
    EXPECT_TRUE(advanced.IsWindowEnabled(D::IDC_EDIT_APN));
    EXPECT_EQ(advanced.Record().apnModify, 1);
    advanced.Click(D::IDC_CHECK_APN_MODIFY);
    EXPECT_FALSE(advanced.IsWindowEnabled(D::IDC_EDIT_APN));
    EXPECT_EQ(advanced.Record().apnModify, 0);
}

}  // namespace
}  // namespace quillon::test
