// A configuration link that records every frame handed to it (before any
// enciphering) and can refuse the k-th frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/kelvix/FrameTransmitter.hpp"

namespace quillon::test {

class RecordingTransmitter : public kelvix::FrameTransmitter {
  public:
    struct Event {
        std::vector<CanFrameRecord> frames;  ///< one transmission; empty for a pause
        std::uint32_t pauseMs = 0;
    };

    /// Frames from the `frameNumber`-th on (1-based) are refused.
    void RefuseFrom(std::size_t frameNumber) { refuseFrom_ = frameNumber; }

    bool SendEnciphered(std::span<CanFrameRecord> frames) override {
        events_.push_back({{frames.begin(), frames.end()}, 0});
        sent_ += frames.size();
        return refuseFrom_ == 0 || sent_ < refuseFrom_;
    }
    void PauseMs(std::uint32_t durationMs) override { events_.push_back({{}, durationMs}); }

    const std::vector<Event>& Events() const { return events_; }

    /// Every frame handed over, in order (refused ones included).
    std::vector<CanFrameRecord> Frames() const {
        std::vector<CanFrameRecord> frames;
        for (const auto& event : events_) {
            frames.insert(frames.end(), event.frames.begin(), event.frames.end());
        }
        return frames;
    }

    static std::vector<std::uint8_t> Data(const CanFrameRecord& frame) {
        return {frame.Data, frame.Data + frame.DataLen};
    }

  private:
    std::vector<Event> events_;
    std::size_t sent_ = 0;
    std::size_t refuseFrom_ = 0;
};

}  // namespace quillon::test
