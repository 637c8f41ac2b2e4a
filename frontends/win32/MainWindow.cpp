#include "frontends/win32/MainWindow.hpp"

#include "frontends/win32/SystemHeaders.hpp"

#include <algorithm>

#include "app/MainWindowTemplate.hpp"
#include "frontends/win32/Utf16.hpp"

namespace quillon::win32 {

namespace {

RECT ChildRect(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

MainWindow::MainWindow(app::CQuillonDlg& main, const std::u16string& faceName,
                       AdapterDialogOpener openAdapterDialog, BoxDismisser dismissBoxes)
    : DialogWindow(main, DialogRole::Window, nullptr, faceName, false),
      main_(main),
      openAdapterDialog_(std::move(openAdapterDialog)),
      dismissBoxes_(std::move(dismissBoxes)) {
    templateSize_ = {DialogUnitsX(main.Template().width), DialogUnitsY(main.Template().height)};
    for (HWND child = GetWindow(Handle(), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        placed_.push_back({child, ChildRect(child)});
    }
    CreatePages(faceName);
    BuildSystemMenu();
    LayOut();
}

MainWindow::~MainWindow() {
    // Hidden first, the pages go without a repaint of the window each.
    ShowWindow(Handle(), SW_HIDE);
    for (auto& page : pages_) {
        page.reset();  // before the tab control that holds them goes
    }
}

int MainWindow::DialogUnitsX(int units) const {
    RECT rect{0, 0, units, 0};
    MapDialogRect(Handle(), &rect);
    return rect.right;
}

int MainWindow::DialogUnitsY(int units) const {
    RECT rect{0, 0, 0, units};
    MapDialogRect(Handle(), &rect);
    return rect.bottom;
}

void MainWindow::CreatePages(const std::u16string& faceName) {
    HWND tabs = Control(app::IDC_TAB);
    // Tab and Shift+Tab reach into the pages.
    SetWindowLongW(tabs, GWL_EXSTYLE, GetWindowLongW(tabs, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    for (int tab = 0; tab < app::CQuillonDlg::PAGE_COUNT; ++tab) {
        pages_[static_cast<std::size_t>(tab)] =
            std::make_unique<DialogWindow>(main_.Page(tab), DialogRole::Page, tabs, faceName, true);
    }
}

SIZE MainWindow::TabSizeForPages() const {
    SIZE page{};
    for (const auto& window : pages_) {
        RECT rect{};
        GetWindowRect(window->Handle(), &rect);
        page.cx = std::max(page.cx, rect.right - rect.left);
        page.cy = std::max(page.cy, rect.bottom - rect.top);
    }
    RECT tab{0, 0, page.cx, page.cy};
    SendMessageW(Control(app::IDC_TAB), TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&tab));
    return {tab.right - tab.left, tab.bottom - tab.top};
}

void MainWindow::LayOut() {
    HWND tabs = Control(app::IDC_TAB);
    const bool shown = main_.PagesShown();
    const int lift = shown ? DialogUnitsY(app::CommandAreaTop(main_.Template())) -
                                 DialogUnitsY(app::PAGES_MARGIN_DLU)
                           : 0;
    for (const Placed& placed : placed_) {
        if (placed.control != tabs) {
            SetWindowPos(placed.control, nullptr, placed.rect.left, placed.rect.top - lift, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    SIZE client = templateSize_;
    if (shown) {
        const SIZE tabSize = TabSizeForPages();
        const int left = DialogUnitsX(app::PAGES_MARGIN_DLU);
        const int top = templateSize_.cy - lift;
        SetWindowPos(tabs, nullptr, left, top, tabSize.cx, tabSize.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        RECT display{0, 0, tabSize.cx, tabSize.cy};
        SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
        for (const auto& page : pages_) {
            RECT rect{};
            GetWindowRect(page->Handle(), &rect);
            // A tab strip wider than the pages leaves room; the pages sit centred in it.
            const int x =
                display.left +
                std::max(0L, (display.right - display.left - (rect.right - rect.left)) / 2);
            SetWindowPos(page->Handle(), HWND_TOP, x, display.top, 0, 0,
                         SWP_NOSIZE | SWP_NOACTIVATE);
        }
        client.cx = std::max(client.cx, left + tabSize.cx + DialogUnitsX(app::PAGES_MARGIN_DLU));
        client.cy = top + tabSize.cy + DialogUnitsY(app::PAGES_MARGIN_DLU);
    }
    RECT frame{0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(Handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(Handle(), GWL_EXSTYLE)));
    // Centred on its monitor again, so the grown window stays on the screen.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(Handle(), nullptr, work.left + std::max(0L, (work.right - work.left - width) / 2),
                 work.top + std::max(0L, (work.bottom - work.top - height) / 2), width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::BuildSystemMenu() {
    HMENU menu = GetSystemMenu(Handle(), FALSE);
    for (const app::SystemMenuItem& item : main_.SystemMenu()) {
        if (item.text.empty()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuW(menu, MF_STRING, item.command, WideText(item.text).c_str());
        }
    }
    AppendMenuW(menu, MF_STRING, IDM_ADAPTER, WideText(ADAPTER_MENU_TEXT).c_str());
}

void MainWindow::UpdateMenuChecks() {
    HMENU menu = GetSystemMenu(Handle(), FALSE);
    for (const app::SystemMenuItem& item : main_.SystemMenu()) {
        if (item.checkable) {
            CheckMenuItem(
                menu, item.command,
                MF_BYCOMMAND | (main_.MenuItemChecked(item.command) ? MF_CHECKED : MF_UNCHECKED));
        }
    }
}

bool MainWindow::RunSystemCommand(unsigned command) {
    const unsigned item = command & 0xFFF0u;
    if (item == IDM_ADAPTER) {
        openAdapterDialog_();
        return true;
    }
    if (item == SC_CLOSE) {
        RequestClose(IDCANCEL);
        return true;
    }
    const bool ours = std::any_of(main_.SystemMenu().begin(), main_.SystemMenu().end(),
                                  [item](const app::SystemMenuItem& entry) {
                                      return !entry.text.empty() && entry.command == item;
                                  });
    if (!ours) {
        return false;  // the system's own items (move, minimise)
    }
    const bool pagesShown = main_.PagesShown();
    main_.SendMessage(WM_SYSCOMMAND, command, 0);
    if (main_.PagesShown() != pagesShown) {
        FlushAll();
        LayOut();
    }
    return true;
}

bool MainWindow::FocusOnPage() const {
    HWND focus = GetFocus();
    return focus != nullptr && IsChild(Control(app::IDC_TAB), focus) != FALSE;
}

bool MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
        case WM_SYSCOMMAND:
            result = 0;
            return RunSystemCommand(static_cast<unsigned>(wParam));
        case WM_INITMENUPOPUP:
            if (HIWORD(lParam) != 0) {
                UpdateMenuChecks();
            }
            return false;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK && lParam == 0 && FocusOnPage()) {
                return true;  // Enter on a page only ends the typing there
            }
            return DialogWindow::HandleMessage(message, wParam, lParam, result);
        default:
            return DialogWindow::HandleMessage(message, wParam, lParam, result);
    }
}

void MainWindow::FlushAll() {
    Flush();
    for (const auto& page : pages_) {
        page->Flush();
    }
}

void MainWindow::RequestClose(int) {
    if (main_.UpgradeRunning()) {
        main_.CloseWindow();  // asks; a confirmed close follows once the upgrade has stopped
        return;
    }
    // The receive thread may be waiting for a box; it must not wait for one
    // while the disconnect joins it.
    dismissBoxes_();
    main_.CloseWindow();
}

}  // namespace quillon::win32
