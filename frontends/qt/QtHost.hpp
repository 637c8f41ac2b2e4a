// The dialog model's host in a Qt application.
//
// Message boxes and the open-file dialog are real Qt dialogs. Asked for on
// the GUI thread they run there at once; asked for on another thread they are
// carried to the GUI thread (BoxRelay) and the asking thread waits for the
// answer. Messages and tasks the model posts wake the GUI thread, which pumps
// the model's queue, so posted window messages always run on the GUI thread.
// RunModal shows a window for the dialog (made by the window factory) and runs
// a nested event loop until the dialog ends. Pumping from a command that runs
// long on the GUI thread (the firmware upgrade pumps after every frame) also
// runs the toolkit's events, at most every TOOLKIT_EVENTS_INTERVAL_MS, so the
// window repaints and takes clicks meanwhile without slowing the transfer.
#pragma once

#include <QWidget>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "frontends/qt/BoxRelay.hpp"
#include "frontends/qt/GuiDispatcher.hpp"
#include "platform/ui/Host.hpp"

namespace quillon::gui {

class QtHost final : public ui::Host {
  public:
    /// Makes the top-level window that shows `dialog` while it runs modally.
    using WindowFactory = std::function<std::unique_ptr<QWidget>(ui::Dialog& dialog)>;

    /// Construct on the GUI thread, after the application object.
    QtHost();
    ~QtHost() override;

    int MessageBox(const ui::Dialog* owner, std::string_view text, std::string_view caption,
                   unsigned style) override;
    std::optional<std::string> OpenFileDialog(const ui::Dialog* owner,
                                              std::string_view filter) override;
    std::optional<std::string> SaveFileDialog(const ui::Dialog* owner, std::string_view filter,
                                              std::string_view defaultName) override;
    int RunModal(ui::Dialog& dialog) override;
    /// Carried to the GUI thread in the same queue as boxes asked for from
    /// other threads, so a box asked for after it opens after the close.
    void CloseMessageBox(const ui::Dialog* owner, std::string_view text) override;

    void SetWindowFactory(WindowFactory factory) { windowFactory_ = std::move(factory); }
    GuiDispatcher& Dispatcher() { return dispatcher_; }
    /// From now on boxes asked for on other threads are answered without being
    /// shown (the window is closing); threads waiting for one are released.
    void DismissBoxesFromOtherThreads() { relay_.DismissAll(); }
    /// The window showing `dialog` or the nearest dialog above it, else the active window.
    QWidget* WindowFor(const ui::Dialog* dialog) const;

    static constexpr std::uint64_t TOOLKIT_EVENTS_INTERVAL_MS = 30;
    /// Milliseconds of a monotonic clock, for pacing the toolkit's events.
    using MonotonicMs = std::function<std::uint64_t()>;
    /// Replaces the steady clock that paces the toolkit's events (tests).
    void SetEventClock(MonotonicMs clock) { eventClock_ = std::move(clock); }

  protected:
    void OnMessagePosted() override;
    /// Runs the GUI jobs of other threads too, so that a wait that pumps (the
    /// disconnect's) can answer a box the receive thread is waiting for.
    void OnPump() override;

  private:
    /// Runs the toolkit's pending events when the interval has passed since the
    /// last time; never from inside that run, nor from the event loop's own pump.
    void RunToolkitEvents();

    GuiDispatcher dispatcher_;
    BoxRelay relay_{dispatcher_};
    WindowFactory windowFactory_;
    std::map<const ui::Dialog*, QWidget*> windows_;
    std::atomic<bool> pumpQueued_{false};
    MonotonicMs eventClock_;
    std::uint64_t lastToolkitEventsMs_ = 0;
    bool inToolkitEvents_ = false;
};

}  // namespace quillon::gui
