// Carries a question from another thread to the GUI thread and its answer back.
//
// The asking thread (the receive thread, for a device reply that raises a
// message box) blocks until the GUI thread has shown the box and the user has
// answered. When the window goes away the relay is dismissed: every waiting
// and every later question gets its "dismissed" answer at once, so a thread
// that is being joined is never left waiting for a box nobody will show.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "frontends/qt/GuiDispatcher.hpp"

namespace quillon::gui {

class BoxRelay {
  public:
    explicit BoxRelay(GuiDispatcher& dispatcher) : dispatcher_(dispatcher) {}

    /// Off the GUI thread: runs `present` on the GUI thread and returns its
    /// result, or `dismissedAnswer` once the relay is dismissed.
    int Ask(std::function<int()> present, int dismissedAnswer);
    /// Answers every waiting and future question with its dismissed answer.
    void DismissAll();
    bool Dismissed() const;

  private:
    struct Question {
        std::function<int()> present;
        int dismissedAnswer;
        std::optional<int> answer;
    };

    void Present(const std::shared_ptr<Question>& question);

    GuiDispatcher& dispatcher_;
    mutable std::mutex mutex_;
    std::condition_variable answered_;
    std::vector<std::shared_ptr<Question>> waiting_;
    bool dismissed_ = false;
};

}  // namespace quillon::gui
