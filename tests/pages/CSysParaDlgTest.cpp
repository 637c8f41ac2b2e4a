#include "pages/CSysParaDlg.hpp"

#include <gtest/gtest.h>

#include "pages/PageFixture.hpp"

namespace quillon::test {
namespace {

using D = pages::CSysParaDlg;

class SysParaTest : public ::testing::Test, public PageFixture<D> {
  protected:
    SysParaTest() { page.SetStartupState(); }
};

TEST_F(SysParaTest, DraggingShowsThePositionInTheSizeBox) {
    EXPECT_EQ(page.GetDlgItemText(D::IDC_EDIT_FILE_SIZE), "1");
    EXPECT_EQ(page.IsDlgButtonChecked(D::IDC_CHECK_SYSTEM_TIME), ui::BST_CHECKED);
    page.DragSlider(D::IDC_SLIDER_FILE_SIZE, 500);
    EXPECT_EQ(page.GetDlgItemText(D::IDC_EDIT_FILE_SIZE), "128");
}

TEST_F(SysParaTest, OptionsRoundTripIncludingTheHiddenBox) {
    protocol::SysPara shown{};
    shown.fileSizeMB = 64;
    shown.firstFrameTimeZero = 1;
    shown.errorProofing = 3;
    shown.sysOption = 0x5A;
    page.ShowRecord(shown);
    EXPECT_FALSE(page.IsWindowVisible(D::IDC_CHECK_FIRST_FRAME_ZERO));
    EXPECT_EQ(page.GetDlgItemText(D::IDC_EDIT_FILE_SIZE), "64");
    protocol::SysPara taken = shown;
    taken.errorProofing = 0;
    page.StoreToRecord(taken);
    EXPECT_EQ(taken, shown);
    page.Click(D::IDC_CHECK_ERROR_PROOFING);
    page.StoreToRecord(taken);
    EXPECT_EQ(taken.errorProofing, 0);
}

TEST_F(SysParaTest, IdentityTextsStartEmptyAndAreShown) {
    EXPECT_EQ(page.GetDlgItemText(D::IDC_EDIT_SERIAL), "");
    page.SetIdentityTexts("Ver_3", "Ver_10", "00112233445566778899AABB", "CAN网桥");
    EXPECT_EQ(page.GetDlgItemText(D::IDC_EDIT_FW_VERSION), "Ver_10");
    EXPECT_EQ(page.GetDlgItemText(D::IDC_EDIT_DEVICE_TYPE), "CAN网桥");
}

}  // namespace
}  // namespace quillon::test
