// A sleep on fake time with the simulated boot loader on the bus: the upgrade
// runs on one thread, so the device takes its frames whenever the upgrade
// (or the adapter, waiting for room on a timed bus) waits.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

#include "platform/kelvix/Kelvix.h"
#include "platform/kelvix/VirtualCanBus.hpp"
#include "platform/system/Sleeper.hpp"
#include "sim/Bootloader.hpp"

namespace quillon::test {

/// Every wait moves `FakeTime` (a clock with `AdvanceMs`) instead of sleeping.
/// Before time passes the boot loader takes every frame that reached its port,
/// so it sees each frame at the moment it was sent; after, what the wire
/// carried meanwhile.
template <class FakeTime>
class DeviceSleeper final : public sys::Sleeper {
  public:
    DeviceSleeper(FakeTime& clock, kelvix::VirtualCanPort& port, sim::Bootloader& loader)
        : clock_(clock), port_(port), loader_(loader) {}

    void SleepMs(std::uint32_t durationMs) override {
        Deliver();
        clock_.AdvanceMs(durationMs);
        Deliver();
    }

    /// Hands the boot loader every frame waiting at its port.
    void Deliver() {
        CanFrameRecord frames[256];
        while (std::size_t count = port_.Receive(frames, std::chrono::milliseconds(0))) {
            for (std::size_t i = 0; i < count; ++i) {
                loader_.OnFrame(frames[i]);
            }
        }
    }

  private:
    FakeTime& clock_;
    kelvix::VirtualCanPort& port_;
    sim::Bootloader& loader_;
};

}  // namespace quillon::test
