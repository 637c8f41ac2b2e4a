// How a view follows the model. Callbacks may come from any thread, possibly
// while the model's lock is held: an observer only records or schedules work
// (for instance queues a repaint on its GUI thread) and never blocks.
#pragma once

namespace quillon::ui {

class Dialog;

/// Pseudo control id reported when the dialog itself was shown or hidden.
inline constexpr int DIALOG_ITSELF = 0;

class DialogObserver {
  public:
    virtual ~DialogObserver() = default;
    virtual void OnControlChanged(const Dialog& dialog, int controlId) = 0;
};

}  // namespace quillon::ui
