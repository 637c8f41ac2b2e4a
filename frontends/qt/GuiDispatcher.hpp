// Runs jobs on the GUI thread on behalf of any thread.
//
// Jobs are kept in a queue of our own behind a std::mutex, and the GUI thread
// is woken through an eventfd watched by a socket notifier, so no Qt object is
// created or touched off the GUI thread and every hand-over is visible to the
// thread sanitizer. Jobs run in the order they were posted, also inside nested
// event loops (modal boxes, waits that keep the window live).
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QSocketNotifier;

namespace quillon::gui {

class GuiDispatcher {
  public:
    /// Construct on the GUI thread, after the application object.
    GuiDispatcher();
    ~GuiDispatcher();
    GuiDispatcher(const GuiDispatcher&) = delete;
    GuiDispatcher& operator=(const GuiDispatcher&) = delete;

    /// Queues `job` for the GUI thread; safe from any thread.
    void Post(std::function<void()> job);
    /// GUI thread: runs every job queued so far, including those they post.
    /// Returns how many ran.
    int RunPending();
    /// True on the thread that constructed the dispatcher.
    bool OnGuiThread() const;

  private:
    void OnWoken();

    std::thread::id guiThread_ = std::this_thread::get_id();
    int wakeFd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::mutex mutex_;
    std::deque<std::function<void()>> jobs_;
};

}  // namespace quillon::gui
