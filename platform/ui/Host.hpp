// Everything a dialog needs from the window system: message boxes, the
// open-file dialog, the modal loop, and the queue of posted messages.
//
// Message boxes may be requested from any thread; an implementation shows them
// on its user-interface thread and blocks the caller until the user answers.
// Posted messages are queued here and run on the user-interface thread when
// it pumps (PumpMessages) or, in a GUI, when the event loop is woken.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "platform/ui/WindowMessages.hpp"

namespace quillon::ui {

class Dialog;

class Host {
  public:
    virtual ~Host() = default;

    /// Shows a message box and returns the button pressed (IDOK, IDYES, IDNO, ...).
    virtual int MessageBox(const Dialog* owner, std::string_view text, std::string_view caption,
                           unsigned style) = 0;
    /// Asks for a file to open; `filter` is "Description|*.a;*.b||". Returns the
    /// chosen path in UTF-8, or nothing when the user cancelled.
    virtual std::optional<std::string> OpenFileDialog(const Dialog* owner,
                                                      std::string_view filter) = 0;
    /// Asks for a file to save, proposing `defaultName`; `filter` as above.
    /// Returns the chosen path in UTF-8, or nothing when the user cancelled (a
    /// host without such a dialog always cancels).
    virtual std::optional<std::string> SaveFileDialog(const Dialog* /*owner*/,
                                                      std::string_view /*filter*/,
                                                      std::string_view /*defaultName*/) {
        return std::nullopt;
    }
    /// Closes the message box `owner` has open with `text`, as its close box
    /// would; nothing when no such box is open. Safe from any thread: a box
    /// asked for on the same thread afterwards opens only once this one is gone.
    virtual void CloseMessageBox(const Dialog* /*owner*/, std::string_view /*text*/) {}
    /// Runs `dialog` modally until EndDialog; returns its result.
    virtual int RunModal(Dialog& dialog) = 0;
    /// Caption of the application's own message boxes.
    virtual std::string ApplicationTitle() const { return "Quillon"; }

    /// Queues a message for `target`; safe from any thread.
    void PostMessage(Dialog& target, std::uint32_t message, WPARAM wParam, LPARAM lParam);
    /// Queues `task` to run on the user-interface thread on behalf of `target`
    /// (dropped if `target` goes away first); safe from any thread. Tasks and
    /// messages run in the order they were queued.
    void PostTask(Dialog& target, std::function<void()> task);
    /// Runs every queued message on the calling (user-interface) thread,
    /// including those posted meanwhile. Returns how many ran.
    int PumpMessages();
    /// Waits until a message is queued or `timeout` passes; true when one is queued.
    bool WaitForMessage(std::chrono::milliseconds timeout);
    /// Drops queued messages of a dialog that is going away.
    void DiscardMessagesFor(const Dialog& target);
    std::size_t PendingMessages() const;
    /// True on the thread that created the host (the user-interface thread).
    bool OnUiThread() const { return std::this_thread::get_id() == uiThread_; }

  protected:
    /// Runs `call` on the user-interface thread and returns its result: at
    /// once when already there, otherwise queued like a posted task (it runs
    /// when the user-interface thread pumps) while the caller blocks. A GUI
    /// host shows off-thread message boxes through this, so a thread the
    /// user-interface thread is waiting for can still get its box answered
    /// as long as that wait pumps.
    int CallOnUiThread(const std::function<int()>& call);

    /// Called after a message was queued, on the posting thread; a GUI host
    /// wakes its event loop here.
    virtual void OnMessagePosted() {}
    /// Called by PumpMessages first, on the user-interface thread; a GUI host
    /// runs the work other threads handed it in its own way (boxes they wait for).
    virtual void OnPump() {}

  private:
    struct Posted {
        Dialog* target;
        std::uint32_t message;
        WPARAM wParam;
        LPARAM lParam;
        std::function<void()> task;  ///< set for PostTask entries
    };

    void Enqueue(Posted posted);

    mutable std::mutex queueMutex_;
    std::condition_variable queueSignal_;
    std::deque<Posted> queue_;
    /// queue_.empty(), kept under queueMutex_, readable without it.
    std::atomic<bool> queueEmpty_{true};
    std::thread::id uiThread_ = std::this_thread::get_id();
};

}  // namespace quillon::ui
