#include "frontends/qt/ShowPagesOption.hpp"

#include "app/MainWindowIds.hpp"
#include "platform/system/Utf8Path.hpp"

namespace quillon::gui {

void ShowPages(app::CQuillonDlg& window) {
    window.ShowParameterPages(true);
}

void ShowSettingsDirectory(app::CQuillonDlg& window) {
    window.SetDlgItemText(app::IDC_STATUS,
                          "设置目录: " + sys::PathToUtf8(window.Services().SettingsDirectory()));
}

}  // namespace quillon::gui
