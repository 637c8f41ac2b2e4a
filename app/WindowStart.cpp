#include "app/WindowStart.hpp"

#include "platform/system/Utf8Path.hpp"

namespace quillon::app {

void ShowSettingsDirectory(CQuillonDlg& window) {
    window.SetDlgItemText(IDC_STATUS, STATUS_SETTINGS_DIRECTORY +
                                          sys::PathToUtf8(window.Services().SettingsDirectory()));
}

void PrepareMainWindow(CQuillonDlg& window, bool showPagesOption) {
    if (showPagesOption || window.PagesRemembered()) {
        window.ShowParameterPages(true);
    }
    ShowSettingsDirectory(window);
}

}  // namespace quillon::app
