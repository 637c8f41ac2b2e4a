// The program's pause, keeping the window alive when the GUI thread pauses.
//
// On the GUI thread the pause runs an event loop for its duration, so the
// window repaints, the progress shows and work posted from the receive thread
// (frames, message boxes) is handled, while user input to the open windows is
// held off (InputBlocker). On any other thread it is a plain sleep.
#pragma once

#include "frontends/qt/GuiDispatcher.hpp"
#include "platform/system/Sleeper.hpp"

namespace quillon::gui {

class QtSleeper final : public sys::Sleeper {
  public:
    explicit QtSleeper(const GuiDispatcher& dispatcher) : dispatcher_(dispatcher) {}
    void SleepMs(std::uint32_t durationMs) override;

  private:
    const GuiDispatcher& dispatcher_;
};

}  // namespace quillon::gui
