#include "app/CAboutDlg.hpp"

#include "app/MainWindowTemplate.hpp"

namespace quillon::app {

CAboutDlg::CAboutDlg(ui::Host& host) : ui::Dialog(AboutBoxTemplate(), host) {
    OnCommand(ui::IDOK, [this] { EndDialog(ui::IDOK); });
    OnCommand(ui::IDCANCEL, [this] { EndDialog(ui::IDCANCEL); });
}

}  // namespace quillon::app
