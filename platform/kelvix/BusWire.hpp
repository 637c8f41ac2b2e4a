// One channel of a bit-timed bus: frames wait in their sender's queue, one
// frame is on the wire at a time, and when the wire falls free the waiting
// head frame with the lowest arbitration rank goes next (a sender's own
// frames keep their order). A frame occupies the wire for its exact length in
// bits at the bit rate and reaches the receivers when its last bit has.
//
// Pure bookkeeping on times in nanoseconds the caller supplies; not
// thread-safe (the bus that owns it locks around every call).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/kelvix/Kelvix.h"

namespace kelvix {

class BusWire {
  public:
    using SenderId = const void*;

    /// A frame that has crossed the wire.
    struct Carried {
        SenderId sender;
        CanFrameRecord frame;
        std::uint64_t endNs;  ///< when its last bit (end of intermission) left the wire
    };

    explicit BusWire(std::uint32_t bitsPerSecond);

    std::uint32_t Bitrate() const { return bitrate_; }
    /// Time the wire needs for `frame`.
    std::uint64_t DurationNs(const CanFrameRecord& frame) const;
    /// Queues `frame` from `sender`, ready to contend from `readyNs` on.
    void Queue(SenderId sender, const CanFrameRecord& frame, std::uint64_t readyNs);
    /// Frames of `sender` queued or on the wire.
    std::size_t Outstanding(SenderId sender) const;
    /// Runs the wire up to `nowNs`, handing every frame that finished by then to `deliver` in
    /// wire order; a frame that has started but not finished stays on the wire.
    void Run(std::uint64_t nowNs, const std::function<void(const Carried&)>& deliver);
    /// End of the frame on the wire, if one is.
    std::optional<std::uint64_t> BusyUntilNs() const;
    /// When no more than `keep` frames of `sender` will be outstanding if its
    /// frames go out back to back after the one on the wire; nothing when the
    /// wire is idle.
    std::optional<std::uint64_t> DrainedNs(SenderId sender, std::size_t keep) const;
    /// Drops the queued frames of a sender that left (a frame on the wire still finishes).
    void Forget(SenderId sender);

  private:
    struct Waiting {
        CanFrameRecord frame;
        std::uint64_t readyNs;
    };
    struct Sender {
        SenderId id;
        std::deque<Waiting> frames;
    };

    /// Puts the winning head frame on the wire if one can start by `nowNs`.
    bool StartNext(std::uint64_t nowNs);
    Sender* Winner(std::uint64_t startNs);
    const Sender* Find(SenderId sender) const;

    std::uint32_t bitrate_;
    std::vector<Sender> senders_;
    std::optional<Carried> onWire_;
    std::uint64_t freeAtNs_ = 0;
};

}  // namespace kelvix
