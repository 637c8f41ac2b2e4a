// The real main window of quillon.exe, created in the test's process on the
// simulated device and driven only through window messages by control id,
// as a user's clicks arrive. Every box and dialog it opens is found and
// answered by the watcher.
#pragma once

#include "frontends/win32/MainWindow.hpp"
#include "frontends/win32/Win32Host.hpp"
#include "support/FakeSystem.hpp"
#include "tests/win32/WindowWatcher.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>

namespace quillon::test {

class WindowFixture : public ::testing::Test {
  protected:
    WindowFixture();
    ~WindowFixture() override;

    /// Creates the main window as quillon.exe does, with or without
    /// `--show-pages`, on `services` (default: the fake ones).
    void Open(bool showPages, sys::SystemServices* services = nullptr);
    /// Runs the window messages waiting now, then shows every model change.
    void Pump();
    /// Runs window messages until `done` or `limitMs` pass; whether `done` came.
    bool PumpUntil(const std::function<bool()>& done, unsigned limitMs = 20000);
    /// Presses the button `id` of `dialog` as a click would (BM_CLICK).
    void Click(HWND dialog, int id);
    HWND Main() const { return view->Handle(); }
    HWND MainControl(int id) const { return GetDlgItem(view->Handle(), id); }
    HWND Page(int tab) const { return view->PageWindow(tab).Handle(); }
    HWND PageControl(int tab, int id) const { return GetDlgItem(Page(tab), id); }

    FakeSystem system;
    win32::Win32Host host;
    WindowWatcher watcher{[this](HWND window) {
        if (host.DialogShownBy(window) != nullptr) {
            return WindowWatcher::Role::ModelDialog;
        }
        return opening_ || (view && window == view->Handle()) || testWindows.count(window) != 0
                   ? WindowWatcher::Role::Ignored
                   : WindowWatcher::Role::SystemBox;
    }};
    std::unique_ptr<app::CQuillonDlg> window;
    std::unique_ptr<win32::MainWindow> view;
    std::u16string faceName;
    /// Windows the test shows itself, never answered by the watcher.
    std::set<HWND> testWindows;

  private:
    bool opening_ = false;
};

/// The text of a window or control.
std::string Text(HWND window);
/// A list view's cell, read with LVM_GETITEMTEXTW.
std::string Cell(HWND list, int row, int column);

}  // namespace quillon::test
