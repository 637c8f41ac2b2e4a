// The main window: the main dialog's window, its ten pages inside the tab
// control, and the system menu with the main dialog's items and the adapter
// dialog.
//
// The pages are child dialogs of the tab control and show or hide as their
// dialogs do, so tab switching stays the model's business. Closing the
// window, by its close box, Escape or Enter, goes through the main dialog's
// CloseWindow, which disconnects first; during an upgrade it asks first.
// Enter while the focus is on a page only ends the typing there: it would
// otherwise close the window and lose the values typed but not yet saved.
//
// With the pages shown the tab control goes below the main controls, which
// move up into the band the hidden tab strip leaves empty at the top.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "app/CQuillonDlg.hpp"
#include "frontends/win32/DialogWindow.hpp"

namespace quillon::win32 {

class MainWindow : public DialogWindow {
  public:
    /// Opens the adapter dialog (the system menu's item) and returns once it closed.
    using AdapterDialogOpener = std::function<void()>;
    /// Releases threads waiting for a box before the window closes.
    using BoxDismisser = std::function<void()>;

    MainWindow(app::CQuillonDlg& main, const std::u16string& faceName,
               AdapterDialogOpener openAdapterDialog, BoxDismisser dismissBoxes);
    ~MainWindow() override;

    app::CQuillonDlg& Main() const { return main_; }
    DialogWindow& PageWindow(int tab) const { return *pages_.at(static_cast<std::size_t>(tab)); }
    /// Shows every pending model change of the window and its pages now.
    void FlushAll();
    /// Lays the window out for the pages shown or not.
    void LayOut();

    /// The system menu's adapter item (a multiple of 16 below the system's own,
    /// above the core's items so it never answers for one of them).
    static constexpr unsigned IDM_ADAPTER = 0x0100;
    static constexpr const char* ADAPTER_MENU_TEXT = "选择适配器(&D)...";

  protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void RequestClose(int command) override;

  private:
    struct Placed {
        HWND control;
        RECT rect;  ///< as the template places it, client pixels
    };

    void CreatePages(const std::u16string& faceName);
    void BuildSystemMenu();
    void UpdateMenuChecks();
    bool RunSystemCommand(unsigned command);
    bool FocusOnPage() const;
    int DialogUnitsY(int units) const;
    int DialogUnitsX(int units) const;
    SIZE TabSizeForPages() const;

    app::CQuillonDlg& main_;
    AdapterDialogOpener openAdapterDialog_;
    BoxDismisser dismissBoxes_;
    std::array<std::unique_ptr<DialogWindow>, app::CQuillonDlg::PAGE_COUNT> pages_;
    std::vector<Placed> placed_;
    SIZE templateSize_{};
};

}  // namespace quillon::win32
