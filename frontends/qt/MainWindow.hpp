// The main window: the main dialog's view, its ten pages inside the tab
// control, and the window menu with the about box.
//
// The pages sit in the tab control's pane and show or hide as their dialogs
// do, so tab switching stays the model's business (SwitchPage). Closing the
// window, by its close box, Escape or Enter, goes through the main dialog's
// CloseWindow, which disconnects first: no receive thread outlives the window.
// The window menu also opens the adapter dialog, beside the about item; its
// item for the parameter pages lays the window out again when they come or go.
// Enter while the focus is on a page only ends the typing there: it would
// otherwise close the window and lose the values typed but not yet saved.
//
// With `showPages` the window makes room for the tab control below the main
// controls; whether the tab control shows is still the model's state.
#pragma once

#include <QMenu>
#include <array>

#include "app/CQuillonDlg.hpp"
#include "frontends/qt/DialogWindow.hpp"
#include "frontends/qt/QtHost.hpp"

namespace quillon::gui {

class MainWindow : public DialogWindow {
  public:
    MainWindow(app::CQuillonDlg& window, QtHost& host, const DialogUnits& units, bool showPages);

    app::CQuillonDlg& Main() const { return main_; }
    DialogView& PageView(int tab) const { return *pages_.at(static_cast<std::size_t>(tab)); }
    /// The window menu: the platform's usual entries and the main dialog's system menu.
    QMenu& WindowMenu() { return menu_; }
    /// Shows every pending model change of the window and its pages now.
    void FlushAll();
    /// Opens the adapter dialog (window menu) and returns once it has closed.
    void OpenAdapterDialog();

    static constexpr const char* ADAPTER_MENU_TEXT = "选择适配器(&D)...";

  protected:
    void RequestClose(int command) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void CreatePages(const DialogUnits& units);
    void LayOut(const DialogUnits& units, bool showPages);
    void BuildWindowMenu();
    void RunSystemCommand(unsigned command);

    app::CQuillonDlg& main_;
    QtHost& host_;
    DialogUnits units_;
    std::array<DialogView*, app::CQuillonDlg::PAGE_COUNT> pages_{};
    QMenu menu_;
};

}  // namespace quillon::gui
