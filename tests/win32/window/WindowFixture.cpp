#include "tests/win32/window/WindowFixture.hpp"

#include "app/WindowStart.hpp"
#include "frontends/win32/ControlMirror.hpp"
#include "frontends/win32/DialogFont.hpp"
#include "frontends/win32/Utf16.hpp"
#include "frontends/win32/WindowApplication.hpp"
#include "platform/kelvix/AdapterRegistry.hpp"
#include "sim/SimDevices.hpp"

namespace quillon::test {

WindowFixture::WindowFixture() : faceName(win32::DialogFaceName()) {
    EXPECT_TRUE(win32::PrepareControls());
    sim::RegisterSimDevice();
    kelvix::SetAdapterSpecOverride("sim:state=none");
    win32::InstallWindowFactory(host, {}, faceName);
}

WindowFixture::~WindowFixture() {
    if (window && window->IsRunning()) {
        host.DismissBoxesFromOtherThreads();
        window->ToggleConnection();
    }
    view.reset();
    window.reset();
    kelvix::SetAdapterSpecOverride("");
}

void WindowFixture::Open(bool showPages, sys::SystemServices* services) {
    opening_ = true;
    window = std::make_unique<app::CQuillonDlg>(host, services ? *services : system.services);
    window->Create();
    app::PrepareMainWindow(*window, showPages);
    view = std::make_unique<win32::MainWindow>(
        *window, faceName, [this] { win32::OpenAdapterDialog(host, *window); },
        [this] { host.DismissBoxesFromOtherThreads(); });
    ShowWindow(view->Handle(), SW_SHOW);
    opening_ = false;
    Pump();
}

void WindowFixture::Pump() {
    host.RunPendingWindowMessages();
    host.PumpMessages();
    if (view) {
        view->FlushAll();
    }
}

bool WindowFixture::PumpUntil(const std::function<bool()>& done, unsigned limitMs) {
    const ULONGLONG end = GetTickCount64() + limitMs;
    while (!done()) {
        if (GetTickCount64() >= end) {
            return false;
        }
        // Waits for the next message, the way a message loop does.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        Pump();
    }
    Pump();
    return true;
}

void WindowFixture::Click(HWND dialog, int id) {
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    Pump();
}

std::string Text(HWND window) {
    return win32::WindowText(window);
}

std::string Cell(HWND list, int row, int column) {
    std::wstring text(512, L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    const auto length = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                     reinterpret_cast<LPARAM>(&item));
    text.resize(static_cast<std::size_t>(length));
    return win32::Utf8Text(text);
}

}  // namespace quillon::test
