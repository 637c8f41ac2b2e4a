#include "frontends/qt/ShowPagesOption.hpp"

#include "app/WindowStart.hpp"

namespace quillon::gui {

void ShowPages(app::CQuillonDlg& window) {
    window.ShowParameterPages(true);
}

void ShowSettingsDirectory(app::CQuillonDlg& window) {
    app::ShowSettingsDirectory(window);
}

}  // namespace quillon::gui
