// The dialog model's host on the window system itself.
//
// Message boxes are MessageBoxW and the file dialogs GetOpenFileNameW and
// GetSaveFileNameW, owned by the window of the asking dialog. Asked for on another thread, a
// box is carried to the user-interface thread through the model's queue and
// the asking thread waits for the answer. Every message or task the model
// queues posts a window message to the host's message-only window; its
// handler pumps the model's queue, so posted model messages run on the
// user-interface thread in the order they came. RunModal creates the dialog's
// window (through the window factory) and runs the message loop, with
// IsDialogMessageW for Tab, Enter and Escape, until the dialog ends. A pump
// from a command that runs long on the user-interface thread (the upgrade
// pumps after every frame) also runs the window's pending messages with
// PeekMessageW, TranslateMessage and DispatchMessageW.
#pragma once

#include "frontends/win32/SystemHeaders.hpp"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>

#include "frontends/win32/DialogWindow.hpp"
#include "platform/ui/Host.hpp"

namespace quillon::win32 {

class Win32Host final : public ui::Host {
  public:
    /// Makes the window that shows `dialog` while it runs modally; throws
    /// WindowError when it cannot.
    using WindowFactory = std::function<std::unique_ptr<DialogWindow>(ui::Dialog& dialog)>;

    /// Construct on the user-interface thread.
    Win32Host();
    ~Win32Host() override;
    Win32Host(const Win32Host&) = delete;
    Win32Host& operator=(const Win32Host&) = delete;

    int MessageBox(const ui::Dialog* owner, std::string_view text, std::string_view caption,
                   unsigned style) override;
    std::optional<std::string> OpenFileDialog(const ui::Dialog* owner,
                                              std::string_view filter) override;
    std::optional<std::string> SaveFileDialog(const ui::Dialog* owner, std::string_view filter,
                                              std::string_view defaultName) override;
    void CloseMessageBox(const ui::Dialog* owner, std::string_view text) override;
    int RunModal(ui::Dialog& dialog) override;

    void SetWindowFactory(WindowFactory factory) { windowFactory_ = std::move(factory); }
    /// From now on boxes asked for on other threads are answered without being
    /// shown (the window is closing).
    void DismissBoxesFromOtherThreads() { dismissing_ = true; }
    /// The window showing `dialog` or the nearest dialog above it, else null.
    HWND WindowFor(const ui::Dialog* dialog) const;
    /// The window of a dialog running modally, or null.
    DialogWindow* ModalWindow(const ui::Dialog& dialog) const;
    /// The dialog running modally in `window`, or null.
    ui::Dialog* DialogShownBy(HWND window) const;
    /// Runs the window's pending messages now (user-interface thread); false
    /// when WM_QUIT came.
    bool RunPendingWindowMessages();
    /// How often the program's own code pumped (PumpMessages outside a
    /// message loop, running the window's pending messages) so far.
    std::uint64_t CodePumps() const { return codePumps_; }

  protected:
    void OnMessagePosted() override;
    void OnPump() override;

  private:
    static LRESULT CALLBACK QueueProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool DispatchOne(MSG& message);

    HWND queueWindow_ = nullptr;
    WindowFactory windowFactory_;
    std::map<const ui::Dialog*, DialogWindow*> windows_;
    std::atomic<bool> pumpPosted_{false};
    std::atomic<bool> dismissing_{false};
    std::uint64_t codePumps_ = 0;
    bool inWindowMessages_ = false;
};

/// The model's filter "Description|*.a;*.b||" as the open-file dialog's
/// ("Description\0*.a;*.b\0\0").
std::wstring NativeFileFilter(std::string_view filter);

}  // namespace quillon::win32
