// The configuration link as the pages and the DTU write see it: frames go
// out enciphered on the main window's current channel. The main window
// implements it; tests use a recording double.
#pragma once

#include <cstdint>
#include <span>

#include "platform/kelvix/Kelvix.h"

namespace kelvix {

class FrameTransmitter {
  public:
    virtual ~FrameTransmitter() = default;
    /// Enciphers the eight data bytes of every frame in place, then hands all
    /// of them to one VCI_Transmit on the link's current channel. Returns true
    /// only when the library accepted exactly frames.size() frames.
    virtual bool SendEnciphered(std::span<CanFrameRecord> frames) = 0;
    /// Pauses the calling thread through the injected sleep.
    virtual void PauseMs(std::uint32_t durationMs) = 0;
};

}  // namespace kelvix
