// The program's pause, keeping the window alive when the user-interface
// thread pauses: for the pause's length it runs posted messages, paints and
// messages sent by other threads (work the receive thread hands over, the
// progress shown), while user input to the windows waits in the queue until
// the pause is over. On any other thread it is a plain sleep.
#pragma once

#include "frontends/win32/Win32Host.hpp"
#include "platform/system/Sleeper.hpp"

namespace quillon::win32 {

class Win32Sleeper final : public sys::Sleeper {
  public:
    explicit Win32Sleeper(Win32Host& host) : host_(host) {}
    void SleepMs(std::uint32_t durationMs) override;

  private:
    Win32Host& host_;
};

}  // namespace quillon::win32
