// What a user sets on a page goes through the model to the device, and a
// read brings it back into the native controls.
#include "frontends/win32/SystemHeaders.hpp"
#include "pages/CSysParaDlg.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "tests/win32/window/WindowFixture.hpp"

namespace quillon::test {
namespace {

using ReadBackTest = WindowFixture;
using Sys = pages::CSysParaDlg;
constexpr int SYSTEM_TAB = 2;
constexpr int FILE_SIZE_MB = 64;

TEST_F(ReadBackTest, SliderAndCheckBoxSetOnThePageAreWrittenAndReadBackFromTheDevice) {
    const std::filesystem::path device = system.directory.Path() / "device.state";
    kelvix::SetAdapterSpecOverride("sim:state=" + device.string());
    watcher.AnswerBoxesWith({IDOK, IDOK, IDOK});
    Open(true);
    Click(Main(), app::IDC_CONNECT);
    Click(Main(), app::IDC_READ_PARAMETERS);
    ASSERT_TRUE(PumpUntil([this] { return window->ReadsJudged() == 1; }));
    ASSERT_EQ(SendMessageW(PageControl(SYSTEM_TAB, Sys::IDC_CHECK_CYCLIC), BM_GETCHECK, 0, 0),
              BST_UNCHECKED);

    // The thumb dragged to 64 (the trackbar tells its parent), the box clicked.
    HWND slider = PageControl(SYSTEM_TAB, Sys::IDC_SLIDER_FILE_SIZE);
    SendMessageW(slider, TBM_SETPOS, TRUE, FILE_SIZE_MB);
    SendMessageW(Page(SYSTEM_TAB), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, FILE_SIZE_MB),
                 reinterpret_cast<LPARAM>(slider));
    Click(Page(SYSTEM_TAB), Sys::IDC_CHECK_CYCLIC);
    EXPECT_EQ(window->Page(SYSTEM_TAB).GetPos(Sys::IDC_SLIDER_FILE_SIZE), FILE_SIZE_MB);
    EXPECT_EQ(Text(PageControl(SYSTEM_TAB, Sys::IDC_EDIT_FILE_SIZE)), "64");
    EXPECT_EQ(window->Page(SYSTEM_TAB).IsDlgButtonChecked(Sys::IDC_CHECK_CYCLIC), BST_CHECKED);
    Click(Main(), app::IDC_WRITE_PARAMETERS);
    Click(Main(), app::IDC_CONNECT);
    ASSERT_EQ(watcher.Boxes().size(), 2u);
    ASSERT_EQ(watcher.Boxes()[1].text, "写入参数成功，请重启设备生效!");

    // Set back on the page, then read again: what the controls show now came
    // from the device.
    SendMessageW(slider, TBM_SETPOS, TRUE, 1);
    SendMessageW(Page(SYSTEM_TAB), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 1),
                 reinterpret_cast<LPARAM>(slider));
    Click(Page(SYSTEM_TAB), Sys::IDC_CHECK_CYCLIC);
    ASSERT_EQ(Text(PageControl(SYSTEM_TAB, Sys::IDC_EDIT_FILE_SIZE)), "1");
    Click(Main(), app::IDC_CONNECT);
    Click(Main(), app::IDC_READ_PARAMETERS);
    ASSERT_TRUE(PumpUntil([this] { return window->ReadsJudged() == 2; }));
    ASSERT_EQ(watcher.Boxes().size(), 3u);
    EXPECT_EQ(watcher.Boxes()[2].text, "读取设备参数成功!");

    EXPECT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), FILE_SIZE_MB);
    EXPECT_EQ(Text(PageControl(SYSTEM_TAB, Sys::IDC_EDIT_FILE_SIZE)), "64");
    EXPECT_EQ(SendMessageW(PageControl(SYSTEM_TAB, Sys::IDC_CHECK_CYCLIC), BM_GETCHECK, 0, 0),
              BST_CHECKED);
}

}  // namespace
}  // namespace quillon::test
