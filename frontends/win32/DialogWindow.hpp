// The native window of one model dialog: created from the dialog's template
// in memory (so dialog units are the system's own), bound both ways to the
// dialog's live state.
//
// User input (clicks, typing, selections, the slider, tab changes) goes into
// the model, and the control then shows what the model made of it. Model
// changes are reported by the observer callback, from any thread and maybe
// with the model's lock held: the window only notes the control id there and
// posts itself one flush message; the flush shows the current state of every
// noted control on the user-interface thread.
#pragma once

#include "frontends/win32/SystemHeaders.hpp"

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>

#include "frontends/win32/ControlClasses.hpp"
#include "frontends/win32/ControlMirror.hpp"
#include "platform/ui/Dialog.hpp"

namespace quillon::win32 {

/// A window or control the system would not create.
class WindowError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// The flush a window posts itself after model changes.
inline constexpr UINT WM_APP_FLUSH = WM_APP + 1;

class DialogWindow : private ui::DialogObserver {
  public:
    /// Creates the window (hidden); throws WindowError when the system refuses
    /// it or one of its controls. `followDialogVisibility`: the window shows and
    /// hides with its dialog (pages).
    DialogWindow(ui::Dialog& dialog, DialogRole role, HWND parent, const std::u16string& faceName,
                 bool followDialogVisibility);
    virtual ~DialogWindow();
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    ui::Dialog& Model() const { return dialog_; }
    HWND Handle() const { return window_; }
    /// The native control of `id`, or null.
    HWND Control(int id) const;
    /// Shows every model change noted so far now.
    void Flush();

  protected:
    /// The dialog procedure's work; returns whether the message was handled
    /// (and sets `result`).
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
    /// Escape, Enter or the close box: the dialog's OK or Cancel as its button
    /// would (a disabled button refuses), else the dialog ends.
    virtual void RequestClose(int command);

  private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Bind(HWND window);
    void OnCommand(int id, int code, HWND control);
    void OnNotify(const NMHDR& header);
    void Reconcile(int id);
    void OnControlChanged(const ui::Dialog& dialog, int controlId) override;
    void Show(int id);

    ui::Dialog& dialog_;
    bool followDialogVisibility_;
    HWND window_ = nullptr;
    std::map<int, ControlMirror> controls_;
    /// Set while the window shows model state: the controls' own
    /// notifications then are not user input.
    int applying_ = 0;

    std::mutex changedMutex_;
    std::set<int> changed_;
    bool flushPosted_ = false;
};

}  // namespace quillon::win32
