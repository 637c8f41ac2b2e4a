#include "frontends/qt/ShowPagesOption.hpp"

#include "app/MainWindowIds.hpp"
#include "platform/system/Utf8Path.hpp"

namespace quillon::gui {

static_assert(SHOW_PAGES_BUTTONS[0] == app::IDC_WRITE_PARAMETERS &&
              SHOW_PAGES_BUTTONS[1] == app::IDC_READ_PARAMETERS &&
              SHOW_PAGES_BUTTONS[2] == app::IDC_STORAGE_INIT &&
              SHOW_PAGES_BUTTONS[3] == app::IDC_CONVERTER &&
              SHOW_PAGES_BUTTONS[4] == app::IDC_BAUD_CALCULATOR);

void ShowPages(app::CQuillonDlg& window) {
    window.ShowWindow(app::IDC_TAB, true);
    for (int id : SHOW_PAGES_BUTTONS) {
        window.ShowWindow(id, true);
        window.EnableWindow(id, true);
    }
}

void ShowSettingsDirectory(app::CQuillonDlg& window) {
    window.SetDlgItemText(app::IDC_STATUS,
                          "设置目录: " + sys::PathToUtf8(window.Services().SettingsDirectory()));
}

}  // namespace quillon::gui
