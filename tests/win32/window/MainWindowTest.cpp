// The main window of quillon.exe under the window system: connect, read, the
// pages' controls showing what the model holds, the boxes with their exact
// texts and captions, the about box and the adapter dialog from the system
// menu, and every template's controls where their dialog units put them.
#include "app/CAdapterDlg.hpp"
#include "app/MainWindowTemplate.hpp"
#include "frontends/win32/SystemHeaders.hpp"
#include "tests/win32/window/LayoutCheck.hpp"
#include "tests/win32/window/WindowFixture.hpp"

namespace quillon::test {
namespace {

using MainWindowTest = WindowFixture;

/// Every way a page's native controls can differ from its model.
std::vector<std::string> ShownDifferences(HWND page, const ui::Dialog& model) {
    std::vector<std::string> out;
    for (const ui::ControlTemplate& control : model.Template().controls) {
        if (control.id == ui::IDC_STATIC) {
            continue;
        }
        HWND native = GetDlgItem(page, control.id);
        const ui::ControlState state = model.State(control.id);
        const std::string what = "control " + std::to_string(control.id);
        switch (control.kind) {
            case ui::ControlKind::Edit:
            case ui::ControlKind::Static:
            case ui::ControlKind::PushButton:
                if (Text(native) != state.text) {
                    out.push_back(what + " shows \"" + Text(native) + "\", model \"" + state.text +
                                  "\"");
                }
                break;
            case ui::ControlKind::CheckBox:
            case ui::ControlKind::RadioButton:
                if (SendMessageW(native, BM_GETCHECK, 0, 0) != state.check) {
                    out.push_back(what + " check differs");
                }
                break;
            case ui::ControlKind::ComboBox:
                if (SendMessageW(native, CB_GETCURSEL, 0, 0) != state.selection ||
                    SendMessageW(native, CB_GETCOUNT, 0, 0) !=
                        static_cast<LRESULT>(state.items.size())) {
                    out.push_back(what + " selection or items differ");
                }
                break;
            case ui::ControlKind::Slider:
                if (SendMessageW(native, TBM_GETPOS, 0, 0) != state.position) {
                    out.push_back(what + " position differs");
                }
                break;
            case ui::ControlKind::ListView: {
                const auto rows = SendMessageW(native, LVM_GETITEMCOUNT, 0, 0);
                if (rows != static_cast<LRESULT>(state.rows.size())) {
                    out.push_back(what + " has " + std::to_string(rows) + " rows");
                    break;
                }
                for (std::size_t r = 0; r < state.rows.size(); ++r) {
                    for (std::size_t c = 0; c < state.rows[r].size(); ++c) {
                        if (Cell(native, static_cast<int>(r), static_cast<int>(c)) !=
                            state.rows[r][c]) {
                            out.push_back(what + " cell " + std::to_string(r) + "," +
                                          std::to_string(c) + " differs");
                        }
                    }
                }
                break;
            }
            default:
                break;
        }
        if ((IsWindowEnabled(native) != FALSE) != state.enabled) {
            out.push_back(what + " enabled state differs");
        }
    }
    return out;
}

TEST_F(MainWindowTest, ConnectThenReadShowsTheDeviceOnEveryPage) {
    watcher.AnswerBoxesWith({IDOK});
    Open(true);
    Click(Main(), app::IDC_CONNECT);
    ASSERT_TRUE(window->IsRunning());
    EXPECT_EQ(Text(MainControl(app::IDC_CONNECT)), "断开设备");

    Click(Main(), app::IDC_READ_PARAMETERS);
    ASSERT_TRUE(PumpUntil([this] { return window->ReadsJudged() == 1; }));

    ASSERT_EQ(watcher.Boxes().size(), 1u);
    EXPECT_EQ(watcher.Boxes()[0].text, "读取设备参数成功!");
    EXPECT_EQ(watcher.Boxes()[0].caption, "通知");
    EXPECT_NE(Text(MainControl(app::IDC_DEVICE_INFO)).find("CAN记录仪"), std::string::npos)
        << Text(MainControl(app::IDC_DEVICE_INFO));
    for (int tab = 0; tab < app::CQuillonDlg::PAGE_COUNT; ++tab) {
        EXPECT_EQ(ShownDifferences(Page(tab), window->Page(tab)), std::vector<std::string>{})
            << "tab " << tab;
    }
}

TEST_F(MainWindowTest, ChoosingATabShowsItsPageThroughTheModel) {
    Open(true);
    HWND tabs = MainControl(app::IDC_TAB);
    ASSERT_TRUE(IsWindowVisible(tabs));
    SendMessageW(tabs, TCM_SETCURSEL, 2, 0);
    NMHDR change{tabs, static_cast<UINT_PTR>(app::IDC_TAB), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(Main(), WM_NOTIFY, app::IDC_TAB, reinterpret_cast<LPARAM>(&change));
    Pump();
    EXPECT_EQ(window->GetCurSel(app::IDC_TAB), 2);
    EXPECT_TRUE(IsWindowVisible(Page(2)));
    EXPECT_FALSE(IsWindowVisible(Page(0)));
}

TEST_F(MainWindowTest, BoxesCarryTheCoresTextsAndCaptions) {
    watcher.AnswerBoxesWith({IDOK, IDNO});
    Open(true);
    Click(Main(), app::IDC_READ_PARAMETERS);
    Click(Main(), app::IDC_CONNECT);
    Click(Main(), app::IDC_STORAGE_INIT);

    const std::vector<SeenWindow> boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "请先连接设备!");
    EXPECT_EQ(boxes[0].caption, "警告");
    EXPECT_EQ(boxes[1].text, "确认初始化？");
    EXPECT_EQ(boxes[1].caption, "Quillon");
    EXPECT_FALSE(window->StorageInitPending());  // answered No: nothing sent
}

TEST_F(MainWindowTest, AboutBoxAndAdapterDialogOpenFromTheSystemMenuAndClose) {
    Open(false);
    std::vector<std::string> layout;
    watcher.OnDialog([&layout, this](HWND dialog, const SeenWindow&) {
        const ui::Dialog* model = host.DialogShownBy(dialog);
        ASSERT_NE(model, nullptr);
        for (const std::string& line : LayoutMismatches(dialog, *model)) {
            layout.push_back(model->Template().caption + ": " + line);
        }
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    SendMessageW(Main(), WM_SYSCOMMAND, app::IDM_ABOUTBOX, 0);
    SendMessageW(Main(), WM_SYSCOMMAND, win32::MainWindow::IDM_ADAPTER, 0);

    ASSERT_EQ(watcher.Seen().size(), 2u);
    EXPECT_EQ(watcher.Seen()[0].caption, "关于 Quillon");
    EXPECT_EQ(watcher.Seen()[1].caption, app::AdapterDlgTemplate().caption);
    EXPECT_EQ(layout, std::vector<std::string>{});
    EXPECT_TRUE(IsWindowEnabled(Main()));  // the owner is given back
    EXPECT_FALSE(window->IsEnded());
}

TEST_F(MainWindowTest, EnterInAPageEditKeepsTheWindowOpen) {
    Open(true);
    HWND edit = nullptr;
    for (const ui::ControlTemplate& control : window->Page(0).Template().controls) {
        if (control.kind == ui::ControlKind::Edit && window->Page(0).IsWindowVisible(control.id) &&
            window->Page(0).IsWindowEnabled(control.id)) {
            edit = PageControl(0, control.id);
            break;
        }
    }
    ASSERT_NE(edit, nullptr);
    SetFocus(edit);
    ASSERT_EQ(GetFocus(), edit);
    MSG enter{edit, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    IsDialogMessageW(Main(), &enter);
    Pump();
    EXPECT_FALSE(window->IsEnded());
}

TEST_F(MainWindowTest, TheWindowAndEveryPagesControlsSitWhereTheirDialogUnitsPutThem) {
    Open(false);
    EXPECT_EQ(LayoutMismatches(Main(), *window), std::vector<std::string>{});
    for (int tab = 0; tab < app::CQuillonDlg::PAGE_COUNT; ++tab) {
        EXPECT_EQ(LayoutMismatches(Page(tab), window->Page(tab)), std::vector<std::string>{})
            << "tab " << tab;
    }
}

}  // namespace
}  // namespace quillon::test
