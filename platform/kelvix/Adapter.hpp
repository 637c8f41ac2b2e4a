// One adapter behind the library's C interface. Backends implement this small
// interface; the C calls above it do argument checks, locking and tracing once.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/kelvix/Kelvix.h"

namespace kelvix {

/// Adapter channels are numbered 0 and 1.
inline constexpr std::uint32_t CHANNEL_COUNT = 2;

/// A backend's view of one opened adapter. Calls for one adapter may come from
/// two threads at once (transmit on the UI thread, receive on the receive
/// thread); the library holds no lock around Receive, so backends keep their
/// transmit and receive paths independent.
class Adapter {
  public:
    virtual ~Adapter() = default;

    /// Connects to the bus. Returns an empty string on success, otherwise what failed.
    virtual std::string Open() = 0;
    virtual void Close() = 0;
    /// Applies an initialisation record to `channel`. Returns true on success.
    virtual bool InitChannel(std::uint32_t channel, const CanInitRecord& init) = 0;
    virtual bool StartChannel(std::uint32_t channel) = 0;
    /// Sends frames in order; returns how many were accepted (stops at the first refusal).
    virtual std::uint32_t Transmit(std::uint32_t channel,
                                   std::span<const CanFrameRecord> frames) = 0;
    /// Waits up to `waitMs` for frames; returns how many were stored, -1 on an error.
    virtual std::int32_t Receive(std::uint32_t channel, std::span<CanFrameRecord> frames,
                                 std::int32_t waitMs) = 0;
    /// Returns and clears the channel's last error.
    virtual CanErrorRecord TakeError(std::uint32_t channel) = 0;
    /// Adapter-specific setting; backends without settings accept and ignore it.
    virtual bool SetReference(std::uint32_t channel, std::uint32_t refType, void* data) = 0;
};

}  // namespace kelvix
